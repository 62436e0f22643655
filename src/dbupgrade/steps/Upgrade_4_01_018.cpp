#include "dbupgrade/StepOperations.h"
#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

// Message output carries one column per text language, like the texts do.
void Upgrade_4_01_018(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.01.018");
    auto& database = session.db();
    if (session.hasTable("TalaMessageOutput")) {
        session.run("read the columns of TidxTexts", [&] {
            for (const auto& field : database.tableDef("TidxTexts").fields) {
                // Language columns are "L" and the language number; the
                // capital letter alone tells them from the other columns.
                if (field.name.empty() || field.name.front() != 'L' ||
                    database.tableDef("TalaMessageOutput").findField(field.name)) {
                    continue;
                }
                session.run("add column TalaMessageOutput." + field.name, [&] {
                    addColumn(database, "TalaMessageOutput",
                              {.name = field.name, .type = db::DaoType::LongBinary});
                });
            }
        });
    }
    session.finish();
}

} // namespace korvana::dbupgrade
