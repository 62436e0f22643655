#include "platform/Error.h"
#include "platform/FileRegistry.h"
#include "platform/RegFileParser.h"
#include "platform/RegFileWriter.h"
#include "platform/RegistryKey.h"
#include "platform/RegistryNames.h"
#include "support/ScratchDir.h"

#include <algorithm>
#include <gmock/gmock.h>
#include <gtest/gtest.h>

namespace korvana {
namespace {

using ::testing::HasSubstr;

constexpr auto hkcu = Hive::CurrentUser;

// "a\a\...\a", `depth` names below the hive.
std::string nestedPath(std::size_t depth) {
    std::string path;
    for (std::size_t i = 0; i < depth; ++i) {
        path += i == 0 ? "a" : "\\a";
    }
    return path;
}

// A file of one key `depth` levels deep (on line 3), with a value after it.
std::string nestedFile(std::size_t depth) {
    return std::string(RegFileWriter::header) + "\n\n[HKEY_CURRENT_USER\\" + nestedPath(depth) +
           "]\n\"V\"=\"deep\"\n";
}

RegFileContent readImport(std::string_view text) {
    RegFileParser::Options options;
    options.strict = false;
    return RegFileParser::parse(text, "deep.reg", options);
}

class RegistryDepthTest : public ::testing::Test {
  protected:
    std::filesystem::path hive() const { return scratch_ / "HKEY_CURRENT_USER.reg"; }

    test::ScratchDir scratch_;
    FileRegistry registry_{scratch_.path()};
};

TEST_F(RegistryDepthTest, KeepsKeysAsDeepAsWindowsAllowsAndWritesThemBackAlike) {
    const auto content = readImport(nestedFile(maxKeyDepth));
    ASSERT_TRUE(content.problems.empty());
    registry_.import(content);

    const std::string deepest = nestedPath(maxKeyDepth);
    EXPECT_EQ(registry_.readString(hkcu, deepest, "V"), "deep");
    // Every level has its own section, the deepest last with its value.
    const std::string stored = test::readFile(hive());
    EXPECT_EQ(std::count(stored.begin(), stored.end(), '['), std::ptrdiff_t{maxKeyDepth});
    EXPECT_TRUE(stored.ends_with("[HKEY_CURRENT_USER\\" + deepest + "]\n\"V\"=\"deep\"\n\n"));

    const auto exported = registry_.exportKey(hkcu, "");
    ASSERT_TRUE(exported);
    EXPECT_EQ(std::string(RegFileWriter::header) + "\n\n" + *exported, stored);
}

// A key deeper than any Windows registry holds would make every level's
// section repeat the whole path: the file grows with the square of the depth.
// Such a key is refused at its line, and nothing of it is stored.
TEST_F(RegistryDepthTest, ImportRefusesTooDeepAKeyAtItsLineAndStoresNothingOfIt) {
    registry_.writeString(hkcu, "Kept", "V", "1");
    const std::string before = test::readFile(hive());

    for (const std::size_t depth : {maxKeyDepth + 1, std::size_t{27000}}) {
        SCOPED_TRACE(depth);
        const auto content = readImport(nestedFile(depth));
        // The key's line, and its value's line, which has no key to go to.
        ASSERT_EQ(content.problems.size(), 2u);
        EXPECT_EQ(content.problems[0].line, 3u);
        EXPECT_EQ(content.problems[1].line, 4u);
        EXPECT_THAT(content.problems[0].message, HasSubstr(std::to_string(depth) + " levels deep"));
        registry_.import(content);
        EXPECT_EQ(test::readFile(hive()), before);
        EXPECT_FALSE(registry_.keyExists(hkcu, "a"));
    }
}

TEST_F(RegistryDepthTest, HiveFileWithTooDeepAKeyIsRefusedNamingFileAndLineAndKept) {
    const std::string deep = nestedFile(27000);
    test::writeFile(hive(), deep);
    try {
        registry_.values(hkcu, "a");
        ADD_FAILURE() << "a hive with a key 27,000 levels deep was read";
    } catch (const Error& error) {
        EXPECT_THAT(error.what(), HasSubstr(hive().string() + ", line 3: "));
        EXPECT_THAT(error.what(), HasSubstr("27000 levels deep"));
    }
    EXPECT_THROW(registry_.writeString(hkcu, "Other", "V", "x"), Error);
    EXPECT_THROW(registry_.exportKey(hkcu, ""), Error);
    EXPECT_EQ(test::readFile(hive()), deep);
}

TEST_F(RegistryDepthTest, SettingAValueCreatesKeysOnlyUpToTheDepthLimit) {
    registry_.writeString(hkcu, nestedPath(maxKeyDepth), "V", "x");
    EXPECT_EQ(registry_.readString(hkcu, nestedPath(maxKeyDepth), "V"), "x");
    EXPECT_THROW(registry_.writeString(hkcu, nestedPath(maxKeyDepth) + "\\b", "V", "x"), Error);
    EXPECT_FALSE(registry_.keyExists(hkcu, nestedPath(maxKeyDepth) + "\\b"));
}

// Freeing a key frees its whole subtree; a chain far deeper than the stack
// could hold frames for must not take a recursion that deep.
TEST(RegistryKeyTest, FreesAChainOfKeysFarDeeperThanTheStack) {
    auto root = std::make_unique<RegistryKey>("HKEY_CURRENT_USER");
    RegistryKey* key = root.get();
    bool created = false;
    for (int i = 0; i < 200000; ++i) {
        key = &key->childOrCreate("a", created);
    }
    EXPECT_TRUE(root->removeChild("A"));
    EXPECT_TRUE(root->children().empty());
    root->childOrCreate("b", created).childOrCreate("c", created);
    root.reset();
}

} // namespace
} // namespace korvana
