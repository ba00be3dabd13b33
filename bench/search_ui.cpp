// A search with 100,000 results through the Find window (rows arriving and shown, offscreen) against the
// engine alone on the same store, and the process's peak memory while the window holds those rows.
// Tree: 20,000 keys below one start key, ten text values each, five of which hold the find text.
#include "app/window/frm_main.h"
#include "platform/registry_store.h"
#include "platform/winreg.h"
#include "search/search_request.h"
#include "search/window/found_list_model.h"
#include "search/window/frm_find.h"

#include <QApplication>
#include <QLineEdit>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
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

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

double TimeEngine(std::size_t& found) {
    hw::search::SearchRequest request;
    request.startPath = kStartPath;
    request.findText = "needle";
    request.mode = hw::search::MatchMode::Contains;
    request.targets = hw::search::kAllTargets;
    const auto started = std::chrono::steady_clock::now();
    hw::search::Search(request);
    const double seconds = Seconds(started);
    found = request.results().size();
    return seconds;
}

// From Find pressed until the last rows are painted.
double TimeWindow(hw::window::TfrmFind& find, std::size_t& found) {
    find.SetCurrentKey(kStartPath);
    find.edtItem->setText("needle");
    const auto started = std::chrono::steady_clock::now();
    find.btnOkClick();
    QApplication::processEvents();
    const double seconds = Seconds(started);
    found = static_cast<std::size_t>(find.Model()->Count());
    return seconds;
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
    qputenv("QT_QPA_PLATFORM", "offscreen");
    char pattern[] = "/tmp/hw-bench-search-ui-XXXXXX";
    if (mkdtemp(pattern) == nullptr) return 1;
    const std::filesystem::path dir = pattern;
    std::string error;
    auto store = hw::platform::OpenSqliteStore((dir / "registry.db").string(), &error);
    if (!store) {
        std::fprintf(stderr, "cannot open store: %s\n", error.c_str());
        return 1;
    }
    hw::platform::UseRegistry(std::move(store));
    Populate();

    QApplication application(argc, argv);
    auto frmMain = std::make_unique<hw::window::TfrmMain>();
    auto find = std::make_unique<hw::window::TfrmFind>(*frmMain, hw::window::TfrmFind::Role::Find);
    find->resize(800, 600);
    find->show();
    QApplication::processEvents();

    // Best of two runs each, alternating, so neither side gets a colder cache.
    std::size_t engineFound = 0, windowFound = 0;
    double engine = TimeEngine(engineFound);
    ResetPeakMemory();
    double window = TimeWindow(*find, windowFound);
    const double peak = PeakMegabytes();
    engine = std::min(engine, TimeEngine(engineFound));
    window = std::min(window, TimeWindow(*find, windowFound));
    if (engineFound != kExpectedResults || windowFound != kExpectedResults) {
        std::fprintf(stderr, "found %zu by the engine and %zu in the window, expected %zu\n", engineFound,
                     windowFound, kExpectedResults);
        return 1;
    }

    std::printf("search.ui_100k.engine_seconds %.3f\n", engine);
    std::printf("search.ui_100k.window_seconds %.3f\n", window);
    std::printf("search.ui_100k.ratio %.2f\n", window / engine);
    std::printf("search.ui_peak_rss_mb %.1f\n", peak);

    find.reset();
    frmMain.reset();
    hw::platform::UseRegistry(nullptr);
    std::filesystem::remove_all(dir);
    return 0;
}
