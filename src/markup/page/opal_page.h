// A rendered OPAL page: a scrolling view holding one control per element of the document, each input bound
// to a registry value. The view never writes by itself; SaveSettings writes the inputs the user changed.
#pragma once

#include "markup/opal_document.h"
#include "markup/page/opal_input.h"

#include <QIcon>
#include <QScrollArea>

#include <deque>
#include <string>
#include <string_view>
#include <vector>

class QLabel;

namespace hw::markup {

struct SaveReport {
    std::vector<std::string> notWritten; // "key\value" of writes that failed
    std::vector<std::string> notANumber; // inputs refused: not a number from 0 to 4294967295
    std::size_t written = 0;
};

class TOPALPage : public QScrollArea {
    Q_OBJECT

  public:
    explicit TOPALPage(QWidget* parent = nullptr);
    ~TOPALPage() override;

    // The glyph of the page's submit buttons.
    void SetSubmitIcon(const QIcon& icon) { submitIcon_ = icon; }

    // Replaces the page by the page of the source text.
    void RenderDocument(std::string_view source);
    // Destroys every control and element; the background colour stays.
    void ClearDocument();
    // Writes each input whose control the user changed; tells the user in one notice what could not be
    // written.
    void SaveSettings();
    // The same without the notice.
    SaveReport WriteSettings();
    // Re-applies the "full" sizes after the view changed size.
    void RefitControls();

    const TOPALDocument& Document() const { return document_; }
    const std::vector<OPALInput>& Inputs() const { return inputs_; }
    // The widget that holds the top-level controls.
    QWidget* Canvas() const { return canvas_; }
    // The control of an element; null when it has none.
    static QWidget* ControlOf(const TOPALElement& element) { return static_cast<QWidget*>(element.Control); }

  protected:
    void resizeEvent(QResizeEvent* event) override;

  private:
    void CreateElementControl(TOPALElement& element);
    QWidget* CreateInputControl(TOPALElement& element, QWidget* parent);
    void ShowBackground();
    // The canvas covers the view, and grows to scroll to controls beyond it.
    void FitCanvas();
    void ChainTabStops();

    TOPALDocument document_;
    std::vector<OPALInput> inputs_;
    QWidget* canvas_;
    QLabel* background_ = nullptr;
    QIcon submitIcon_;
    bool rendering_ = false;
};

} // namespace hw::markup
