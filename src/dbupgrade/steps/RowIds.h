#pragma once

#include "db/DbErrors.h"
#include "db/Value.h"
#include "platform/Error.h"

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace korvana::dbupgrade::rowids {

// A stored value read as a row ID. Only whole numbers qualify: IDs go into
// criteria and statements as decimal numbers, never as text taken from a row.
inline std::optional<std::int64_t> asId(const db::Value& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        return *number;
    }
    if (const auto* real = std::get_if<double>(&value)) {
        if (std::isfinite(*real) && std::trunc(*real) == *real && std::fabs(*real) < 9.0e15) {
            return static_cast<std::int64_t>(*real);
        }
    }
    return std::nullopt;
}

// An ID an earlier operation of the step should have found; without it the
// operations that need it fail and are skipped rather than work on a guess.
inline std::int64_t require(const std::optional<std::int64_t>& id, std::string_view what) {
    if (!id) {
        throw Error("The " + std::string(what) + " was not found", db::errors::itemNotFound);
    }
    return *id;
}

} // namespace korvana::dbupgrade::rowids
