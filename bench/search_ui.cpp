// A search with 100,000 results through the Find window (rows arriving and shown, offscreen) against the
// engine alone on the same store, and the process's peak memory while the window holds those rows.
// Tree: 20,000 keys below one start key, ten text values each, five of which hold the find text.
#include "app/window/frm_main.h"
#include "bench_support.h"
#include "platform/registry_store.h"
#include "platform/winreg.h"
#include "search/search_request.h"
#include "search/window/found_list_model.h"
#include "search/window/frm_find.h"
#include "support/qt/child.h"

#include <QApplication>
#include <QLineEdit>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>

namespace {

constexpr int kKeys = 20000;
constexpr int kValuesPerKey = 10;
constexpr std::size_t kExpectedResults = kKeys * kValuesPerKey / 2;
const char* const kStartSubKey = "Software\\BenchFind";
const char* const kStartPath = "HKEY_LOCAL_MACHINE\\Software\\BenchFind";

void Populate() {
    HKEY start = 0;
    RegCreateKeyExA(HKEY_LOCAL_MACHINE, kStartSubKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &start,
                    nullptr);
    for (int i = 0; i < kKeys; ++i) {
        // Two levels, so the walk enters keys of both kinds.
        const std::string path = "Group" + std::to_string(i / 100) + "\\Key" + std::to_string(i);
        HKEY key = 0;
        if (RegCreateKeyExA(start, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
            ERROR_SUCCESS) {
            std::fprintf(stderr, "cannot create %s\n", path.c_str());
            std::exit(1);
        }
        for (int v = 0; v < kValuesPerKey; ++v) {
            const std::string name = "Value" + std::to_string(v);
            char text[40];
            std::snprintf(text, sizeof text, "%s-%08d-%d", v % 2 == 0 ? "needle" : "hay", i, v);
            RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text),
                           static_cast<DWORD>(std::strlen(text) + 1));
        }
        RegCloseKey(key);
    }
    RegCloseKey(start);
    hw::platform::FlushRegistry();
}

using hw::bench::Measure;
using hw::bench::Timing;

Timing Best(const Timing& a, const Timing& b) {
    return {std::min(a.wall, b.wall), std::min(a.cpu, b.cpu)};
}

Timing TimeEngine(std::size_t& found) {
    hw::search::SearchRequest request;
    request.startPath = kStartPath;
    request.findText = "needle";
    request.mode = hw::search::MatchMode::Contains;
    request.targets = hw::search::kAllTargets;
    const Timing timing = Measure([&] { hw::search::Search(request); });
    found = request.results().size();
    return timing;
}

// From Find pressed until the last rows are painted.
Timing TimeWindow(hw::window::TfrmFind& find, std::size_t& found) {
    find.SetCurrentKey(kStartPath);
    hw::test::Child<QLineEdit>(find, "edtItem")->setText("needle");
    const Timing timing = Measure([&] {
        find.btnOkClick();
        QApplication::processEvents();
    });
    found = static_cast<std::size_t>(find.Model()->Count());
    return timing;
}

// Forgets the peak so far, so the next reading covers only what follows.
void ResetPeakMemory() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

double PeakMegabytes() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const hw::bench::TempRegistry registry;
    Populate();

    QApplication application(argc, argv);
    auto frmMain = std::make_unique<hw::window::TfrmMain>();
    auto find = std::make_unique<hw::window::TfrmFind>(frmMain->FindHost(), hw::window::TfrmFind::Role::Find);
    find->resize(800, 600);
    find->show();
    QApplication::processEvents();

    // Best of three runs each, alternating, so neither side gets a colder cache.
    std::size_t engineFound = 0, windowFound = 0;
    Timing engine = TimeEngine(engineFound);
    ResetPeakMemory();
    Timing window = TimeWindow(*find, windowFound);
    const double peak = PeakMegabytes();
    for (int run = 0; run < 2; ++run) {
        engine = Best(engine, TimeEngine(engineFound));
        window = Best(window, TimeWindow(*find, windowFound));
    }
    if (engineFound != kExpectedResults || windowFound != kExpectedResults) {
        std::fprintf(stderr, "found %zu by the engine and %zu in the window, expected %zu\n", engineFound,
                     windowFound, kExpectedResults);
        return 1;
    }

    std::printf("search.ui_100k.engine_seconds %.3f\n", engine.wall);
    std::printf("search.ui_100k.window_seconds %.3f\n", window.wall);
    std::printf("search.ui_100k.engine_cpu_seconds %.3f\n", engine.cpu);
    std::printf("search.ui_100k.window_cpu_seconds %.3f\n", window.cpu);
    std::printf("search.ui_100k.wall_ratio %.2f\n", window.wall / engine.wall);
    // Processor time: the machine's other work does not move it.
    std::printf("search.ui_100k.ratio %.2f\n", window.cpu / engine.cpu);
    std::printf("search.ui_peak_rss_mb %.1f\n", peak);

    find.reset();
    frmMain.reset();
    return 0;
}
