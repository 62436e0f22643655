#include "dbupgrade/steps/ColumnShapes.h"
#include "dbupgrade/steps/UpgradeSteps.h"

#include <vector>

namespace korvana::dbupgrade {

namespace {

void addUserTables(StepSession& session) {
    using namespace shapes;
    using db::DaoType;
    const auto longZero = [](const char* name) { return plain(name, DaoType::Long, "0"); };

    const std::vector<ColumnSpec> rightsClasses{
        autoId(),
        text("Name", 255),
        longZero("Rights0"),
        longZero("Rights1"),
        longZero("Rights2"),
        longZero("Rights3"),
        longZero("Checksum"),
    };
    const std::vector<db::IndexDef> rightsIndexes{primaryId(),
                                                  index("Name", {"Name"}, false, true)};
    createTable(session, "TusrRightsClasses", rightsClasses, rightsIndexes);

    const std::vector<ColumnSpec> userClasses{
        autoId(),
        text("Name", 255),
        longZero("Rights0"),
        longZero("Rights1"),
        longZero("Rights2"),
        longZero("Rights3"),
        text("Comment", 255),
        longZero("AutoLogOffTime"),
        plain("PermitDelete", DaoType::Boolean, "True"),
        longZero("RenewPassword"),
        longZero("InvalidateAfterFailedLogOns"),
        longZero("Checksum"),
        plain("Deleted", DaoType::Boolean, "False"),
    };
    const std::vector<db::IndexDef> userClassIndexes{primaryId(),
                                                     index("Name", {"Name"}, false, true)};
    createTable(session, "TusrUserClasses", userClasses, userClassIndexes);

    const std::vector<ColumnSpec> users{
        autoId(),
        longZero("ParentID"),
        text("FullName", 255),
        text("Name", 255),
        text("Password", 20),
        longZero("FailedLogOns"),
        plain("Enabled", DaoType::Boolean, "True"),
        plain("FirstLogOn", DaoType::DateTime),
        text("Comment", 255),
        plain("Deleted", DaoType::Boolean, "False"),
    };
    const std::vector<db::IndexDef> userIndexes{primaryId(), index("Name", {"Name"}, false, true),
                                                index("ParentID", {"ParentID"}, false, false)};
    createTable(session, "TusrUsers", users, userIndexes);
}

} // namespace

// Items and structure members refer to a text; the user administration.
void Upgrade_4_01_019(const UpgradeEnvironment& environment, const std::string& projectName) {
    using namespace shapes;
    StepSession session(environment, projectName, "4.01.019");
    auto& database = session.db();

    if (session.hasTable("TpdbItems")) {
        session.run("add column TpdbItems.TextID", [&] {
            addColumn(database, "TpdbItems", plain("TextID", db::DaoType::Long, "0"));
        });
        session.run("add index TpdbItems.SecondItemAccess", [&] {
            addIndex(database, "TpdbItems",
                     index("SecondItemAccess", {"ItemAccess", "DeviceID"}, false, false));
        });
    }
    if (session.hasTable("TpdbStructMembers")) {
        session.run("add column TpdbStructMembers.TextID", [&] {
            addColumn(database, "TpdbStructMembers", plain("TextID", db::DaoType::Long, "0"));
        });
    }
    addUserTables(session);
    session.finish();
}

} // namespace korvana::dbupgrade
