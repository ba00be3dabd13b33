#include "support/qt/when_modal.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <memory>

namespace hw::test {

void WhenModal(std::function<void(QWidget* modal)> action) {
    auto* poll = new QTimer;
    poll->setInterval(5);
    QObject::connect(poll, &QTimer::timeout, [poll, action = std::move(action)] {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || !modal->isVisible()) return;
        poll->stop();
        poll->deleteLater();
        action(modal);
    });
    poll->start();
}

} // namespace hw::test
