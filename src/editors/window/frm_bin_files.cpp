// The hex editor's files: loading and saving the bytes, and the picture page.
#include "editors/hex_file.h"
#include "editors/picture_format.h"
#include "editors/window/frm_bin.h"
#include "editors/window/hex_view.h"
#include "editors/window/picture_file.h"
#include "i18n/text_table.h"
#include "platform/qt/file_dialog_setup.h"
#include "ui/busy_cursor.h"
#include "ui/ui_text.h"
#include "util/dialog.h"
#include "util/file_io.h"

#include <QBuffer>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QImageReader>
#include <QImageWriter>
#include <QLabel>
#include <QPixmap>
#include <QStackedWidget>

namespace hw::editors {

namespace {

constexpr std::uint64_t kLargeFileSize = 65536;

QImage ReadPicture(const QString& fileName) {
    QImageReader reader(fileName);
    reader.setDecideFormatFromContent(true);
    return reader.read();
}

// The temporary file's extension: the three classic marks first, then any format Qt's readers know by
// content (PNG, WebP, ICO, SVG ...); empty when none does.
QString PictureSuffix(const std::string& bytes) {
    const PictureFormat classic = DetectPictureFormat(bytes);
    if (classic != PictureFormat::Unknown) return QString::fromLatin1(PictureExtension(classic));
    QByteArray data = QByteArray::fromRawData(bytes.data(), static_cast<qsizetype>(bytes.size()));
    QBuffer buffer(&data);
    buffer.open(QIODevice::ReadOnly);
    return QString::fromLatin1(QImageReader::imageFormat(&buffer)).toUpper();
}

// "Pictures (*.png *.webp ...)": every format this Qt reads or writes.
QString PictureFilter(const QList<QByteArray>& formats) {
    QStringList patterns;
    for (const QByteArray& format : formats)
        patterns.push_back(QStringLiteral("*.") + QString::fromLatin1(format));
    return ui::FileFilter(i18n::Text::PicturesFilter, patterns.join(QChar(' ')));
}

} // namespace

bool TfrmBin::LoadFile(const std::string& fileName) {
    loadFailure_.clear();
    const std::optional<std::uint64_t> size = RegularFileSize(fileName);
    if (size && *size >= kLargeFileSize && !util::AskYesNo(i18n::LookupText(i18n::Text::LargeFileLoad)))
        return false;
    const ui::BusyCursor busy;
    FileBytes file = ReadRegularFile(fileName);
    if (!file.ok) {
        loadFailure_ = file.reason;
        return false;
    }
    SetBytes(std::move(file.bytes));
    return true;
}

bool TfrmBin::OpenFile(const std::string& fileName) {
    if (!LoadFile(fileName)) return false;
    fileName_ = fileName;
    modified_ = false;
    UpdateTitle();
    return true;
}

bool TfrmBin::SaveFile(const std::string& fileName) {
    const ui::BusyCursor busy;
    return util::ReplaceFileAtomically(fileName, Bytes());
}

QString TfrmBin::ChooseFile(QFileDialog::AcceptMode mode, const QStringList& filters, const QString& suffix,
                            const QString& proposedName) {
    QFileDialog dialog(this);
    platform::ListByNamesOnly(dialog);
    dialog.setDirectory(platform::DialogStartFolder(fileName_));
    dialog.setAcceptMode(mode);
    dialog.setFileMode(mode == QFileDialog::AcceptOpen ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
    if (!filters.isEmpty()) dialog.setNameFilters(filters);
    if (!suffix.isEmpty()) dialog.setDefaultSuffix(suffix);
    if (!proposedName.isEmpty()) dialog.selectFile(proposedName);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    QString chosen = dialog.selectedFiles().front();
    platform::RememberDialogFolder(chosen);
    return chosen;
}

void TfrmBin::btnLoadClick() {
    if (!namedMode_ && modified_ && !MayDropChanges()) return;
    const QString fileName = ChooseFile(QFileDialog::AcceptOpen);
    if (fileName.isEmpty()) return;
    const std::string name = fileName.toStdString();
    if (namedMode_ ? LoadFile(name) : OpenFile(name)) return;
    const std::string failed = i18n::LookupText(i18n::Text::OpenFileFailed);
    util::ErrorBox(loadFailure_.empty() ? failed : failed + "\n" + loadFailure_);
}

void TfrmBin::btnSaveClick() {
    if (namedMode_ || fileName_.empty())
        SaveAs();
    else
        SaveToFileInUse();
}

bool TfrmBin::SaveAs() {
    const QString proposed =
        fileName_.empty() ? QString() : QFileInfo(QString::fromStdString(fileName_)).fileName();
    const QString fileName = ChooseFile(QFileDialog::AcceptSave, {}, {}, proposed);
    if (fileName.isEmpty()) return false;
    if (!SaveFile(fileName.toStdString())) {
        util::ErrorBox(i18n::LookupText(i18n::Text::SaveToFileFailed));
        return false;
    }
    if (!namedMode_) {
        fileName_ = fileName.toStdString();
        modified_ = false;
        UpdateTitle();
    }
    return true;
}

bool TfrmBin::SaveToFileInUse() {
    if (fileName_.empty()) return SaveAs();
    if (!SaveFile(fileName_)) {
        util::ErrorBox(i18n::LookupText(i18n::Text::SaveToFileFailed));
        return false;
    }
    modified_ = false;
    UpdateTitle();
    return true;
}

bool TfrmBin::MayDropChanges() {
    switch (
        util::AskYesNoCancel(util::kMessageBoxCaption, i18n::LookupText(i18n::Text::ContentChangedSave))) {
    case util::Answer::Yes:
        return SaveToFileInUse();
    case util::Answer::No:
        return true;
    case util::Answer::Cancel:
        break;
    }
    return false;
}

void TfrmBin::tbstMainChange(int index) {
    if (index == 1) ShowPictureOfBytes();
    pages->setCurrentIndex(index);
}

void TfrmBin::ShowPictureOfBytes() {
    const ui::BusyCursor busy;
    lblInfo->clear();
    picture_ = QImage();
    const QString suffix = PictureSuffix(Bytes());
    if (!suffix.isEmpty()) {
        const QString folder =
            pictureFolder_.empty() ? QDir::tempPath() : QString::fromStdString(pictureFolder_);
        const QString fileName = QDir(folder).filePath(QStringLiteral("HIVEWRIGHTIAMGE.") + suffix);
        if (SaveFile(fileName.toStdString())) picture_ = ReadPicture(fileName);
    }
    if (picture_.isNull()) {
        imgMain->clear();
        lblInfo->setText(QString::fromStdString(i18n::LookupText(i18n::Text::UnknownImageFormat)));
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
    const QString fileName = ChooseFile(
        QFileDialog::AcceptOpen,
        {ui::FileFilter(i18n::Text::BitmapsFilter, "*.bmp"), ui::FileFilter(i18n::Text::GifFilter, "*.gif"),
         ui::FileFilter(i18n::Text::JpegFilter, "*.jpg"), ui::FileFilter(i18n::Text::JpegFilter, "*.jpeg"),
         PictureFilter(QImageReader::supportedImageFormats())});
    if (!fileName.isEmpty()) LoadPictureFile(fileName);
}

void TfrmBin::btnImageSaveClick() {
    const QString fileName = ChooseFile(
        QFileDialog::AcceptSave,
        {ui::FileFilter(i18n::Text::AllPicturesFilter, "*.gif *.jpg *.jpeg *.bmp"),
         ui::FileFilter(i18n::Text::GifFilter, "*.gif"), ui::FileFilter(i18n::Text::JpegFilter, "*.jpg"),
         ui::FileFilter(i18n::Text::JpegFilter, "*.jpeg"), ui::FileFilter(i18n::Text::BitmapsFilter, "*.bmp"),
         PictureFilter(QImageWriter::supportedImageFormats())},
        QStringLiteral("bmp"), QStringLiteral(".bmp"));
    if (!fileName.isEmpty() && !SavePictureFile(fileName))
        util::ErrorBox(i18n::LookupText(i18n::Text::SavePictureFailed));
}

} // namespace hw::editors
