#pragma once

#include "project/KVProject.h"
#include "project/ProjectLanguages.h"
#include "project/ServerComponents.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// The name a new project is offered: the stem followed by one more than the
// largest number that follows the stem in a registered name (compared without
// regard to case; a name whose rest is no number does not count), or by 1.
// "Projekt1", "projekt7" and "Projektx" give "Projekt8".
std::string ProposeProjectName(std::string_view stem, const std::vector<std::string>& registered);

// The project folder after the name changed from `previousName` to `newName`:
// while its last part is the previous name (any case) it follows the name;
// once the developer has changed the folder by hand, it stays.
std::string FolderFollowingName(std::string_view folder, std::string_view previousName,
                                std::string_view newName);

// The languages of a new project, exactly one of them the developer language
// (the checked row).
class LanguageChoice {
  public:
    explicit LanguageChoice(std::vector<LanguageRow> rows);

    const std::vector<LanguageRow>& rows() const { return rows_; }
    // The developer language's key ("L1031"); empty while the list is empty.
    std::string developerLanguage() const;
    // What a new project takes: every language, and the developer language
    // (Lcid{0} while the list is empty).
    std::vector<Lcid> languages() const;
    Lcid developerLcid() const { return languageOfKey(developerLanguage()); }

    // Checking a language makes it the developer language.
    void check(std::string_view key);
    // Unchecking the developer language hands the role to German, else
    // English, else the first language.
    void uncheck(std::string_view key);
    // Removes a language unless it is the developer language (text 393) or the
    // last of German and English (text 394). False, after the message, when
    // the language stays.
    bool remove(std::string_view key, MessageService& messages, const TextService& texts);
    // Languages the add-language dialog brought; a key the list has is skipped.
    void add(const std::vector<LanguageRow>& rows);

  private:
    bool has(std::string_view key) const;
    void makeDeveloperLanguage(std::string_view key);

    std::vector<LanguageRow> rows_;
};

// The server components of a new project and the rule that keeps their
// dependencies: a component needs the components its "Dependencies" name
// (names separated by commas, taken exactly as written).
class ComponentChoice {
  public:
    explicit ComponentChoice(std::vector<ServerComponentRow> rows);

    const std::vector<ServerComponentRow>& rows() const { return rows_; }
    std::vector<std::string> checkedNames() const;

    // Checks the component and the components it names (one level deep).
    void check(std::string_view name);
    // Unchecks the component unless a checked component needs it: then text
    // 397 (one user) or 398 (several, joined by ", ") says which, and it stays
    // checked. False when it stayed.
    bool uncheck(std::string_view name, MessageService& messages, const TextService& texts);

  private:
    ServerComponentRow* find(std::string_view name);

    std::vector<ServerComponentRow> rows_;
};

// The names in a "Dependencies" value, split at the commas and kept exactly
// as written (a blank after a comma belongs to the next name).
std::vector<std::string> dependencyNames(std::string_view dependencies);

} // namespace korvana
