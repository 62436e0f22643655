#pragma once

#include "text/TextTypes.h"

#include <string>

namespace korvana {

// The name of a language as the user of the studio reads it: "Deutsch
// (Deutschland)" for 1031 when the user interface is German, "German (Germany)"
// when it is English. Empty for a number that names no known locale.
std::string languageName(Lcid language, Lcid userInterfaceLanguage);

} // namespace korvana
