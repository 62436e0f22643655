#include "text/ScriptedMessageService.h"

#include <stdexcept>
#include <string>

namespace korvana {

Answer ScriptedMessageService::show(const Message& message) {
    shown_.push_back(message);
    if (answers_.empty()) {
        return message.style.defaultAnswer();
    }
    const auto answer = answers_.front();
    if (!message.style.offers(answer)) {
        throw std::logic_error("scripted answer " + std::string(answerName(answer)) +
                               " does not fit the message \"" + message.text + "\"");
    }
    answers_.pop_front();
    return answer;
}

} // namespace korvana
