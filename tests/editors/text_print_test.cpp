// Printed text wraps at the page's edge instead of running off it, and nothing is lost in the wrapping.
#include "editors/hex_document.h"
#include "editors/window/hex_print.h"
#include "support/qt/window_fixture.h"
#include "support/temp_registry.h"
#include "ui/text_print.h"
#include "util/file_io.h"

#include <QFontMetricsF>
#include <QPageLayout>
#include <QPrinter>

#include <gtest/gtest.h>

namespace hw::editors {
namespace {

int PageCount(const std::string& pdfFile) {
    const std::optional<std::string> pdf = util::ReadFileBytes(pdfFile);
    if (!pdf) return 0;
    const std::size_t count = pdf->find("/Count ");
    return count == std::string::npos ? 0 : std::stoi(pdf->substr(count + 7, 6));
}

void UsePdf(QPrinter& printer, const std::string& file, double widthMm) {
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(QString::fromStdString(file));
    printer.setPageSize(QPageSize(QSizeF(widthMm, 150), QPageSize::Millimeter));
    printer.setPageMargins(QMarginsF(5, 5, 5, 5), QPageLayout::Millimeter);
}

TEST(TextPrintTest, LongLinesWrapWithinThePageAndKeepEveryCharacter) {
    test::EnsureQtApplication();
    test::TempDir dir;
    QPrinter printer(QPrinter::HighResolution);
    UsePdf(printer, dir.file("wrap.pdf"), 60);
    const qreal width = printer.pageLayout().paintRectPixels(printer.resolution()).width();
    const QFont font = ui::PrintFont();
    const QFontMetricsF metrics(font, &printer);
    struct Case {
        const char* what;
        QString line;
        bool wraps;
    };
    const Case cases[] = {
        {"one long word", QString(400, QChar('A')), true},
        {"words", QStringLiteral("\"Name\"=\"%1\"").arg(QString(60, QChar(' ')) + QString(90, QChar('w'))),
         true},
        {"hex line",
         QStringLiteral("00000000  41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41  AAAAAAAAAAAAAAAA"), true},
        {"short", QStringLiteral("REGEDIT4"), false},
        {"empty", QString(), false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QStringList rows = ui::WrapLine(c.line, font, &printer, width);
        EXPECT_EQ(rows.join(QString()), c.line);
        EXPECT_EQ(rows.size() > 1, c.wraps);
        for (const QString& row : rows)
            EXPECT_LE(metrics.horizontalAdvance(row.trimmed()), width) << row.toStdString();
    }
}

TEST(TextPrintTest, HexLinesTooWideForThePageTakeMorePagesInsteadOfBeingCut) {
    test::EnsureQtApplication();
    test::TempDir dir;
    HexDocument document;
    document.SetBytes(std::string(2000, 'A'));
    const auto pages = [&](const char* name, double widthMm) {
        QPrinter printer(QPrinter::HighResolution);
        UsePdf(printer, dir.file(name), widthMm);
        EXPECT_TRUE(PrintHexLines(printer, document, QStringLiteral("Blob   hex content")));
        return PageCount(dir.file(name));
    };
    const int wide = pages("wide.pdf", 300);
    ASSERT_GT(wide, 0);
    // On a page a third as wide each line takes at least two rows.
    EXPECT_GE(pages("narrow.pdf", 100), 2 * wide - 1);
}

} // namespace
} // namespace hw::editors
