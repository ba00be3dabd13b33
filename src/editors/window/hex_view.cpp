#include "editors/window/hex_view.h"

#include "editors/window/editor_parts.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>

#include <algorithm>
#include <cmath>

namespace hw::editors {

namespace {

constexpr int kPadding = 4;
constexpr int kAddressDigits = 8;

// The line and column at which a caret position is drawn; a caret at the very end of a full last line
// stays on that line instead of starting an empty one.
struct CaretPlace {
    std::size_t line;
    std::size_t column;
};

CaretPlace HexCaretPlace(std::size_t position) {
    return {position / kHexCharsPerLine, position % kHexCharsPerLine};
}

CaretPlace CharCaretPlace(std::size_t index, std::size_t count) {
    if (index > 0 && index == count && index % kBytesPerLine == 0)
        return {index / kBytesPerLine - 1, kBytesPerLine};
    return {index / kBytesPerLine, index % kBytesPerLine};
}

} // namespace

HexView::HexView(QWidget* parent) : QAbstractScrollArea(parent) {
    font_ = QFont(QStringLiteral("Courier New"));
    font_.setPixelSize(12);
    font_.setStyleHint(QFont::TypeWriter);
    font_.setFixedPitch(true);
    // Glyphs may advance by a fraction of a pixel; spacing them to whole pixels keeps runs of text on the
    // same grid as the carets, selections and mouse positions.
    const qreal advance = QFontMetricsF(font_).horizontalAdvance(QLatin1Char('0'));
    charWidth_ = static_cast<int>(std::ceil(advance));
    font_.setLetterSpacing(QFont::AbsoluteSpacing, charWidth_ - advance);
    viewport()->setFont(font_);
    viewport()->setCursor(Qt::IBeamCursor);
    viewport()->setAutoFillBackground(false);
    setFocusPolicy(Qt::StrongFocus);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    verticalScrollBar()->setSingleStep(1);
    verticalScrollBar()->setPageStep(static_cast<int>(kPageLines));
    connect(verticalScrollBar(), &QScrollBar::valueChanged, viewport(), qOverload<>(&QWidget::update));
    UpdateScrollRange();
}

HexView::Geometry HexView::Layout() const {
    const QFontMetrics metrics(font_);
    Geometry geometry{};
    geometry.charWidth = charWidth_;
    geometry.lineHeight = metrics.height();
    geometry.addressLeft = kPadding;
    geometry.hexLeft = geometry.addressLeft + kAddressDigits * geometry.charWidth + 3 * kPadding;
    geometry.charsLeft =
        geometry.hexLeft + static_cast<int>(kHexCharsPerLine) * geometry.charWidth + 2 * kPadding;
    geometry.width = geometry.charsLeft + static_cast<int>(kBytesPerLine) * geometry.charWidth + 2 * kPadding;
    return geometry;
}

QSize HexView::sizeHint() const {
    const Geometry geometry = Layout();
    const int frame = 2 * frameWidth();
    return {geometry.width + verticalScrollBar()->sizeHint().width() + frame,
            static_cast<int>(kPageLines) * geometry.lineHeight + 2 * kPadding + frame};
}

void HexView::SetBytes(std::string bytes) {
    document_.SetBytes(std::move(bytes));
    verticalScrollBar()->setValue(0);
    Refresh(true);
}

void HexView::SetHexSelection(TextRange range) {
    document_.hex.Set(range);
    Refresh(false);
}

void HexView::SetCharSelection(TextRange range) {
    document_.chars.Set(range);
    Refresh(false);
}

void HexView::SetActiveColumn(Column column) {
    activeColumn_ = column;
    viewport()->update();
}

std::size_t HexView::FirstLine() const {
    return static_cast<std::size_t>(verticalScrollBar()->value());
}

void HexView::ScrollToLine(std::size_t line) {
    verticalScrollBar()->setValue(
        static_cast<int>(std::min<std::size_t>(line, verticalScrollBar()->maximum())));
}

void HexView::UpdateScrollRange() {
    const std::size_t lines = document_.LineCount();
    verticalScrollBar()->setRange(0, lines > kPageLines ? static_cast<int>(lines - kPageLines) : 0);
}

void HexView::Refresh(bool changed) {
    UpdateScrollRange();
    EnsureCaretVisible();
    viewport()->update();
    if (changed) emit bytesChanged();
    emit selectionChanged();
}

void HexView::EnsureCaretVisible() {
    const std::size_t line = activeColumn_ == Column::Hex
                                 ? HexCaretPlace(document_.hex.caret).line
                                 : CharCaretPlace(document_.chars.caret, document_.ByteCount()).line;
    const std::size_t first = FirstLine();
    if (line < first) ScrollToLine(line);
    if (line >= first + kPageLines) ScrollToLine(line - kPageLines + 1);
}

HexView::Column HexView::ColumnAt(QPoint point) const {
    const Geometry geometry = Layout();
    return point.x() >= geometry.charsLeft - kPadding ? Column::Chars : Column::Hex;
}

std::size_t HexView::PositionAt(Column column, QPoint point) const {
    const Geometry geometry = Layout();
    const int row = std::max(0, point.y() - kPadding) / geometry.lineHeight;
    const std::size_t line = std::min(FirstLine() + static_cast<std::size_t>(row), document_.LineCount() - 1);
    const bool hex = column == Column::Hex;
    const int left = hex ? geometry.hexLeft : geometry.charsLeft;
    const int lastColumn = static_cast<int>(hex ? kHexCharsPerLine - 1 : kBytesPerLine);
    const int x = std::clamp((point.x() - left + geometry.charWidth / 2) / geometry.charWidth, 0, lastColumn);
    const std::size_t position =
        line * (hex ? kHexCharsPerLine : kBytesPerLine) + static_cast<std::size_t>(x);
    return std::min(position, hex ? document_.HexLength() : document_.ByteCount());
}

void HexView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setFont(font_);
    const Geometry geometry = Layout();
    const QRect area = viewport()->rect();
    painter.fillRect(area, palette().base());
    const QColor cream = CreamOf(palette());
    painter.fillRect(QRect(0, 0, geometry.hexLeft - kPadding, area.height()), cream);
    painter.fillRect(QRect(geometry.charsLeft - kPadding, 0, area.width(), area.height()), cream);
    painter.setPen(palette().mid().color());
    painter.drawLine(geometry.hexLeft - kPadding, 0, geometry.hexLeft - kPadding, area.height());
    painter.drawLine(geometry.charsLeft - kPadding, 0, geometry.charsLeft - kPadding, area.height());

