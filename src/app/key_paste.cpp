#include "app/key_paste.h"

#include "core/change_feed.h"
#include "core/key_ops.h"
#include "core/key_path.h"
#include "core/scoped_key.h"

namespace hw::app {

KeyCopyOutcome CopyKeyForPaste(const std::string& sourcePath, const std::string& destinationPath) {
    if (!core::KeyPathsUnrelated(sourcePath, destinationPath)) return KeyCopyOutcome::Failed;
    // The same steps as the core's copy by paths, which does not say whether anything was skipped.
    const core::ScopedKey source =
        core::OpenKeyDefault(core::RootKeyOfPath(sourcePath), core::SubKeyOrEmpty(sourcePath));
    if (!source) return KeyCopyOutcome::Failed;
    const core::ScopedKey destination =
        core::CreateKey(core::RootKeyOfPath(destinationPath), core::SubKeyOrEmpty(destinationPath));
    if (!destination) return KeyCopyOutcome::Failed;
    const bool valuesComplete = core::CopyValues(source.get(), destination.get());
    const bool subKeysComplete = core::CopySubKeys(source.get(), destination.get());
    core::PublishKeyAdded(destinationPath);
    return valuesComplete && subKeysComplete ? KeyCopyOutcome::Complete : KeyCopyOutcome::Partial;
}

} // namespace hw::app
