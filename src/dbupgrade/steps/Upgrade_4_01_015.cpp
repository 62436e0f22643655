#include "dbupgrade/StepOperations.h"
#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

// Structure member positions become fractional, so that byte offsets fit.
void Upgrade_4_01_015(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.01.015");
    if (session.hasTable("TpdbStructMembers")) {
        const ColumnSpec orderNum{
            .name = "OrderNum",
            .type = db::DaoType::Single,
            .required = true,
            .defaultValue = "0",
            .position = 4,
            .description = "Position innerhalb der Struktur (eindeutig und fortlaufend bei "
                           "numerischer Ordnung, wahlfrei bei Byteoffsetangabe)"};
        session.run("change column TpdbStructMembers.OrderNum", [&] {
            changeColumn(session.db(), "TpdbStructMembers", orderNum,
                         "UPDATE TpdbStructMembers SET OrderNumTemp = OrderNum;");
        });
    }
    session.finish();
}

} // namespace korvana::dbupgrade
