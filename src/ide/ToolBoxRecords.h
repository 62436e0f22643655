#pragma once

#include "ide/VBToolBoxControl.h"
#include "ide/VBToolBoxGroup.h"

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace korvana::ide {

// The IDE's toolbox setting ("Tool") taken apart: the tabs, then the controls,
// each in stored order.
//
// Stored form (integers 32-bit little-endian, names 8-bit characters without
// terminator): records of <id> <length n> <n characters> <1 byte>, ended by
// the integer -1; first the tabs, then the controls (whose id is the id of
// their tab). The byte after each name has no known meaning: it is ignored on
// reading and written as 0.
struct ToolBoxRecords {
    std::vector<CVBToolBoxGroup> groups;
    std::vector<CVBToolBoxControl> controls;

    bool operator==(const ToolBoxRecords&) const = default;
};

// The records of a stored setting; nothing when the setting is damaged (a
// length that is negative or runs past the end, a missing end marker). Bytes
// after the second end marker are ignored.
std::optional<ToolBoxRecords> parseToolBox(std::span<const std::uint8_t> setting);

// The stored form of the records.
std::vector<std::uint8_t> serializeToolBox(const ToolBoxRecords& records);

} // namespace korvana::ide
