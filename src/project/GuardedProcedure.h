#pragma once

#include "text/MessageService.h"
#include "text/TextService.h"

#include <functional>
#include <string_view>

namespace korvana {

// Runs the body of a procedure that guards itself: an unexpected failure is
// shown as "Error in function '<procedure>'!" followed by text 99 with the
// error number and description, and the procedure answers false. What the
// body changed before the failure stays.
bool RunGuarded(MessageService& messages, const TextService& texts, std::string_view procedure,
                const std::function<bool()>& body);

} // namespace korvana
