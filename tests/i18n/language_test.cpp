#include "i18n/language.h"

#include "i18n/charset.h"
#include "i18n/text_table.h"
#include "platform/ini_profile.h"
#include "support/temp_registry.h"
#include "util/file_io.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace hw::i18n {
namespace {

class LanguageTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setenv("HIVEWRIGHT_CHARSET", "0", 1);
        SetLanguageFilePath(file_);
        ApplyLanguage("");
    }
    void TearDown() override {
        ApplyLanguage("");
        SetLanguageFilePath("");
        unsetenv("HIVEWRIGHT_CHARSET");
    }
    void WriteFile(const std::string& content) { ASSERT_TRUE(util::WriteFileBytes(file_, content)); }
    std::string FileContent() const { return util::ReadFileBytes(file_).value_or("<missing>"); }

    test::TempDir dir_;
    std::string file_ = dir_.file("LANGUAGE.INI");
};

TEST_F(LanguageTest, WithoutFileNothingIsOfferedOrApplied) {
    EXPECT_TRUE(LanguageNames().empty());
    EXPECT_FALSE(ApplyStartLanguage());
    EXPECT_EQ(CurrentLanguage(), "");
    EXPECT_EQ(LookupText(43), "Import success!");
}

TEST_F(LanguageTest, StartAppliesTheDefaultSection) {
    WriteFile("[Hivewright Language Setting]\r\nDEFAULT=Deutsch\r\nDeutsch=Deutsch\r\n"
              "[Deutsch]\r\n43=Import erfolgreich!\r\n");
    EXPECT_TRUE(ApplyStartLanguage());
    EXPECT_EQ(CurrentLanguage(), "Deutsch");
    EXPECT_EQ(LookupText(43), "Import erfolgreich!");
    EXPECT_EQ(LookupText(42), "Not found!");
}

TEST_F(LanguageTest, StartFallsBackToTheCharsetSection) {
    WriteFile("[Hivewright Language Setting]\r\nDEFAULT=\r\n[RUSSIAN]\r\n42=ru\r\n");
    EXPECT_FALSE(ApplyStartLanguage());
    setenv("HIVEWRIGHT_CHARSET", "204", 1);
    EXPECT_EQ(StartLanguageSection(), "RUSSIAN");
    EXPECT_TRUE(ApplyStartLanguage());
    EXPECT_EQ(LookupText(42), "ru");
}

TEST_F(LanguageTest, SettingDefaultBeforeAnyLanguageWritesEmptyValue) {
    WriteFile("[Hivewright Language Setting]\r\nDeutsch=Deutsch\r\n");
    ASSERT_TRUE(SetCurrentLanguageAsDefault());
    EXPECT_EQ(FileContent(), "[Hivewright Language Setting]\r\nDeutsch=Deutsch\r\nDEFAULT=\r\n");
    setenv("HIVEWRIGHT_CHARSET", "128", 1);
    EXPECT_EQ(StartLanguageSection(), "SHIFTJIS");
}

TEST_F(LanguageTest, SettingDefaultCreatesTheFileAndReplacesTheValue) {
    ApplyLanguage("Deutsch");
    ASSERT_TRUE(SetCurrentLanguageAsDefault());
    EXPECT_EQ(FileContent(), "[Hivewright Language Setting]\r\nDEFAULT=Deutsch\r\n");
    ApplyLanguage("Français");
    ASSERT_TRUE(SetCurrentLanguageAsDefault());
    EXPECT_EQ(FileContent(), "[Hivewright Language Setting]\r\nDEFAULT=Français\r\n");
    EXPECT_EQ(StartLanguageSection(), "Français");
}

TEST_F(LanguageTest, MenuOffersEveryKeyButDefaultInFileOrder) {
    WriteFile("[Hivewright Language Setting]\r\nZulu=Z\r\ndefault=Deutsch\r\nDeutsch = DE\r\nDefault2=x\r\n"
              "deutsch=ignored\r\n[DE]\r\n43=Import erfolgreich!\r\n");
    EXPECT_EQ(LanguageNames(), (std::vector<std::string>{"Zulu", "Deutsch", "Default2", "deutsch"}));
    ApplyLanguageByName("DEUTSCH");
    EXPECT_EQ(CurrentLanguage(), "DE");
    EXPECT_EQ(LookupText(43), "Import erfolgreich!");
}

