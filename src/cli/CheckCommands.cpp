#include "cli/Commands.h"
#include "db/DebugLog.h"
#include "dbupgrade/CheckProjectDatabase.h"
#include "platform/Error.h"
#include "platform/Paths.h"
#include "project/ProjectRegistration.h"
#include "services/ConfigurationComponent.h"
#include "services/InstallationSettings.h"
#include "text/ConsoleMessageService.h"
#include "text/ScriptedMessageService.h"
#include "text/TextService.h"

#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace korvana::cli {

namespace {

struct CheckOptions {
    std::string project;
    bool yes = false;
    bool no = false;
    bool dryRun = false;
};

// Every skipped operation and every reason to stop, on stderr.
class StreamLog : public db::DebugLog {
  public:
    explicit StreamLog(std::ostream& stream) : stream_(stream) {}
    void write(std::string_view line) override { stream_ << "kvs check: " << line << '\n'; }

  private:
    std::ostream& stream_;
};

std::string shownVersion(const std::string& version) {
    return version.empty() ? "(none)" : version;
}

void dryRun(CliContext& context, const CheckOptions& options) {
    ConfigurationComponent configuration(context.registry());
    const auto plan =
        dbupgrade::PlanProjectCheck(context.registry(), configuration, options.project);
    context.out << "project file: " << plan.projectFile.string() << '\n';
    if (plan.recognised) {
        // A Jet file from Windows: its version comes from its schema.
        context.out << "a Jet database from Windows, to be converted first\n"
                    << "recognised version: " << shownVersion(plan.storedVersion) << '\n';
        for (const auto& reason : plan.recognised->reasons) {
            context.out << "  " << reason << '\n';
        }
    } else {
        context.out << "stored version: " << shownVersion(plan.storedVersion) << '\n';
    }
    context.out << "steps to run: " << plan.rungs.size() << '\n';
    for (const auto& rung : plan.rungs) {
        context.out << "  " << rung.version << (rung.step ? "" : " (no step in this build)")
                    << '\n';
    }
}

int exitCodeOf(dbupgrade::CheckOutcome outcome) {
    switch (outcome) {
    case dbupgrade::CheckOutcome::Checked:
        return exitOk;
    case dbupgrade::CheckOutcome::Skipped:
        return exitNotFound;
    default:
        return exitFailure;
    }
}

void check(CliContext& context, const CheckOptions& options) {
    auto& registry = context.registry();
    ConfigurationComponent configuration(registry);
    const Lcid language{
        registry.readNumber(Hive::LocalMachine, keys::installation, "LCID", germanLanguage.value)};
    const TextService texts(language);
    // The read-only question is answered from the command line; without an
    // answer the question's default button applies.
    ScriptedMessageService messages;
    if (options.yes) {
        messages.queueAnswer(Answer::Yes);
    } else if (options.no) {
        messages.queueAnswer(Answer::No);
    }
    ProjectRegistration registration(registry, configuration, messages, texts);
    StreamLog log(context.err);
    const std::string installation =
        registry.readString(Hive::LocalMachine, keys::installation, "Path");

    // The conversion of a project file from Windows is asked on the console,
    // and told there: what it leaves out must not go unseen.
    std::optional<Answer> forced;
    if (options.yes || options.no) {
        forced = options.yes ? Answer::Yes : Answer::No;
    }
    ConsoleMessageService console(forced);
    const dbupgrade::JetConversionEnvironment jetConversion{console, texts, log, configuration};

    dbupgrade::CheckEnvironment environment{
        registry,
        texts,
        configuration,
        log,
        paths::toFileSystemPath(installation),
        [&](std::string_view file) { return registration.CheckReadOnly(file); },
        [&](const dbupgrade::CheckProgress& progress) {
            context.out << "step " << progress.step << " of " << progress.count << ": "
                        << progress.version << '\n';
        }};
    environment.jetConversion = &jetConversion;
    const auto result = dbupgrade::CheckProjectDatabase(environment, options.project);
    context.out << "stored version: " << shownVersion(result.storedVersion) << '\n';
    if (result.outcome == dbupgrade::CheckOutcome::Checked) {
        context.out << "now at " << dbupgrade::currentDbVersion << ", " << result.stepsRun.size()
                    << " step(s) run, compacted\n";
    } else if (!result.reason.empty()) {
        context.err << "kvs check: " << options.project << " not fully checked: " << result.reason
                    << '\n';
    }
    context.exitCode = exitCodeOf(result.outcome);
}

} // namespace

void addCheckCommands(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<CheckOptions>();
    CLI::App* command = app.add_subcommand(
        "check", "Check a registered project's database: back it up, upgrade it to the current "
                 "layout, merge the template's system texts and fonts, compact it");
    command->add_option("NAME", options->project, "The registered project name")->required();
    auto* yes = command->add_flag("--yes", options->yes,
                                  "Answer Yes: make a read-only project file writable, convert "
                                  "a project file from Windows (Jet)");
    auto* no = command->add_flag("--no", options->no,
                                 "Answer No: leave a read-only or Jet project file alone");
    yes->excludes(no);
    command->add_flag("--dry-run", options->dryRun,
                      "Print the stored version and the steps that would run; change nothing");
    command->callback([&context, options] {
        if (options->dryRun) {
            dryRun(context, *options);
        } else {
            check(context, *options);
        }
    });
}

} // namespace korvana::cli
