#include "dbupgrade/steps/ColumnShapes.h"
#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

// Recipes can save changes and be encrypted.
void Upgrade_4_01_020(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.01.020");
    if (session.hasTable("TrcpRecipe")) {
        for (const char* column : {"SaveChanges", "CryptEngine"}) {
            session.run(std::string("add column TrcpRecipe.") + column, [&] {
                addColumn(session.db(), "TrcpRecipe",
                          shapes::plain(column, db::DaoType::Boolean, "False"));
            });
        }
    }
    session.finish();
}

} // namespace korvana::dbupgrade
