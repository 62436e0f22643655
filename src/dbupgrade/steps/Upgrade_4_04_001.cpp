#include "dbupgrade/steps/ColumnShapes.h"
#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

// Users get a state instead of the enabled switch.
void Upgrade_4_04_001(const UpgradeEnvironment& environment, const std::string& projectName) {
    using namespace shapes;
    using db::DaoType;
    StepSession session(environment, projectName, "4.04.001");
    auto& database = session.db();

    if (session.hasTable("TrcpRecipe")) {
        session.run("add column TrcpRecipe.Options", [&] {
            addColumn(database, "TrcpRecipe", plain("Options", DaoType::Long, "0"));
        });
    }
    if (session.hasTable("TusrUsers")) {
        session.run("add column TusrUsers.UserState", [&] {
            ColumnSpec userState = plain("UserState", DaoType::Long, "0");
            userState.position = 6;
            addColumn(database, "TusrUsers", userState);
        });
        const bool enabledCopied = session.run("take over enabled users", [&] {
            database.execute("UPDATE TusrUsers SET UserState = 1 WHERE Enabled = True");
        });
        const bool disabledCopied = session.run("take over disabled users", [&] {
            database.execute("UPDATE TusrUsers SET UserState = 0 WHERE Enabled = False");
        });
        // The switch is the only record of who may log on until the state holds it.
        if (enabledCopied && disabledCopied) {
            session.run("delete column TusrUsers.Enabled",
                        [&] { database.deleteField("TusrUsers", "Enabled"); });
        }
    }
    if (session.hasTable("TusrUserClasses")) {
        session.run("add column TusrUserClasses.TextID", [&] {
            addColumn(database, "TusrUserClasses", plain("TextID", DaoType::Long, "0"));
        });
    }
    if (session.hasTable("TusrRightsClasses")) {
        session.run("add column TusrRightsClasses.Deleted", [&] {
            addColumn(database, "TusrRightsClasses", plain("Deleted", DaoType::Boolean, "False"));
        });
    }
    session.finish();
}

} // namespace korvana::dbupgrade
