// The string editor: one text value as free text, with its length, loading, saving and printing. The caller
// fills the name and the text, shows the dialog and on OK writes Text() itself; it clears both afterwards.
#pragma once

#include <QDialog>
#include <QString>

#include <string>

class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPrinter;
class QPushButton;

namespace hw::editors {

class TfrmStr : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmStr(QWidget* parent = nullptr);

    void SetName(const std::string& name);
    // The data as shown; line breaks are CR LF.
    void SetText(const std::string& text);
    // The text as the caller stores it (without the NUL): line breaks CR LF; the bytes that were set or
    // loaded come back unchanged while the user has not edited them.
    std::string Text() const;
    void Clear();

    // Replace the text with a file's content / write the text to a file; false after telling the user why.
    bool LoadFromFile(const QString& fileName);
    bool SaveToFile(const QString& fileName);
    void PrintTo(QPrinter& printer);

    // The length label's number: the bytes Text() has.
    std::size_t Length() const { return Text().size(); }

    void ApplyLanguage();

  protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

  private:
    void ShowLength();
    void ShowMaximum();
    void btnLoadClick();
    void btnSaveClick();
    void btnPrintClick();
    void UpdateTitle();

    QLabel* lblName;
    QLineEdit* edtName;
    QLabel* lblData;
    QPlainTextEdit* mmValue;
    QLabel* lblLength;
    QLabel* lblMax;
    QPushButton* btnPrint;
    QPushButton* btnLoad;
    QPushButton* btnSave;
    QPushButton* btnOk;
    QPushButton* btnCancel;

    // What was last set or loaded, as bytes and as shown.
    std::string sourceBytes_;
    QString sourceShown_;
};

} // namespace hw::editors
