#include "dbupgrade/steps/ColumnShapes.h"
#include "dbupgrade/steps/UpgradeSteps.h"

#include <vector>

namespace korvana::dbupgrade {

// Formulas can be switched off and commented; the recipe tables.
void Upgrade_4_01_014(const UpgradeEnvironment& environment, const std::string& projectName) {
    using namespace shapes;
    using db::DaoType;
    StepSession session(environment, projectName, "4.01.014");
    auto& database = session.db();
    const std::string empty(emptyStringDefault);

    if (session.hasTable("TvbfFormulas")) {
        session.run("add column TvbfFormulas.Enabled", [&] {
            addColumn(database, "TvbfFormulas",
                      plain("Enabled", DaoType::Boolean, "True", "Funktion aktiv/deaktiv"));
        });
        session.run("add column TvbfFormulas.Comment", [&] {
            addColumn(database, "TvbfFormulas", text("Comment", 255, "Kommentar"));
        });
    }
    // Formulas that existed before the switch keep running.
    session.run("enable all formulas",
                [&] { database.execute("UPDATE TvbfFormulas SET Enabled = True"); });

    if (session.hasTable("TpdbItems")) {
        const std::vector<ColumnSpec> recipe{
            autoId(),
            text("Name", 255, "Name des Rezeptes", empty),
            text("FilePath", 255, "Pfad der Rezeptdateien (optional)", "\"<ProjectDir>\\Rezepte\""),
            text("FileExtension", 2, "Die letzten zwei Buchstaben der Dateiendung"),
            text("VarRecipeName", 255, "Name der Rezeptdatei-Variablen (optional)"),
            text("VarDescription", 255, "Name der Rezeptbeschreibungsvariablen (optional)"),
            text("VarSave", 255, "Triggervariable zum Speichern der Rezeptwerte auf HD (optional)"),
            text("VarLoad", 255, "Triggervariable zum Laden der Rezeptwerte von HD (optional)"),
            text("VarWrite", 255,
                 "Triggervariable zum Schreiben der Rezeptwerte in die Treiber (optional)"),
            text("VarRead", 255,
                 "Triggervariable zum Lesen der Rezeptwerte aus den Treibern (optional)"),
            plain("StandardValue", DaoType::Double, "0", "Normwertvorgabe (optional: 0)"),
            text("VarSetValue", 255,
                 "Sollwertvorgabe (wenn 'StandardValue' > 0), alle Rezeptwerte werden im "
                 "Dreisatz umgerechnet"),
            plain("SaveSubRecipes", DaoType::Boolean, "False",
                  "Unterrezepte in Rezeptdatei abspeichern?"),
            text("Comment", 255, "Kommentar"),
            plain("Enabled", DaoType::Boolean, "True", "Definition aktiviert"),
        };
        const std::vector<db::IndexDef> recipeIndexes{primaryId(),
                                                      index("Name", {"Name"}, false, true)};
        createTable(session, "TrcpRecipe", recipe, recipeIndexes);

        const std::vector<ColumnSpec> members{
            autoId(),
            plain("ParentID", DaoType::Long, {}, "Verweis auf die zugehörige Rezeptdefinition"),
            text("VarRecipe", 255,
                 "Name der aufzuzeichnenden Variablen ('ChildID' = 0) oder der Variable mit dem "
                 "Unterrezeptnamen ('ChildID' > 0)"),
            plain("ChildID", DaoType::Long, "0",
                  "Verweis auf ein Unterrezept (0: kein Unterrezept)"),
        };
        const std::vector<db::IndexDef> memberIndexes{primaryId(),
                                                      index("ParentID", {"ParentID"}, false, false),
                                                      index("ChildID", {"ChildID"}, false, false)};
        createTable(session, "TrcpRecipeMember", members, memberIndexes);
    }
    session.finish();
}

} // namespace korvana::dbupgrade
