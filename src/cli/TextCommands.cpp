#include "cli/Commands.h"
#include "cli/DecimalNumber.h"
#include "text/TextService.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace korvana::cli {

namespace {

struct TextOptions {
    std::int32_t number = 0;
    std::vector<std::string> arguments;
    std::int32_t lcid = germanLanguage.value;
};

} // namespace

void addTextCommands(CLI::App& app, CliContext& context) {
    auto options = std::make_shared<TextOptions>();
    auto* text = app.add_subcommand(
        "text", "Print text N of the string table with escapes resolved and the placeholders "
                "@1@, @2@, ... filled, exactly as the program shows it (no newline added). A "
                "number without text prints \"@N\".");
    text->add_option("N", options->number, "text number")
        ->required()
        ->transform(decimalNumber<std::int32_t>(Sign::NonNegative));
    text->add_option("ARG", options->arguments,
                     "values for @1@, @2@, ... (use -- before "
                     "values that start with a dash)");
    text->add_option("--lcid", options->lcid,
                     "user-interface language: 1031 German (default), 1033 English; any other "
                     "shows the German texts")
        ->transform(decimalNumber<std::int32_t>(Sign::NonNegative));
    text->callback([options, &context] {
        const std::vector<TextArgument> arguments(options->arguments.begin(),
                                                  options->arguments.end());
        const TextService texts{Lcid{options->lcid}};
        const TextId id{options->number};
        context.out << texts.LoadText(id, arguments);
        context.out.flush();
        // The program shows the marker and goes on, so this is no failure; the
        // note on stderr keeps a script from mistaking the marker for a text.
        if (!texts.hasText(id)) {
            context.err << "kvs: text " << id.value << " is not in the string table\n";
        }
        context.exitCode = exitOk;
    });
}

} // namespace korvana::cli
