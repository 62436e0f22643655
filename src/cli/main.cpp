#include "cli/Commands.h"
#include "platform/Error.h"

#include <iostream>
#include <unistd.h>

int main(int argc, char** argv) {
    using namespace korvana::cli;

    CLI::App app{"kvs - scripting interface of the KorvanaStudio project manager.\n"
                 "State lives under the system root: $KORVANA_ROOT, else "
                 "${XDG_DATA_HOME:-$HOME/.local/share}/korvana-studio.",
                 "kvs"};
    app.footer("Exit codes (each command's help says which it uses): 0 done; 1 not found or "
               "refused; 2 bad command line; 3 failed (message on stderr); 4 done in part, what "
               "was left out named on stderr (kvs reg import: lines skipped).");
    app.require_subcommand(1);
    app.failure_message(CLI::FailureMessage::help);

    CliContext context(std::cout, std::cerr, isatty(STDOUT_FILENO) == 1);
    addRegCommands(app, context);
    addTextCommands(app, context);
    addIniCommands(app, context);
    addSettingsCommands(app, context);
    addDbCommands(app, context);
    addProjectCommands(app, context);
    addProjectsCommands(app, context);
    addCheckCommands(app, context);
    addCreateCommands(app, context);

    try {
        app.parse(argc, argv);
    } catch (const CLI::Success& success) {
        return app.exit(success);
    } catch (const CLI::ParseError& error) {
        app.exit(error);
        return exitUsage;
    } catch (const korvana::Error& error) {
        std::cout.flush();
        std::cerr << "kvs: " << error.what() << '\n';
        return exitFailure;
    } catch (const std::exception& error) {
        std::cout.flush();
        std::cerr << "kvs: unexpected error: " << error.what() << '\n';
        return exitFailure;
    }
    return context.exitCode;
}
