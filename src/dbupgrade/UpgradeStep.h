#pragma once

#include "db/Database.h"
#include "db/DebugLog.h"
#include "db/SkipOnError.h"
#include "db/Sqlite.h"
#include "platform/Registry.h"
#include "text/TextService.h"

#include <filesystem>
#include <string>
#include <string_view>

namespace korvana::dbupgrade {

// What an upgrade step needs besides the project name: where registered
// projects are found, the texts in the user-interface language (for the names
// of new system groups) and the log that records every skipped operation.
struct UpgradeEnvironment {
    const Registry& registry;
    const TextService& texts;
    db::DebugLog& log;
    // The database the steps change: the database check's working copy of the
    // project file. Empty: the registered project's own file.
    std::filesystem::path workingFile = {};
};

// The database an upgrade or merge works on: `workingFile` when given (a
// scratch database), otherwise the registered project's file.
db::Database openProjectDatabase(const Registry& registry, const std::filesystem::path& workingFile,
                                 const std::string& projectName);

// One step of the version ladder. The project's registered name is its only
// input; the step opens the project database itself and closes it at its end.
using UpgradeStep = void (*)(const UpgradeEnvironment& environment, const std::string& projectName);

// The database of one step. The whole step runs in one transaction, so that a
// crash in the middle leaves the file as it was before the step; each operation
// run through `run` gets its own savepoint and is skipped (and logged) when it
// fails, and the step goes on with the next one.
class StepSession {
  public:
    // Opens the registered project's database; raises korvana::Error when the
    // project is unknown or its file cannot be opened (the ladder then logs the
    // step as skipped).
    StepSession(const UpgradeEnvironment& environment, const std::string& projectName,
                std::string_view version);
    ~StepSession();
    StepSession(const StepSession&) = delete;
    StepSession& operator=(const StepSession&) = delete;

    db::Database& db() { return database_; }
    const UpgradeEnvironment& environment() const { return environment_; }

    // Runs `operation` in a savepoint; a failure undoes it, is logged and
    // returns false.
    template <typename Operation> bool run(std::string_view what, Operation&& operation) {
        return skip_(what, [&] {
            sqlite::Savepoint savepoint(database_.connection());
            std::forward<Operation>(operation)();
            savepoint.release();
        });
    }

    // Guards of the form "if table T exists".
    bool hasTable(std::string_view table) const { return database_.hasTable(table); }

    // Commits the step and closes the database. Without it the destructor rolls
    // the whole step back.
    void finish();

  private:
    const UpgradeEnvironment& environment_;
    db::Database database_;
    db::SkipOnError skip_;
    std::optional<sqlite::Transaction> transaction_;
};

} // namespace korvana::dbupgrade
