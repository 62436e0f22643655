#include "project/GuardedProcedure.h"

#include "platform/Error.h"
#include "text/Messages.h"

#include <filesystem>
#include <string>

namespace korvana {

namespace {

// The run-time error number of a path or file access error.
constexpr int pathFileAccessError = 75;

} // namespace

bool RunGuarded(MessageService& messages, const TextService& texts, std::string_view procedure,
                const std::function<bool()>& body) {
    const std::string sentence = "Error in function '" + std::string(procedure) + "'!";
    try {
        return body();
    } catch (const Error& error) {
        ReportError(messages, texts, sentence, error);
    } catch (const std::filesystem::filesystem_error& error) {
        ReportError(messages, texts, sentence, pathFileAccessError, error.what());
    }
    return false;
}

} // namespace korvana
