// The Go To dialog: a root choice and the key path to go to. It also holds the last-navigation flag that
// Go To Last reads.
#pragma once

#include <QDialog>

#include <optional>
#include <string>

class QButtonGroup;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace hw::window {

class TfrmGoTo : public QDialog {
    Q_OBJECT

  public:
    explicit TfrmGoTo(QWidget* parent = nullptr);

    // Shows the dialog modally; the text of edtKey when closed with Go, nothing on Cancel. The caller then
    // goes to the path (under a BusyCursor) and records the outcome with SetLastNavigationOk.
    std::optional<std::string> ShowForPath();

    // The path Go To Last repeats: the edit's text, kept between uses.
    std::string KeyText() const;
    void SetKeyText(const std::string& path);

    // Set by every successful go to path, cleared by every failed one, whatever started it.
    bool LastNavigationOk() const { return lastNavigationOk_; }
    void SetLastNavigationOk(bool ok) { lastNavigationOk_ = ok; }

    // Chooses root item index of rdgrpHKey (as a click does): rewrites the edit's root.
    void SelectRootItem(int index);
    int RootItemCount() const;
    std::string RootItemText(int index) const;

    // Captions and labels from the text table.
    void ApplyLanguage();

  private:
    QGroupBox* rdgrpHKey;
    QLabel* lblKey;
    QLineEdit* edtKey;
    QPushButton* btnOk;
    QPushButton* btnCancel;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void rdgrpHKeyClick(int index);

    QButtonGroup* rootButtons_;
    bool lastNavigationOk_ = false;
};

} // namespace hw::window
