#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "text/TextTypes.h"

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
    explicit TextService(Lcid language = Lcid{1031}) : language_(language) {}

    Lcid language() const { return language_; }

    // The text with escapes resolved and placeholders "@1@".."@n@" filled. Never
    // fails: a number without text gives "@" followed by the number.
    std::string LoadText(TextId id, std::initializer_list<TextArgument> args = {}) const;

private:
    Lcid language_;
};

} // namespace korvana
