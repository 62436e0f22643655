// The INI reader and its single-key writer: reading any text, and setting or
// removing one key, which must read back as written and leave every other key
// as it was.
//
// Input: one byte (odd: remove, even: set), section NUL key NUL value NUL, then
// the file's text.

#include "FuzzInput.h"
#include "platform/Error.h"
#include "platform/IniFile.h"
#include "platform/TextUtil.h"

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace korvana;

// The section and key names that the text holds, as a reader would look them
// up, with the values they give. Each lookup reads the whole text, so only
// the first few hundred are checked, to keep long inputs fast.
std::vector<std::pair<std::pair<std::string, std::string>, std::string>>
everyValue(const IniFile& ini) {
    std::vector<std::pair<std::string, std::string>> names;
    std::string section;
    std::string_view rest = ini.text();
    while (!rest.empty() && names.size() < 256) {
        const auto end = rest.find_first_of("\r\n");
        const std::string_view line = trim(rest.substr(0, end));
        rest.remove_prefix(end == std::string_view::npos ? rest.size() : end + 1);
        if (line.starts_with('[')) {
            section = std::string(trim(line.substr(1, line.find(']') - 1)));
        } else if (const auto equals = line.find('='); equals != std::string_view::npos) {
            names.emplace_back(section, std::string(trim(line.substr(0, equals))));
        }
    }
    std::vector<std::pair<std::pair<std::string, std::string>, std::string>> values;
    for (auto& name : names) {
        if (auto value = ini.value(name.first, name.second)) {
            values.push_back({std::move(name), std::move(*value)});
        }
    }
    return values;
}

// A value in enclosing quotes reads back without them.
bool isQuoted(std::string_view value) {
    return value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
           value.back() == value.front();
}

bool isTarget(const std::pair<std::string, std::string>& name, std::string_view section,
              std::string_view key) {
    return equalsIgnoreCase(name.first, section) && equalsIgnoreCase(name.second, key);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz::FuzzInput input(data, size);
    const bool removing = (input.byte() & 1) != 0;
    const std::string section(input.part());
    const std::string key(input.part());
    const std::string value(input.part());
    std::optional<IniFile> ini;
    try {
        ini.emplace("fuzz.ini", std::string(input.rest()));
    } catch (const Error&) {
        return 0;
    }
    const auto before = everyValue(*ini);
    bool changed = false;
    try {
        changed = removing ? ini->remove(section, key) : ini->set(section, key, value);
    } catch (const Error&) {
        fuzz::require(ini->text() == input.rest(), "a refused change altered the text");
        return 0;
    }
    // What was written is text and reads back.
    try {
        IniFile reread("fuzz.ini", ini->text());
    } catch (const Error&) {
        fuzz::propertyBroken("a change made the file unreadable");
    }
    fuzz::require(changed || ini->text() == input.rest(), "an unchanged file was rewritten");
    const auto found = ini->value(section, key);
    if (removing) {
        fuzz::require(!found, "a removed key can still be read");
    } else if (trim(value) == value && !isQuoted(value)) {
        fuzz::require(found && *found == value, "a set key does not read back as written");
    }
    // Every other key keeps its value.
    for (const auto& [name, old] : before) {
        if (isTarget(name, section, key)) {
            continue;
        }
        const auto now = ini->value(name.first, name.second);
        fuzz::require(now && *now == old, "a change altered another key");
    }
    return 0;
}
