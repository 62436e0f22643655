// The reader of Visual Basic group files (".vbg"): the member entries, and the
// project file each one names below the group's folder.

#include "FuzzInput.h"
#include "platform/Error.h"
#include "project/GroupFileReader.h"

#include <cstdint>
#include <string>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvana;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> entries;
    try {
        entries = GroupFileReader::memberEntriesOfText(text, "fuzz.vbg");
    } catch (const Error&) {
        return 0;
    }
    for (const auto& entry : entries) {
        fuzz::require(!entry.empty() && entry.find_first_of("\r\n") == std::string::npos,
                      "an entry is empty or holds a line break");
        GroupFileReader::memberPath(entry, "/home/dev/Projects/Plant");
        GroupFileReader::memberPath(entry, R"(D:\Projects\Plant)");
    }
    return 0;
}
