// The hex editor's files: loading and saving the bytes, and the picture page.
#include "app/window/busy_cursor.h"
#include "editors/frm_bin.h"
#include "editors/hex_file.h"
#include "editors/hex_view.h"
#include "editors/picture_file.h"
#include "editors/picture_format.h"
#include "i18n/text_table.h"
#include "util/dialog.h"
#include "util/file_io.h"

#include <QDir>
#include <QFileDialog>
#include <QImageReader>
#include <QLabel>
#include <QPixmap>
#include <QStackedWidget>

namespace hw::editors {

namespace {

constexpr std::uint64_t kLargeFileSize = 65536;
constexpr int kLargeFileQuestion = 55;
constexpr int kUnknownImageText = 144;

QImage ReadPicture(const QString& fileName) {
    QImageReader reader(fileName);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

} // namespace

bool TfrmBin::LoadFile(const std::string& fileName) {
    loadFailure_.clear();
    const std::optional<std::uint64_t> size = RegularFileSize(fileName);
    if (size && *size >= kLargeFileSize && !util::AskYesNo(i18n::LookupText(kLargeFileQuestion)))
        return false;
    const window::BusyCursor busy;
    FileBytes file = ReadRegularFile(fileName);
    if (!file.ok) {
        loadFailure_ = file.reason;
        return false;
    }
    SetBytes(std::move(file.bytes));
    return true;
}

bool TfrmBin::SaveFile(const std::string& fileName) {
    const window::BusyCursor busy;
    return util::ReplaceFileAtomically(fileName, Bytes());
}

void TfrmBin::btnLoadClick() {
    const QString fileName = QFileDialog::getOpenFileName(this);
    if (fileName.isEmpty() || LoadFile(fileName.toStdString())) return;
    util::ErrorBox(loadFailure_.empty() ? "Open file failed!" : "Open file failed!\n" + loadFailure_);
}

void TfrmBin::btnSaveClick() {
    const QString fileName = QFileDialog::getSaveFileName(this);
    if (!fileName.isEmpty() && !SaveFile(fileName.toStdString())) util::ErrorBox("Save to file failed!");
}

void TfrmBin::tbstMainChange(int index) {
    if (index == 1) ShowPictureOfBytes();
    pages->setCurrentIndex(index);
}

void TfrmBin::ShowPictureOfBytes() {
    const window::BusyCursor busy;
    lblInfo->clear();
    picture_ = QImage();
    const PictureFormat format = DetectPictureFormat(Bytes());
    if (format != PictureFormat::Unknown) {
        const QString folder =
            pictureFolder_.empty() ? QDir::tempPath() : QString::fromStdString(pictureFolder_);
        const QString fileName = QDir(folder).filePath(QStringLiteral("HIVEWRIGHTIAMGE.") +
                                                       QString::fromLatin1(PictureExtension(format)));
        if (SaveFile(fileName.toStdString())) picture_ = ReadPicture(fileName);
    }
    if (picture_.isNull()) {
        imgMain->clear();
        lblInfo->setText(QString::fromStdString(i18n::LookupText(kUnknownImageText)));
    } else {
        imgMain->setPixmap(QPixmap::fromImage(picture_));
    }
}

bool TfrmBin::LoadPictureFile(const QString& fileName) {
    lblInfo->clear();
    picture_ = LoadFile(fileName.toStdString()) ? ReadPicture(fileName) : QImage();
    if (picture_.isNull())
        imgMain->clear();
    else
        imgMain->setPixmap(QPixmap::fromImage(picture_));
    return !picture_.isNull();
}

bool TfrmBin::SavePictureFile(const QString& fileName) const {
    return WritePictureFile(picture_, fileName);
}

void TfrmBin::btnImageLoadClick() {
    const QString fileName = QFileDialog::getOpenFileName(
        this, {}, {},
        QStringLiteral(
            "Bitmaps (*.bmp);;CompuServe GIF Image (*.gif);;JPEG Image File (*.jpg);;JPEG Image File "
            "(*.jpeg);;Bitmaps (*.bmp)"));
    if (!fileName.isEmpty()) LoadPictureFile(fileName);
}

void TfrmBin::btnImageSaveClick() {
    QFileDialog dialog(this);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("bmp"));
    dialog.setNameFilters({QStringLiteral("All (*.gif *.jpg *.jpeg *.bmp)"),
                           QStringLiteral("CompuServe GIF Image (*.gif)"),
                           QStringLiteral("JPEG Image File (*.jpg)"),
                           QStringLiteral("JPEG Image File (*.jpeg)"), QStringLiteral("Bitmaps (*.bmp)")});
    dialog.selectFile(QStringLiteral(".bmp"));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return;
    if (!SavePictureFile(dialog.selectedFiles().front())) util::ErrorBox("Save picturen fialed");
}

} // namespace hw::editors
