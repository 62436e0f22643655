#include "cli/Commands.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "project/KVProject.h"
#include "project/ProjectLanguages.h"
#include "project/ServerComponents.h"
#include "text/ConsoleMessageService.h"
#include "text/Messages.h"
#include "text/TextService.h"

#include <memory>
#include <optional>
#include <string>

namespace korvana::cli {

namespace {

constexpr std::int32_t germanLanguage = 1031;

struct ProjectOptions {
    std::string project;
    bool yes = false;
    bool no = false;
    std::int32_t lcid = 0;
    std::int32_t family = static_cast<std::int32_t>(ProjectMainType::Standard);
};

// The user-interface language of the installation, unless the command names one.
Lcid interfaceLanguage(CliContext& context, const ProjectOptions& options) {
    if (options.lcid > 0) {
        return Lcid{options.lcid};
    }
    return Lcid{context.registry().readNumber(
        Hive::LocalMachine, "Software\\ARVENTIK GmbH\\Korvana\\4.0", "LCID", germanLanguage)};
}

// The file exists and may be written; a file without the owner's write
// permission is write-protected, and the user is asked (text 914) whether to
// lift the protection.
bool checkWritable(MessageService& messages, const TextService& texts, std::string_view file) {
    namespace fs = std::filesystem;
    const auto path = paths::toFileSystemPath(file);
    std::error_code error;
    if (path.empty() || !fs::is_regular_file(path, error)) {
        return false;
    }
    if ((fs::status(path).permissions() & fs::perms::owner_write) != fs::perms::none) {
        return true;
    }
    if (ShowMessage(messages, texts, TextId{914}, MessageStyle::question()) != Answer::Yes) {
        return false;
    }
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add, error);
    return !error;
}

// A path, or a name given with a project or group file's extension, is loaded
// as a file; anything else is a registered name.
bool namesAFile(std::string_view argument) {
    const std::string extension = toLowerAscii(paths::extension(argument));
    return argument.find_first_of("\\/") != std::string_view::npos || extension == "kvs" ||
           extension == "vbg";
}

template <typename Items, typename Text> std::string joined(const Items& items, Text text) {
    std::string result;
    for (const auto& item : items) {
        result += (result.empty() ? "" : ",") + text(item);
    }
    return result;
}

void printProject(std::ostream& out, const CKVProject& project) {
    const auto number = [](auto value) { return std::to_string(static_cast<std::int32_t>(value)); };
    const std::vector<std::pair<const char*, std::string>> members{
        {"ProjectName", project.ProjectName},
        {"Path", project.Path},
        {"ProjectFile", project.ProjectFile},
        {"ProjectType", project.ProjectType},
        {"EProjectType", number(project.EProjectType)},
        {"EProjectMainType", number(project.EProjectMainType)},
        {"Designer", project.Designer},
        {"DesignerProject", project.DesignerProject},
        {"EProjectOpen", number(project.EProjectOpen)},
        {"TemplatePath", project.TemplatePath},
        {"ServerProject", project.ServerProject},
        {"ServerComputerName", project.ServerComputerName},
        {"LCID", number(project.LCID.value)},
        {"LCIDs", joined(project.LCIDs, languageKey)},
        {"ServerComponents", joined(project.ServerComponents, [](const auto& s) { return s; })},
        {"Projects", joined(project.Projects,
                            [](const GroupMember& member) {
                                return member.project ? member.project->ProjectName
                                                      : member.designerProject;
                            })},
        {"ProjectVersion", project.ProjectVersion},
        {"Customer", project.Customer},
        {"Developer", project.Developer},
        {"Comment", project.Comment},
    };
    for (const auto& [name, value] : members) {
        out << name << '=' << value << '\n';
    }
}

void showProject(CliContext& context, const ProjectOptions& options) {
    std::optional<Answer> forced;
    if (options.yes) {
        forced = Answer::Yes;
    } else if (options.no) {
        forced = Answer::No;
    }
    ConsoleMessageService messages(forced);
    const TextService texts(interfaceLanguage(context, options));
    auto& registry = context.registry();
    ConfigurationComponent settings(registry);
    const ProjectServices services{registry, settings, [&](std::string_view file) {
                                       return checkWritable(messages, texts, file);
                                   }};

    CKVProject project;
    const bool byFile = namesAFile(options.project);
    if (byFile) {
        project.Initialize2(services, options.project);
    } else {
        project.Initialize(services, options.project);
    }
    printProject(context.out, project);
    context.exitCode = exitOk;
    if (!byFile && project.Path.empty()) {
        context.err << "kvs: the project '" << options.project << "' is not registered\n";
        context.exitCode = exitNotFound;
    } else if (byFile && !std::filesystem::exists(paths::toFileSystemPath(options.project))) {
        context.err << "kvs: the file '" << options.project << "' does not exist\n";
        context.exitCode = exitNotFound;
    }
}

// A reader passes over failures and lists what it could; the command says so.
void reportProblem(CliContext& context, const std::string& problem) {
    if (!problem.empty()) {
        context.err << "kvs: " << problem << '\n';
        context.exitCode = exitFailure;
    }
}

void listLanguages(CliContext& context, const ProjectOptions& options) {
    ConfigurationComponent settings(context.registry());
    const auto list = ListProjectLanguages(context.registry(), settings, options.project,
                                           interfaceLanguage(context, options));
    for (const auto& row : list.rows) {
        std::string flags = row.bold ? "bold" : "";
        if (row.checked) {
            flags += flags.empty() ? "checked" : ",checked";
        }
        context.out << row.key << '\t' << row.text << '\t' << row.name << '\t' << flags << '\n';
    }
    context.exitCode = exitOk;
    reportProblem(context, list.problem);
}

void listComponents(CliContext& context, const ProjectOptions& options) {
    ConfigurationComponent settings(context.registry());
    const auto list = ListServerComponents(context.registry(), settings, options.project,
                                           static_cast<ProjectMainType>(options.family));
    for (const auto& row : list.rows) {
        context.out << row.name << '\t' << row.description << '\t' << row.dependencies << '\t'
                    << (row.checked ? "checked" : "") << '\n';
    }
    context.exitCode = exitOk;
    reportProblem(context, list.problem);
}

} // namespace

