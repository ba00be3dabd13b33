// The small picture that moves while a search runs: a magnifying glass circling over a folder.
#pragma once

#include <QTimer>
#include <QWidget>

namespace hw::window {

class SearchAnimation : public QWidget {
    Q_OBJECT

  public:
    explicit SearchAnimation(QWidget* parent = nullptr);

    // Shows the widget and starts moving; Stop halts and hides it.
    void Start();
    void Stop();
    bool IsRunning() const { return timer_.isActive(); }

    QSize sizeHint() const override { return {48, 36}; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    QTimer timer_;
    int frame_ = 0;
};

} // namespace hw::window
