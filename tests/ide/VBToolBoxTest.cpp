#include "ide/VBToolBox.h"

#include "ide/IdeKeys.h"
#include "ide/ToolBoxBytes.h"
#include "ide/ToolBoxRecords.h"
#include "support/MemoryRegistry.h"

#include <gtest/gtest.h>
#include <limits>

namespace korvana::ide {
namespace {

using test::ToolBoxBytes;
using Bytes = std::vector<std::uint8_t>;

// Counts writes: "nothing written" must not pass as "the same bytes again".
class CountingRegistry : public korvana::test::MemoryRegistry {
  public:
    void setValue(Hive hive, std::string_view key, std::string_view name,
                  const RegistryValue& value) override {
        ++writes;
        MemoryRegistry::setValue(hive, key, name, value);
    }
    int writes = 0;
};

class ToolBoxTest : public testing::Test {
  protected:
    void setTool(int version, const Bytes& bytes) {
        registry.writeBinary(Hive::CurrentUser, visualBasicUserKey(version), keys::toolValue,
                             bytes);
        registry.writes = 0;
    }
    Bytes tool(int version) const {
        const auto value =
            registry.value(Hive::CurrentUser, visualBasicUserKey(version), keys::toolValue);
        return value ? std::get<Bytes>(value->data) : Bytes{};
    }

    CountingRegistry registry;
    InstallationSettings settings;
    CVBToolBox toolbox{registry, settings};
};

TEST_F(ToolBoxTest, InstallReplacesOldStudioEntriesByTheStudioTab) {
    setTool(6, ToolBoxBytes()
                   .record(1, "General", 7)
                   .record(4, "Korvana 3")
                   .record(5, "korvanastudio")
                   .record(3, "My Korvana")
                   .end()
                   .record(1, "MSComctlLib.ListViewCtrl", 1)
                   .record(4, "KV4BarLib.KVBar")
                   .record(4, "kv4barlib.kvbar")
                   .record(4, "kvsTouchLib.KVSGrid")
                   .record(4, "KVXOld.Ctl")
                   .record(5, "korvanaOther.X")
                   .record(3, "KV3Lib.Ctl")
                   .record(3, "KV")
                   .end());
    toolbox.Read(6);
    toolbox.Store(6, ToolBoxSetting::Install);

    const auto installed = parseToolBox(tool(6));
    ASSERT_TRUE(installed);
    ToolBoxRecords expected{{{1, "General"}, {3, "My Korvana"}, {4, "KorvanaStudio"}},
                            {{1, "MSComctlLib.ListViewCtrl"}, {3, "KV3Lib.Ctl"}, {3, "KV"}}};
    for (const auto name : CVBToolBox::studioControls()) {
        expected.controls.push_back({4, std::string(name)});
    }
    EXPECT_EQ(*installed, expected);
    // Record bytes of the developer's entries are written as 0.
    EXPECT_EQ(tool(6), serializeToolBox(expected));
    EXPECT_EQ(expected.controls[3].Name, "KV4AlarmLineLib.KVAlarmLine");
    EXPECT_EQ(expected.controls.back().Name, "KVSPropertyPages.KVRightClasses");
}

TEST_F(ToolBoxTest, RestoreWritesBackTheSettingByteForByte) {
    const Bytes original = ToolBoxBytes()
                               .record(3, "General", 0x55)
                               .record(4, "Korvana 3", 1)
                               .end()
                               .record(4, "KV4BarLib.KVBar", 2)
                               .end()
                               .raw({9, 9});
    setTool(5, original);
    toolbox.Read(5);
    toolbox.Store(5, ToolBoxSetting::Install);
    EXPECT_NE(tool(5), original);
    toolbox.Store(5, ToolBoxSetting::Restore);
    EXPECT_EQ(tool(5), original);
    EXPECT_EQ(registry.writes, 2);
}

TEST_F(ToolBoxTest, NewTabIdIsOneAboveTheLargestRemaining) {
    const int largest = std::numeric_limits<std::int32_t>::max();
    const std::vector<std::pair<std::vector<CVBToolBoxGroup>, std::int32_t>> cases{
        {{}, 1},
        {{{1, "General"}, {4, "Korvana 3"}}, 2},
        {{{7, "A"}, {2, "B"}}, 8},
        {{{-3, "A"}}, 1},
        // No id above the largest: the smallest free one.
        {{{largest, "A"}, {1, "B"}}, 2},
    };
    for (const auto& [groups, expected] : cases) {
        setTool(6, serializeToolBox({groups, {}}));
        toolbox.Read(6);
        toolbox.Store(6, ToolBoxSetting::Install);
        const auto installed = parseToolBox(tool(6));
        ASSERT_TRUE(installed && !installed->groups.empty());
        EXPECT_EQ(installed->groups.back().TabID, expected) << groups.size();
    }
}

TEST_F(ToolBoxTest, WritesNothingWithoutAToolboxToInstallInto) {
    struct Case {
        const char* what;
        std::optional<Bytes> setting;
        int version = 6;
    };
    const Bytes good = serializeToolBox({{{1, "General"}}, {}});
    const std::vector<Case> cases{
        {"no setting", std::nullopt},
        {"one byte", Bytes{0xff}},
        {"version 4", good, 4},
        {"no end of controls", ToolBoxBytes().record(1, "General").end().bytes()},
    };
    for (const auto& c : cases) {
        CountingRegistry fresh;
        for (int version : {4, 6}) {
            if (c.setting) {
                fresh.setValue(Hive::CurrentUser,
                               "Software\\Microsoft\\Visual Basic\\" + std::to_string(version) +
                                   ".0",
                               keys::toolValue, RegistryValue::binary(*c.setting));
            }
        }
        fresh.writes = 0;
        CVBToolBox box(fresh, settings);
        const auto version = static_cast<std::int16_t>(c.version);
        box.Read(version);
        box.Store(version, ToolBoxSetting::Install);
        box.Store(version, ToolBoxSetting::Restore);
        EXPECT_EQ(fresh.writes, 0) << c.what;
    }
}

} // namespace
} // namespace korvana::ide
