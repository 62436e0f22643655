#pragma once

#include "text/StringTable.h"
#include "text/TextTypes.h"

#include <cstdint>
#include <initializer_list>
#include <span>
#include <string>
#include <string_view>

namespace korvana {

// One value inserted into a placeholder, already in its text form (numbers in
// their ordinary decimal form).
class TextArgument {
  public:
    TextArgument(std::string_view text) : text_(text) {}
    TextArgument(const char* text) : text_(text) {}
    TextArgument(const std::string& text) : text_(text) {}
    TextArgument(std::int32_t number) : text_(std::to_string(number)) {}
    TextArgument(std::int64_t number) : text_(std::to_string(number)) {}
    TextArgument(double number);

    const std::string& text() const { return text_; }

  private:
    std::string text_;
};

// The text service: numbered texts of the string table in the block of the
// user-interface language, chosen once at start-up.
class TextService {
  public:
    explicit TextService(Lcid language = germanLanguage, StringTable table = StringTable::builtIn())
        : language_(language), table_(table) {}

    Lcid language() const { return language_; }

    // The text with escapes resolved and placeholders "@1@".."@n@" filled. Never
    // fails: a number without text gives "@" followed by the number. A text the
    // language's block lacks is shown in German.
    std::string LoadText(TextId id, std::initializer_list<TextArgument> args = {}) const;
    // The same for arguments that are only known at run time.
    std::string LoadText(TextId id, std::span<const TextArgument> args) const;

    // Whether the string table has a text of this number (in German at least);
    // without one, LoadText gives the "@" marker.
    bool hasText(TextId id) const { return !table_.find(id.value).empty(); }

    // Where the block of a language starts: 10000 for English (1033), 20000 for
    // the third block (1034), 0 (German) for every other language.
    static std::int32_t blockOffset(Lcid language);

  private:
    Lcid language_;
    StringTable table_;
};

} // namespace korvana
