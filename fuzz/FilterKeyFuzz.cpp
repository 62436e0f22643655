// The input masks of the masked text boxes: any key, text, caret and mask.
//
// Input: the key as two bytes (low first), the caret as one, the mask NUL,
// then the text in the box.

#include "FuzzInput.h"
#include "text/FilterKey.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvana;
    fuzz::FuzzInput input(data, size);
    const auto key = static_cast<KeyCode>(input.byte() | (input.byte() << 8));
    const std::size_t caret = input.byte();
    const std::string_view mask = input.part();
    const std::string_view text = input.rest();
    const KeyCode result = FilterKey(key, text, caret, mask);
    fuzz::require(result == 0 || result == key, "a key was changed instead of let through");
    fuzz::require(key != backspaceKey || result == key, "backspace was swallowed");
    isKnownMask(mask);
    return 0;
}
