#pragma once

#include "text/MessageService.h"

#include <CLI/CLI.hpp>
#include <optional>

namespace korvana::cli {

// --yes / --no of the commands that may ask a question (lifting a write
// protection): a forced answer takes the place of asking on the console.
struct AnswerFlags {
    bool yes = false;
    bool no = false;

    void addTo(CLI::App& command) {
        auto* yesFlag =
            command.add_flag("--yes", yes, "Answer Yes when asked to lift a write protection");
        command.add_flag("--no", no, "Answer No when asked to lift a write protection")
            ->excludes(yesFlag);
    }

    std::optional<Answer> forced() const {
        if (yes) {
            return Answer::Yes;
        }
        if (no) {
            return Answer::No;
        }
        return std::nullopt;
    }
};

} // namespace korvana::cli
