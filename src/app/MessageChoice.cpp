#include "app/MessageChoice.h"

namespace korvana::app {

std::variant<MessageChoice, std::string>
chooseMessages(const std::optional<std::string>& messagesVariable,
               const std::optional<std::string>& answerVariable) {
    MessageChoice choice;
    if (messagesVariable && !messagesVariable->empty()) {
        if (*messagesVariable != "console") {
            return "KORVANA_MESSAGES must be \"console\" or unset, not \"" + *messagesVariable +
                   "\"";
        }
        choice.console = true;
    }
    if (answerVariable && !answerVariable->empty()) {
        if (*answerVariable == "yes") {
            choice.forcedAnswer = Answer::Yes;
        } else if (*answerVariable == "no") {
            choice.forcedAnswer = Answer::No;
        } else {
            return "KORVANA_ANSWER must be \"yes\", \"no\" or unset, not \"" + *answerVariable +
                   "\"";
        }
    }
    return choice;
}

} // namespace korvana::app
