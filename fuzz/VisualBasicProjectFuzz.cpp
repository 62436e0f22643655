// The reader of Visual Basic project files (".vbp", and the form files the
// studio adapts): the text check of an INI file, then its "key=value" lines.

#include "FuzzInput.h"
#include "platform/Error.h"
#include "platform/IniFile.h"
#include "project/VisualBasicProject.h"

#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace korvana;
    std::optional<IniFile> file;
    try {
        file.emplace("fuzz.vbp", std::string(reinterpret_cast<const char*>(data), size));
    } catch (const Error&) {
        return 0;
    }
    for (const auto& entry : parseVisualBasicEntries(file->text())) {
        fuzz::require(entry.key.find_first_of("\r\n=") == std::string::npos,
                      "a key holds a line break or '='");
        fuzz::require(entry.value.find_first_of("\r\n") == std::string::npos,
                      "a value holds a line break");
    }
    return 0;
}
