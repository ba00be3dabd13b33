#include "app/association_jobs.h"

#include "app/cli_jobs.h"
#include "markup/associations.h"
#include "markup/desktop_integration.h"
#include "util/program_dir.h"

#include <ostream>

namespace hw::app {
namespace {

std::string IconFile() {
    return util::ProgramPath() + "hivewright.svg";
}

} // namespace

int RunRegisterJob(std::ostream& errors) {
    const std::string program = util::ProgramFileName();
    markup::RegisterOPALFiles(program);
    markup::RegisterRegFileVerb(program);
    if (markup::InstallDesktopIntegration(program, IconFile(), markup::XdgDataHome())) return kExitSuccess;
    errors << "hivewright: the desktop files could not be written under " << markup::XdgDataHome() << '\n';
    return kExitFailure;
}

int RunUnregisterJob() {
    markup::UnregisterOPALFiles();
    markup::UnregisterRegFileVerb();
    markup::RemoveDesktopIntegration(markup::XdgDataHome());
    return kExitSuccess;
}

} // namespace hw::app
