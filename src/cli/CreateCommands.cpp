// kvs create: a new project or group from a template, for scripts. It takes
// what the new-project dialog would propose for every option left out and
// holds the input to the same rules as the dialog's OK.
#include "cli/AnswerFlags.h"
#include "cli/Commands.h"
#include "cli/DecimalNumber.h"
#include "cli/ProjectSession.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "project/Designers.h"
#include "project/LanguageName.h"
#include "project/NewProjectChecks.h"
#include "project/NewProjectChoices.h"
#include "project/ProjectCreation.h"
#include "project/ServerClientTemplate.h"
#include "project/SystemLanguages.h"
#include "project/TemplateCatalogue.h"
#include "project/TemplateDescription.h"
#include "startup/LoadInstallationSettings.h"
#include "text/Messages.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvana::cli {

namespace {

constexpr TextId templateTypeWithoutDialog{918};
constexpr std::string_view templateProjectFile = "\\%ProjectName%.kvs";

struct CreateOptions {
    std::string name;
    std::string templateName;
    std::string folder;
    std::vector<std::string> languages;
    std::optional<std::int32_t> developerLanguage;
    std::vector<std::string> components;
    bool componentsGiven = false;
    std::optional<std::string> designer;
    std::string serverProject;
    std::string serverComputer;
    std::string version;
    std::string customer;
    std::string developer;
    std::string comment;
    std::vector<std::string> members;
    AnswerFlags answers;
};

// Why the command cannot go on, for stderr; the exit code says what kind.
struct Refusal {
    int exitCode;
    std::string message;
};

// A template named by its folder, or by its name as `kvs templates list`
// prints it (installed templates first, as that list has them).
std::optional<TemplateRow> findTemplate(const TemplateCatalogue& catalogue,
                                        const std::string& wanted) {
    std::error_code error;
    if (std::filesystem::is_directory(paths::toFileSystemPath(wanted), error)) {
        const std::string folder =
            std::filesystem::absolute(paths::toNative(wanted)).lexically_normal().string();
        const auto description = TemplateDescription::read(folder);
        TemplateRow row;
        row.tag = folder;
        row.text = description.name;
        row.typeName = description.projectType;
        row.type = description.type();
        row.family = description.tab == "KV32" ? ProjectMainType::KV32 : ProjectMainType::Standard;
        return row;
    }
    for (auto& row : catalogue.ListTemplates(false)) {
        if (row.text == wanted) {
            return row;
        }
    }
    return std::nullopt;
}

std::optional<std::int32_t> parseLcid(std::string_view text) {
    const auto value = parseDecimal<std::int32_t>(text, Sign::NonNegative);
    return value && *value > 0 ? value : std::nullopt;
}

// The languages and the developer language: the template's unless given.
std::variant<LanguageChoice, Refusal> chooseLanguages(ProjectSession& session,
                                                      const CreateOptions& options,
                                                      const std::string& templateProject,
                                                      Lcid userInterface) {
    const LanguageList listed = ListProjectLanguages(
        session.services.registry, session.configuration, templateProject, userInterface);
    std::vector<LanguageRow> rows = listed.rows;
    if (!options.languages.empty()) {
        std::string templateDeveloper;
        for (const auto& row : rows) {
            if (row.checked) {
                templateDeveloper = row.key;
            }
        }
        rows.clear();
        for (const auto& text : options.languages) {
            const auto lcid = parseLcid(text);
            if (!lcid || languageName(Lcid{*lcid}, userInterface).empty()) {
                return Refusal{exitUsage, "'" + text +
                                              "' is no language identifier (LCID) "
                                              "of a known locale"};
            }
            LanguageRow row = languageRow(Lcid{*lcid}, userInterface);
            row.checked = row.key == templateDeveloper;
            rows.push_back(std::move(row));
        }
        const auto has = [&rows](Lcid language) {
            return std::any_of(rows.begin(), rows.end(), [&](const LanguageRow& row) {
                return row.key == languageKey(language);
            });
        };
        if (!has(germanLanguage) && !has(englishLanguage)) {
            return Refusal{exitNotFound, session.texts.LoadText(TextId{394})};
        }
    }
    LanguageChoice choice(std::move(rows));
    if (options.developerLanguage) {
        const std::string key = languageKey(Lcid{*options.developerLanguage});
        const auto& all = choice.rows();
        if (std::none_of(all.begin(), all.end(),
                         [&key](const LanguageRow& row) { return row.key == key; })) {
            return Refusal{exitNotFound, session.texts.LoadText(TextId{393}) + " (--lcid " +
                                             std::to_string(*options.developerLanguage) +
                                             " is not among the languages)"};
        }
        choice.check(key);
    }
    return choice;
}

// The components: those the template switches on unless given; a given one
// brings the components it needs.
std::variant<ComponentChoice, Refusal> chooseComponents(ProjectSession& session,
                                                        const CreateOptions& options,
                                                        const std::string& templateProject,
                                                        ProjectMainType family) {
    ServerComponentList listed = ListServerComponents(
        session.services.registry, session.configuration, templateProject, family);
    if (options.componentsGiven) {
        for (auto& row : listed.rows) {
            row.checked = false;
        }
    }
    ComponentChoice choice(std::move(listed.rows));
    for (const auto& name : options.components) {
        const auto& rows = choice.rows();
        if (std::none_of(rows.begin(), rows.end(), [&name](const ServerComponentRow& row) {
                return equalsIgnoreCase(row.name, name);
            })) {
            return Refusal{exitUsage, "'" + name +
                                          "' is no server component this template may "
                                          "use (kvs reg list shows the installed ones)"};
        }
        choice.check(name);
    }
    return choice;
}

std::optional<Refusal> addMembers(ProjectSession& session, const CreateOptions& options,
                                  CKVProject& group) {
    for (const auto& name : options.members) {
        CKVProject member;
        try {
            member.Initialize(session.services, name);
        } catch (const Error& error) {
            return Refusal{exitNotFound,
                           "the member '" + name + "' cannot be loaded: " + error.what()};
        }
        if (member.Path.empty()) {
            return Refusal{exitNotFound, session.texts.LoadText(TextId{907}, {name})};
        }
        group.Projects.push_back({member.DesignerProject, nullptr});
    }
    return std::nullopt;
}

std::variant<CKVProject, Refusal> describeProject(CliContext& context, ProjectSession& session,
                                                  const InstallationSettings& settings,
                                                  const CreateOptions& options) {
    const TemplateCatalogue catalogue(context.registry(), settings.installationFolder);
    const auto found = findTemplate(catalogue, options.templateName);
    if (!found) {
        return Refusal{exitNotFound, "no template '" + options.templateName +
                                         "' (a template folder, or a name as `kvs templates "
                                         "list` prints it)"};
    }
    CKVProject project;
    project.ProjectName = options.name;
    project.TemplatePath = found->tag;
    project.EProjectType = found->type;
    project.ProjectType = found->typeName;
    project.EProjectMainType = found->family;
    const auto mode = newProjectMode(project.EProjectType, project.TemplatePath);
    if (!mode) {
        return Refusal{exitNotFound,
                       session.texts.LoadText(templateTypeWithoutDialog,
                                              {paths::lastComponent(found->tag), found->typeName})};
    }
    project.Path = options.folder.empty()
                       ? paths::joinPath(settings.ownProjectsFolder, options.name)
                       : std::filesystem::absolute(paths::toNative(options.folder))
                             .lexically_normal()
                             .string();

    std::string languagesFrom = project.TemplatePath;
    std::string componentsFrom = project.TemplatePath;
    if (const auto members = ServerClientTemplate::of(project.TemplatePath, project.EProjectType)) {
        languagesFrom = members->clientFolder;
        componentsFrom = members->serverFolder;
    }
    if (*mode != NewProjectMode::Group) {
        auto languages =
            chooseLanguages(session, options, paths::joinPath(languagesFrom, templateProjectFile),
                            session.texts.language());
        if (auto* refused = std::get_if<Refusal>(&languages)) {
            return *refused;
        }
        const auto& choice = std::get<LanguageChoice>(languages);
        project.LCIDs = choice.languages();
        project.LCID = choice.developerLcid();
        const DesignerList designers = ListDesigners(context.registry());
        project.Designer = options.designer     ? *options.designer
                           : designers.selected ? designers.names[*designers.selected]
                                                : std::string();
        project.ProjectVersion = options.version;
        project.Customer = options.customer;
        project.Developer = options.developer;
        project.Comment = options.comment;
    }
    if (*mode == NewProjectMode::Single || *mode == NewProjectMode::Server ||
        *mode == NewProjectMode::ServerClientGroup) {
        auto components =
            chooseComponents(session, options, paths::joinPath(componentsFrom, templateProjectFile),
                             project.EProjectMainType);
        if (auto* refused = std::get_if<Refusal>(&components)) {
            return *refused;
        }
        project.ServerComponents = std::get<ComponentChoice>(components).checkedNames();
    }
    if (*mode == NewProjectMode::Client) {
        project.ServerProject = options.serverProject;
        project.ServerComputerName = options.serverComputer;
    }
    if (*mode == NewProjectMode::Group) {
        if (auto refused = addMembers(session, options, project)) {
            return *refused;
        }
    }
    return project;
}

void createProject(CliContext& context, const CreateOptions& options) {
    ProjectSession session(context, options.answers.forced());
    Files files;
    InstallationSettings settings;
    if (!LoadInstallationSettings(context.registry(), session.messages, files, settings)) {
        context.exitCode = exitFailure;
        return;
    }
    auto described = describeProject(context, session, settings, options);
    if (auto* refused = std::get_if<Refusal>(&described)) {
        context.err << "kvs create: " << refused->message << '\n';
        context.exitCode = refused->exitCode;
        return;
    }
    CKVProject& project = std::get<CKVProject>(described);
    const auto mode = *newProjectMode(project.EProjectType, project.TemplatePath);

    // The same checks as the dialog's OK; each refusal has told why.
    NewProjectChecks checks(context.registry(), session.registration, files, session.messages,
                            session.texts);
    if (checks.confirm(mode, project.ProjectName, project.Path, project.ServerProject,
                       project.Projects.size()) != NewProjectField::None) {
        context.exitCode = exitNotFound;
        return;
    }

    const ProjectCreation creation{context.registry(), session.configuration, session.messages,
                                   session.texts, settings.installedVersion};
    const auto create = [&creation](CKVProject& made) { made.Create(creation); };
    if (mode == NewProjectMode::ServerClientGroup &&
        !CreateServerClientMembers(
            project, *ServerClientTemplate::of(project.TemplatePath, project.EProjectType),
            create)) {
        context.err << "kvs create: the members of the group could not be made\n";
        context.exitCode = exitFailure;
        return;
    }
    create(project);
    if (project.EProjectOpen == ProjectOpen::Nothing) {
        context.err << "kvs create: '" << project.ProjectName << "' could not be made\n";
        context.exitCode = exitFailure;
        return;
    }
    const std::string extension = project.EProjectType == ProjectType::Group ? ".vbg" : ".kvs";
    context.out << paths::joinPath(project.Path, project.ProjectName + extension) << '\n';
    context.exitCode = exitOk;
}

} // namespace

