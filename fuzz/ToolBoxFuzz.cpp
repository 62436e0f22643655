// The IDE's toolbox setting ("Tool"): any bytes are either refused as damaged
// or taken apart into records that are written back in the same form.

#include "FuzzInput.h"
#include "ide/ToolBoxRecords.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvana::ide;
    const auto records = parseToolBox(std::span<const std::uint8_t>(data, size));
    if (!records) {
        return 0;
    }
    const auto written = serializeToolBox(*records);
    // The stored form is the input up to its second end marker, with the byte
    // after each name (which has no meaning) written as 0.
    korvana::fuzz::require(written.size() <= size, "the records grew when written");
    const auto reread = parseToolBox(written);
    korvana::fuzz::require(reread && *reread == *records, "written records read back otherwise");
    return 0;
}
