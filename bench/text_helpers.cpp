// Text helpers on large inputs: Replace All over a big exported text (both case modes), splitting a long
// key path list, wildcard matching of many names, and loading a full language section.
#include "i18n/text_table.h"
#include "util/file_io.h"
#include "util/program_dir.h"
#include "util/text.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string ExportLikeText(std::size_t lines) {
    std::string text;
    for (std::size_t i = 0; i < lines; ++i)
        text += "\"Value" + std::to_string(i) + "\"=\"C:\\\\Program Files\\\\App" + std::to_string(i % 97) +
                "\"\r\n";
    return text;
}

} // namespace

int main() {
    using namespace hw;
    const std::string text = ExportLikeText(1000000);
    const double megabytes = static_cast<double>(text.size()) / 1e6;

    for (bool ignoreCase : {false, true}) {
        auto start = std::chrono::steady_clock::now();
        std::string replaced = util::ReplaceText(text, "program files", "Programme", ignoreCase);
        double seconds = SecondsSince(start);
        std::printf("replace_text_%s_mb_per_s %.1f\n", ignoreCase ? "ignore_case" : "exact",
                    megabytes / seconds);
        if (replaced.size() == 0) return 1;
    }

    auto start = std::chrono::steady_clock::now();
    std::vector<std::string> pieces;
    util::SplitText(text, '\\', pieces);
    std::printf("split_text_mb_per_s %.1f\n", megabytes / SecondsSince(start));

    start = std::chrono::steady_clock::now();
    int matches = 0;
    for (int i = 0; i < 1000000; ++i)
        matches +=
            util::MatchesWildcard("Settings page " + std::to_string(i) + ".opal", "*page*1?.opal") ? 1 : 0;
    std::printf("wildcard_matches_per_s %.0f\n", 1000000 / SecondsSince(start));
    if (matches == 0) return 1;

    const std::filesystem::path file =
        std::filesystem::temp_directory_path() / "hivewright-bench-language.ini";
    std::string section = "[Big]\r\n";
    for (int round = 0; round < 20; ++round)
        for (int number = 0; number < i18n::kTextCount; ++number)
            section += std::to_string(number) + "=Übersetzter Text Nummer " + std::to_string(number) + "\r\n";
    util::WriteFileBytes(file.string(), section);
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < 100; ++i)
        i18n::LoadTextSection(file.string(), "Big");
    std::printf("load_text_section_5300_entries_ms %.2f\n", SecondsSince(start) * 1000 / 100);
    std::filesystem::remove(file);
    return 0;
}
