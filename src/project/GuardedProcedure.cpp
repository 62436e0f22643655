#include "project/GuardedProcedure.h"

#include "platform/Failure.h"
#include "text/Messages.h"

#include <string>

namespace korvana {

bool RunGuarded(MessageService& messages, const TextService& texts, std::string_view procedure,
                const std::function<bool()>& body) {
    const std::string sentence = "Error in function '" + std::string(procedure) + "'!";
    bool answer = false;
    if (auto failure = failureOf([&] { answer = body(); })) {
        ReportError(messages, texts, sentence, failure->number, failure->description);
        return false;
    }
    return answer;
}

} // namespace korvana
