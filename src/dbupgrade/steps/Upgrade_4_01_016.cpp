#include "dbupgrade/steps/ColumnShapes.h"
#include "dbupgrade/steps/UpgradeSteps.h"

#include <vector>

namespace korvana::dbupgrade {

// The output channels of messages and what each message sends through them.
void Upgrade_4_01_016(const UpgradeEnvironment& environment, const std::string& projectName) {
    using namespace shapes;
    using db::DaoType;
    StepSession session(environment, projectName, "4.01.016");

    if (session.hasTable("TalaMessages")) {
        const std::vector<ColumnSpec> channels{
            autoId(),
            plain("OwnerID", DaoType::Long, {}, {}, true),
            plain("DataType", DaoType::Long, {}, {}, true),
            plain("DataDestination", DaoType::Long, {}, {}, true),
            text("Description", 255, {}, std::string(emptyStringDefault)),
        };
        const std::vector<db::IndexDef> channelIndexes{primaryId()};
        createTable(session, "TalaMessageChannels", channels, channelIndexes);

        const std::vector<ColumnSpec> output{
            autoId(),
            plain("ParentID", DaoType::Long, {}, {}, true),
            plain("ChannelID", DaoType::Long, {}, {}, true),
            plain("L1031", DaoType::LongBinary),
            plain("L1033", DaoType::LongBinary),
        };
        const std::vector<db::IndexDef> outputIndexes{
            primaryId(), index("ChannelData", {"ParentID", "ChannelID"}, false, true)};
        createTable(session, "TalaMessageOutput", output, outputIndexes);
    }
    session.finish();
}

} // namespace korvana::dbupgrade
