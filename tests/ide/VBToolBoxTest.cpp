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

// Counts the writes, so that "nothing written" means nothing, not "the same
// bytes written again".
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
    std::optional<Bytes> tool(int version) const {
        const auto value =
            registry.value(Hive::CurrentUser, visualBasicUserKey(version), keys::toolValue);
        if (!value) {
            return std::nullopt;
        }
        return std::get<Bytes>(value->data);
    }
    ToolBoxRecords installed(int version) const {
        const auto bytes = tool(version);
        EXPECT_TRUE(bytes);
        auto records = parseToolBox(bytes.value_or(Bytes{}));
        EXPECT_TRUE(records);
        return records.value_or(ToolBoxRecords{});
    }

    CountingRegistry registry;
    InstallationSettings settings;
    CVBToolBox toolbox{registry, settings};
};

TEST_F(ToolBoxTest, StudioTableHoldsTheControlsInWritingOrder) {
    const auto& controls = CVBToolBox::studioControls();
    EXPECT_EQ(controls.front(), "KV4AlarmLineLib.KVAlarmLine");
    EXPECT_EQ(controls[10], "KV4TrendLib.KVLTrend");
    EXPECT_EQ(controls[38], "KVSLanguageLib.KVSIndex");
    EXPECT_EQ(controls[43], "KV4TrendHelper.KVTrendLegend");
    EXPECT_EQ(controls.back(), "KVSPropertyPages.KVRightClasses");
}

TEST_F(ToolBoxTest, ReadLeavesOutWhatEarlierStudioRunsLeft) {
    setTool(6, ToolBoxBytes()
                   .record(1, "General")
                   .record(4, "Korvana 3")
                   .record(5, "korvanastudio")
                   .record(6, "My Korvana")
                   .end()
                   .record(1, "MSComctlLib.ListViewCtrl")
                   .record(4, "KV4BarLib.KVBar")
                   .record(4, "kv4barlib.kvbar")
                   .record(4, "kvsTouchLib.KVSGrid")
                   .record(4, "KVXOld.Ctl")
                   .record(5, "KorvanaStudioLib.KVSBar")
                   .record(5, "korvanaOther.X")
                   .record(6, "KV3Lib.Ctl")
                   .record(6, "KVLib.Ctl")
                   .record(6, "KV")
                   .end());
    toolbox.Read(6);
    const std::vector<CVBToolBoxGroup> groups{{1, "General"}, {6, "My Korvana"}};
    const std::vector<CVBToolBoxControl> controls{
        {1, "MSComctlLib.ListViewCtrl"}, {6, "KV3Lib.Ctl"}, {6, "KVLib.Ctl"}, {6, "KV"}};
    EXPECT_EQ(toolbox.groups(), groups);
    EXPECT_EQ(toolbox.controls(), controls);
}

TEST_F(ToolBoxTest, InstallAddsTheStudioTabAfterTheDevelopersOwn) {
    setTool(6, ToolBoxBytes()
                   .record(1, "General", 7)
                   .record(4, "Korvana 3")
                   .end()
                   .record(1, "MSComctlLib.ListViewCtrl", 1)
                   .record(4, "KV4BarLib.KVBar")
                   .end());
    toolbox.Read(6);
    toolbox.Store(6, CVBToolBox::install);

    const ToolBoxRecords records = installed(6);
    const std::vector<CVBToolBoxGroup> groups{{1, "General"}, {2, "KorvanaStudio"}};
    EXPECT_EQ(records.groups, groups);
    ASSERT_EQ(records.controls.size(), 1u + 62u);
    EXPECT_EQ(records.controls[0], (CVBToolBoxControl{1, "MSComctlLib.ListViewCtrl"}));
    for (std::size_t i = 0; i < 62; ++i) {
        EXPECT_EQ(records.controls[i + 1],
                  (CVBToolBoxControl{2, std::string(CVBToolBox::studioControls()[i])}));
    }
    // The developer's records are written with a 0 record byte: the setting is
    // exactly what the codec writes.
    EXPECT_EQ(tool(6), serializeToolBox(records));
}

