#pragma once

#include <cstdint>
#include <string>

namespace korvana::ide {

// One tab of the IDE's toolbox.
struct CVBToolBoxGroup {
    std::int32_t TabID = 0;
    // The tab name as stored: 8-bit characters, taken over byte for byte.
    std::string Name;

    bool operator==(const CVBToolBoxGroup&) const = default;
};

} // namespace korvana::ide
