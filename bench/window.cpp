// Main window responsiveness on a large temp registry: expanding a key with 100,000 subkeys and filling
// the value list with 10,000 values, each from the user's action until the view has painted.
#include "app/window/frm_main.h"
#include "app/window/key_tree_model.h"
#include "app/window/registry_browser.h"
#include "bench_support.h"
#include "bench_window.h"
#include "platform/registry_store.h"
#include "platform/winreg.h"
#include "support/qt/child.h"

#include <QApplication>
#include <QTreeView>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

constexpr int kSubKeyCount = 100000;
constexpr int kValueCount = 10000;

using hw::bench::Seconds;

HKEY CreateKey(const std::string& subKey) {
    HKEY key = 0;
    if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                        nullptr) != ERROR_SUCCESS) {
        std::fprintf(stderr, "cannot create %s\n", subKey.c_str());
        std::exit(1);
    }
    return key;
}

void FillRegistry() {
    HKEY wide = CreateKey("Bench\\Wide");
    for (int i = 0; i < kSubKeyCount; ++i) {
        HKEY child = 0;
        const std::string name = "Key " + std::to_string(i);
        RegCreateKeyExA(wide, name.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &child, nullptr);
        RegCloseKey(child);
    }
    RegCloseKey(wide);

    HKEY values = CreateKey("Bench\\Values");
    for (int i = 0; i < kValueCount; ++i) {
        const std::string name = "Value " + std::to_string(i);
        const BYTE data[] = {'t', 'e', 'x', 't', 0, 1, 2, 3};
        const DWORD type = i % 3 == 0 ? REG_SZ : i % 3 == 1 ? REG_DWORD : REG_BINARY;
        RegSetValueExA(values, name.c_str(), 0, type, data, type == REG_DWORD ? 4 : sizeof data);
    }
    RegCloseKey(values);
    hw::platform::FlushRegistry();
}

void Paint(QTreeView* view) {
    hw::bench::PaintNow(view->viewport());
}

} // namespace

int main(int argc, char** argv) {
    const hw::bench::TempRegistry registry;
    FillRegistry();

    int result = 0;
    {
        QApplication application(argc, argv);
        hw::window::TfrmMain frmMain;
        frmMain.show();
        QApplication::processEvents();
        QTreeView* tree = hw::test::Child<QTreeView>(frmMain, "trvwKeys");
        auto& browser = *hw::test::Child<hw::window::RegistryBrowser>(frmMain, "brwsrRegistry");

        const QModelIndex wide = browser.FindNode("HKEY_CURRENT_USER\\Bench\\Wide");
        const QModelIndex values = browser.FindNode("HKEY_CURRENT_USER\\Bench\\Values");
        if (!wide.isValid() || !values.isValid()) {
            std::fprintf(stderr, "bench keys not found\n");
            result = 1;
        } else {
            Paint(tree);
            const double expand = Seconds([&] {
                tree->expand(wide);
                Paint(tree);
            });
            std::printf("tree.expand_100k.seconds %.3f\n", expand);
            std::printf("tree.expand_100k.children %d\n", browser.KeyModel()->rowCount(wide));
            std::printf("tree.scroll_to_end_100k.seconds %.3f\n", Seconds([&] {
                            tree->scrollToBottom();
                            Paint(tree);
                        }));
            std::printf("tree.type_to_find_100k.seconds %.3f\n", Seconds([&] {
                            tree->setFocus();
                            tree->keyboardSearch("Key 99999");
                            Paint(tree);
                        }));

            tree->setCurrentIndex(values);
            std::printf("list.fill_10k.seconds %.3f\n", Seconds([&] {
                            browser.KeySelected();
                            Paint(hw::test::Child<QTreeView>(frmMain, "lstvwValues"));
                        }));
            std::printf("list.fill_10k.rows %d\n", browser.ValueRowCount());
            std::printf("list.scroll_to_end_10k.seconds %.3f\n", Seconds([&] {
                            hw::test::Child<QTreeView>(frmMain, "lstvwValues")->scrollToBottom();
                            Paint(hw::test::Child<QTreeView>(frmMain, "lstvwValues"));
                        }));
            std::printf("tree.collapse_refresh_100k.seconds %.3f\n", Seconds([&] {
                            tree->setCurrentIndex(wide);
                            browser.RefreshKey();
                            Paint(tree);
                        }));
        }
    }
    return result;
}
