#include "text/MessageService.h"

namespace korvana {

Answer MessageStyle::defaultAnswer() const {
    switch (buttons) {
    case MessageButtons::Ok:
        return Answer::Ok;
    case MessageButtons::OkCancel:
        return secondButtonIsDefault ? Answer::Cancel : Answer::Ok;
    case MessageButtons::YesNo:
        return secondButtonIsDefault ? Answer::No : Answer::Yes;
    }
    return Answer::Ok;
}

bool MessageStyle::offers(Answer answer) const {
    switch (buttons) {
    case MessageButtons::Ok:
        return answer == Answer::Ok;
    case MessageButtons::OkCancel:
        return answer == Answer::Ok || answer == Answer::Cancel;
    case MessageButtons::YesNo:
        return answer == Answer::Yes || answer == Answer::No;
    }
    return false;
}

std::string_view answerName(Answer answer) {
    switch (answer) {
    case Answer::Ok:
        return "OK";
    case Answer::Cancel:
        return "Cancel";
    case Answer::Yes:
        return "Yes";
    case Answer::No:
        return "No";
    }
    return "?";
}

} // namespace korvana
