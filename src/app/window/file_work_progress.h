// Progress of long file work on the user-interface thread: the window keeps repainting, and work that lasts
// longer than half a second shows a progress dialog whose Cancel the work sees at its next report.
#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdint>
#include <memory>

class QProgressDialog;
class QWidget;

namespace hw::window {

class FileWorkProgress {
  public:
    FileWorkProgress(QWidget* window, const QString& title);
    ~FileWorkProgress();
    FileWorkProgress(const FileWorkProgress&) = delete;
    FileWorkProgress& operator=(const FileWorkProgress&) = delete;

    // Work of known size (bytes of a file). False once Cancel was pressed.
    bool ReportBytes(std::uint64_t done, std::uint64_t total);
    // Work of unknown size (keys written). False once Cancel was pressed.
    bool ReportKeys(std::uint64_t done);

    std::uint64_t LastDone() const { return lastDone_; }

    // How long work runs before the dialog shows; tests shorten it.
    static void SetShowDelay(int milliseconds);

  private:
    bool Report(std::uint64_t done, int value, int maximum, const QString& label);

    QWidget* window_;
    QString title_;
    QElapsedTimer clock_;
    qint64 lastEvents_ = 0;
    std::uint64_t lastDone_ = 0;
    std::unique_ptr<QProgressDialog> dialog_;
};

} // namespace hw::window
