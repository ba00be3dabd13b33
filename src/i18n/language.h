// Languages from the language file: applying one for the run, the start-up choice, the languages the
// Language menu offers, and saving the default. The windows set their own texts when told that the
// language changed.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace hw::i18n {

inline constexpr const char* kLanguageSettingSection = "Hivewright Language Setting";
inline constexpr const char* kDefaultLanguageKey = "DEFAULT";

// LANGUAGE.INI beside the program unless another file was set (tests set a temp file).
std::string LanguageFilePath();
// An empty path goes back to the file beside the program.
void SetLanguageFilePath(const std::string& path);

// The section last applied; empty until one is.
const std::string& CurrentLanguage();

// Makes section the current language, loads its texts (a missing section restores every built-in
// text) and then tells every listener.
void ApplyLanguage(const std::string& section);

// The section to apply at start: the DEFAULT value of the setting section, else the one the system's
// character set suggests; empty for none.
std::string StartLanguageSection();
// Applies StartLanguageSection when there is one; false (nothing changed) otherwise.
bool ApplyStartLanguage();

// The Language menu's captions: every key of the setting section but DEFAULT, in file order.
std::vector<std::string> LanguageNames();
// Applies the section that the setting section names for this menu caption.
void ApplyLanguageByName(const std::string& name);
// The section that the setting section names for this menu caption.
std::string LanguageSectionOfName(const std::string& name);

// Writes DEFAULT = the current language into the setting section (creating the file when missing).
bool SetCurrentLanguageAsDefault();

// Keeps a language-change listener registered for its lifetime.
class LanguageSubscription {
  public:
    LanguageSubscription() = default;
    explicit LanguageSubscription(int id) : id_(id) {}
    ~LanguageSubscription();
    LanguageSubscription(LanguageSubscription&& other) noexcept;
    LanguageSubscription& operator=(LanguageSubscription&& other) noexcept;
    LanguageSubscription(const LanguageSubscription&) = delete;
    LanguageSubscription& operator=(const LanguageSubscription&) = delete;

  private:
    int id_ = 0;
};

// listener runs after every ApplyLanguage, in the order of registration (the main window registers
// first, so its texts are set first).
[[nodiscard]] LanguageSubscription OnLanguageChanged(std::function<void()> listener);

} // namespace hw::i18n