void addProjectCommands(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<ProjectOptions>();
    auto* project = app.add_subcommand("project", "Load a project and read what it holds.");
    project->require_subcommand(1);

    auto* show = project->add_subcommand(
        "show", "Load a project or group and print the project object, one Name=value line per "
                "member. NAME is a registered name; a path or a name ending in .kvs or .vbg is "
                "loaded as a file (a file moved away from its registration keeps the registered "
                "Path). Exit 1 when the name is not registered or the file does not exist.");
    show->add_option("project", options->project, "Registered name, or .kvs / .vbg file")
        ->required();
    auto* yes =
        show->add_flag("--yes", options->yes, "Answer Yes when asked to lift a write protection");
    show->add_flag("--no", options->no, "Answer No when asked to lift a write protection")
        ->excludes(yes);
    show->add_option("--lcid", options->lcid, "Language of the messages (default: installation)");
    show->callback([&context, options] { showProject(context, *options); });

    auto* languages = project->add_subcommand(
        "languages", "List the languages of a project's text table: key, LCID, language name "
                     "and the flags bold (German, English) and checked (developer language), "
                     "tab-separated. Exit 3, after what could be listed, when the project "
                     "cannot be read.");
    languages->add_option("project", options->project, "Registered name or .kvs file")->required();
    languages->add_option("--lcid", options->lcid,
                          "Language the names are shown in (default: installation)");
    languages->callback([&context, options] { listLanguages(context, *options); });

    auto* components = project->add_subcommand(
        "components", "List the server components a project may use: name, description, "
                      "dependencies and checked, tab-separated. Exit 3, after the list, when "
                      "the project's choice cannot be read.");
    components->add_option("project", options->project, "Registered name or .kvs file")->required();
    components
        ->add_option("--family", options->family,
                     "Template family: 1 standard (offers KVFormula), 0 KV32")
        ->check(CLI::IsMember({0, 1}))
        ->capture_default_str();
    components->callback([&context, options] { listComponents(context, *options); });
}

} // namespace korvana::cli
