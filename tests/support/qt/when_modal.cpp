#include "support/qt/when_modal.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace hw::test {

namespace {

// Polls every 5 ms; a dialog that never becomes the active window is acted on after about a second.
constexpr int kPollMilliseconds = 5;
constexpr int kPollsBeforeInactive = 200;

} // namespace

void WhenModal(std::function<void(QWidget* modal)> action) {
    auto* poll = new QTimer;
    poll->setInterval(kPollMilliseconds);
    auto polls = std::make_shared<int>(0);
    QObject::connect(poll, &QTimer::timeout, [poll, polls, action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        // The focus settles only once the dialog is the active window.
        if (!modal->isActiveWindow() && ++*polls < kPollsBeforeInactive) return;
        poll->stop();
        poll->deleteLater();
        action(modal);
    });
    poll->start();
}

} // namespace hw::test
