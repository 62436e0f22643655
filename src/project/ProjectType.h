#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <variant>

namespace korvana {

// The type of a project or group. The codes are single bits so that a set of
// types is the sum of their codes; None is the code of every unknown name.
enum class ProjectType : std::int32_t {
    None = 0,
    Single = 1,
    Server = 2,
    Client = 4,
    TerminalServer = 8,
    TerminalClient = 16,
    Group = 32,
};

// A set of project types as callers pass it: a sum of codes.
struct ProjectTypeMask {
    std::int32_t bits = 0;

    static constexpr ProjectTypeMask all() { return {-1}; }
    // Every type but groups (128 is part of the value callers have always passed).
    static constexpr ProjectTypeMask allButGroups() { return {159}; }
    static constexpr ProjectTypeMask serversOnly() { return {2}; }

    // All types holds a registration of an unknown type too: it is still a
    // project file that can be opened, and listing everything must not hide it.
    constexpr bool contains(ProjectType type) const {
        return *this == all() || (bits & static_cast<std::int32_t>(type)) != 0;
    }
    constexpr bool operator==(const ProjectTypeMask&) const = default;
};

// The stored name of a type ("Single", "Terminal Server", ...); empty for None
// and for any value that is not one of the six codes.
std::string_view projectTypeName(ProjectType type);
// The type of a stored name, compared exactly (case matters); None when unknown.
ProjectType projectTypeCode(std::string_view name);

// A type as it arrives from stored data: a number or a text.
using ProjectTypeValue = std::variant<std::int32_t, std::string>;

// Converts in whichever direction the value asks for. A number, or a text that
// reads as a decimal number (surrounding blanks, a sign, a fraction or an
// exponent allowed: " 2", "1.0", "3.2e1"), gives the type name of that code ("" when
// the number is not a known code). Any other text is a name and gives its code
// (0 when unknown).
ProjectTypeValue ConvertProjectType(const ProjectTypeValue& value);

} // namespace korvana
