#include "app/key_paste.h"

#include "core/change_feed.h"
#include "core/key_path.h"
#include "core/quiet_key_ops.h"
#include "core/scoped_key.h"
#include "platform/registry_store.h"

#include <memory>

namespace hw::app {

KeyCopyOutcome CopyKeyForPaste(const std::string& sourcePath, const std::string& destinationPath) {
    if (!core::KeyPathsUnrelated(sourcePath, destinationPath)) return KeyCopyOutcome::Failed;
    std::unique_ptr<platform::SubtreeStream> source;
    if (platform::CurrentRegistry().OpenSubtree(core::RootKeyOfPath(sourcePath),
                                                core::SubKeyOrEmpty(sourcePath).c_str(),
                                                source) != ERROR_SUCCESS)
        return KeyCopyOutcome::Failed;
    const core::ScopedKey destination =
        core::CreateKey(core::RootKeyOfPath(destinationPath), core::SubKeyOrEmpty(destinationPath));
    if (!destination) return KeyCopyOutcome::Failed;
    const bool complete = core::CopySubtree(*source, destination.get());
    core::PublishKeyAdded(destinationPath);
    return complete ? KeyCopyOutcome::Complete : KeyCopyOutcome::Partial;
}

} // namespace hw::app
