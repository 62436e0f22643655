// Makes a large project database for benchmarks and manual tests from a JSON
// description (by default the legacy project fixture) and generated rows.
#include "ProjectGenerator.h"
#include "platform/Error.h"

#include <CLI/CLI.hpp>
#include <iostream>

int main(int argc, char** argv) {
    CLI::App app{"Generate a large project database from a description and generated rows",
                 "generate_project"};
    std::string output;
    std::string description = KORVANA_SOURCE_DIR "/tests/fixtures/legacy-project.json";
    korvana::bench::ProjectSize size;
    double scale = 1.0;
    app.add_option("OUTPUT", output, "The database file to create (must not exist)")->required();
    app.add_option("--from", description, "The JSON description to start from")
        ->capture_default_str();
    app.add_option("--texts", size.texts, "Texts to add")->capture_default_str();
    app.add_option("--items", size.items, "Process items to add")->capture_default_str();
    app.add_option("--trends", size.trends, "Trends to add")->capture_default_str();
    app.add_option("--messages", size.messages, "Messages to add")->capture_default_str();
    app.add_option("--scale", scale, "Multiply every count by this factor")->capture_default_str();
    CLI11_PARSE(app, argc, argv);
    try {
        const long added = korvana::bench::generateProject(output, description, size.scaled(scale));
        std::cout << output << ": " << added << " rows added\n";
    } catch (const korvana::Error& error) {
        std::cerr << "generate_project: " << error.what() << '\n';
        return 3;
    }
    return 0;
}
