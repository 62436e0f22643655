#include "project/NewProjectChoices.h"

#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "project/LanguageOffer.h"
#include "text/Messages.h"

#include <algorithm>
#include <charconv>
#include <optional>

namespace korvana {

namespace {

constexpr TextId developerLanguageStays{393};
constexpr TextId studioLanguageStays{394};
constexpr TextId neededByOne{397};
constexpr TextId neededBySeveral{398};

constexpr std::string_view germanKey = "L1031";
constexpr std::string_view englishKey = "L1033";

// The number a registered name carries after the stem; nothing when the rest
// is not a whole number.
std::optional<long long> numberAfterStem(std::string_view name, std::string_view stem) {
    if (!startsWithIgnoreCase(name, stem)) {
        return std::nullopt;
    }
    const std::string_view rest = name.substr(stem.size());
    long long number = 0;
    const auto [end, error] = std::from_chars(rest.data(), rest.data() + rest.size(), number);
    if (error != std::errc() || end != rest.data() + rest.size() || rest.empty()) {
        return std::nullopt;
    }
    return number;
}

} // namespace

std::string ProposeProjectName(std::string_view stem, const std::vector<std::string>& registered) {
    long long largest = 0;
    for (const auto& name : registered) {
        if (const auto number = numberAfterStem(name, stem)) {
            largest = std::max(largest, *number);
        }
    }
    return std::string(stem) + std::to_string(largest + 1);
}

std::string FolderFollowingName(std::string_view folder, std::string_view previousName,
                                std::string_view newName) {
    const std::string last = paths::lastComponent(folder);
    if (last.empty() || !equalsIgnoreCase(last, previousName)) {
        return std::string(folder);
    }
    return std::string(folder.substr(0, folder.size() - last.size())) + std::string(newName);
}

std::vector<std::string> dependencyNames(std::string_view dependencies) {
    return splitList(dependencies, ',');
}

LanguageChoice::LanguageChoice(std::vector<LanguageRow> rows) : rows_(std::move(rows)) {
    // Exactly one developer language: the first checked one, else German,
    // English or the first, as after unchecking.
    const auto checked = std::find_if(rows_.begin(), rows_.end(),
                                      [](const LanguageRow& row) { return row.checked; });
    if (checked != rows_.end()) {
        makeDeveloperLanguage(checked->key);
    } else if (!rows_.empty()) {
        uncheck({});
    }
}

std::string LanguageChoice::developerLanguage() const {
    for (const auto& row : rows_) {
        if (row.checked) {
            return row.key;
        }
    }
    return {};
}

std::vector<Lcid> LanguageChoice::languages() const {
    std::vector<Lcid> languages;
    for (const auto& row : rows_) {
        languages.push_back(languageOfKey(row.key));
    }
    return languages;
}

bool LanguageChoice::has(std::string_view key) const {
    return std::any_of(rows_.begin(), rows_.end(),
                       [key](const LanguageRow& row) { return row.key == key; });
}

void LanguageChoice::makeDeveloperLanguage(std::string_view key) {
    for (auto& row : rows_) {
        row.checked = row.key == key;
    }
}

void LanguageChoice::check(std::string_view key) {
    if (has(key)) {
        makeDeveloperLanguage(key);
    }
}

void LanguageChoice::uncheck(std::string_view key) {
    if (!key.empty() && developerLanguage() != key) {
        return;
    }
    if (has(germanKey)) {
        makeDeveloperLanguage(germanKey);
    } else if (has(englishKey)) {
        makeDeveloperLanguage(englishKey);
    } else if (!rows_.empty()) {
        makeDeveloperLanguage(rows_.front().key);
    }
}

bool LanguageChoice::remove(std::string_view key, MessageService& messages,
                            const TextService& texts) {
    if (!has(key)) {
        return false;
    }
    if (developerLanguage() == key) {
        ShowMessage(messages, texts, developerLanguageStays, MessageStyle::exclamation());
        return false;
    }
    if ((key == germanKey && !has(englishKey)) || (key == englishKey && !has(germanKey))) {
        ShowMessage(messages, texts, studioLanguageStays, MessageStyle::exclamation());
        return false;
    }
    std::erase_if(rows_, [key](const LanguageRow& row) { return row.key == key; });
    return true;
}

void LanguageChoice::add(const std::vector<LanguageRow>& rows) {
    addLanguages(rows_, rows);
}

ComponentChoice::ComponentChoice(std::vector<ServerComponentRow> rows) : rows_(std::move(rows)) {}

std::vector<std::string> ComponentChoice::checkedNames() const {
    std::vector<std::string> names;
    for (const auto& row : rows_) {
        if (row.checked) {
            names.push_back(row.name);
        }
    }
    return names;
}

ServerComponentRow* ComponentChoice::find(std::string_view name) {
    const auto found = std::find_if(rows_.begin(), rows_.end(), [name](const auto& row) {
        return equalsIgnoreCase(row.name, name);
    });
    return found == rows_.end() ? nullptr : &*found;
}

void ComponentChoice::check(std::string_view name) {
    ServerComponentRow* component = find(name);
    if (component == nullptr) {
        return;
    }
    component->checked = true;
    for (const auto& needed : dependencyNames(component->dependencies)) {
        if (ServerComponentRow* dependency = find(needed)) {
            dependency->checked = true;
        }
    }
}

bool ComponentChoice::uncheck(std::string_view name, MessageService& messages,
                              const TextService& texts) {
    ServerComponentRow* component = find(name);
    if (component == nullptr) {
        return false;
    }
    std::vector<std::string> users;
    for (const auto& row : rows_) {
        if (!row.checked || &row == component) {
            continue;
        }
        const auto needed = dependencyNames(row.dependencies);
        if (std::any_of(needed.begin(), needed.end(), [name](const std::string& dependency) {
                return equalsIgnoreCase(dependency, name);
            })) {
            users.push_back(row.name);
        }
    }
    if (users.empty()) {
        component->checked = false;
        return true;
    }
    std::string joined;
    for (const auto& user : users) {
        joined += (joined.empty() ? "" : ", ") + user;
    }
    ShowMessage(messages, texts, users.size() == 1 ? neededByOne : neededBySeveral,
                MessageStyle::exclamation(), {component->name, joined});
    component->checked = true;
    return false;
}

} // namespace korvana
