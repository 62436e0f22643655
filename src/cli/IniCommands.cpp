#include "cli/Commands.h"
#include "platform/Error.h"
#include "platform/IniFile.h"

#include <memory>
#include <string>

namespace korvana::cli {

namespace {

struct IniOptions {
    std::string file;
    std::string section;
    std::string key;
    std::string value; // the value to set, or the default of get
};

void addTarget(CLI::App& command, IniOptions& options) {
    command.add_option("FILE", options.file, "INI file")->required();
    command.add_option("SECTION", options.section, "section, without brackets")->required();
    command.add_option("KEY", options.key, "key")->required();
}

} // namespace

// Failures of the file (not text, unreadable, read-only, a change that would
// leave no text) raise korvana::Error, which main reports with exit code 3; a
// name or value that cannot be written ends with the usage code 2. Either way
// the file is left as it was.
void addIniCommands(CLI::App& app, CliContext& context) {
    auto* ini = app.add_subcommand(
        "ini", "Read and change INI-style files the way the studio does: section and key "
               "without regard to case, values trimmed, the first match wins. A change touches "
               "only the line concerned; the rest of the file stays byte for byte.");
    ini->require_subcommand(1);
    auto options = std::make_shared<IniOptions>();

    auto* get = ini->add_subcommand(
        "get", "Print the value of KEY in SECTION of FILE. Without it, print DEFAULT, or exit "
               "with code 1 when no DEFAULT is given.");
    addTarget(*get, *options);
    auto* fallback = get->add_option("DEFAULT", options->value, "value when the key is missing");
    get->callback([options, fallback, &context] {
        const auto value = IniFile::load(options->file).value(options->section, options->key);
        if (value || fallback->count() > 0) {
            context.out << (value ? *value : options->value) << '\n';
            context.exitCode = exitOk;
            return;
        }
        context.err << "kvs ini: key '" << options->key << "' not found in section ["
                    << options->section << "] of " << options->file << '\n';
        context.exitCode = exitNotFound;
    });

    auto* set = ini->add_subcommand(
        "set", "Set KEY in SECTION of FILE to VALUE; a missing key is added at the end of its "
               "section, a missing section at the end of the file, a missing file is created. "
               "Put -- before a value that starts with a dash.");
    addTarget(*set, *options);
    set->add_option("VALUE", options->value, "new value: one line, no control characters but tab")
        ->required();
    set->callback([options, &context] {
        // An entry that could not be read back is a bad command line, told
        // apart from a file that cannot be changed; the file is not touched.
        try {
            IniFile::checkEntry(options->section, options->key, options->value);
        } catch (const Error& error) {
            context.err << "kvs ini: " << error.what() << '\n';
            context.exitCode = exitUsage;
            return;
        }
        IniFile::writeKey(options->file, options->section, options->key, options->value);
        context.exitCode = exitOk;
    });

    auto* remove = ini->add_subcommand(
        "delete", "Delete KEY from SECTION of FILE (every line of it). A missing key or file "
                  "is not an error.");
    addTarget(*remove, *options);
    remove->callback([options, &context] {
        IniFile::deleteKey(options->file, options->section, options->key);
        context.exitCode = exitOk;
    });
}

} // namespace korvana::cli
