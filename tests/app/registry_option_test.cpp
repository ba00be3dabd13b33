#include "app/registry_option.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace hw::app {
namespace {

std::string Variable(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "<unset>";
}

TEST(RegistryOption, LeadingOptionsChooseTheRegistryForThisAndStartedPrograms) {
    struct Case {
        std::vector<std::string> arguments;
        std::string error, registry, user, readOnly;
        std::vector<std::string> left;
    };
    const std::vector<Case> cases = {
        {{"--hive", "a.hive", "--import", "x"},
         "",
         "hive:/start/a.hive=a.hive\n",
         "<unset>",
         "<unset>",
         {"--import", "x"}},
        {{"--hive=sub/a=KEY", "--read-only", "--hive", "/abs/b=c/d"},
         "",
         "hive:/start/sub/a=KEY\n/abs/b=c/d=d\n",
         "<unset>",
         "1",
         {}},
        {{"--windows-root", "C", "--windows-user=bob", "--export"},
         "",
         "windows:/start/C",
         "bob",
         "<unset>",
         {"--export"}},
        {{"--wine-prefix", "p"}, "", "wine:/start/p", "<unset>", "<unset>", {}},
        {{"--wine-prefixes"}, "", "<unset>", "<unset>", "<unset>", {"--wine-prefixes"}},
        {{"--import", "--hive", "x"}, "", "<unset>", "<unset>", "<unset>", {"--import", "--hive", "x"}},
        {{"--hive"}, "--hive needs the path of a hive file", "<unset>", "<unset>", "<unset>", {}},
        {{"--hive", "a", "--windows-root", "b"},
         "choose one registry: --wine-prefix, --windows-root or --hive",
         "<unset>",
         "<unset>",
         "<unset>",
         {}},
    };
    for (const Case& c : cases) {
        for (const char* name : {"HIVEWRIGHT_REGISTRY", "HIVEWRIGHT_WINDOWS_USER", "HIVEWRIGHT_READ_ONLY"})
            unsetenv(name);
        std::vector<std::string> arguments = c.arguments;
        const std::string what = c.arguments.empty() ? "" : c.arguments.front();
        EXPECT_EQ(TakeRegistryOption(arguments, "/start"), c.error) << what;
        if (!c.error.empty()) continue;
        EXPECT_EQ(Variable("HIVEWRIGHT_REGISTRY"), c.registry) << what;
        EXPECT_EQ(Variable("HIVEWRIGHT_WINDOWS_USER"), c.user) << what;
        EXPECT_EQ(Variable("HIVEWRIGHT_READ_ONLY"), c.readOnly) << what;
        EXPECT_EQ(arguments, c.left) << what;
    }
    for (const char* name : {"HIVEWRIGHT_REGISTRY", "HIVEWRIGHT_WINDOWS_USER", "HIVEWRIGHT_READ_ONLY"})
        unsetenv(name);
}

} // namespace
} // namespace hw::app
