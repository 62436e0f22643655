#pragma once

#include "text/MessageService.h"

#include <cstddef>
#include <deque>
#include <vector>

namespace korvana {

// Messages for tests: every message shown is kept, and questions take their
// answers from a queue. With the queue empty, a box gives its default button.
// A queued answer the box has no button for is a broken test script and
// throws std::logic_error.
class ScriptedMessageService : public MessageService {
  public:
    void queueAnswer(Answer answer) { answers_.push_back(answer); }

    Answer show(const Message& message) override;

    const std::vector<Message>& shown() const { return shown_; }
    std::size_t pendingAnswers() const { return answers_.size(); }

  private:
    std::deque<Answer> answers_;
    std::vector<Message> shown_;
};

} // namespace korvana
