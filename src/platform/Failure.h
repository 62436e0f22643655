#pragma once

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"

#include <exception>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>

namespace korvana {

// A failure that a procedure going on after it (a skipped upgrade operation,
// a passed-over preparation statement, a guarded procedure's report) has
// caught: its run-time error number, 0 where none fits, and its description.
struct Failure {
    int number = 0;
    std::string description;
};

// Runs `statement` and answers the failure it raised, if any. Every procedure
// that goes on after a failure catches through here, so that all of them pass
// over the same failures: the core's own errors with their numbers, the file
// system's as path/file access errors, and whatever else a statement throws.
template <typename Statement> std::optional<Failure> failureOf(Statement&& statement) {
    try {
        std::forward<Statement>(statement)();
        return std::nullopt;
    } catch (const Error& error) {
        return Failure{error.number(), error.what()};
    } catch (const std::filesystem::filesystem_error& error) {
        return Failure{runtimeErrors::pathFileAccessError, error.what()};
    } catch (const std::exception& error) {
        return Failure{0, error.what()};
    }
}

} // namespace korvana
