// The start-up's command-line grammar: "-p=" name, "-r=" file, a path, or an
// invalid switch, whatever the line holds.

#include "FuzzInput.h"
#include "platform/TextUtil.h"
#include "startup/CommandLine.h"

#include <cstdint>
#include <string_view>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvana;
    const std::string_view line = trim(std::string_view(reinterpret_cast<const char*>(data), size));
    const CommandLine parsed = ParseCommandLine(line);
    fuzz::require(parsed.argument.size() <= line.size(), "the argument is longer than the line");
    fuzz::require((parsed.form == CommandLineForm::Empty) == line.empty(),
                  "an empty line is read otherwise, or a line as empty");
    return 0;
}
