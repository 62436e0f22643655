#include "dbupgrade/StepOperations.h"
#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

// Trend units and names, archive files.
void Upgrade_4_01_004(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.01.004");
    db::Database& db = session.db();

    if (session.hasTable("TchrTrends")) {
        session.run("change column TchrTrends.Unit", [&] {
            changeColumn(db, "TchrTrends",
                         {.name = "Unit",
                          .type = db::DaoType::Text,
                          .size = 255,
                          .allowZeroLength = true,
                          .position = 16,
                          .unicodeCompression = true,
                          .description = "Einheitenbezeichnung"},
                         "UPDATE TchrTrends SET UnitTemp = Unit;");
        });
        session.run("change column TchrTrends.Name", [&] {
            changeColumn(db, "TchrTrends",
                         {.name = "Name",
                          .type = db::DaoType::Text,
                          .size = 50,
                          .required = true,
                          .position = 31,
                          .unicodeCompression = true,
                          .description = "Name des Objektes"},
                         "UPDATE TchrTrends SET NameTemp = Left(Name,50);");
        });
        session.run("add index TchrTrends.Name", [&] {
            addIndex(db, "TchrTrends",
                     {.name = "Name", .fields = {"ArchiveID", "Name"}, .unique = true});
        });
    }

    if (session.hasTable("TchrArchives")) {
        const ColumnSpec columns[] = {
            {.name = "ParamNames",
             .type = db::DaoType::Text,
             .size = 255,
             .allowZeroLength = true,
             .defaultValue = std::string(emptyStringDefault),
             .unicodeCompression = true,
             .description = "Parameternamen (Variablen, Textnamen), durch ';' getrennt"},
            {.name = "FilePath",
             .type = db::DaoType::Text,
             .size = 255,
             .allowZeroLength = true,
             .defaultValue = "\"<ProjectDir>\"",
             .unicodeCompression = true,
             .description = "Dateipfad der Archivdatei"},
            {.name = "RedundancyFilePath",
             .type = db::DaoType::Text,
             .size = 255,
             .allowZeroLength = true,
             .unicodeCompression = true,
             .description = "Dateipfad der Redundanzdatei"},
            {.name = "CacheSize",
             .type = db::DaoType::Long,
             .defaultValue = "0",
             .description = "Aufzeichnungspuffergröße (wieviele Werte werden intern "
                            "aufgezeichnet, bevor das Abspeichern erfolgt)"},
        };
        for (const auto& column : columns) {
            session.run("add column TchrArchives." + column.name,
                        [&] { addColumn(db, "TchrArchives", column); });
        }
        session.run("delete index TchrArchives.FileNameID",
                    [&] { db.deleteIndex("TchrArchives", "FileNameID"); });
        session.run("rename column TchrArchives.FileNameID",
                    [&] { db.renameField("TchrArchives", "FileNameID", "FileName"); });
        session.run("add index TchrArchives.FileNameID", [&] {
            addIndex(db, "TchrArchives", {.name = "FileNameID", .fields = {"FileName"}});
        });
    }

    session.finish();
}

} // namespace korvana::dbupgrade
