#include "dbupgrade/steps/ColumnShapes.h"
#include "dbupgrade/steps/UpgradeSteps.h"

#include <vector>

namespace korvana::dbupgrade {

// The formula tables: variable aliases, formulas and their parameters.
void Upgrade_4_01_012(const UpgradeEnvironment& environment, const std::string& projectName) {
    using namespace shapes;
    using db::DaoType;
    StepSession session(environment, projectName, "4.01.012");
    const std::string empty(emptyStringDefault);

    if (session.hasTable("TpdbItems")) {
        const std::vector<ColumnSpec> alias{
            autoId(),
            text("ItemID", 255, "Name eines Items (KorvanaStudio-Variable)", empty),
            text("VBAlias", 255, "In der VB-Klasse verwendeter Variablenname", empty),
        };
        const std::vector<db::IndexDef> aliasIndexes{primaryId(),
                                                     index("ItemID", {"ItemID"}, false, false),
                                                     index("VBAlias", {"VBAlias"}, false, true)};
        createTable(session, "TvbfAlias", alias, aliasIndexes);

        const std::vector<ColumnSpec> formulas{
            autoId(),
            text("Name", 80, "Funktionsname", empty),
            text("ProgID", 39, "Zugehöriger VB-Klassenname (Formelserver)", empty),
            plain("Type", DaoType::Long, "2",
                  "Funktionstyp (0:vor Init, 1: nach Init, 2: vor Zyklus, 3: nach Zyklus, 4: vor "
                  "Exit, 5: nach Exit, 6: Variablenänderung, 7: asynchron)"),
            plain("ScanTime", DaoType::Long, "0", "Abtastzeit in ms (bei Funktionstyp 7)"),
        };
        const std::vector<db::IndexDef> formulaIndexes{primaryId(),
                                                       index("ProgID", {"ProgID"}, false, false)};
        createTable(session, "TvbfFormulas", formulas, formulaIndexes);

        const std::vector<ColumnSpec> params{
            autoId(),
            plain("AliasID", DaoType::Long, {}, "ID des Parameters (TvbfAlias.ID)"),
            plain("ParentID", DaoType::Long, {}, "ID der Formel (TvbfFormulas.ID)"),
            plain("In", DaoType::Boolean, {}, "Eingangsparameter"),
            plain("Out", DaoType::Boolean, {}, "Ausgangsparameter"),
        };
        const std::vector<db::IndexDef> paramIndexes{
            index("ParentID", {"ParentID"}, false, false),
            index("Unique", {"AliasID", "ParentID"}, true, true)};
        createTable(session, "TvbfParams", params, paramIndexes);
    }
    session.finish();
}

} // namespace korvana::dbupgrade
