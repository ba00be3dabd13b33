#include "app/window/file_work_progress.h"

#include "i18n/text_table.h"

#include <QCoreApplication>
#include <QLocale>
#include <QProgressDialog>

namespace hw::window {

namespace {

int showDelayMs = 500;
// Often enough to repaint smoothly, rarely enough to cost nothing.
constexpr qint64 kEventIntervalMs = 40;
constexpr int kBytePermille = 1000;

} // namespace

void FileWorkProgress::SetShowDelay(int milliseconds) {
    showDelayMs = milliseconds;
}

FileWorkProgress::FileWorkProgress(QWidget* window, const QString& title) : window_(window), title_(title) {
    clock_.start();
}

FileWorkProgress::~FileWorkProgress() = default;

bool FileWorkProgress::ReportBytes(std::uint64_t done, std::uint64_t total) {
    const int permille =
        total == 0 ? kBytePermille : static_cast<int>(std::min(done, total) * kBytePermille / total);
    const QLocale locale;
    return Report(done, permille, kBytePermille,
                  QString::fromStdString(i18n::FormatText(
                      i18n::Text::ProgressBytes, {locale.toString(qulonglong(done)).toStdString(),
                                                  locale.toString(qulonglong(total)).toStdString()})));
}

bool FileWorkProgress::ReportKeys(std::uint64_t done) {
    return Report(done, 0, 0,
                  QString::fromStdString(i18n::FormatText(
                      i18n::Text::ProgressKeys, {QLocale().toString(qulonglong(done)).toStdString()})));
}

bool FileWorkProgress::Report(std::uint64_t done, int value, int maximum, const QString& label) {
    lastDone_ = done;
    const qint64 elapsed = clock_.elapsed();
    if (!dialog_ && elapsed >= showDelayMs) {
        dialog_ = std::make_unique<QProgressDialog>(window_);
        dialog_->setWindowTitle(title_);
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(0);
        dialog_->setAutoReset(false);
        dialog_->setAutoClose(false);
        dialog_->setMinimumWidth(dialog_->fontMetrics().averageCharWidth() * 50);
        dialog_->show();
    }
    if (dialog_) {
        dialog_->setRange(0, maximum);
        dialog_->setValue(value);
        dialog_->setLabelText(label);
    }
    if (dialog_ || elapsed - lastEvents_ >= kEventIntervalMs) {
        lastEvents_ = elapsed;
        // Until the modal dialog shows, the window only repaints: a click must not start other work.
        QCoreApplication::processEvents(dialog_ ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents);
    }
    return !(dialog_ && dialog_->wasCanceled());
}

} // namespace hw::window
