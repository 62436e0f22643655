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

} // namespace korvana
