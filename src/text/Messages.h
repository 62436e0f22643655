#pragma once

#include "platform/Error.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <initializer_list>
#include <string_view>

namespace korvana {

inline constexpr std::string_view applicationTitle = "KorvanaStudio";

// A message with its own number: titled with text 90 and the number, so the
// user can quote it.
Answer ShowNumberedMessage(MessageService& messages, const TextService& texts, TextId id,
                           MessageStyle style, std::initializer_list<TextArgument> args = {});

// Any other message: titled "KorvanaStudio".
Answer ShowMessage(MessageService& messages, const TextService& texts, TextId id,
                   MessageStyle style, std::initializer_list<TextArgument> args = {});

// The report of a guarded procedure: the fixed English sentence naming the
// procedure ("Error in function 'RegisterProject'!") followed by text 99 with
// the error number and description, OK only, titled "KorvanaStudio".
void ReportError(MessageService& messages, const TextService& texts, std::string_view sentence,
                 int errorNumber, std::string_view description);
// The same for a caught error, with its number and message.
void ReportError(MessageService& messages, const TextService& texts, std::string_view sentence,
                 const Error& error);

} // namespace korvana
