// The key content editor on a key whose export is about 20 MB: opening it (export, text, first paint)
// and a Replace All of 10,000 matches, each from the command until the text is shown again.
#include "bench_support.h"
#include "bench_window.h"
#include "content/window/find_text_dialog.h"
#include "content/window/frm_key_content.h"
#include "platform/registry_store.h"
#include "platform/winreg.h"
#include "regfile/reg_export.h"
#include "support/qt/child.h"
#include "util/scripted_dialogs.h"

#include <QApplication>
#include <QPlainTextEdit>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <unistd.h>

namespace {

using hw::bench::PaintNow;
using hw::bench::Seconds;

constexpr int kSubKeyCount = 2000;
constexpr int kValuesPerKey = 100;
constexpr int kMatchEvery = 20; // 200,000 values, 10,000 of them holding the find text
const char* const kKeyPath = "HKEY_CURRENT_USER\\Bench\\Content";

void FillRegistry() {
    const std::string filler(80, 'x');
    for (int k = 0; k < kSubKeyCount; ++k) {
        HKEY key = 0;
        const std::string subKey = "Bench\\Content\\Key " + std::to_string(k);
        if (RegCreateKeyExA(HKEY_CURRENT_USER, subKey.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) != ERROR_SUCCESS) {
            std::fprintf(stderr, "cannot create %s\n", subKey.c_str());
            std::exit(1);
        }
        for (int v = 0; v < kValuesPerKey; ++v) {
            const int index = k * kValuesPerKey + v;
            const std::string name = "Value " + std::to_string(v);
            const std::string data = (index % kMatchEvery == 0 ? "needle " : "thread ") + filler;
            RegSetValueExA(key, name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>(data.size() + 1));
        }
        RegCloseKey(key);
    }
    hw::platform::FlushRegistry();
}

} // namespace

int main(int argc, char** argv) {
    const hw::bench::TempRegistry registry;
    FillRegistry();

    {
        QApplication application(argc, argv);
        hw::util::ScriptedDialogs dialogs;
        hw::content::TfrmKeyContent editor;
        auto* text = hw::test::Child<QPlainTextEdit>(editor, "rchedtContent");
        auto* replace = hw::test::Child<hw::content::TFindTextDialog>(editor, "rplcdlgContent");
        editor.resize(800, 600);
        hw::regfile::RegLines lines;
        hw::regfile::ExportKeyPath(kKeyPath, lines);
        std::size_t bytes = 0;
        for (const std::string& line : lines)
            bytes += line.size() + 2;
        std::printf("content.export_20mb.megabytes %.1f\n", bytes / 1e6);
        lines.clear();

        std::printf("content.open_20mb.seconds %.3f\n", Seconds([&] {
                        editor.SetKeyContent(kKeyPath);
                        editor.show();
                        PaintNow(text);
                    }));
        std::printf("content.open_20mb.lines %d\n", editor.LineCount());

        replace->SetFindText("needle");
        replace->SetReplaceText("spool");
        text->moveCursor(QTextCursor::Start);
        std::printf("content.replace_all_20mb.seconds %.3f\n", Seconds([&] {
                        editor.ReplaceAll();
                        PaintNow(text);
                    }));
        std::printf("content.replace_all_20mb.matches %d\n",
                    static_cast<int>(editor.Text().count(QLatin1String("spool"))));
        text->document()->setModified(false);
        editor.hide();
    }
    return 0;
}
