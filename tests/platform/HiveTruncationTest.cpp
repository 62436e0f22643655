#include "platform/Error.h"
#include "platform/FileRegistry.h"
#include "support/ScratchDir.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>

// Cuts at every byte of a hive: a few thousand reads and refused writes, so
// these run under the CTest label "long".
namespace korvana {
namespace {

namespace fs = std::filesystem;
using ::testing::HasSubstr;

constexpr auto hkcu = Hive::CurrentUser;

// Every key of a hive with its values, as a reader sees them.
using Snapshot = std::map<std::string, std::map<std::string, RegistryValue>>;

void collect(const FileRegistry& registry, const std::string& path, Snapshot& out) {
    auto& values = out[path];
    for (auto& value : registry.values(hkcu, path)) {
        values.emplace(value.name, std::move(value.value));
    }
    for (const auto& sub : registry.subKeys(hkcu, path)) {
        collect(registry, path.empty() ? sub : path + "\\" + sub, out);
    }
}

Snapshot snapshot(const FileRegistry& registry) {
    Snapshot out;
    collect(registry, "", out);
    return out;
}

std::vector<std::uint8_t> pattern(std::size_t size, std::uint8_t seed) {
    std::vector<std::uint8_t> bytes(size);
    for (std::size_t i = 0; i < size; ++i) {
        bytes[i] = static_cast<std::uint8_t>(seed + i * 7);
    }
    return bytes;
}

// A user hive like the demo's: the developer's Visual Basic settings ("Tool"
// long enough to wrap over several lines), the studio's own key, and the
// Windows folders.
void writeDemoUserHive(FileRegistry& registry) {
    const std::string studio = "Software\\ARVENTIK GmbH\\Korvana\\4.0";
    registry.writeString(hkcu, studio, "Version", "4.05.000");
    registry.writeString(hkcu, studio, "DefaultProjectsPath", "/home/dev/My Projects");
    registry.writeNumber(hkcu, studio, "LCID", 1031);
    registry.writeString(hkcu, studio, "Note", "two\r\nlines");
    registry.writeString(hkcu,
                         "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
                         "Personal", "/home/dev/Documents");
    for (const char* version : {"5.0", "6.0"}) {
        const std::string vb = std::string("Software\\Microsoft\\Visual Basic\\") + version;
        registry.setValue(hkcu, vb, "Tool", RegistryValue::binary(pattern(180, 0x10)));
        registry.setValue(hkcu, vb, "Dock", RegistryValue::binary(pattern(32, 0x0a)));
        registry.setValue(hkcu, vb, "UI", RegistryValue::binary(pattern(25, 0x01)));
        registry.writeNumber(hkcu, vb, "Grid", 120);
    }
    registry.setValue(hkcu, "Software\\Empty", "", RegistryValue::string(""));
}

class HiveTruncationTest : public ::testing::Test {
  protected:
    fs::path hive() const { return scratch_ / "HKEY_CURRENT_USER.reg"; }
    fs::path backup() const { return scratch_ / "HKEY_CURRENT_USER.reg.bak"; }
    fs::path lock() const { return scratch_ / "HKEY_CURRENT_USER.reg.lock"; }

    // Checks that `registry` refuses the hive on every operation, naming the
    // file and a line, and leaves the file and its backup as they are.
    void expectRefused(FileRegistry& registry) {
        const auto before = test::readFile(hive());
        const auto backupBefore = test::readFile(backup());
        try {
            registry.setValue(hkcu, "Software\\New", "V", RegistryValue::string("x"));
            ADD_FAILURE() << "a write went through";
        } catch (const Error& error) {
            EXPECT_THAT(error.what(), HasSubstr(hive().string() + ", line "));
        }
        EXPECT_THROW(registry.values(hkcu, ""), Error);
        EXPECT_EQ(test::readFile(hive()), before);
        EXPECT_EQ(test::readFile(backup()), backupBefore);
    }

    test::ScratchDir scratch_;
};

// A hive cut at any byte is either refused or reads as the whole did: never a
// value that was not written, never a key or value gone missing. The last
// write changes a value in the middle, as the studio's write of the IDE layout
// does; a cut where the file it replaced ended would otherwise read as that
// file (see HiveDamageTest).
TEST_F(HiveTruncationTest, HiveCutAtAnyByteIsRefusedOrReadsAsTheWholeDid) {
    {
        FileRegistry registry(scratch_.path());
        writeDemoUserHive(registry);
        // The IDE's new layout, written back as the studio does after a run.
        registry.setValue(hkcu, "Software\\Microsoft\\Visual Basic\\5.0", "Dock",
                          RegistryValue::binary(pattern(32, 0x0b)));
    }
    const std::string whole = test::readFile(hive());
    const Snapshot expected = snapshot(FileRegistry(scratch_.path()));
    ASSERT_GT(whole.size(), 1000u);

    std::size_t refused = 0;
    for (std::size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE("cut after " + std::to_string(length) + " bytes");
        test::writeFile(hive(), std::string_view(whole).substr(0, length));
        FileRegistry registry(scratch_.path());
        std::optional<Snapshot> seen;
        try {
            seen = snapshot(registry);
        } catch (const Error&) {
            ++refused;
            expectRefused(registry);
            continue;
        }
        EXPECT_TRUE(*seen == expected);
    }
    // Only the cut of the final blank line would read the same; the record of
    // the write refuses even that.
    EXPECT_EQ(refused, whole.size());
}

// A lock file of an earlier version holds no record: a cut at a line end then
// reads as a shorter hive, but never with a value other than was written.
TEST_F(HiveTruncationTest, WithoutARecordACutNeverChangesAValue) {
    {
        FileRegistry registry(scratch_.path());
        writeDemoUserHive(registry);
    }
    const std::string whole = test::readFile(hive());
    const Snapshot expected = snapshot(FileRegistry(scratch_.path()));
    test::writeFile(lock(), test::readFile(lock()).substr(0, 8));

    for (std::size_t length = 0; length < whole.size(); ++length) {
        SCOPED_TRACE("cut after " + std::to_string(length) + " bytes");
        test::writeFile(hive(), std::string_view(whole).substr(0, length));
        FileRegistry registry(scratch_.path());
        Snapshot seen;
        try {
            seen = snapshot(registry);
        } catch (const Error&) {
            expectRefused(registry);
            continue;
        }
        for (const auto& [key, values] : seen) {
            ASSERT_TRUE(expected.contains(key)) << key;
            for (const auto& [name, value] : values) {
                const auto& wholeValues = expected.at(key);
                ASSERT_TRUE(wholeValues.contains(name)) << key << " " << name;
                EXPECT_TRUE(wholeValues.at(name) == value) << key << " " << name;
            }
        }
    }
}

} // namespace
} // namespace korvana
