#include "text/ConsoleMessageService.h"

#include "platform/Error.h"
#include "platform/TextUtil.h"

#include <iostream>
#include <string>
#include <unistd.h>

namespace korvana {

namespace {

std::string_view iconName(MessageIcon icon) {
    switch (icon) {
    case MessageIcon::Critical:
        return "error";
    case MessageIcon::Exclamation:
        return "warning";
    case MessageIcon::Information:
        return "note";
    case MessageIcon::Question:
        return "question";
    case MessageIcon::None:
        break;
    }
    return {};
}

// Line breaks of the texts are CR LF; a terminal or log wants LF alone.
std::string withUnixLineBreaks(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            continue;
        }
        result += text[i];
    }
    return result;
}

std::string buttonsLabel(const MessageStyle& style) {
    std::string label = style.buttons == MessageButtons::YesNo ? "Yes/No" : "OK/Cancel";
    return label + ", default " + std::string(answerName(style.defaultAnswer()));
}

std::optional<Answer> parseReply(std::string_view reply, const MessageStyle& style) {
    const auto word = toLowerAscii(trim(reply));
    if (word.empty()) {
        return style.defaultAnswer();
    }
    if (style.buttons == MessageButtons::YesNo) {
        if (word == "y" || word == "yes" || word == "j" || word == "ja") {
            return Answer::Yes;
        }
        if (word == "n" || word == "no" || word == "nein") {
            return Answer::No;
        }
    } else {
        if (word == "o" || word == "ok") {
            return Answer::Ok;
        }
        if (word == "c" || word == "cancel" || word == "a" || word == "abbrechen") {
            return Answer::Cancel;
        }
    }
    return std::nullopt;
}

} // namespace

ConsoleMessageService::ConsoleMessageService(std::optional<Answer> forced)
    : ConsoleMessageService(std::cin, std::cerr, isatty(STDIN_FILENO) == 1, forced) {}

ConsoleMessageService::ConsoleMessageService(std::istream& input, std::ostream& output,
                                             bool interactive, std::optional<Answer> forced)
    : input_(input), output_(output), interactive_(interactive), forced_(forced) {
    if (forced_ && *forced_ != Answer::Yes && *forced_ != Answer::No) {
        throw Error("a forced answer is Yes or No");
    }
}

Answer ConsoleMessageService::show(const Message& message) {
    output_ << message.title;
    if (const auto icon = iconName(message.style.icon); !icon.empty()) {
        output_ << " [" << icon << ']';
    }
    output_ << ": " << withUnixLineBreaks(message.text) << '\n';

    const auto& style = message.style;
    if (style.buttons == MessageButtons::Ok) {
        output_.flush();
        return Answer::Ok;
    }
    Answer answer = style.defaultAnswer();
    if (forced_) {
        answer = *forced_ == Answer::Yes ? (style.offers(Answer::Yes) ? Answer::Yes : Answer::Ok)
                                         : (style.offers(Answer::No) ? Answer::No : Answer::Cancel);
    } else if (interactive_) {
        answer = ask(style);
    }
    output_ << "  (" << buttonsLabel(style) << ") -> " << answerName(answer) << '\n';
    output_.flush();
    return answer;
}

Answer ConsoleMessageService::ask(const MessageStyle& style) {
    const std::string_view keys = style.buttons == MessageButtons::YesNo ? "[y/n]" : "[o/c]";
    for (;;) {
        output_ << "  " << keys << "? " << std::flush;
        std::string reply;
        if (!std::getline(input_, reply)) {
            return style.defaultAnswer(); // nobody left to answer
        }
        if (const auto answer = parseReply(reply, style)) {
            return *answer;
        }
    }
}

} // namespace korvana
