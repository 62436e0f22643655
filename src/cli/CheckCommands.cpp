#include "cli/CheckProgressLine.h"
#include "cli/Commands.h"
#include "cli/InterruptWatch.h"
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

// Every skipped operation and every reason to stop, on stderr, each on a
// line of its own rather than over the progress line.
class StreamLog : public db::DebugLog {
  public:
    StreamLog(std::ostream& stream, CheckProgressLine& progress)
        : stream_(stream), progress_(progress) {}
    void write(std::string_view line) override {
        progress_.clear();
        stream_ << "kvs check: " << line << '\n';
    }

  private:
    std::ostream& stream_;
    CheckProgressLine& progress_;
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
    case dbupgrade::CheckOutcome::Cancelled:
        return exitCancelled;
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
    const bool terminal = errorsGoToTerminal();
    CheckProgressLine progressLine(context.err, texts, terminal, terminal ? terminalWidth() : 0);
    StreamLog log(context.err, progressLine);
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

    const InterruptWatch interrupt;
    bool toldStopping = false;
    dbupgrade::CheckEnvironment environment{
        registry,
        texts,
        configuration,
        log,
        paths::toFileSystemPath(installation),
        [&](std::string_view file) { return registration.CheckReadOnly(file); },
        {[&](const dbupgrade::CheckProgress& progress) { progressLine.show(progress); },
         [&] {
             if (interrupt.interrupted() && !toldStopping) {
                 toldStopping = true;
                 log.write("interrupted; stopping at the next safe point");
             }
             return interrupt.interrupted();
         }}};
    environment.jetConversion = &jetConversion;
    const auto result = dbupgrade::CheckProjectDatabase(environment, options.project);
    progressLine.clear();
    context.out << "stored version: " << shownVersion(result.storedVersion) << '\n';
    if (result.outcome == dbupgrade::CheckOutcome::Checked) {
        context.out << "now at " << dbupgrade::currentDbVersion << ", " << result.stepsRun.size()
                    << " step(s) run, compacted\n";
    }
    if (result.outcome == dbupgrade::CheckOutcome::Cancelled) {
        context.err << "kvs check: cancelled; " << options.project
                    << " is unchanged, its backup too\n";
    } else {
        if (result.stopCameTooLate) {
            context.err << "kvs check: the project file was already being replaced, so the "
                           "check could no longer be cancelled and went on to its end\n";
        }
        if (!result.reason.empty()) {
            context.err << "kvs check: " << options.project
                        << " not fully checked: " << result.reason << '\n';
        }
    }
    context.exitCode = exitCodeOf(result.outcome);
}

} // namespace

void addCheckCommands(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<CheckOptions>();
    CLI::App* command = app.add_subcommand(
        "check",
        "Check a registered project's database: back it up, upgrade it to the current layout, "
        "merge the template's system texts and fonts, compact it. Progress goes to stderr. "
        "Ctrl+C stops the check at its next safe point with the project file and its backup "
        "unchanged (exit code 130), unless the project file is already being replaced.");
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
