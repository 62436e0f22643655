#pragma once

#include <string>
#include <string_view>

namespace korvana {

// The placeholders a template holds in its names and files. They are found
// without regard to case, as the IDE's own templates spell them in any case.
namespace placeholders {
inline constexpr std::string_view projectName = "%ProjectName%";
inline constexpr std::string_view projectPath = "%ProjectPath%";
// The first member of a project group, and the place of the lines for all others.
inline constexpr std::string_view firstMember = "%Project1%";
inline constexpr std::string_view furtherMembers = "%Project2%";
} // namespace placeholders

// Every occurrence of `search` replaced, ASCII letters matched without regard to
// case; the text around them is kept byte for byte.
std::string replaceIgnoringCase(std::string_view text, std::string_view search,
                                std::string_view replacement);

} // namespace korvana
