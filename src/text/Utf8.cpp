#include "text/Utf8.h"

#include "platform/Error.h"

#include <cstdint>
#include <limits>
#include <unicode/utf8.h>

namespace korvana::utf8 {

namespace {

std::int32_t checkedLength(std::string_view text) {
    if (text.size() > static_cast<std::size_t>(std::numeric_limits<std::int32_t>::max())) {
        throw Error("text too long");
    }
    return static_cast<std::int32_t>(text.size());
}

} // namespace

std::vector<std::size_t> characterStarts(std::string_view text) {
    const auto length = checkedLength(text);
    std::vector<std::size_t> starts;
    std::int32_t i = 0;
    while (i < length) {
        starts.push_back(static_cast<std::size_t>(i));
        U8_FWD_1(text.data(), i, length);
    }
    return starts;
}

} // namespace korvana::utf8
