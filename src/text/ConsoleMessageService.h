#pragma once

#include "text/MessageService.h"

#include <iosfwd>
#include <optional>

namespace korvana {

// Messages of the command-line tool: each one is written to the error stream
// with its title. A question is asked on the input when that is a person at a
// terminal; otherwise, or when the input ends, the box's default button
// answers. A forced answer (Yes or No) takes the place of asking: Yes is "OK"
// and No is "Cancel" for an OK/Cancel box.
class ConsoleMessageService : public MessageService {
  public:
    // stderr for the messages; asks on stdin only when it is a terminal.
    explicit ConsoleMessageService(std::optional<Answer> forced = std::nullopt);
    ConsoleMessageService(std::istream& input, std::ostream& output, bool interactive,
                          std::optional<Answer> forced = std::nullopt);

    Answer show(const Message& message) override;

  private:
    Answer ask(const MessageStyle& style);

    std::istream& input_;
    std::ostream& output_;
    bool interactive_;
    std::optional<Answer> forced_;
};

} // namespace korvana