    const std::size_t first = FirstLine();
    const std::size_t shown = static_cast<std::size_t>(area.height() / geometry.lineHeight) + 1;
    const std::size_t last = std::min(document_.LineCount(), first + shown);
    for (std::size_t line = first; line < last; ++line)
        PaintLine(painter, geometry, line, kPadding + static_cast<int>(line - first) * geometry.lineHeight);

    if (!hasFocus()) return;
    const bool hex = activeColumn_ == Column::Hex;
    const CaretPlace caret = hex ? HexCaretPlace(document_.hex.caret)
                                 : CharCaretPlace(document_.chars.caret, document_.ByteCount());
    if (caret.line < first || caret.line >= last) return;
    const int x =
        (hex ? geometry.hexLeft : geometry.charsLeft) + static_cast<int>(caret.column) * geometry.charWidth;
    const int top = kPadding + static_cast<int>(caret.line - first) * geometry.lineHeight;
    painter.fillRect(QRect(x, top, 2, geometry.lineHeight), palette().text());
}

void HexView::PaintLine(QPainter& painter, const Geometry& geometry, std::size_t line, int top) const {
    const int ascent = QFontMetrics(font_).ascent();
    const auto drawRun = [&](int left, std::size_t lineStart, std::size_t lineEnd, TextRange selected,
                             const auto& charAt) {
        // Selected runs include a line's closing blank, so that a selection over lines reads as one.
        const std::size_t selectedStart = std::clamp(selected.start, lineStart, lineEnd);
        const std::size_t selectedEnd = std::clamp(selected.end(), lineStart, lineEnd);
        if (selectedEnd > selectedStart)
            painter.fillRect(QRect(left + static_cast<int>(selectedStart - lineStart) * geometry.charWidth,
                                   top, static_cast<int>(selectedEnd - selectedStart) * geometry.charWidth,
                                   geometry.lineHeight),
                             palette().highlight());
        // Monospace: one run per colour keeps painting cheap.
        QString text(static_cast<qsizetype>(lineEnd - lineStart), QLatin1Char(' '));
        for (std::size_t position = lineStart; position < lineEnd; ++position)
            text[static_cast<qsizetype>(position - lineStart)] = QLatin1Char(charAt(position));
        painter.setPen(palette().text().color());
        painter.drawText(left, top + ascent, text);
        if (selectedEnd <= selectedStart) return;
        painter.setPen(palette().highlightedText().color());
        painter.drawText(left + static_cast<int>(selectedStart - lineStart) * geometry.charWidth,
                         top + ascent,
                         text.mid(static_cast<qsizetype>(selectedStart - lineStart),
                                  static_cast<qsizetype>(selectedEnd - selectedStart)));
    };

    painter.setPen(palette().text().color());
    painter.drawText(
        geometry.addressLeft, top + ascent,
        QStringLiteral("%1")
            .arg(static_cast<qulonglong>(line) * kBytesPerLine, kAddressDigits, 16, QLatin1Char('0'))
            .toUpper());
    const std::size_t hexStart = line * kHexCharsPerLine;
    drawRun(geometry.hexLeft, hexStart, std::min(hexStart + kHexCharsPerLine, document_.HexLength()),
            document_.HexRange(), [this](std::size_t position) { return document_.HexCharAt(position); });
    const std::size_t charStart = line * kBytesPerLine;
    drawRun(geometry.charsLeft, charStart, std::min(charStart + kBytesPerLine, document_.ByteCount()),
            document_.CharRange(), [this](std::size_t index) {
                return PrintableChar(static_cast<unsigned char>(document_.Bytes()[index]));
            });
}

