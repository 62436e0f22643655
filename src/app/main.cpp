#include "app/IdeLauncher.h"
#include "app/MessageChoice.h"
#include "app/ProgramCommandLine.h"
#include "app/StreamDebugLog.h"
#include "dbupgrade/CheckProjectDatabase.h"
#include "dialogs/Logo.h"
#include "dialogs/ProgramVersion.h"
#include "dialogs/QtMessageService.h"
#include "dialogs/QtStartupHost.h"
#include "platform/Error.h"
#include "platform/FileRegistry.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/Process.h"
#include "platform/SystemRoot.h"
#include "project/ProjectRegistration.h"
#include "startup/MKorvanaStudio.h"
#include "startup/StartupContext.h"
#include "text/ConsoleMessageService.h"

#include <QApplication>
#include <cstdlib>
#include <iostream>
#include <memory>

namespace {

using namespace korvana;

constexpr int exitUsage = 2;
constexpr int exitUnexpected = 3;

std::optional<std::string> variable(const char* name) {
    if (const char* value = std::getenv(name)) {
        return std::string(value);
    }
    return std::nullopt;
}

int run(const std::string& commandLine, const app::MessageChoice& choice) {
    const SystemRoot root = SystemRoot::open(SystemRoot::processEnvironment());
    FileRegistry registry(root.registryFolder());
    Files files;
    // German until the installation's language is known; the start-up then
    // replaces it, and every window holding this object follows.
    TextService texts;
    InstallationSettings settings;

    std::unique_ptr<MessageService> messages;
    dialogs::QtMessageService* boxes = nullptr;
    if (choice.console) {
        messages = std::make_unique<ConsoleMessageService>(
            std::cin, std::cerr, /*interactive=*/false, choice.forcedAnswer);
    } else {
        auto qtMessages = std::make_unique<dialogs::QtMessageService>(texts);
        boxes = qtMessages.get();
        messages = std::move(qtMessages);
    }

    dialogs::QtStartupHost::Options hostOptions;
    if (const auto trace = variable("KORVANA_STARTUP_TRACE"); trace && !trace->empty()) {
        hostOptions.trace = dialogs::StartupTrace(*trace);
    }
    hostOptions.messages = boxes;
    dialogs::QtStartupHost host({registry, *messages, texts, settings}, hostOptions);

    const auto processes = makeProcessRunner();
    std::ostream* logStream = variable("KORVANA_DEBUG_LOG") ? &std::cerr : nullptr;
    app::StreamDebugLog log(logStream);

    StartupContext context{
        registry,
        files,
        *messages,
        texts,
        settings,
        host,
        [&registry] { return std::make_unique<ConfigurationComponent>(registry); },
        [&](std::function<void()> releaseConfiguration) -> std::unique_ptr<Launcher> {
            return std::make_unique<app::IdeLauncher>(ide::IdeEnvironment{
                registry, *messages, texts, settings, root.windowsFolder(), *processes,
                [&host] { host.processEvents(); }, std::move(releaseConfiguration),
                [&host](RunningProcess& process) { host.waitForProcess(process); }});
        },
        [&](ConfigurationComponent& configuration, const std::string& projectName,
            const dbupgrade::CheckObserver& observer) {
            ProjectRegistration registration(registry, configuration, *messages, texts);
            const dbupgrade::JetConversionEnvironment jetConversion{*messages, texts, log,
                                                                    configuration};
            dbupgrade::CheckEnvironment environment{
                registry,
                texts,
                configuration,
                log,
                paths::toFileSystemPath(settings.installationFolder),
                [&](std::string_view file) { return registration.CheckReadOnly(file); },
                observer};
            environment.jetConversion = &jetConversion;
            // A database that could not be checked is opened all the same; the
            // log says why.
            try {
                auto result = dbupgrade::CheckProjectDatabase(environment, projectName);
                if (!result.reason.empty()) {
                    log.write(projectName + " not fully checked: " + result.reason);
                }
                return result;
            } catch (const Error& error) {
                log.write(projectName + " not checked: " + error.what());
                return dbupgrade::CheckResult{
                    dbupgrade::CheckOutcome::Skipped, {}, {}, error.what()};
            }
        }};
    return Main(commandLine, context);
}

} // namespace

int main(int argc, char** argv) {
    // Taken before Qt sees the arguments: Qt removes the options it knows.
    const std::string commandLine = korvana::app::windowsCommandLine(argc, argv);
    const auto choice =
        korvana::app::chooseMessages(variable("KORVANA_MESSAGES"), variable("KORVANA_ANSWER"));
    if (const auto* problem = std::get_if<std::string>(&choice)) {
        std::cerr << "KorvanaStudio: " << *problem << '\n';
        return exitUsage;
    }

    // A script that runs the program with console messages on a machine
    // without a desktop needs no window to be seen: Qt would refuse to start.
    const auto& messageChoice = std::get<korvana::app::MessageChoice>(choice);
    if (messageChoice.console && !variable("QT_QPA_PLATFORM") && !variable("DISPLAY") &&
        !variable("WAYLAND_DISPLAY")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("KorvanaStudio"));
    QApplication::setWindowIcon(korvana::dialogs::applicationIcon());
    QGuiApplication::setDesktopFileName(
        QString::fromUtf8(korvana::dialogs::programDesktopId.data(),
                          static_cast<qsizetype>(korvana::dialogs::programDesktopId.size())));
    try {
        return run(commandLine, messageChoice);
    } catch (const std::exception& error) {
        std::cerr << "KorvanaStudio: unexpected error: " << error.what() << '\n';
    } catch (...) {
        std::cerr << "KorvanaStudio: unexpected error\n";
    }
    return exitUnexpected;
}
