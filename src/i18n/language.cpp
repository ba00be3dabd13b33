#include "i18n/language.h"

#include "i18n/charset.h"
#include "i18n/text_table.h"
#include "platform/ini_profile.h"
#include "util/program_dir.h"
#include "util/text.h"

#include <exception>
#include <utility>

namespace hw::i18n {

namespace {

struct LanguageState {
    std::string filePath;
    std::string current;
    std::vector<std::pair<int, std::function<void()>>> listeners;
    int lastListenerId = 0;
};

LanguageState& State() {
    static LanguageState state;
    return state;
}

void RemoveListener(int id) {
    auto& listeners = State().listeners;
    std::erase_if(listeners, [id](const auto& entry) { return entry.first == id; });
}

} // namespace

std::string LanguageFilePath() {
    const std::string& path = State().filePath;
    return path.empty() ? util::ProgramPath() + "LANGUAGE.INI" : path;
}

void SetLanguageFilePath(const std::string& path) {
    State().filePath = path;
}

const std::string& CurrentLanguage() {
    return State().current;
}

void ApplyLanguage(const std::string& section) {
    State().current = section;
    LoadTextSection(LanguageFilePath(), section);
    // A copy, so a listener may subscribe or unsubscribe while being told.
    auto listeners = State().listeners;
    for (const auto& entry : listeners)
        entry.second();
}

std::string StartLanguageSection() {
    std::string section =
        platform::ReadProfileString(LanguageFilePath(), kLanguageSettingSection, kDefaultLanguageKey, "");
    if (!section.empty()) return section;
    return std::string(CharsetSection(SystemDefaultCharset()));
}

bool ApplyStartLanguage() {
    try {
        std::string section = StartLanguageSection();
        if (section.empty()) return false;
        ApplyLanguage(section);
        return true;
    } catch (const std::exception&) {
        // A language that cannot be applied leaves the texts as they were; the program still starts.
        return false;
    }
}

std::vector<std::string> LanguageNames() {
    std::vector<std::string> names;
    for (const std::string& entry :
         platform::ReadProfileSection(LanguageFilePath(), kLanguageSettingSection)) {
        std::string key = util::TrimBlanks(std::string_view(entry).substr(0, entry.find('=')));
        if (util::UpperCaseAscii(key) != kDefaultLanguageKey) names.push_back(std::move(key));
    }
    return names;
}

void ApplyLanguageByName(const std::string& name) {
    ApplyLanguage(LanguageSectionOfName(name));
}

std::string LanguageSectionOfName(const std::string& name) {
    return platform::ReadProfileString(LanguageFilePath(), kLanguageSettingSection, name, "");
}

bool SetCurrentLanguageAsDefault() {
    return platform::WriteProfileString(LanguageFilePath(), kLanguageSettingSection, kDefaultLanguageKey,
                                        CurrentLanguage());
}

LanguageSubscription OnLanguageChanged(std::function<void()> listener) {
    LanguageState& state = State();
    int id = ++state.lastListenerId;
    state.listeners.emplace_back(id, std::move(listener));
    return LanguageSubscription(id);
}

LanguageSubscription::~LanguageSubscription() {
    if (id_ != 0) RemoveListener(id_);
}

LanguageSubscription::LanguageSubscription(LanguageSubscription&& other) noexcept
    : id_(std::exchange(other.id_, 0)) {}

LanguageSubscription& LanguageSubscription::operator=(LanguageSubscription&& other) noexcept {
    if (this != &other) {
        if (id_ != 0) RemoveListener(id_);
        id_ = std::exchange(other.id_, 0);
    }
    return *this;
}

} // namespace hw::i18n