bool HexView::MoveCaret(const QKeyEvent& event) {
    const bool hex = activeColumn_ == Column::Hex;
    Selection& selection = hex ? document_.hex : document_.chars;
    const std::size_t limit = hex ? document_.HexLength() : document_.ByteCount();
    const std::size_t step = hex ? kHexCharsPerLine : kBytesPerLine;
    const std::size_t page = step * kPageLines;
    const std::size_t caret = selection.caret;
    const std::size_t lineStart = caret / step * step;
    const bool control = event.modifiers() & Qt::ControlModifier;
    std::size_t moved = 0;
    switch (event.key()) {
    case Qt::Key_Left:
        moved = caret > 0 ? caret - 1 : 0;
        break;
    case Qt::Key_Right:
        moved = caret + 1;
        break;
    case Qt::Key_Up:
        moved = caret >= step ? caret - step : caret;
        break;
    case Qt::Key_Down:
        moved = caret + step <= limit ? caret + step : caret;
        break;
    case Qt::Key_PageUp:
        moved = caret >= page ? caret - page : caret % step;
        break;
    case Qt::Key_PageDown:
        moved = caret + page;
        break;
    case Qt::Key_Home:
        moved = control ? 0 : lineStart;
        break;
    case Qt::Key_End:
        moved = control ? limit : lineStart + step - 1;
        break;
    default:
        return false;
    }
    moved = std::min(moved, limit);
    if (event.modifiers() & Qt::ShiftModifier)
        selection.caret = moved;
    else
        selection.Place(moved);
    Refresh(false);
    return true;
}

