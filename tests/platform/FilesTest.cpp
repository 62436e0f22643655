#include "platform/Files.h"

#include "support/ScratchDir.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <string>

namespace korvana {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::ScratchDir;
using test::writeFile;

std::string backslashed(const fs::path& path) {
    std::string text = path.string();
    for (char& c : text) {
        if (c == '/') {
            c = '\\';
        }
    }
    return text;
}

class FilesTest : public ::testing::Test {
  protected:
    ScratchDir scratch;
    Files files;
};

TEST_F(FilesTest, ExistenceTellsFilesFromFoldersWithEitherSeparator) {
    writeFile(scratch / "Demo" / "Demo.kvs", "x");
    EXPECT_TRUE(files.fileExists((scratch / "Demo" / "Demo.kvs").string()));
    EXPECT_TRUE(files.fileExists(backslashed(scratch / "Demo" / "Demo.kvs")));
    EXPECT_FALSE(files.folderExists((scratch / "Demo" / "Demo.kvs").string()));
    EXPECT_TRUE(files.folderExists(backslashed(scratch / "Demo")));
    EXPECT_FALSE(files.fileExists((scratch / "Demo").string()));
    EXPECT_FALSE(files.fileExists((scratch / "missing.kvs").string()));
    EXPECT_FALSE(files.folderExists(""));
}

TEST_F(FilesTest, CreateFolderMakesParentsAndReportsTheOutcome) {
    const fs::path deep = scratch / "a" / "b" / "c";
    EXPECT_TRUE(files.createFolder(backslashed(deep)));
    EXPECT_TRUE(fs::is_directory(deep));
    EXPECT_TRUE(files.createFolder(deep.string())) << "an existing folder is a success";

    writeFile(scratch / "plain", "x");
    EXPECT_FALSE(files.createFolder((scratch / "plain" / "sub").string()));
    EXPECT_FALSE(files.createFolder((scratch / "plain").string()));
}

TEST_F(FilesTest, WindowsDrivePathsAreNeverCreatedBelowTheWorkingFolder) {
    const fs::path previous = fs::current_path();
    fs::current_path(scratch.path());
    EXPECT_FALSE(files.createFolder("X:\\KorvanaStudio\\Projects"));
    EXPECT_FALSE(files.folderExists("X:\\KorvanaStudio\\Projects"));
    fs::current_path(previous);
    EXPECT_TRUE(fs::is_empty(scratch.path()));
}

TEST_F(FilesTest, SilentCopyOverwritesAnExistingFile) {
    writeFile(scratch / "Demo.kvs", "new content");
    writeFile(scratch / "Demo.kvs.bak", "old backup that is longer");
    EXPECT_TRUE(
        files.silentCopy((scratch / "Demo.kvs").string(), backslashed(scratch / "Demo.kvs.bak")));
    EXPECT_EQ(readFile(scratch / "Demo.kvs.bak"), "new content");
}

TEST_F(FilesTest, SilentCopyMergesAFolderTreeIntoTheDestination) {
    writeFile(scratch / "template" / "_Info.ini", "info");
    writeFile(scratch / "template" / "Forms" / "Main.frm", "form");
    writeFile(scratch / "project" / "Forms" / "Main.frm", "stale");
    writeFile(scratch / "project" / "Own.txt", "kept");
    EXPECT_TRUE(files.silentCopy((scratch / "template").string(), (scratch / "project").string()));
    EXPECT_EQ(readFile(scratch / "project" / "_Info.ini"), "info");
    EXPECT_EQ(readFile(scratch / "project" / "Forms" / "Main.frm"), "form");
    EXPECT_EQ(readFile(scratch / "project" / "Own.txt"), "kept");

    EXPECT_TRUE(
        files.silentCopy((scratch / "template").string(), (scratch / "fresh" / "copy").string()));
    EXPECT_EQ(readFile(scratch / "fresh" / "copy" / "Forms" / "Main.frm"), "form");
}

TEST_F(FilesTest, SilentCopyFailsWithoutHarm) {
    writeFile(scratch / "Demo.kvs", "data");
    EXPECT_FALSE(files.silentCopy((scratch / "missing").string(), (scratch / "x").string()));
    EXPECT_FALSE(fs::exists(scratch / "x"));
    // Onto itself: must not truncate the only copy.
    EXPECT_FALSE(
        files.silentCopy((scratch / "Demo.kvs").string(), backslashed(scratch / "Demo.kvs")));
    EXPECT_EQ(readFile(scratch / "Demo.kvs"), "data");
    // A folder into itself would never end.
    EXPECT_FALSE(files.silentCopy(scratch.path().string(), (scratch / "sub" / "copy").string()));
    EXPECT_FALSE(fs::exists(scratch / "sub"));
}

TEST_F(FilesTest, SilentCopyKeepsLinksAsLinks) {
    writeFile(scratch / "tree" / "file.txt", "x");
    fs::create_directory_symlink(scratch / "tree", scratch / "tree" / "loop");
    EXPECT_TRUE(files.silentCopy((scratch / "tree").string(), (scratch / "copy").string()));
    EXPECT_TRUE(fs::is_symlink(scratch / "copy" / "loop"));
    EXPECT_EQ(readFile(scratch / "copy" / "file.txt"), "x");
}

TEST_F(FilesTest, FileVersionComesFromAWindowsVersionResource) {
    std::string image = "MZ";
    image.resize(64, '\0');
    // VS_FIXEDFILEINFO: signature, structure version, file version 4.5.0.123.
    const unsigned char info[] = {0xBD, 0x04, 0xEF, 0xFE, 0x00, 0x00, 0x01, 0x00,
                                  0x05, 0x00, 0x04, 0x00, 0x7B, 0x00, 0x00, 0x00};
    image.append(reinterpret_cast<const char*>(info), sizeof info);
    writeFile(scratch / "VB6.exe", image);
    EXPECT_EQ(files.fileVersion((scratch / "VB6.exe").string()), "4.5.0.123");

    writeFile(scratch / "tool", "\x7F"
                                "ELF and no resource");
    EXPECT_EQ(files.fileVersion((scratch / "tool").string()), "");
    EXPECT_EQ(files.fileVersion((scratch / "missing.exe").string()), "");
}

} // namespace
} // namespace korvana
