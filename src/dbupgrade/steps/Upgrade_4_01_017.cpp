#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

// New texts get font class 1 instead of none.
void Upgrade_4_01_017(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.01.017");
    if (session.hasTable("TidxFontClasses")) {
        for (const char* column : {"L1031", "L1033"}) {
            session.run(std::string("set default of TidxFontClasses.") + column,
                        [&] { session.db().setDefaultValue("TidxFontClasses", column, "1"); });
        }
    }
    session.finish();
}

} // namespace korvana::dbupgrade
