#include "project/RecentProjects.h"

#include "RegistrationFixture.h"

#include <gmock/gmock.h>

namespace korvana::test {
namespace {

using testing::ElementsAre;
using testing::ElementsAreArray;

class Recent : public RegistrationFixture {
  protected:
    // The values "1".."10" as stored; "-" for a missing one.
    std::vector<std::string> stored() const {
        std::vector<std::string> entries;
        for (int i = 1; i <= 10; ++i) {
            const auto value =
                registry.value(Hive::CurrentUser, keys::recentProjects, std::to_string(i));
            entries.push_back(value ? std::get<std::string>(value->data) : "-");
        }
        return entries;
    }
    void store(const std::vector<std::string>& entries) {
        for (std::size_t i = 0; i < entries.size(); ++i) {
            registry.writeString(Hive::CurrentUser, keys::recentProjects, std::to_string(i + 1),
                                 entries[i]);
        }
    }
    std::vector<std::string> listedNames(bool addMode) {
        std::vector<std::string> names;
        for (const auto& row : recent.ListRecentProjects(addMode)) {
            names.push_back(row.position + "=" + row.project.name);
        }
        return names;
    }

    RecentProjects recent{registry};
};

TEST_F(Recent, NewestComesFirstAndANameAppearsOnce) {
    recent.AddRecentProject("Plant1");
    recent.AddRecentProject("Plant2");
    EXPECT_THAT(stored(),
                ElementsAre("S:Plant2", "S:Plant1", "-", "-", "-", "-", "-", "-", "-", "-"));
    recent.AddRecentProject("plant1");
    EXPECT_THAT(stored(),
                ElementsAre("S:plant1", "S:Plant2", "-", "-", "-", "-", "-", "-", "-", "-"));
}

TEST_F(Recent, KeepsTenEntriesAndDropsTheOldest) {
    for (int i = 1; i <= 10; ++i) {
        recent.AddRecentProject("P" + std::to_string(i));
    }
    recent.AddRecentProject("New");
    EXPECT_THAT(stored(), ElementsAre("S:New", "S:P10", "S:P9", "S:P8", "S:P7", "S:P6", "S:P5",
                                      "S:P4", "S:P3", "S:P2"));
}

TEST_F(Recent, MovingAnEntryUpLeavesNoDuplicateBelowTheList) {
    store({"S:A", "S:B", "S:C"});
    recent.AddRecentProject("C");
    EXPECT_THAT(stored(), ElementsAre("S:C", "S:A", "S:B", "-", "-", "-", "-", "-", "-", "-"));
    // Gaps in the stored values close up, and the values past them go.
    store({"S:A", "", "S:B", "S:A", "S:D"});
    recent.AddRecentProject("a");
    EXPECT_THAT(stored(), ElementsAre("S:a", "S:B", "S:D", "-", "-", "-", "-", "-", "-", "-"));
}

TEST_F(Recent, ListShowsEntriesWithFilesByPositionAndDeletesTheRest) {
    registerRaw("Single1", makeProject("a", "Single1"), "Single");
    registerRaw("Server1", makeProject("b", "Server1"), "Server");
    registerRaw("TS", makeProject("c", "TS"), "Terminal Server");
    registerRaw("Moved", (scratch / "moved").string(), "Single");
    writeFile(scratch / "a" / "Grp.vbg", "VBGROUP 5.0\r\n");
    registerRaw("Grp", (scratch / "a").string(), "Group");
    store({"S:Server1", "S:TS", "X:Single1", "S:Moved", "S:Unknown", "S:../a/Single1", "S:Grp", "-",
           "-", "S:Single1"});
    registry.deleteValue(Hive::CurrentUser, keys::recentProjects, "8");
    registry.deleteValue(Hive::CurrentUser, keys::recentProjects, "9");

    EXPECT_THAT(listedNames(true), ElementsAre("1=Server1", "10=Single1")) << "no groups to add";
    EXPECT_THAT(stored(),
                ElementsAre("S:Server1", "-", "-", "-", "-", "-", "S:Grp", "-", "-", "S:Single1"));
    EXPECT_THAT(listedNames(false), ElementsAre("1=Server1", "7=Grp", "10=Single1"));

    const auto rows = recent.ListRecentProjects(false);
    EXPECT_EQ(rows[0].project.key, "S:server1");
    EXPECT_EQ(rows[0].project.path, (scratch / "b").string());
    EXPECT_EQ(rows[0].project.typeName, "Server");
}

} // namespace
} // namespace korvana::test
