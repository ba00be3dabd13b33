// File dialogs that list a folder by names alone. The usual icons and type texts come from reading each
// file's first bytes; listing the registry's folder would then open and close the live database files.
#pragma once

#include <QString>

#include <string>

class QFileDialog;

namespace hw::platform {

// Plain file and folder icons, types from the names' suffixes.
void ListByNamesOnly(QFileDialog& dialog);

// Where a file dialog starts: the folder of the file in use, else the last folder chosen in one, else
// the home folder (never the program's folder, the current one).
QString DialogStartFolder(const std::string& fileInUse = {});
// Remembers the folder of a chosen file for the next dialog.
void RememberDialogFolder(const QString& chosenFile);

} // namespace hw::platform
