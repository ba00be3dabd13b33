// A label that keeps its whole text but draws it elided in the middle when it does not fit, so that both the
// root and the last key of a long path stay visible.
#pragma once

#include <QLabel>

namespace hw::ui {

class ElidedLabel : public QLabel {
    Q_OBJECT

  public:
    using QLabel::QLabel;
    QSize minimumSizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace hw::ui
