#pragma once

#include "dbupgrade/UpgradeStep.h"

#include <string>

namespace korvana::dbupgrade {

// The steps of the version ladder, each named after the layout version it
// produces. Each opens the project database itself and closes it again.
void Upgrade_4_01_001(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_002(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_003(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_004(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_005(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_006(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_007(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_010(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_012(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_013(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_014(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_015(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_016(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_017(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_018(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_019(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_01_020(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_04_000(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_04_001(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_04_002(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_04_003(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_04_004(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_04_005(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_04_006(const UpgradeEnvironment& environment, const std::string& projectName);
void Upgrade_4_05_000(const UpgradeEnvironment& environment, const std::string& projectName);

} // namespace korvana::dbupgrade