TEST_F(LanguageTest, ApplyingMissingSectionRestoresDefaults) {
    WriteFile("[Deutsch]\r\n43=Import erfolgreich!\r\n");
    ApplyLanguage("Deutsch");
    ApplyLanguage("Klingonisch");
    EXPECT_EQ(CurrentLanguage(), "Klingonisch");
    EXPECT_EQ(LookupText(43), "Import success!");
}

TEST_F(LanguageTest, ListenersHearEveryApplyUntilTheirSubscriptionEnds) {
    WriteFile("[Deutsch]\r\n43=Import erfolgreich!\r\n");
    std::vector<std::string> heard;
    {
        LanguageSubscription first = OnLanguageChanged([&] { heard.push_back("1:" + LookupText(43)); });
        LanguageSubscription second = OnLanguageChanged([&] { heard.push_back("2:" + CurrentLanguage()); });
        ApplyLanguage("Deutsch");
        LanguageSubscription moved = std::move(first);
        ApplyLanguage("");
    }
    ApplyLanguage("Deutsch");
    EXPECT_EQ(heard,
              (std::vector<std::string>{"1:Import erfolgreich!", "2:Deutsch", "1:Import success!", "2:"}));
}

TEST(CharsetTest, LocalesMapToTheirCharacterSets) {
    EXPECT_EQ(CharsetOfLocale("ja_JP.UTF-8"), 128);
    EXPECT_EQ(CharsetOfLocale("ko_KR.EUC-KR"), 129);
    EXPECT_EQ(CharsetOfLocale("zh_CN.GB2312"), 134);
    EXPECT_EQ(CharsetOfLocale("zh_TW.UTF-8"), 136);
    EXPECT_EQ(CharsetOfLocale("zh_HK"), 136);
    EXPECT_EQ(CharsetOfLocale("ru_RU.KOI8-R"), 204);
    EXPECT_EQ(CharsetOfLocale("el_GR"), 161);
    EXPECT_EQ(CharsetOfLocale("tr_TR.UTF-8"), 162);
    EXPECT_EQ(CharsetOfLocale("he_IL.UTF-8"), 177);
    EXPECT_EQ(CharsetOfLocale("ar_EG.UTF-8"), 178);
    EXPECT_EQ(CharsetOfLocale("th_TH.UTF-8"), 222);
    EXPECT_EQ(CharsetOfLocale("sr_RS@latin"), 238);
    EXPECT_EQ(CharsetOfLocale("de_DE.UTF-8"), 0);
    EXPECT_EQ(CharsetOfLocale("C.UTF-8"), 0);
    EXPECT_EQ(CharsetOfLocale(""), 0);
}

TEST(CharsetTest, SectionsOfTheCharsetTable) {
    EXPECT_EQ(CharsetSection(2), "SYMBOL");
    EXPECT_EQ(CharsetSection(134), "GB2312");
    EXPECT_EQ(CharsetSection(238), "EASTEUROPE");
    EXPECT_EQ(CharsetSection(0), "");
    EXPECT_EQ(CharsetSection(255), "");
}

TEST(CharsetTest, SystemCharsetFollowsTheEnvironment) {
    setenv("HIVEWRIGHT_CHARSET", "", 1);
    setenv("LC_ALL", "el_GR.UTF-8", 1);
    EXPECT_EQ(SystemDefaultCharset(), 161);
    setenv("HIVEWRIGHT_CHARSET", "77", 1);
    EXPECT_EQ(SystemDefaultCharset(), 77);
    unsetenv("HIVEWRIGHT_CHARSET");
    unsetenv("LC_ALL");
}

} // namespace
} // namespace hw::i18n
