#include "platform/qt/file_dialog_setup.h"

#include <QAbstractFileIconProvider>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QStyle>

namespace hw::platform {

namespace {

class NameOnlyIconProvider final : public QAbstractFileIconProvider {
  public:
    QIcon icon(IconType type) const override {
        return Standard(type == Folder || type == Drive || type == Computer || type == Network);
    }
    QIcon icon(const QFileInfo& info) const override { return Standard(info.isDir()); }
    QString type(const QFileInfo& info) const override {
        if (info.isDir()) return QCoreApplication::translate("QAbstractFileIconProvider", "Folder");
        const QString suffix = info.suffix();
        if (suffix.isEmpty()) return QCoreApplication::translate("QAbstractFileIconProvider", "File");
        return QCoreApplication::translate("QAbstractFileIconProvider", "%1 File").arg(suffix);
    }

  private:
    static QIcon Standard(bool folder) {
        return QApplication::style()->standardIcon(folder ? QStyle::SP_DirIcon : QStyle::SP_FileIcon);
    }
};

QString& LastFolder() {
    static QString folder;
    return folder;
}

} // namespace

void ListByNamesOnly(QFileDialog& dialog) {
    // Dialogs live until the program ends; so does the provider they share.
    static auto* provider = new NameOnlyIconProvider;
    dialog.setIconProvider(provider);
}

QString DialogStartFolder(const std::string& fileInUse) {
    if (!fileInUse.empty()) {
        QString folder = QFileInfo(QString::fromStdString(fileInUse)).absolutePath();
        if (QFileInfo(folder).isDir()) return folder;
    }
    if (!LastFolder().isEmpty() && QFileInfo(LastFolder()).isDir()) return LastFolder();
    return QDir::homePath();
}

void RememberDialogFolder(const QString& chosenFile) {
    if (!chosenFile.isEmpty()) LastFolder() = QFileInfo(chosenFile).absolutePath();
}

} // namespace hw::platform
