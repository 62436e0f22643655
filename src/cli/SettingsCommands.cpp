#include "cli/Commands.h"
#include "cli/ListOutput.h"
#include "platform/Error.h"
#include "services/ConfigurationComponent.h"

#include <memory>
#include <optional>
#include <string>

namespace korvana::cli {

namespace {

struct SettingsOptions {
    std::string project;
    std::string section;
    std::string key;
    std::string value;
    std::string type = "string";
    ListFormFlags listForm;
};

// One line per value in a listing: line breaks inside a value are shown as
// escapes so that every key stays on its own line.
std::string listingText(const SettingValue& value) {
    std::string shown;
    for (const char c : settingText(value)) {
        switch (c) {
        case '\r':
            shown += "\\r";
            break;
        case '\n':
            shown += "\\n";
            break;
        case '\t':
            shown += "\\t";
            break;
        default:
            shown += c;
        }
    }
    return shown;
}

// Opens the project for one command and closes it however the command ends.
class OpenedProject {
  public:
    OpenedProject(CliContext& context, const std::string& project)
        : component_(context.registry()), handle_(component_.OpenProject(project)) {}
    ~OpenedProject() {
        try {
            component_.CloseProject(handle_);
        } catch (const Error&) {
            // Nothing is pending at close; a failure here cannot lose a value.
        }
    }
    OpenedProject(const OpenedProject&) = delete;
    OpenedProject& operator=(const OpenedProject&) = delete;

    ConfigurationComponent& operator*() { return component_; }
    ConfigurationComponent* operator->() { return &component_; }
    ProjectHandle handle() const { return handle_; }

  private:
    ConfigurationComponent component_;
    ProjectHandle handle_;
};

void listSettings(CliContext& context, const SettingsOptions& options) {
    OpenedProject project(context, options.project);
    const auto sections = options.section.empty() ? project->GetSectionNames(project.handle())
                                                  : std::vector<std::string>{options.section};
    // Scripts read the sections as [Section] and Key=Value (type) lines, as
    // kvs has always written them; the table and JSON have a row per key.
    std::optional<ListOutput> rows;
    if (const auto form = options.listForm.form(context.outIsTerminal); form != ListForm::Lines) {
        rows.emplace(context.out, form,
                     std::vector<ListColumn>{{"section"}, {"key"}, {"type"}, {"value"}});
    }
    for (const auto& section : sections) {
        const auto settings = project->GetSection(project.handle(), section);
        if (settings.empty()) {
            continue;
        }
        if (!rows) {
            context.out << '[' << section << "]\n";
        }
        for (const auto& [key, value] : settings) {
            const auto type = settingTypeName(typeOf(value));
            if (rows) {
                rows->add({section, key, std::string(type), settingText(value)});
            } else {
                context.out << key << '=' << listingText(value) << " (" << type << ")\n";
            }
        }
    }
    if (rows) {
        rows->finish();
    }
    context.exitCode = exitOk;
}

void getSetting(CliContext& context, const SettingsOptions& options) {
    OpenedProject project(context, options.project);
    const auto value = project->FindValue(project.handle(), options.section, options.key);
    if (!value) {
        context.err << "kvs: no setting '" << options.key << "' in section '" << options.section
                    << "'\n";
        context.exitCode = exitNotFound;
        return;
    }
    context.out << settingText(*value) << '\n';
    context.exitCode = exitOk;
}

void setSetting(CliContext& context, const SettingsOptions& options) {
    const auto type = parseSettingTypeName(options.type);
    std::optional<SettingValue> value;
    try {
        value = parseSettingValue(type.value_or(SettingType::String), options.value);
    } catch (const Error& error) {
        context.err << "kvs: " << error.what() << '\n';
        context.exitCode = exitUsage;
        return;
    }
    OpenedProject project(context, options.project);
    project->SetValue(project.handle(), options.section, options.key, *value);
    context.exitCode = exitOk;
}

} // namespace

void addSettingsCommands(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<SettingsOptions>();
    auto* settings = app.add_subcommand(
        "settings", "Read and write the settings kept in a project file.\n"
                    "PROJECT is a registered project name or the path of a .kvs file.");
    settings->add_option("project", options->project, "Registered project name or .kvs path")
        ->required();
    settings->require_subcommand(1);

    auto* list = settings->add_subcommand(
        "list", "Print every section as [Section] followed by Key=Value (type) lines; line "
                "breaks in values are shown as \\r and \\n. The table and JSON have the columns "
                "section, key, type and value.");
    list->add_option("section", options->section, "Only this section");
    options->listForm.addTo(*list);
    list->callback([&context, options] { listSettings(context, *options); });

    auto* get = settings->add_subcommand(
        "get", "Print one value (numbers in decimal, dates as YYYY-MM-DD HH:MM:SS); exit 1 when "
               "the key is missing.");
    get->add_option("section", options->section, "Section name")->required();
    get->add_option("key", options->key, "Key name")->required();
    get->callback([&context, options] { getSetting(context, *options); });

    auto* set = settings->add_subcommand(
        "set", "Store one value with its type, creating the key and section when missing.");
    set->add_option("section", options->section, "Section name")->required();
    set->add_option("key", options->key, "Key name")->required();
    set->add_option("value", options->value, "The value (a date as YYYY-MM-DD HH:MM:SS)")
        ->required();
    set->add_option("--type", options->type, "Type of the value")
        ->check(CLI::IsMember({"string", "int32", "int16", "date"}, CLI::ignore_case))
        ->capture_default_str();
    set->callback([&context, options] { setSetting(context, *options); });
}

} // namespace korvana::cli
