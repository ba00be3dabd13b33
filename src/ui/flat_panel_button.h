// A captioned panel that behaves as a flat button: raised while the pointer is over its inner area, sunken
// while pressed, flat otherwise.
#pragma once

#include <QFrame>
#include <QMargins>

class QLabel;

namespace hw::ui {

class FlatPanelButton : public QFrame {
    Q_OBJECT

  public:
    // inner: the inner area's distances from the left (at least), right, top and bottom (more than) edges.
    FlatPanelButton(const QString& caption, const QMargins& inner, QWidget* parent = nullptr);

    void SetCaption(const QString& caption);
    QString Caption() const;

  signals:
    // The mouse button was released over the panel; globalPos is the pointer's position.
    void released(const QPoint& globalPos);

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

  private:
    bool InInnerArea(const QPoint& pos) const;
    // Flat draws no frame; the margin keeps the caption where a frame would leave it.
    void ShowFlat() { SetLook(QFrame::NoFrame, 1); }
    void ShowRaised() { SetLook(QFrame::Panel | QFrame::Raised, 0); }
    void ShowSunken() { SetLook(QFrame::Panel | QFrame::Sunken, 0); }
    void SetLook(int frameStyle, int margin);

    QLabel* label_;
    QMargins inner_;
    bool pressed_ = false;
};

} // namespace hw::ui
