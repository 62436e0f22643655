// The regedit file reader, as import reads a file and as a stored hive is read,
// and the round trip: whatever import takes in is written out as a hive that
// reads back to the same keys and values.

#include "FuzzInput.h"
#include "platform/Error.h"
#include "platform/RegFileEntry.h"
#include "platform/RegFileParser.h"
#include "platform/RegFileWriter.h"
#include "platform/Registry.h"
#include "platform/RegistryKey.h"

#include <cstdint>
#include <string>

namespace {

using namespace korvana;

// The hive file `written` read back as a stored hive and written again.
std::string rewrite(Hive hive, const std::string& written) {
    const RegFileContent reread =
        RegFileParser::parse(written, "written hive", {.strict = true, .onlyHive = hive});
    RegistryKey again("");
    applyRegFileEntries(reread.entries, hive, again);
    return RegFileWriter::hive(hive, again);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string text;
    try {
        text = RegFileParser::decode(bytes, "fuzz.reg");
    } catch (const Error&) {
        return 0;
    }
    try {
        RegFileParser::parse(text, "fuzz.reg", {.strict = true, .onlyHive = Hive::CurrentUser});
    } catch (const Error&) {
    }
    RegFileContent imported;
    try {
        imported =
            RegFileParser::parse(text, "fuzz.reg", {.strict = false, .onlyHive = std::nullopt});
    } catch (const Error&) {
        return 0;
    }
    for (const Hive hive : {Hive::LocalMachine, Hive::CurrentUser}) {
        RegistryKey root("");
        applyRegFileEntries(imported.entries, hive, root);
        const std::string written = RegFileWriter::hive(hive, root);
        std::string reread;
        try {
            reread = rewrite(hive, written);
        } catch (const Error& error) {
            std::fprintf(stderr, "%s\n", error.what());
            fuzz::propertyBroken("a written hive cannot be read back");
        }
        fuzz::require(reread == written, "a written hive reads back to other keys or values");
    }
    return 0;
}
