#include "platform/SystemRoot.h"

#include "platform/Error.h"
#include "platform/FileRegistry.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>
#include <map>

namespace korvana {
namespace {

using Variables = std::map<std::string, std::string>;

SystemRoot::Environment environment(Variables variables,
                                    std::optional<std::string> documents = std::nullopt) {
    return {[variables](const std::string& name) -> std::optional<std::string> {
                const auto it = variables.find(name);
                return it == variables.end() ? std::nullopt
                                             : std::optional<std::string>(it->second);
            },
            [documents] { return documents; }};
}

struct Location {
    const char* label;
    Variables variables;
    const char* expected;
};

class SystemRootLocation : public ::testing::TestWithParam<Location> {};

TEST_P(SystemRootLocation, FollowsTheEnvironment) {
    EXPECT_EQ(SystemRoot::locate(environment(GetParam().variables)),
              std::filesystem::path(GetParam().expected));
}

INSTANTIATE_TEST_SUITE_P(
    Variables, SystemRootLocation,
    ::testing::Values(
        Location{"KorvanaRootWins",
                 {{"KORVANA_ROOT", "/srv/kv/"}, {"XDG_DATA_HOME", "/x"}, {"HOME", "/h"}},
                 "/srv/kv/"},
        Location{"XdgDataHome",
                 {{"XDG_DATA_HOME", "/x/data"}, {"HOME", "/h"}},
                 "/x/data/korvana-studio"},
        Location{"HomeOnly", {{"HOME", "/home/dev"}}, "/home/dev/.local/share/korvana-studio"},
        Location{"EmptyMeansUnset",
                 {{"KORVANA_ROOT", ""}, {"XDG_DATA_HOME", ""}, {"HOME", "/home/dev"}},
                 "/home/dev/.local/share/korvana-studio"}),
    [](const auto& row) { return std::string(row.param.label); });

TEST(SystemRoot, WithoutRootOrHomeThereIsNoRoot) {
    EXPECT_THROW(SystemRoot::locate(environment({})), Error);
}

struct Seed {
    const char* label;
    std::optional<std::string> documents;
    const char* expected; // relative to HOME
};

class SystemRootSeed : public ::testing::TestWithParam<Seed> {};

TEST_P(SystemRootSeed, FirstOpeningCreatesTheLayoutAndTheDocumentsFolderValue) {
    test::ScratchDir scratch;
    const auto home = scratch / "home";
    auto documents = GetParam().documents;
    if (documents) {
        documents = (home / *documents).string();
    }
    const auto root = SystemRoot::open(environment(
        {{"KORVANA_ROOT", (scratch / "root").string()}, {"HOME", home.string()}}, documents));

    EXPECT_TRUE(std::filesystem::is_directory(scratch / "root" / "registry"));
    EXPECT_TRUE(std::filesystem::is_directory(root.windowsFolder()));
    EXPECT_EQ(FileRegistry(root.registryFolder())
                  .readString(Hive::CurrentUser, SystemRoot::shellFoldersKey, "Personal"),
              (home / GetParam().expected).string());
    // Nothing is created outside the root, the documents folder included.
    EXPECT_FALSE(std::filesystem::exists(home));
}

INSTANTIATE_TEST_SUITE_P(Documents, SystemRootSeed,
                         ::testing::Values(Seed{"FromXdgUserDir", "Dokumente", "Dokumente"},
                                           Seed{"XdgAnswersHome", "", "Documents"},
                                           Seed{"NoXdgUserDir", std::nullopt, "Documents"}),
                         [](const auto& row) { return std::string(row.param.label); });

TEST(SystemRoot, ReopeningKeepsWhatTheUserChanged) {
    test::ScratchDir scratch;
    const auto env =
        environment({{"KORVANA_ROOT", scratch.path().string()}, {"HOME", "/h"}}, "/h/Docs");
    const auto root = SystemRoot::open(env);
    FileRegistry registry(root.registryFolder());
    registry.writeString(Hive::CurrentUser, SystemRoot::shellFoldersKey, "Personal", "/mine");
    SystemRoot::open(env);
    EXPECT_EQ(registry.readString(Hive::CurrentUser, SystemRoot::shellFoldersKey, "Personal"),
              "/mine");
}

} // namespace
} // namespace korvana
