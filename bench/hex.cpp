// The hex editor on a 100 MB file: loading it until the first page has painted, jumping to the last line,
// typing one digit in the middle, finding a pattern placed at the end, and the peak memory against the
// file's size.
#include "bench_support.h"
#include "editors/hex_search.h"
#include "editors/window/frm_bin.h"
#include "editors/window/hex_view.h"
#include "support/qt/child.h"
#include "util/scripted_dialogs.h"

#include <QApplication>
#include <QKeyEvent>
#include <QScrollBar>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <random>
#include <string>
#include <sys/resource.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr std::size_t kFileSize = 100u << 20;
const std::string kPatternBytes = "\xCA\xFE\xBA\xBE\x13\x37";
constexpr const char* kPatternText = "CA FE BA BE 13 37";

using hw::bench::Seconds;

// Written a block at a time, so that the benchmark itself never holds the file in memory.
void WriteTestFile(const std::string& fileName) {
    std::ofstream file(fileName, std::ios::binary);
    std::mt19937 random(7);
    std::string block(1 << 20, '\0');
    for (std::size_t written = 0; written < kFileSize; written += block.size()) {
        for (char& byte : block)
            byte = static_cast<char>(random() & 0x7F); // never the pattern's first byte
        if (written + block.size() == kFileSize)
            block.replace(block.size() - kPatternBytes.size(), kPatternBytes.size(), kPatternBytes);
        file.write(block.data(), static_cast<std::streamsize>(block.size()));
    }
}

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / ("hw_bench_hex_" + std::to_string(getpid()));
    std::filesystem::create_directories(dir);
    const std::string fileName = (dir / "big.bin").string();
    WriteTestFile(fileName);
    int status = 0;
    {
        QApplication application(argc, argv);
        hw::util::ScriptedDialogs dialogs;
        dialogs.QueueAnswer(true); // the large-file question
        hw::editors::TfrmBin editor;
        hw::editors::HexView& view = *hw::test::Child<hw::editors::HexView>(editor, "mmHexValue");
        editor.SetNamedMode(false);
        editor.show();
        QApplication::processEvents();

        const double open = Seconds([&] {
            if (!editor.LoadFile(fileName)) status = 1;
            view.viewport()->repaint();
        });
        const double scrollEnd = Seconds([&] {
            view.verticalScrollBar()->setValue(view.verticalScrollBar()->maximum());
            view.viewport()->repaint();
        });
        // The median of five digits typed on neighbouring bytes, so that one stall of a shared machine
        // does not decide the figure.
        std::vector<double> edits;
        view.setFocus();
        for (std::size_t i = 0; i < 5; ++i) {
            view.SetHexSelection({3 * (kFileSize / 2 + i), 0});
            edits.push_back(Seconds([&] {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
                QApplication::sendEvent(&view, &press);
                view.viewport()->repaint();
            }));
        }
        std::sort(edits.begin(), edits.end());
        const double edit = edits[edits.size() / 2];
        std::optional<std::size_t> found;
        const double find = Seconds([&] {
            found = hw::editors::FindInByteText(editor.Bytes(), kPatternText, 0);
            view.SetHexSelection({found.value_or(0), 17});
            view.viewport()->repaint();
        });
        if (found != 3 * (kFileSize - kPatternBytes.size())) status = 1;

        rusage usage{};
        getrusage(RUSAGE_SELF, &usage);
        const double peakRss = static_cast<double>(usage.ru_maxrss) * 1024.0;
        std::printf("hex.open_100mb.seconds %.3f\n", open);
        std::printf("hex.scroll_end_100mb.seconds %.4f\n", scrollEnd);
        std::printf("hex.edit_middle_100mb.ms %.3f\n", edit * 1000.0);
        std::printf("hex.find_100mb.seconds %.3f\n", find);
        std::printf("hex.peak_rss_ratio %.2f\n", peakRss / static_cast<double>(kFileSize));
    }
    std::filesystem::remove_all(dir);
    return status;
}