void addCreateCommands(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<CreateOptions>();
    auto languages = std::make_shared<std::string>();
    auto components = std::make_shared<std::optional<std::string>>();
    auto* create = app.add_subcommand(
        "create",
        "Make the project (or group) NAME from a template, as the new-project dialog does, and "
        "register it. Options left out take what the dialog proposes. Prints the project or "
        "group file. Exit 1 when a check refuses (the message says why; nothing is made), 2 for "
        "bad options, 3 when the making failed.");
    create->add_option("name", options->name, "Name of the new project or group")->required();
    create
        ->add_option("--template", options->templateName,
                     "Template folder, or a template's name as `kvs templates list` prints it")
        ->required();
    create->add_option("--folder", options->folder,
                       "Project folder (default: the own projects folder followed by NAME)");
    create->add_option("--languages", *languages,
                       "Project languages as LCIDs, comma-separated (default: the template's)");
    create
        ->add_option("--lcid", options->developerLanguage,
                     "Developer language, one of the languages (default: the template's)")
        ->transform(decimalNumber<std::int32_t>(Sign::NonNegative));
    create->add_option("--components", *components,
                       "Server components, comma-separated; the ones they need are added "
                       "(default: those the template switches on)");
    create->add_option("--designer", options->designer,
                       "Visual Basic version, e.g. \"Visual Basic 6.0\" (default: the newest "
                       "installed)");
    create->add_option("--server-project", options->serverProject,
                       "The server project of a client project");
    create->add_option("--server-computer", options->serverComputer,
                       "The computer the server project runs on");
    create->add_option("--version", options->version, "Project version");
    create->add_option("--customer", options->customer, "Customer");
    create->add_option("--developer", options->developer, "Developer");
    create->add_option("--comment", options->comment, "Comment");
    create->add_option("--member", options->members,
                       "A registered project of the new group, in order (repeat the option)");
    auto* yes = create->add_flag("--yes", options->answers.yes,
                                 "Answer Yes / OK to the questions (overwrite an existing "
                                 "registration, use a folder that holds files)");
    create->add_flag("--no", options->answers.no, "Answer No / Cancel to the questions")
        ->excludes(yes);
    create->callback([&context, options, languages, components] {
        options->languages = splitList(*languages, ',');
        options->componentsGiven = components->has_value();
        options->components =
            components->has_value() ? splitList(**components, ',') : std::vector<std::string>{};
        createProject(context, *options);
    });
}

} // namespace korvana::cli
