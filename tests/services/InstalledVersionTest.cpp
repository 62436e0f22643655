#include "services/InstalledVersion.h"

#include "services/InstallationKeys.h"
#include "support/MemoryRegistry.h"

#include <gtest/gtest.h>
#include <optional>

namespace korvana {
namespace {

struct VersionCase {
    std::optional<RegistryValue> version, servicePack, featurePack;
    std::string shown;
};

TEST(InstalledVersion, NamesTheVersionWithThePacksThatAreInstalled) {
    const auto text = [](const char* value) { return RegistryValue::string(value); };
    const std::vector<VersionCase> cases{
        {text("4.03"), text("2"), std::nullopt, "4.03 (SP 2)"},
        {text("4.05"), text("1"), text("3"), "4.05 (SP 1) (FP 3)"},
        {text("4.05"), std::nullopt, text("3"), "4.05 (FP 3)"},
        {text("4.05"), text(""), text(""), "4.05"},
        // An installer that wrote the pack as a number is read the same.
        {text("4.03"), RegistryValue::dword(2), std::nullopt, "4.03 (SP 2)"},
        {std::nullopt, std::nullopt, std::nullopt, ""},
    };
    for (const VersionCase& c : cases) {
        test::MemoryRegistry registry;
        const std::pair<const char*, const std::optional<RegistryValue>&> values[] = {
            {"Version", c.version}, {"SP", c.servicePack}, {"FP", c.featurePack}};
        for (const auto& [name, value] : values) {
            if (value) {
                registry.setValue(Hive::LocalMachine, keys::installation, name, *value);
            }
        }
        EXPECT_EQ(InstalledVersion::read(registry).text(), c.shown);
    }
}

// The user key has the same path and keeps the database layout version under
// "Version"; only the machine's installation key names what is installed.
TEST(InstalledVersion, TheUserKeyDoesNotCount) {
    test::MemoryRegistry registry;
    registry.writeString(Hive::LocalMachine, keys::installation, "Version", "4.05");
    registry.writeString(Hive::CurrentUser, keys::user, "Version", "4.05.000");
    registry.writeString(Hive::CurrentUser, keys::user, "SP", "9");
    EXPECT_EQ(InstalledVersion::read(registry).text(), "4.05");
}

} // namespace
} // namespace korvana
