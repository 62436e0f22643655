#include "cli/AnswerFlags.h"
#include "cli/Commands.h"
#include "cli/DecimalNumber.h"
#include "cli/ListOutput.h"
#include "cli/ProjectSession.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "project/KVProject.h"
#include "project/ProjectLanguages.h"
#include "project/ServerComponents.h"
#include "text/Messages.h"

#include <memory>
#include <optional>
#include <string>

namespace korvana::cli {

namespace {

constexpr TextId fileNotInRegisteredFolder{906};
constexpr TextId notRegisteredText{907};

struct ProjectOptions {
    std::string project;
    AnswerFlags answers;
    std::int32_t lcid = 0;
    std::int32_t family = static_cast<std::int32_t>(ProjectMainType::Standard);
    ListFormFlags listForm;
};

// The user-interface language of the installation, unless the command names one.
Lcid interfaceLanguage(CliContext& context, const ProjectOptions& options) {
    return options.lcid > 0 ? Lcid{options.lcid} : ProjectSession::installationLanguage(context);
}

// An argument ending in ".kvs" or ".vbg" (any case) is loaded as a file;
// anything else is a registered name, so a name holding a separator or ".."
// is refused as not registered rather than followed as a path.
bool namesAFile(std::string_view argument) {
    const std::string extension = toLowerAscii(paths::extension(argument));
    return extension == "kvs" || extension == "vbg";
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
    ProjectSession session(context, options.answers.forced(), Lcid{options.lcid});
    auto& messages = session.messages;
    const auto& texts = session.texts;

    CKVProject project;
    const bool byFile = namesAFile(options.project);
    const Files files;
    try {
        if (byFile) {
            project.Initialize2(session.services, options.project);
        } else {
            project.Initialize(session.services, options.project);
        }
    } catch (const Error&) {
        // A group whose file has gone is not found, like a project file.
        if (project.EProjectType == ProjectType::Group && !project.ProjectFile.empty() &&
            !files.fileExists(project.ProjectFile)) {
            context.err << "kvs: the group file '" << project.ProjectFile << "' does not exist\n";
            context.exitCode = exitNotFound;
            return;
        }
        throw;
    }
    printProject(context.out, project);
    context.exitCode = exitOk;
    if (byFile) {
        if (!files.fileExists(options.project)) {
            context.err << "kvs: the file '" << options.project << "' does not exist\n";
            context.exitCode = exitNotFound;
        }
    } else if (project.Path.empty()) {
        ShowMessage(messages, texts, notRegisteredText, MessageStyle::exclamation(),
                    {options.project});
        context.exitCode = exitNotFound;
    } else if (!files.fileExists(project.ProjectFile)) {
        ShowMessage(messages, texts, fileNotInRegisteredFolder, MessageStyle::exclamation(),
                    {project.ProjectName, project.Path});
        context.exitCode = exitNotFound;
    }
    // A registration without a known type is loaded as a single project file,
    // and no project list shows it: say why.
    if (!project.Path.empty() && project.EProjectType == ProjectType::None) {
        context.err << "kvs: warning: '" << project.ProjectName << "' is registered with the type '"
                    << project.ProjectType << "', which is no project type\n";
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
    ListOutput output(context.out, options.listForm.form(context.outIsTerminal),
                      {{"key"}, {"lcid", CellKind::Number}, {"language"}, {"flags"}});
    for (const auto& row : list.rows) {
        std::string flags = row.bold ? "bold" : "";
        if (row.checked) {
            flags += flags.empty() ? "checked" : ",checked";
        }
        output.add({row.key, row.text, row.name, flags});
    }
    output.finish();
    context.exitCode = exitOk;
    reportProblem(context, list.problem);
}

void listComponents(CliContext& context, const ProjectOptions& options) {
    ConfigurationComponent settings(context.registry());
    const auto list = ListServerComponents(context.registry(), settings, options.project,
                                           static_cast<ProjectMainType>(options.family));
    ListOutput output(context.out, options.listForm.form(context.outIsTerminal),
                      {{"name"}, {"description"}, {"dependencies"}, {"checked", CellKind::Flag}});
    for (const auto& row : list.rows) {
        output.add({row.name, row.description, row.dependencies, row.checked ? "checked" : ""});
    }
    output.finish();
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
                "member. An argument ending in .kvs or .vbg is loaded as a file (a file moved "
                "away from its registration keeps the registered Path); anything else is a "
                "registered name. Exit 1 when the name is not registered, its project file is "
                "not in the registered folder, or the file does not exist.");
    show->add_option("project", options->project, "Registered name, or .kvs / .vbg file")
        ->required();
    options->answers.addTo(*show);
    show->add_option("--lcid", options->lcid, "Language of the messages (default: installation)")
        ->transform(decimalNumber<std::int32_t>(Sign::NonNegative));
    show->callback([&context, options] { showProject(context, *options); });

    auto* languages = project->add_subcommand(
        "languages", "List the languages of a project's text table: key, LCID, language name "
                     "and the flags bold (German, English) and checked (developer language). "
                     "Exit 3, after what could be listed, when the project "
                     "cannot be read.");
    languages->add_option("project", options->project, "Registered name or .kvs file")->required();
    languages
        ->add_option("--lcid", options->lcid,
                     "Language the names are shown in (default: installation)")
        ->transform(decimalNumber<std::int32_t>(Sign::NonNegative));
    options->listForm.addTo(*languages);
    languages->callback([&context, options] { listLanguages(context, *options); });

    auto* components = project->add_subcommand(
        "components", "List the server components a project may use: name, description, "
                      "dependencies and checked. Exit 3, after the list, when "
                      "the project's choice cannot be read.");
    components->add_option("project", options->project, "Registered name or .kvs file")->required();
    components
        ->add_option("--family", options->family,
                     "Template family: 1 standard (offers KVFormula), 0 KV32")
        ->transform(decimalNumber<std::int32_t>(Sign::NonNegative))
        ->check(CLI::IsMember({0, 1}))
        ->capture_default_str();
    options->listForm.addTo(*components);
    components->callback([&context, options] { listComponents(context, *options); });
}

} // namespace korvana::cli