void HexView::keyPressEvent(QKeyEvent* event) {
    const bool hex = activeColumn_ == Column::Hex;
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
        event->ignore(); // the dialog's OK and Cancel
        return;
    }
    event->accept();
    if (event->modifiers() & Qt::ControlModifier) {
        if (key == Qt::Key_A) {
            document_.SelectAll();
            Refresh(false);
        } else if (key == Qt::Key_Home || key == Qt::Key_End) {
            MoveCaret(*event);
        }
        return; // every other Ctrl key is swallowed
    }
    if (key == Qt::Key_Delete) {
        EditDocument(
            [hex](HexDocument& document) { return hex ? document.DeleteInHex() : document.DeleteInChars(); });
        return;
    }
    if (key == Qt::Key_Backspace || MoveCaret(*event)) return;
    const QString text = event->text();
    if (text.size() != 1 || text[0].unicode() > 0x7F) return;
    const char typed = static_cast<char>(text[0].unicode());
    if (hex && !hexDrag_)
        EditDocument([typed](HexDocument& document) { return document.TypeHexDigit(typed); });
    else if (!hex && !charDrag_)
        EditDocument([typed](HexDocument& document) {
            return document.TypeCharacter(static_cast<unsigned char>(typed));
        });
}

void HexView::keyReleaseEvent(QKeyEvent* event) {
    const bool hex = activeColumn_ == Column::Hex;
    if (event->key() == Qt::Key_Shift) {
        if (hex)
            document_.RoundHexSelection();
        else
            document_.SyncHexFromChars();
    } else if (event->modifiers() & Qt::ShiftModifier) {
        if (hex)
            document_.SyncCharsFromHex();
        else
            document_.SyncHexFromChars();
    } else {
        QAbstractScrollArea::keyReleaseEvent(event);
        return;
    }
    Refresh(false);
}

void HexView::mousePressEvent(QMouseEvent* event) {
    const QPoint point = event->position().toPoint();
    const Column column = ColumnAt(point);
    if (point.x() < Layout().hexLeft - kPadding) {
        SetActiveColumn(Column::Hex); // the address column hands the focus to the hex column
        return;
    }
    SetActiveColumn(column);
    if (event->button() != Qt::LeftButton) return;
    const bool hex = column == Column::Hex;
    Selection& selection = hex ? document_.hex : document_.chars;
    const std::size_t position = PositionAt(column, point);
    if (event->modifiers() & Qt::ShiftModifier)
        selection.caret = position;
    else
        selection.Place(position);
    (hex ? hexDrag_ : charDrag_) = true;
    if (hex)
        document_.SyncCharsFromHex();
    else
        document_.SyncHexFromChars();
    Refresh(false);
}

void HexView::mouseMoveEvent(QMouseEvent* event) {
    if (!hexDrag_ && !charDrag_) return;
    const QPoint point = event->position().toPoint();
    if (point.y() < 0 && FirstLine() > 0) ScrollToLine(FirstLine() - 1);
    if (point.y() > viewport()->height()) ScrollToLine(FirstLine() + 1);
    if (hexDrag_) {
        document_.hex.caret = PositionAt(Column::Hex, point);
        document_.SyncCharsFromHex();
    } else {
        document_.chars.caret = PositionAt(Column::Chars, point);
        document_.SyncHexFromChars();
    }
    viewport()->update();
    emit selectionChanged();
}

void HexView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return;
    if (hexDrag_) document_.RoundHexSelection();
    if (charDrag_) document_.SyncHexFromChars();
    hexDrag_ = charDrag_ = false;
    viewport()->update();
    emit selectionChanged();
}

void HexView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    viewport()->update();
}

void HexView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    viewport()->update();
}

void HexView::contextMenuEvent(QContextMenuEvent* event) {
    emit contextMenuRequested(event->globalPos());
}

} // namespace hw::editors
