// The language file shipped beside the program.
#include "i18n/language.h"
#include "i18n/text_table.h"
#include "platform/ini_profile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>

namespace hw::i18n {
namespace {

const std::string kShippedFile =
    (std::filesystem::path(__FILE__).parent_path() / "../../data/LANGUAGE.INI").lexically_normal().string();

std::map<int, std::string> GermanEntries() {
    std::map<int, std::string> entries;
    for (const std::string& entry : platform::ReadProfileSection(kShippedFile, "Deutsch")) {
        std::size_t equals = entry.find('=');
        entries[std::stoi(entry.substr(0, equals))] = entry.substr(equals + 1);
    }
    return entries;
}

std::vector<std::string> Markers(const std::string& text) {
    static const std::regex marker("%[-.0-9]*[a-zA-Z]");
    std::vector<std::string> found;
    for (auto it = std::sregex_iterator(text.begin(), text.end(), marker); it != std::sregex_iterator(); ++it)
        found.push_back(it->str());
    return found;
}

TEST(ShippedLanguageFileTest, OffersGermanWithoutForcingIt) {
    SetLanguageFilePath(kShippedFile);
    EXPECT_EQ(LanguageNames(), (std::vector<std::string>{"English", "Deutsch"}));
    EXPECT_EQ(platform::ReadProfileString(kShippedFile, kLanguageSettingSection, "DEFAULT", "none"), "none");
    SetLanguageFilePath("");
}

TEST(ShippedLanguageFileTest, GermanTranslatesEveryTextKeepingItsMarkers) {
    const std::map<int, std::string> german = GermanEntries();
    for (int number = 0; number < kTextCount; ++number) {
        const std::string_view english = kBuiltInTexts[number];
        auto it = german.find(number);
        if (english.empty()) {
            EXPECT_EQ(it, german.end()) << number;
            continue;
        }
        ASSERT_NE(it, german.end()) << number;
        EXPECT_FALSE(it->second.empty()) << number;
        EXPECT_EQ(Markers(it->second), Markers(std::string(english))) << number;
    }
}

TEST(ShippedLanguageFileTest, LoadingGermanReplacesExactlyItsTexts) {
    const std::map<int, std::string> german = GermanEntries();
    LoadTextSection(kShippedFile, "Deutsch");
    for (int number = 0; number < kTextCount; ++number) {
        auto it = german.find(number);
        EXPECT_EQ(LookupText(number), it == german.end() ? std::string(kBuiltInTexts[number]) : it->second)
            << number;
    }
    EXPECT_EQ(LookupText(43), "Import erfolgreich!");
    LoadTextSection(kShippedFile, "English");
    EXPECT_EQ(LookupText(43), "Import success!");
}

} // namespace
} // namespace hw::i18n
