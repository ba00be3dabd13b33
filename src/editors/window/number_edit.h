// The DWORD editor's number box: every character typed or pasted passes the current base's typing rule.
#pragma once

#include "editors/dword_text.h"

#include <QLineEdit>

namespace hw::editors {

class NumberEdit : public QLineEdit {
    Q_OBJECT

  public:
    explicit NumberEdit(QWidget* parent = nullptr);

    void SetBase(NumberBase base) { base_ = base; }
    NumberBase Base() const { return base_; }

    // Inserts text at the caret as if typed character by character; what the rule refuses is dropped.
    void PasteFiltered(const QString& text);

  signals:
    void enterPressed();
    void escapePressed();

  protected:
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    NumberBase base_ = NumberBase::Decimal;
};

} // namespace hw::editors
