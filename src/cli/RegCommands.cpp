#include "cli/Commands.h"
#include "cli/ListOutput.h"
#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/HexBytes.h"
#include "platform/RegFileParser.h"
#include "platform/RegFileWriter.h"
#include "platform/RegistryNames.h"

#include <charconv>
#include <fstream>
#include <memory>
#include <sstream>

namespace korvana::cli {

namespace {

// A bad command line: reported with exit code 2, before anything is touched.
struct UsageError {
    std::string message;
};

struct KeyArgument {
    Hive hive;
    std::string path;
};

// "HKLM\Software\X" or "HKEY_LOCAL_MACHINE\Software\X"; the hive alone names
// the hive's root.
KeyArgument parseKey(const std::string& text) {
    const auto slash = text.find('\\');
    const auto hive = parseHive(std::string_view(text).substr(0, slash));
    if (!hive) {
        throw UsageError{"unknown hive in '" + text +
                         "' (use HKLM, HKEY_LOCAL_MACHINE, HKCU or HKEY_CURRENT_USER)"};
    }
    KeyArgument key{*hive, slash == std::string::npos ? std::string() : text.substr(slash + 1)};
    if (slash != std::string::npos && key.path.empty()) {
        throw UsageError{"the key '" + text + "' ends with a backslash"};
    }
    try {
        splitKeyPath(key.path);
    } catch (const Error& error) {
        throw UsageError{error.what()};
    }
    return key;
}

// What `get` prints: text as it is, a 32-bit number in decimal as the
// system reads it (signed), anything else as hex bytes.
std::string displayText(const RegistryValue& value) {
    if (const auto* text = std::get_if<std::string>(&value.data)) {
        return *text;
    }
    if (const auto* number = std::get_if<std::uint32_t>(&value.data)) {
        return std::to_string(static_cast<std::int32_t>(*number));
    }
    return toHex(std::get<std::vector<std::uint8_t>>(value.data));
}

std::uint32_t parseDword(const std::string& text) {
    std::int64_t number = 0;
    std::string_view digits = text;
    int base = 10;
    if (digits.starts_with("0x") || digits.starts_with("0X")) {
        digits.remove_prefix(2);
        base = 16;
    }
    const auto* end = digits.data() + digits.size();
    const auto [ptr, ec] = std::from_chars(digits.data(), end, number, base);
    if (digits.empty() || ec != std::errc{} || ptr != end || number < INT32_MIN ||
        number > static_cast<std::int64_t>(UINT32_MAX)) {
        throw UsageError{"'" + text + "' is not a 32-bit number"};
    }
    return static_cast<std::uint32_t>(number);
}

std::vector<std::uint8_t> parseBinary(const std::string& text) {
    std::string digits;
    for (const char c : text) {
        if (c != ',' && c != ' ' && c != ':') {
            digits.push_back(c);
        }
    }
    if (digits.size() % 2 != 0) {
        throw UsageError{"'" + text + "' is not binary data given as hex (two digits a byte)"};
    }
    std::vector<std::uint8_t> bytes;
    for (size_t i = 0; i < digits.size(); i += 2) {
        std::uint8_t byte = 0;
        const auto [ptr, ec] = std::from_chars(digits.data() + i, digits.data() + i + 2, byte, 16);
        if (ec != std::errc{} || ptr != digits.data() + i + 2) {
            throw UsageError{"'" + text + "' is not binary data given as hex"};
        }
        bytes.push_back(byte);
    }
    return bytes;
}

RegistryValue parseValue(const std::string& text, const std::string& type) {
    if (type == "dword") {
        return RegistryValue::dword(parseDword(text));
    }
    if (type == "binary") {
        return RegistryValue::binary(parseBinary(text));
    }
    if (!isValidUtf8(text)) {
        throw UsageError{"the value is not UTF-8 text"};
    }
    return RegistryValue::string(text);
}

// A value's kind in a listing, named as `set --type` names the three kinds
// the system writes.
std::string kindName(const RegistryValue& value) {
    switch (static_cast<ValueType>(value.type)) {
    case ValueType::None:
        return "none";
    case ValueType::String:
        return "sz";
    case ValueType::ExpandString:
        return "expand_sz";
    case ValueType::Binary:
        return "binary";
    case ValueType::Dword:
        return "dword";
    case ValueType::MultiString:
        return "multi_sz";
    case ValueType::Qword:
        return "qword";
    }
    return "hex(" + std::to_string(value.type) + ")";
}

void notFound(CliContext& context, const std::string& what) {
    context.err << "kvs reg: " << what << " not found\n";
    context.exitCode = exitNotFound;
}

// Runs one command; a bad command line becomes exit code 2, a failure of the
// registry (korvana::Error) reaches main, which reports it with exit code 3.
template <typename Work> auto guarded(CliContext& context, Work work) {
    return [&context, work] {
        try {
            work();
        } catch (const UsageError& error) {
            context.err << "kvs reg: " << error.message << '\n';
            context.exitCode = exitUsage;
        }
    };
}

std::string readWholeFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary | std::ios::ate);
    if (!in) {
        throw Error("Cannot open " + path, runtimeErrors::fileNotFound);
    }
    // Read in one piece into a string of the file's size: a large import
    // should be held once, not grown and copied on the way in.
    std::string content;
    const auto size = in.tellg();
    if (size > 0) {
        content.resize(static_cast<std::size_t>(size));
        in.seekg(0);
        in.read(content.data(), static_cast<std::streamsize>(content.size()));
        content.resize(static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) {
        throw Error("Cannot read " + path, runtimeErrors::pathFileAccessError);
    }
    return content;
}

struct RegArguments {
    std::string key;
    std::string name;
    std::optional<std::string> optionalName;
    std::string value;
    std::string type = "sz";
    std::optional<std::string> exportKey;
    std::string output;
    std::string file;
    ListFormFlags listForm;
};

void addGet(CLI::App& reg, CliContext& context, std::shared_ptr<RegArguments> args) {
    auto* get = reg.add_subcommand(
        "get", "Print a value: text as it is, a 32-bit number in decimal, binary as hex. "
               "Exit code 1 when the value is missing.");
    get->add_option("KEY", args->key, "Key with its hive, e.g. HKLM\\Software\\X")->required();
    get->add_option("NAME", args->name, "Value name (\"\" for the default value)")->required();
    get->callback(guarded(context, [&context, args] {
        const auto key = parseKey(args->key);
        const auto value = context.registry().value(key.hive, key.path, args->name);
        if (!value) {
            notFound(context, "value '" + args->name + "' of " + args->key);
            return;
        }
        context.out << displayText(*value) << '\n';
    }));
}

void addSet(CLI::App& reg, CliContext& context, std::shared_ptr<RegArguments> args) {
    auto* set = reg.add_subcommand("set", "Write a value; missing keys on the path are created.");
    set->add_option("KEY", args->key, "Key with its hive, e.g. HKCU\\Software\\X")->required();
    set->add_option("NAME", args->name, "Value name (\"\" for the default value)")->required();
    set->add_option("VALUE", args->value, "The data; for binary hex digits, e.g. 0a1bff")
        ->required();
    set->add_option("--type", args->type, "Kind of value: sz (text, the default), dword, binary")
        ->check(CLI::IsMember({"sz", "dword", "binary"}));
    set->callback(guarded(context, [&context, args] {
        const auto key = parseKey(args->key);
        const auto value = parseValue(args->value, args->type);
        try {
            checkValueName(args->name);
        } catch (const Error& error) {
            throw UsageError{error.what()};
        }
        context.registry().setValue(key.hive, key.path, args->name, value);
    }));
}

void addDelete(CLI::App& reg, CliContext& context, std::shared_ptr<RegArguments> args) {
    auto* del = reg.add_subcommand(
        "delete", "Delete a key with all its sub-keys, or one value when NAME is given. "
                  "Exit code 1 when it does not exist.");
    del->add_option("KEY", args->key, "Key with its hive")->required();
    del->add_option("NAME", args->optionalName, "Value name (\"\" for the default value)");
    del->callback(guarded(context, [&context, args] {
        const auto key = parseKey(args->key);
        auto& registry = context.registry();
        if (args->optionalName) {
            if (!registry.value(key.hive, key.path, *args->optionalName)) {
                notFound(context, "value '" + *args->optionalName + "' of " + args->key);
                return;
            }
            registry.deleteValue(key.hive, key.path, *args->optionalName);
            return;
        }
        if (key.path.empty()) {
            throw UsageError{"a whole hive cannot be deleted"};
        }
        if (!registry.keyExists(key.hive, key.path)) {
            notFound(context, "key " + args->key);
            return;
        }
        registry.deleteKey(key.hive, key.path);
    }));
}

void addList(CLI::App& reg, CliContext& context, std::shared_ptr<RegArguments> args) {
    auto* list = reg.add_subcommand(
        "list", "List a key: its sub-keys (one a line, ending with a backslash), then its "
                "values as regedit writes them. The table and JSON have the columns name, type "
                "(key for a sub-key) and data (as get prints it). Exit code 1 when the key is "
                "missing.");
    list->add_option("KEY", args->key, "Key with its hive")->required();
    args->listForm.addTo(*list);
    list->callback(guarded(context, [&context, args] {
        const auto key = parseKey(args->key);
        auto& registry = context.registry();
        if (!registry.keyExists(key.hive, key.path)) {
            notFound(context, "key " + args->key);
            return;
        }
        const auto subKeys = registry.subKeys(key.hive, key.path);
        const auto values = registry.values(key.hive, key.path);
        const auto form = args->listForm.form(context.outIsTerminal);
        // Scripts read the lines in regedit's own notation, which a .reg file
        // takes as they are; the table and JSON have a row per entry.
        if (form == ListForm::Lines) {
            for (const auto& name : subKeys) {
                context.out << name << "\\\n";
            }
            std::string line;
            for (const auto& value : values) {
                line.clear();
                RegFileWriter::appendValue(line, value);
                context.out << line << '\n';
            }
            return;
        }
        ListOutput output(context.out, form, {{"name"}, {"type"}, {"data"}});
        for (const auto& name : subKeys) {
            output.add({name, "key", ""});
        }
        for (const auto& value : values) {
            output.add({value.name, kindName(value.value), displayText(value.value)});
        }
        output.finish();
    }));
}

void addExport(CLI::App& reg, CliContext& context, std::shared_ptr<RegArguments> args) {
    auto* exp = reg.add_subcommand(
        "export", "Write a key and its sub-keys (both hives without KEY) in regedit format. "
                  "Exit code 1 when the key is missing.");
    exp->add_option("KEY", args->exportKey, "Key with its hive; a hive name exports the hive");
    exp->add_option("--output,-o", args->output, "File to write instead of standard output");
    exp->callback(guarded(context, [&context, args] {
        std::optional<KeyArgument> key;
        if (args->exportKey) {
            key = parseKey(*args->exportKey);
        }
        auto& registry = context.registry();
        std::string text(RegFileWriter::header);
        text += "\n\n";
        if (key) {
            const auto sections = registry.exportKey(key->hive, key->path);
            if (!sections) {
                notFound(context, "key " + *args->exportKey);
                return;
            }
            text += *sections;
        } else {
            for (const Hive hive : {Hive::LocalMachine, Hive::CurrentUser}) {
                text += registry.exportKey(hive, {}).value_or(std::string());
            }
        }
        if (args->output.empty()) {
            context.out << text;
            return;
        }
        std::ofstream file(args->output, std::ios::binary | std::ios::trunc);
        file << text;
        file.close();
        if (!file) {
            throw Error("Cannot write " + args->output, runtimeErrors::pathFileAccessError);
        }
    }));
}

void addImport(CLI::App& reg, CliContext& context, std::shared_ptr<RegArguments> args) {
    auto* imp = reg.add_subcommand(
        "import",
        "Merge a regedit file (REGEDIT4 or version 5.00, UTF-8, UTF-16 or the Windows code page) "
        "into the registry, reading it as regedit does. Exit codes: 0 everything imported; 4 "
        "some lines could not be read and were skipped, each named on stderr with file, line "
        "and reason, and the rest imported; 3 nothing imported (not a registry file, a file or "
        "hive that cannot be read or written, or another failure, named on stderr).");
    imp->add_option("FILE", args->file, "The .reg file")->required();
    imp->callback(guarded(context, [&context, args] {
        auto text = RegFileParser::decodeOwned(readWholeFile(args->file), args->file);
        const auto problems = context.registry().import(std::move(text), args->file);
        for (const auto& problem : problems) {
            context.err << args->file << ", line " << problem.line << ": " << problem.message
                        << '\n';
        }
        if (!problems.empty()) {
            context.err << "kvs reg: imported " << args->file << " without the lines named above\n";
            context.exitCode = exitPartly;
        }
    }));
}

} // namespace

void addRegCommands(CLI::App& app, CliContext& context) {
    auto* reg = app.add_subcommand(
        "reg", "Read and change the registry kept under the system root "
               "(registry/HKEY_LOCAL_MACHINE.reg and registry/HKEY_CURRENT_USER.reg). A "
               "damaged hive file fails every command (exit code 3) with the line to mend; "
               "each change keeps the file it replaced as <hive>.reg.bak.");
    reg->require_subcommand(1);
    auto args = std::make_shared<RegArguments>();
    addGet(*reg, context, args);
    addSet(*reg, context, args);
    addDelete(*reg, context, args);
    addList(*reg, context, args);
    addExport(*reg, context, args);
    addImport(*reg, context, args);
}

} // namespace korvana::cli
