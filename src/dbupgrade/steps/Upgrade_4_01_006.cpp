#include "dbupgrade/StepOperations.h"
#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

// Configuration store.
void Upgrade_4_01_006(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.01.006");
    db::Database& db = session.db();

    if (session.hasTable("TidxTextFlags")) {
        for (const char* language : {"L1031", "L1033"}) {
            session.run(std::string("make TidxTextFlags.") + language + " optional",
                        [&] { db.setRequired("TidxTextFlags", language, false); });
        }
    }

    const ColumnSpec columns[] = {
        {.name = "ID", .type = db::DaoType::Long, .autoNumber = true},
        {.name = "ParentID", .type = db::DaoType::Long, .required = false},
        {.name = "Section",
         .type = db::DaoType::Text,
         .size = 255,
         .required = false,
         .allowZeroLength = true,
         .unicodeCompression = true},
        {.name = "Entry",
         .type = db::DaoType::Text,
         .size = 255,
         .required = true,
         .allowZeroLength = false,
         .unicodeCompression = true},
        {.name = "Value", .type = db::DaoType::LongBinary, .required = false},
    };
    const db::IndexDef indexes[] = {
        {.name = "ID", .fields = {"ID"}, .primary = true},
        {.name = "ParentID", .fields = {"ParentID"}},
        {.name = "PIDSection", .fields = {"ParentID", "Section"}},
        {.name = "PIDSectionEntry", .fields = {"ParentID", "Section", "Entry"}, .unique = true},
    };
    createTable(session, "TcfgBinary", columns, indexes);

    session.finish();
}

} // namespace korvana::dbupgrade
