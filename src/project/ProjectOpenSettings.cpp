#include "project/ProjectOpenSettings.h"

#include "services/InstallationKeys.h"

namespace korvana {

namespace {

constexpr std::string_view tabValue = "ProjectOpenTab";
constexpr std::string_view kv32Value = "KV32";
constexpr std::int32_t kv32Absent = -1;
constexpr std::int32_t kv32On = 1;

} // namespace

ProjectOpenTab ProjectOpenSettings::rememberedTab() const {
    return static_cast<ProjectOpenTab>(registry_.readBoundedNumber(
        Hive::CurrentUser, keys::studioWindows, tabValue,
        static_cast<int>(ProjectOpenTab::Registered), static_cast<int>(ProjectOpenTab::New),
        static_cast<int>(ProjectOpenTab::Recent)));
}

void ProjectOpenSettings::rememberTab(ProjectOpenTab tab) {
    registry_.writeNumber(Hive::CurrentUser, keys::studioWindows, tabValue, static_cast<int>(tab));
}

bool ProjectOpenSettings::kv32Offered() {
    const std::int32_t switchValue =
        registry_.readNumber(Hive::LocalMachine, keys::installation, kv32Value, kv32Absent);
    if (switchValue == kv32Absent) {
        registry_.writeNumber(Hive::LocalMachine, keys::installation, kv32Value, 0);
    }
    return switchValue == kv32On;
}

} // namespace korvana
