#pragma once

#include <string>
#include <string_view>

namespace korvana {

enum class MessageIcon { None, Critical, Exclamation, Information, Question };
enum class MessageButtons { Ok, OkCancel, YesNo };
enum class Answer { Ok, Cancel, Yes, No };

// The message-box styles the program uses; each caller names one of these.
struct MessageStyle {
    MessageIcon icon = MessageIcon::None;
    MessageButtons buttons = MessageButtons::Ok;
    bool secondButtonIsDefault = false;

    // Start-up failures, failed copies.
    static constexpr MessageStyle critical() { return {MessageIcon::Critical, MessageButtons::Ok}; }
    // Refused input.
    static constexpr MessageStyle exclamation() {
        return {MessageIcon::Exclamation, MessageButtons::Ok};
    }
    // Hints.
    static constexpr MessageStyle information() {
        return {MessageIcon::Information, MessageButtons::Ok};
    }
    // Questions; Yes is the default.
    static constexpr MessageStyle question() {
        return {MessageIcon::Question, MessageButtons::YesNo};
    }
    // Overwrite questions; No is the default.
    static constexpr MessageStyle overwriteQuestion() {
        return {MessageIcon::Question, MessageButtons::YesNo, true};
    }
    // Warnings the user may override; Cancel is the default.
    static constexpr MessageStyle warning() {
        return {MessageIcon::Exclamation, MessageButtons::OkCancel, true};
    }
    // Unexpected errors caught by a guarded procedure.
    static constexpr MessageStyle errorReport() { return {MessageIcon::None, MessageButtons::Ok}; }

    bool operator==(const MessageStyle&) const = default;

    // The answer a box gives when the user just presses Enter.
    Answer defaultAnswer() const;
    // Whether the box has a button for this answer.
    bool offers(Answer answer) const;
};

// "OK", "Cancel", "Yes", "No": for logs and test failures.
std::string_view answerName(Answer answer);

struct Message {
    std::string title;
    std::string text;
    MessageStyle style;
};

// Where messages and questions go: a message box in the program, stderr in the
// command-line tool, a script in tests. The core talks only to this.
class MessageService {
  public:
    virtual ~MessageService() = default;
    virtual Answer show(const Message& message) = 0;
};

} // namespace korvana
