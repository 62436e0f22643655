#include "dbupgrade/JetConversion.h"

#include "db/Database.h"
#include "db/DbErrors.h"
#include "db/JetFileFormat.h"
#include "db/jetfile/JetFile.h"
#include "db/jetfile/JetImport.h"
#include "dbupgrade/DurableFiles.h"
#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/TextUtil.h"
#include "services/OpenProjectSettings.h"
#include "text/Messages.h"

#include <cerrno>
#include <cstring>
#include <unistd.h>

namespace korvana::dbupgrade {

namespace {

constexpr TextId convertQuestion{942};
constexpr TextId convertedNotes{943};
constexpr TextId conversionFailed{944};

bool sameFile(const std::filesystem::path& one, const std::filesystem::path& other) {
    std::error_code error;
    return std::filesystem::equivalent(one, other, error);
}

// Keeps the Jet file under its second name. A hard link leaves the very file
// untouched; where the file system has none, a copy made durable first.
void keep(const std::filesystem::path& projectFile, const std::filesystem::path& kept) {
    if (::link(projectFile.c_str(), kept.c_str()) == 0) {
        return;
    }
    if (errno == EEXIST) {
        throw Error("'" + kept.string() + "' exists already", runtimeErrors::pathFileAccessError);
    }
    std::filesystem::copy_file(projectFile, kept, std::filesystem::copy_options::none);
    syncToDisk(kept, false);
}

std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) {
        text += (text.empty() ? "" : "\r\n") + line;
    }
    return text;
}

// The version the converted database's schema shows, recorded in its settings.
RecognisedVersion recordVersion(const JetConversionEnvironment& environment,
                                const std::filesystem::path& converted) {
    RecognisedVersion recognised;
    {
        db::Database database = db::Database::open(converted.string());
        recognised = recogniseVersion(tablesOf(database));
    }
    if (!recognised.version.empty()) {
        OpenProjectSettings(environment.configuration, OpenProjectSettings::File{converted})
            .setText("Global", "DBVersion", recognised.version);
    }
    return recognised;
}

} // namespace

RecognisedVersion recogniseJetVersion(const std::filesystem::path& jetFile) {
    db::jetfile::JetFile jet(jetFile.string());
    const auto names = jet.tableNames();
    return recogniseVersion([&](std::string_view table) -> std::optional<db::TableDef> {
        for (const auto& name : names) {
            if (equalsIgnoreCase(name, table)) {
                return jet.table(name).definition;
            }
        }
        return std::nullopt;
    });
}

std::filesystem::path keptJetFile(const std::filesystem::path& projectFile) {
    return withSuffix(projectFile, ".jet");
}

JetConversionResult convertJetProjectFile(const JetConversionEnvironment& environment,
                                          const std::filesystem::path& projectFile) {
    JetConversionResult result;
    const auto format = db::jetFormatOf(projectFile.string());
    if (format == db::JetFormat::None) {
        return result;
    }
    const auto kept = keptJetFile(projectFile);
    std::error_code error;
    // A kept file that is this very file is what an interrupted conversion
    // left; any other is the user's and is not replaced.
    if (std::filesystem::exists(kept, error) && !sameFile(kept, projectFile)) {
        result.outcome = JetConversionOutcome::Failed;
        result.reason = "the project file is a " + std::string(db::jetFormatName(format)) +
                        " database, and '" + kept.string() +
                        "' exists already, so it is not converted";
        environment.log.write(result.reason);
        return result;
    }
    const Answer answer =
        ShowMessage(environment.messages, environment.texts, convertQuestion,
                    MessageStyle::overwriteQuestion(), {projectFile.string(), kept.string()});
    if (answer != Answer::Yes) {
        result.outcome = JetConversionOutcome::Declined;
        result.reason = "the project file is a " + std::string(db::jetFormatName(format)) +
                        " database from Windows and was not converted";
        return result;
    }

    const auto converted = withSuffix(projectFile, ".converted");
    std::filesystem::remove(converted, error);
    try {
        auto report = db::jetfile::importJetFile(projectFile.string(), converted.string());
        result.recognised = recordVersion(environment, converted);
        syncToDisk(converted, false);
        if (!sameFile(kept, projectFile)) {
            keep(projectFile, kept);
        }
        syncToDisk(projectFile.parent_path(), true);
        replaceAtomically(converted, projectFile);
        result.notes = std::move(report.notes);
    } catch (const std::exception& failure) {
        std::filesystem::remove(converted, error);
        result.outcome = JetConversionOutcome::Failed;
        result.reason = failure.what();
        environment.log.write("not converted: " + result.reason);
        ShowMessage(environment.messages, environment.texts, conversionFailed,
                    MessageStyle::exclamation(), {projectFile.string(), result.reason});
        return result;
    }
    result.outcome = JetConversionOutcome::Converted;
    environment.log.write(
        "conversion: layout version from the schema: " +
        (result.recognised.version.empty() ? std::string("(none)") : result.recognised.version));
    for (const auto& reason : result.recognised.reasons) {
        environment.log.write("conversion: " + reason);
    }
    for (const auto& note : result.notes) {
        environment.log.write("conversion: " + note);
    }
    if (!result.notes.empty()) {
        ShowMessage(environment.messages, environment.texts, convertedNotes,
                    MessageStyle::information(), {projectFile.string(), joined(result.notes)});
    }
    return result;
}

} // namespace korvana::dbupgrade
