#include "app/window/commit_failure_watch.h"

#include "platform/registry_store.h"
#include "util/dialog.h"

#include <QApplication>
#include <QGuiApplication>

namespace hw::window {

namespace {
constexpr int kCheckMilliseconds = 250;
} // namespace

CommitFailureWatch::CommitFailureWatch(QObject* parent) : QObject(parent) {
    timer_.setInterval(kCheckMilliseconds);
    QObject::connect(&timer_, &QTimer::timeout, this, [this] { Check(); });
    timer_.start();
}

bool CommitFailureWatch::Check() {
    // Long commands show the busy cursor and dialogs run modally: either means work may still be under way.
    if (QGuiApplication::overrideCursor() || QApplication::activeModalWidget()) return false;
    const std::string failure = platform::RegistryCommitFailure();
    if (failure.empty()) return false;
    platform::ClearRegistryCommitFailure();
    util::ErrorBox(failure);
    return true;
}

} // namespace hw::window
