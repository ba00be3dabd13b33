// An OPAL page of 1,000 inputs of every input type (and labels, panels, pictures and submit buttons among
// them), bound to 1,000 real values: rendering it, saving its settings, and widening the view, which
// re-fits every "full" width.
#include "markup/page/opal_page.h"
#include "bench_support.h"
#include "platform/registry_store.h"
#include "platform/winreg.h"

#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>

namespace {

constexpr int kInputCount = 1000;
constexpr const char* kKey = "HKEY_CURRENT_USER\\Bench\\Opal";
const char* const kInputTypes[] = {"text",  "textarea", "button",      "checkbox",
                                   "radio", "select",   "checklistbox"};

using hw::bench::Measure;

void Print(const char* name, const hw::bench::Timing& timing) {
    std::printf("%s.seconds %.3f\n%s.cpu_seconds %.3f\n", name, timing.wall, name, timing.cpu);
}

void FillRegistry() {
    HKEY key = 0;
    RegCreateKeyExA(HKEY_CURRENT_USER, "Bench\\Opal", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    for (int i = 0; i < kInputCount; ++i) {
        const std::string name = "Value " + std::to_string(i);
        const DWORD number = static_cast<DWORD>(i % 8);
        RegSetValueExA(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                       sizeof number);
    }
    RegCloseKey(key);
    hw::platform::FlushRegistry();
}

std::string PageSource() {
    std::string source = "<opal><head><title>Bench</title></head><body>";
    for (int i = 0; i < kInputCount; ++i) {
        const int top = i * 30;
        if (i % 25 == 0) {
            const char* const others[] = {"<label value=\"Section\"", "<img src=missing.png",
                                          "<submit value=Apply", "<label value=\"Note\" width=full"};
            source += std::string(others[(i / 25) % 4]) + " left=500 top=" + std::to_string(top) + ">";
        }
        source += "<input type=" + std::string(kInputTypes[i % 7]) + " left=10 top=" + std::to_string(top) +
                  " width=full height=28 datatype=REG_DWORD keyname=\"" + kKey + "\" valuename=\"Value " +
                  std::to_string(i) + "\"><option text=true value=1><option text=false value=0>" +
                  "<option text=A value=1><option text=B value=2><option text=C value=4></input>";
    }
    return source + "</body></opal>";
}

} // namespace

int main(int argc, char** argv) {
    const hw::bench::TempRegistry registry;
    FillRegistry();
    const std::string source = PageSource();
    int result = 0;
    {
        QApplication application(argc, argv);
        hw::markup::TOPALPage page;
        page.resize(600, 400);
        page.show();
        QApplication::processEvents();
        Print("opal.render_1000", Measure([&] {
                  page.RenderDocument(source);
                  QApplication::processEvents();
              }));
        std::printf("opal.render_1000.inputs %zu\n", page.Inputs().size());
        hw::markup::SaveReport report;
        Print("opal.save_1000", Measure([&] {
                  report = page.WriteSettings();
                  hw::platform::FlushRegistry();
              }));
        if (!report.notWritten.empty() || !report.notANumber.empty()) {
            std::fprintf(stderr, "save failed for %zu values\n",
                         report.notWritten.size() + report.notANumber.size());
            result = 1;
        }
        Print("opal.resize_1000", Measure([&] {
                  page.resize(900, 400);
                  QApplication::processEvents();
              }));
    }
    return result;
}
