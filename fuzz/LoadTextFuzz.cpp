// Filling a text's placeholders and escapes with arguments: any text of the
// string table, any arguments.
//
// Input: one byte (bit 0: English, bit 1: a number the table has), the German
// text NUL the English text NUL, then up to four arguments separated by NUL.

#include "FuzzInput.h"
#include "text/StringTable.h"
#include "text/TextService.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvana;
    fuzz::FuzzInput input(data, size);
    const std::uint8_t choice = input.byte();
    const std::string german(input.part());
    const std::string english(input.part());
    std::vector<TextArgument> arguments;
    std::size_t argumentBytes = 0;
    for (std::size_t i = 0; i < 4 && !input.rest().empty(); ++i) {
        arguments.emplace_back(input.part());
        argumentBytes += arguments.back().text().size();
    }
    const std::array<StringTableEntry, 2> entries = {{{100, german}, {10100, english}}};
    const TextService texts((choice & 1) != 0 ? englishLanguage : germanLanguage,
                            StringTable(entries));
    const std::int32_t id = (choice & 2) != 0 ? 100 : 101;
    const std::string filled = texts.LoadText(TextId{id}, arguments);
    // Escapes only shrink and every placeholder is filled once, so the result
    // is at most the text plus one argument per placeholder.
    const std::size_t longest = std::max(german.size(), english.size()) + 8;
    fuzz::require(filled.size() <= longest + (longest / 2) * argumentBytes,
                  "the filled text is longer than its parts allow");
    return 0;
}
