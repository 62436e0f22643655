#include "cli/AnswerFlags.h"
#include "cli/Commands.h"
#include "cli/DecimalNumber.h"
#include "cli/ListOutput.h"
#include "cli/ProjectSession.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "project/RecentProjects.h"
#include "project/TemplateCatalogue.h"
#include "services/InstallationSettings.h"
#include "startup/LoadInstallationSettings.h"
#include "text/ConsoleMessageService.h"

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

namespace korvana::cli {

namespace {

struct ProjectsOptions {
    std::string folder;
    std::string name;
    std::int32_t mask = -1;
    bool addMode = false;
    AnswerFlags answers;
    ListFormFlags listForm;
};

// Registrations keep absolute folders: a relative one would change its
// meaning with the working folder of whoever reads it.
std::string absoluteFolder(const std::string& folder) {
    if (paths::hasDrivePart(folder)) {
        return folder;
    }
    return std::filesystem::absolute(paths::toNative(folder)).lexically_normal().string();
}

ListOutput listOutput(CliContext& context, const ProjectsOptions& options,
                      std::vector<ListColumn> columns) {
    return ListOutput(context.out, options.listForm.form(context.outIsTerminal),
                      std::move(columns));
}

void listProjects(CliContext& context, const ProjectsOptions& options) {
    ProjectSession session(context, options.answers.forced());
    auto output = listOutput(context, options, {{"name"}, {"folder"}, {"type"}});
    for (const auto& project :
         session.registration.ListRegisteredProjects(ProjectTypeMask{options.mask})) {
        output.add({project.name, project.path, project.typeName});
    }
    output.finish();
    context.exitCode = exitOk;
}

void registerProject(CliContext& context, const ProjectsOptions& options, bool group) {
    ProjectSession session(context, options.answers.forced());
    const std::string folder = absoluteFolder(options.folder);
    const bool registered = group ? session.registration.RegisterGroup(folder, options.name)
                                  : session.registration.RegisterProject(folder, options.name);
    context.exitCode = registered ? exitOk : exitNotFound;
}

void deregisterProject(CliContext& context, const ProjectsOptions& options) {
    ProjectSession session(context, options.answers.forced());
    // The registration tells why it could not delete the name.
    context.exitCode = session.registration.DeregisterProject(options.name) ? exitOk : exitNotFound;
}

void listRecent(CliContext& context, const ProjectsOptions& options) {
    RecentProjects recent(context.registry());
    auto output = listOutput(context, options,
                             {{"position", CellKind::Number}, {"name"}, {"folder"}, {"type"}});
    for (const auto& entry : recent.ListRecentProjects(options.addMode)) {
        output.add(
            {entry.position, entry.project.name, entry.project.path, entry.project.typeName});
    }
    output.finish();
    context.exitCode = exitOk;
}

void listTemplates(CliContext& context, const ProjectsOptions& options) {
    ConsoleMessageService messages;
    Files files;
    InstallationSettings settings;
    if (!LoadInstallationSettings(context.registry(), messages, files, settings)) {
        context.exitCode = exitFailure;
        return;
    }
    const TemplateCatalogue catalogue(context.registry(), settings.installationFolder);
    auto output =
        listOutput(context, options,
                   {{"name"}, {"family"}, {"origin"}, {"type"}, {"icon"}, {"folder"}, {"comment"}});
    for (const auto& row : catalogue.ListTemplates(options.addMode)) {
        output.add({row.text, row.family == ProjectMainType::KV32 ? "KV32" : "Standard",
                    row.own ? "own" : "installed", row.typeName,
                    row.iconFile.empty() ? "(standard icon)" : row.iconFile, row.tag, row.toolTip});
    }
    output.finish();
    context.exitCode = exitOk;
}

} // namespace

void addProjectsCommands(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<ProjectsOptions>();
    auto* projects =
        app.add_subcommand("projects", "The registry of projects and the recent list.");
    projects->require_subcommand(1);

    auto* list = projects->add_subcommand(
        "list", "List the registered projects and groups whose type is in the mask: name, "
                "folder and type. Registrations whose file is gone are deleted.");
    list->add_option("--mask", options->mask,
                     "Sum of type codes: 1 Single, 2 Server, 4 Client, 8 Terminal Server, "
                     "16 Terminal Client, 32 Group (-1 all, 159 all but groups)")
        ->transform(decimalNumber<std::int32_t>(Sign::Any))
        ->capture_default_str();
    options->listForm.addTo(*list);
    list->callback([&context, options] { listProjects(context, *options); });

    auto* registerCommand = projects->add_subcommand(
        "register", "Register FOLDER/NAME.kvs. Exit 1 when it could not be registered (the "
                    "messages say why); the registry is left as it was then.");
    registerCommand->add_option("folder", options->folder, "Project folder")->required();
    registerCommand->add_option("name", options->name, "Project name")->required();
    options->answers.addTo(*registerCommand);
    registerCommand->callback([&context, options] { registerProject(context, *options, false); });

    auto* registerGroup = projects->add_subcommand(
        "register-group", "Register the group FOLDER/NAME.vbg and its studio projects. Exit 1 "
                          "when it could not be registered (the messages say why); nothing is "
                          "registered then, not even its members.");
    registerGroup->add_option("folder", options->folder, "Group folder")->required();
    registerGroup->add_option("name", options->name, "Group name")->required();
    options->answers.addTo(*registerGroup);
    registerGroup->callback([&context, options] { registerProject(context, *options, true); });

    auto* deregister = projects->add_subcommand(
        "deregister", "Delete a registration; the project's files stay. Exit 1 when the name "
                      "is not registered or is no project name (the message says which).");
    deregister->add_option("name", options->name, "Registered project or group name")->required();
    deregister->callback([&context, options] { deregisterProject(context, *options); });

    auto* recent = projects->add_subcommand(
        "recent", "List the recently opened projects whose files exist, most recent first: "
                  "position, name, folder and type. Other entries are deleted.");
    recent->add_flag("--add-mode", options->addMode, "Leave out groups (picking for a group)");
    options->listForm.addTo(*recent);
    recent->callback([&context, options] { listRecent(context, *options); });

    auto* templates = app.add_subcommand("templates", "The templates new projects are made from.");
    templates->require_subcommand(1);
    auto* templateList = templates->add_subcommand(
        "list", "List the installed and own templates: name, family, origin, type, icon, "
                "folder and comment. Exit 3 when the installation folder is not "
                "registered or missing.");
    templateList->add_flag("--add-mode", options->addMode,
                           "Leave out installed group templates (picking for a group)");
    options->listForm.addTo(*templateList);
    templateList->callback([&context, options] { listTemplates(context, *options); });
}

} // namespace korvana::cli
