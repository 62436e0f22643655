// The Windows command-line splitter, as the launcher's lines and a developer's
// own settings reach it.

#include "FuzzInput.h"
#include "platform/Process.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view line(reinterpret_cast<const char*>(data), size);
    std::size_t total = 0;
    for (const auto& argument : korvana::splitWindowsCommandLine(line)) {
        total += argument.size();
    }
    // Quotes and escaping backslashes vanish; nothing is ever added.
    korvana::fuzz::require(total <= size, "the arguments hold more than the line");
    return 0;
}
