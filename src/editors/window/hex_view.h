// The hex editor's drawn view over a byte buffer: the address column, the byte text and the character
// column side by side, 16 bytes a line, scrolled together by one scroll bar. Typing, Delete, the carets
// and the selections follow HexDocument's rules; the hex column or the character column has the keys.
#pragma once

#include "editors/hex_document.h"

#include <QAbstractScrollArea>
#include <QFont>

namespace hw::editors {

class HexView : public QAbstractScrollArea {
    Q_OBJECT

  public:
    enum class Column { Hex, Chars };

    explicit HexView(QWidget* parent = nullptr);

    const HexDocument& Document() const { return document_; }
    // Changes made through here repaint, keep the scroll range and tell bytesChanged or selectionChanged.
    void SetBytes(std::string bytes);
    void SetHexSelection(TextRange range);
    void SetCharSelection(TextRange range);
    // Runs an edit on the document, then updates the view (edit returns whether the bytes changed).
    template <typename Edit> void EditDocument(Edit edit) {
        const bool changed = edit(document_);
        Refresh(changed);
    }

    Column ActiveColumn() const { return activeColumn_; }
    void SetActiveColumn(Column column);
    // The first shown line; clamped to what the scroll bar allows (lines - 16).
    std::size_t FirstLine() const;
    void ScrollToLine(std::size_t line);

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

  signals:
    void bytesChanged();
    void selectionChanged();
    void contextMenuRequested(QPoint globalPosition);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    struct Geometry {
        int charWidth;
        int lineHeight;
        int addressLeft;
        int hexLeft;
        int charsLeft;
        int width;
    };
    Geometry Layout() const;
    void Refresh(bool bytesChanged);
    void UpdateScrollRange();
    void EnsureCaretVisible();
    bool MoveCaret(const QKeyEvent& event);
    // The position under a point in a column (a byte text position or a character index).
    std::size_t PositionAt(Column column, QPoint point) const;
    Column ColumnAt(QPoint point) const;
    void PaintLine(QPainter& painter, const Geometry& geometry, std::size_t line, int top) const;

    HexDocument document_;
    QFont font_;
    int charWidth_ = 0;
    Column activeColumn_ = Column::Hex;
    // The left button went down in this column and has not come up; typing there waits.
    bool hexDrag_ = false;
    bool charDrag_ = false;
};

} // namespace hw::editors
