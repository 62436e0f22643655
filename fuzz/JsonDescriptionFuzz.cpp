// The reader of JSON database descriptions: any text is either a description
// whose every part was checked, or refused with an error.

#include "FuzzInput.h"
#include "db/json/DescriptionReader.h"
#include "platform/Error.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvana;
    try {
        db::json::DescriptionReader::parse(
            std::string_view(reinterpret_cast<const char*>(data), size));
    } catch (const Error&) {
    }
    return 0;
}
