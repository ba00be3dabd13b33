// Tells the user when the registry could not save changes (a full disk, an I/O error). The store refuses
// every change after such a failure, so that what was saved stays whole; the failure is shown and cleared
// only between commands, never in the middle of one.
#pragma once

#include <QObject>
#include <QTimer>

namespace hw::window {

class CommitFailureWatch : public QObject {
  public:
    explicit CommitFailureWatch(QObject* parent = nullptr);
    // Shows and clears a failure unless a command is still at work; true when one was shown.
    bool Check();

  private:
    QTimer timer_;
};

} // namespace hw::window
