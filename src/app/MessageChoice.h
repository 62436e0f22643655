#pragma once

#include "text/MessageService.h"

#include <optional>
#include <string>
#include <variant>

namespace korvana::app {

// Where the program's messages go. Scripts and whole-process tests run the
// program without anybody to press a button, so KORVANA_MESSAGES=console
// writes every message to stderr instead and answers each question itself:
// with the box's default button, or Yes or No as KORVANA_ANSWER says.
struct MessageChoice {
    bool console = false;
    std::optional<Answer> forcedAnswer;
};

// The choice made by the two variables' values (nothing for an unset
// variable), or the reason why they are not understood. Message boxes ask the
// person in front of them, so KORVANA_ANSWER matters only for the console.
std::variant<MessageChoice, std::string>
chooseMessages(const std::optional<std::string>& messagesVariable,
               const std::optional<std::string>& answerVariable);

} // namespace korvana::app