TEST_F(ToolBoxTest, RestoreWritesBackTheSettingByteForByte) {
    const Bytes original = ToolBoxBytes()
                               .record(3, "General", 0x55)
                               .record(4, "Korvana 3", 1)
                               .end()
                               .record(3, "A.B", 0xff)
                               .record(4, "KV4BarLib.KVBar", 2)
                               .end()
                               .raw({9, 9});
    setTool(5, original);
    toolbox.Read(5);
    toolbox.Store(5, CVBToolBox::install);
    EXPECT_NE(tool(5), original);
    toolbox.Store(5, CVBToolBox::restore);
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
        {{{0, "A"}}, 1},
        {{{largest, "A"}, {1, "B"}}, 2},
    };
    for (const auto& [groups, expected] : cases) {
        setTool(6, serializeToolBox({groups, {}}));
        toolbox.Read(6);
        toolbox.Store(6, CVBToolBox::install);
        const auto records = installed(6);
        ASSERT_FALSE(records.groups.empty());
        EXPECT_EQ(records.groups.back().TabID, expected) << groups.size();
    }
}

TEST_F(ToolBoxTest, WritesNothingWhereThereIsNothingToInstallInto) {
    struct Case {
        const char* what;
        std::optional<Bytes> setting;
        bool keepInterface;
        int version;
    };
    const Bytes good = serializeToolBox({{{1, "General"}}, {}});
    const std::vector<Case> cases{
        {"no setting", std::nullopt, false, 6},       {"empty setting", Bytes{}, false, 6},
        {"keep-interface on", good, true, 6},         {"version without settings", good, false, 4},
        {"version without settings", good, false, 0},
    };
    for (const auto& c : cases) {
        CountingRegistry fresh;
        if (c.setting) {
            fresh.writeBinary(Hive::CurrentUser, visualBasicUserKey(6), keys::toolValue,
                              *c.setting);
            fresh.writeBinary(Hive::CurrentUser, visualBasicUserKey(5), keys::toolValue,
                              *c.setting);
        }
        fresh.writes = 0;
        InstallationSettings own;
        own.keepInterface = c.keepInterface;
        CVBToolBox box(fresh, own);
        box.Read(static_cast<std::int16_t>(c.version));
        box.Store(static_cast<std::int16_t>(c.version), CVBToolBox::install);
        box.Store(static_cast<std::int16_t>(c.version), 2);
        EXPECT_EQ(fresh.writes, 0) << c.what;
    }
}

TEST_F(ToolBoxTest, DamagedSettingIsLeftAsItIs) {
    const std::vector<Bytes> damaged{
        {0x01},
        ToolBoxBytes().record(1, "General"),
        ToolBoxBytes().record(1, "General").end(),
        ToolBoxBytes().integer(1).integer(1000).raw({'A', 0}),
        ToolBoxBytes().integer(1).integer(-2).end().end(),
        ToolBoxBytes().end().integer(1).integer(50).raw({'x'}),
    };
    for (const auto& bytes : damaged) {
        setTool(6, bytes);
        toolbox.Read(6);
        EXPECT_TRUE(toolbox.savedSetting().empty());
        toolbox.Store(6, CVBToolBox::install);
        toolbox.Store(6, CVBToolBox::restore);
        EXPECT_EQ(registry.writes, 0) << bytes.size();
        EXPECT_EQ(tool(6), bytes);
    }
}

TEST_F(ToolBoxTest, ReadingAgainForgetsTheFormerToolbox) {
    setTool(6, serializeToolBox({{{1, "General"}}, {{1, "A.B"}}}));
    toolbox.Read(6);
    toolbox.Read(5);
    EXPECT_TRUE(toolbox.groups().empty());
    EXPECT_TRUE(toolbox.savedSetting().empty());
    toolbox.Store(5, CVBToolBox::restore);
    EXPECT_EQ(registry.writes, 0);
}

} // namespace
} // namespace korvana::ide
