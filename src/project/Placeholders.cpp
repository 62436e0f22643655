#include "project/Placeholders.h"

#include "platform/TextUtil.h"

namespace korvana {

std::string replaceIgnoringCase(std::string_view text, std::string_view search,
                                std::string_view replacement) {
    if (search.empty()) {
        return std::string(text);
    }
    const std::string folded = toLowerAscii(text);
    const std::string wanted = toLowerAscii(search);
    std::string result;
    result.reserve(text.size());
    std::size_t from = 0;
    for (auto found = folded.find(wanted); found != std::string::npos;
         found = folded.find(wanted, from)) {
        result.append(text.substr(from, found - from)).append(replacement);
        from = found + search.size();
    }
    result.append(text.substr(from));
    return result;
}

} // namespace korvana
