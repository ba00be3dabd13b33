// Editing in the main window on large keys: Paste Key of a big tree against the core copy of the same tree,
// deleting 10,000 selected values, and a new value in a key that already holds 10,000.
#include "app/window/frm_main.h"
#include "app/window/registry_browser.h"
#include "bench_support.h"
#include "core/key_ops.h"
#include "platform/registry_store.h"
#include "platform/winreg.h"
#include "support/qt/child.h"
#include "util/scripted_dialogs.h"

#include <QAction>
#include <QApplication>
#include <QItemSelectionModel>
#include <QMenu>
#include <QTreeView>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int kTreeKeys = 100000;
constexpr int kFanOut = 10;
constexpr int kValuesPerKey = 10;
constexpr int kListValues = 10000;

// flush: the time includes committing the writes (long copies); a short edit is timed as the user sees
// it, the store commits it in the background.
double Seconds(const std::function<void()>& work, bool flush = true) {
    return hw::bench::Seconds([&] {
        work();
        if (flush) hw::platform::FlushRegistry();
    });
}

HKEY CreateKey(HKEY parent, const std::string& subKey) {
    HKEY key = 0;
    if (RegCreateKeyA(parent, subKey.c_str(), &key) != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot create %s\n", subKey.c_str());
        std::exit(1);
    }
    return key;
}

void SetValues(HKEY key, int count) {
    static const BYTE data[] = {'t', 'e', 'x', 't', 0, 1, 2, 3};
    for (int v = 0; v < count; ++v) {
        const DWORD type = v % 3 == 0 ? REG_SZ : v % 3 == 1 ? REG_DWORD : REG_BINARY;
        RegSetValueExA(key, ("Value " + std::to_string(v)).c_str(), 0, type, data, type == REG_DWORD ? 4 : 8);
    }
}

// Breadth first: the children of key p are keys 10p+1 .. 10p+10.
void BuildTree(HKEY start) {
    std::vector<HKEY> open(kTreeKeys / kFanOut + 1, 0);
    for (int i = 0; i < kTreeKeys; ++i) {
        const HKEY parent = i == 0 ? start : open[(i - 1) / kFanOut];
        const HKEY key = CreateKey(parent, "Key" + std::to_string(i));
        SetValues(key, kValuesPerKey);
        if (i < static_cast<int>(open.size()))
            open[i] = key;
        else
            RegCloseKey(key);
    }
    for (HKEY key : open)
        if (key) RegCloseKey(key);
}

void SelectAllRows(hw::window::TfrmMain& frmMain) {
    hw::test::Child<QTreeView>(frmMain, "lstvwValues")->selectAll();
}

// What a menu pick does: the command's state is set as the Edit menu opens, then it runs.
void Run(hw::window::TfrmMain& frmMain, const char* command) {
    emit hw::test::Child<QMenu>(frmMain, "mnitmEdit")->aboutToShow();
    hw::test::Child<QAction>(frmMain, command)->trigger();
}

} // namespace

int main(int argc, char** argv) {
    const hw::bench::TempRegistry registry;
    const HKEY bench = CreateKey(HKEY_CURRENT_USER, "Bench");
    const HKEY source = CreateKey(bench, "Source");
    BuildTree(source);
    RegCloseKey(source);
    const HKEY many = CreateKey(bench, "Many");
    SetValues(many, kListValues);
    RegCloseKey(many);
    CreateKey(bench, "CoreTarget");
    CreateKey(bench, "CoreTarget2");
    CreateKey(bench, "WindowTarget");
    RegCloseKey(bench);
    hw::platform::FlushRegistry();

    int result = 0;
    {
        // Every question is answered Yes.
        hw::util::ScriptedDialogs dialogs;
        dialogs.QueueAnswer(true);
        QApplication application(argc, argv);
        hw::window::TfrmMain frmMain;
        frmMain.show();
        QApplication::processEvents();
        auto& browser = *hw::test::Child<hw::window::RegistryBrowser>(frmMain, "brwsrRegistry");

        // The core copy runs before and after the window's, so that both see a database of similar size.
        auto coreCopy = [](const char* target) {
            return Seconds([target] {
                hw::core::CopyKeyPath("HKEY_CURRENT_USER\\Bench\\Source",
                                      std::string("HKEY_CURRENT_USER\\Bench\\") + target + "\\Source", false);
            });
        };
        const double coreBefore = coreCopy("CoreTarget");
        browser.GoToPath("HKEY_CURRENT_USER\\Bench\\Source");
        Run(frmMain, "acKeyCopy");
        browser.GoToPath("HKEY_CURRENT_USER\\Bench\\WindowTarget");
        const double window = Seconds([&] {
            Run(frmMain, "acKeyPaste");
            QApplication::processEvents();
        });
        const double core = (coreBefore + coreCopy("CoreTarget2")) / 2;
        std::printf("edit.paste_key.seconds %.3f\n", window);
        std::printf("edit.copy_key_core.seconds %.3f\n", core);
        std::printf("edit.paste_key_ratio %.3f\n", window / core);

        browser.GoToPath("HKEY_CURRENT_USER\\Bench\\Many");
        std::printf("edit.new_value_in_10k.seconds %.4f\n", Seconds(
                                                                [&] {
                                                                    Run(frmMain, "acValueNewStringValue");
                                                                    QApplication::processEvents();
                                                                },
                                                                false));
        browser.KeySelected();
        SelectAllRows(frmMain);
        const int rows = browser.ValueRowCount();
        const double deleting = Seconds([&] {
            Run(frmMain, "acValueDelete");
            QApplication::processEvents();
        });
        std::printf("edit.delete_values_10k.seconds %.3f\n", deleting);
        // Only the "(Default)" row stays.
        if (rows < kListValues || browser.ValueRowCount() != 1) {
            std::fprintf(stderr, "delete left %d of %d rows\n", browser.ValueRowCount(), rows);
            result = 1;
        }
    }
    return result;
}
