#pragma once

#include <cstdint>
#include <string>

namespace korvana::ide {

// One control of the IDE's toolbox, placed on the tab with id TabID.
struct CVBToolBoxControl {
    std::int32_t TabID = 0;
    // The control's programmatic identifier ("KV4BarLib.KVBar").
    std::string Name;

    bool operator==(const CVBToolBoxControl&) const = default;
};

} // namespace korvana::ide
