#include "dbupgrade/StepOperations.h"
#include "dbupgrade/steps/UpgradeSteps.h"

namespace korvana::dbupgrade {

namespace {

void allowEmpty(StepSession& session, const char* column) {
    session.run(std::string("allow empty TidxTexts.") + column,
                [&] { session.db().setAllowZeroLength("TidxTexts", column, true); });
    session.run(std::string("set default of TidxTexts.") + column, [&] {
        session.db().setDefaultValue("TidxTexts", column, std::string(emptyStringDefault));
    });
}

} // namespace

// Texts may be empty in every language and start out empty.
void Upgrade_4_04_006(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.04.006");
    for (const char* column : {"ParamNames", "Description", "L1031", "L1033"}) {
        allowEmpty(session, column);
    }
    bool hasThirdLanguage = false;
    session.run("look for TidxTexts.L4108", [&] {
        hasThirdLanguage = session.db().tableDef("TidxTexts").findField("L4108") != nullptr;
    });
    if (hasThirdLanguage) {
        allowEmpty(session, "L4108");
        session.run("compress TidxTexts.L4108",
                    [&] { setUnicodeCompression(session.db(), "TidxTexts", "L4108"); });
    }
    session.finish();
}

} // namespace korvana::dbupgrade
