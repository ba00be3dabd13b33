#include "editors/window/editor_parts.h"

#include <QEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStringDecoder>

#include <string>

namespace hw::editors {

namespace {

class ClickFocus : public QObject {
  public:
    ClickFocus(QLabel* label, QWidget* target) : QObject(label), target_(target) {}

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::MouseButtonPress) target_->setFocus(Qt::MouseFocusReason);
        return QObject::eventFilter(watched, event);
    }

  private:
    QWidget* target_;
};

} // namespace

QLineEdit* NewNameEdit(QWidget* parent) {
    auto* edit = new QLineEdit(parent);
    edit->setReadOnly(true);
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, CreamOf(palette));
    edit->setPalette(palette);
    return edit;
}

QColor CreamOf(const QPalette& palette) {
    const bool light = palette.color(QPalette::Base).lightnessF() > 0.5F;
    return light ? QColor(255, 251, 240) : palette.color(QPalette::AlternateBase);
}

void FocusOnClick(QLabel* label, QWidget* target) {
    label->installEventFilter(new ClickFocus(label, target));
    label->setBuddy(target);
}

QString DecodeText(const std::string& bytes) {
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (!utf8.hasError()) return text;
    return QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace hw::editors
