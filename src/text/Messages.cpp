#include "text/Messages.h"

namespace korvana {

namespace {

constexpr TextId numberedTitle{90};
constexpr TextId errorReportSuffix{99};

} // namespace

Answer ShowNumberedMessage(MessageService& messages, const TextService& texts, TextId id,
                           MessageStyle style, std::initializer_list<TextArgument> args) {
    return messages.show(
        {texts.LoadText(numberedTitle, {id.value}), texts.LoadText(id, args), style});
}

Answer ShowMessage(MessageService& messages, const TextService& texts, TextId id,
                   MessageStyle style, std::initializer_list<TextArgument> args) {
    return messages.show({std::string(applicationTitle), texts.LoadText(id, args), style});
}

void ReportError(MessageService& messages, const TextService& texts, std::string_view sentence,
                 int errorNumber, std::string_view description) {
    messages.show(
        {std::string(applicationTitle),
         std::string(sentence) + texts.LoadText(errorReportSuffix, {errorNumber, description}),
         MessageStyle::errorReport()});
}

void ReportError(MessageService& messages, const TextService& texts, std::string_view sentence,
                 const Error& error) {
    ReportError(messages, texts, sentence, error.number(), error.what());
}

} // namespace korvana
