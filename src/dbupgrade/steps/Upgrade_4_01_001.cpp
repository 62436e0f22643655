#include "dbupgrade/StepOperations.h"
#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

// Message parameters, font and trend names.
void Upgrade_4_01_001(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.01.001");
    db::Database& db = session.db();

    if (session.hasTable("TalaMessages")) {
        const bool added = session.run("add column TalaMessages.Parameter1", [&] {
            addColumn(db, "TalaMessages",
                      {.name = "Parameter1",
                       .type = db::DaoType::FixedText,
                       .size = 255,
                       .required = false,
                       .allowZeroLength = true,
                       .defaultValue = std::string(emptyStringDefault)});
        });
        const bool copied = added && session.run("copy TalaMessages.MessageHelpID", [&] {
            db.execute("UPDATE TalaMessages SET Parameter1 = MessageHelpID;");
        });
        // The help IDs live on only in the new column: without a copy they stay.
        if (copied) {
            session.run("delete column TalaMessages.MessageHelpID",
                        [&] { db.deleteField("TalaMessages", "MessageHelpID"); });
        }
        session.run("rename column TalaMessages.HelpIndex",
                    [&] { db.renameField("TalaMessages", "HelpIndex", "Parameter2"); });
    }

    if (session.hasTable("TidxFonts")) {
        session.run("rename column TidxFonts.Name",
                    [&] { db.renameField("TidxFonts", "Name", "FontName"); });
        const bool added = session.run("add column TidxFonts.Name", [&] {
            addColumn(db, "TidxFonts",
                      {.name = "Name",
                       .type = db::DaoType::FixedText,
                       .size = 255,
                       .allowZeroLength = false});
        });
        // Names are given only to the column just made, never over names a
        // user has chosen since.
        if (added) {
            session.run("name the fonts",
                        [&] { db.execute("UPDATE TidxFonts SET Name = 'Font' & ID;"); });
        }
    }

    if (session.hasTable("TchrTrends")) {
        const bool added = session.run("add column TchrTrends.Name", [&] {
            addColumn(db, "TchrTrends",
                      {.name = "Name",
                       .type = db::DaoType::FixedText,
                       .size = 255,
                       .allowZeroLength = false});
        });
        if (added) {
            session.run("name the trends",
                        [&] { db.execute("UPDATE TchrTrends SET Name = 'Trd' & ID;"); });
        }
    }

    session.finish();
}

} // namespace korvana::dbupgrade
