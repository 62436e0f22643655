#include "project/TemplateCopy.h"

#include "CreationFixture.h"

#include <cstdint>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace korvana {
namespace {

namespace fs = std::filesystem;
using test::readFile;

class TemplateCopy : public test::CreationFixture {
  protected:
    fs::path from() const { return scratch / "Template"; }
    fs::path to() const { return scratch / "Copy"; }

    std::int32_t copy() {
        fs::create_directories(to());
        return copyTemplateTree(from(), to(), TemplateNames{"/srv/Plant", "Plant"});
    }
};

// Each entry is copied under the name renaming it afterwards would have given,
// the one whose name changes winning over one that already had the name.
TEST_F(TemplateCopy, EntriesGetTheirNewNamesAsRenamingWouldHaveGiven) {
    put(from() / "Plant.txt", "kept the name");
    put(from() / "%projectname%.txt", "renamed");
    put(from() / "Plant" / "old.txt", "replaced folder");
    put(from() / "%ProjectName%" / "new.txt", "renamed folder");
    put(from() / "Plant.cfg", "a file in the way of a folder");
    put(from() / "%ProjectName%.cfg" / "inner.txt", "folder");
    put(from() / "Sub" / "_notes.txt", "left out at any depth");
    put(from() / "_Deep" / "kept.txt", "a folder beginning with _ is copied");
    fs::create_symlink("nowhere", from() / "_link");
    fs::create_symlink("%ProjectName%.txt", from() / "%ProjectName%.lnk");
    ASSERT_EQ(copy(), 0);

    EXPECT_EQ(tree(to()), (std::vector<std::string>{"Plant", "Plant.cfg", "Plant.cfg/inner.txt",
                                                    "Plant.lnk", "Plant.txt", "Plant/new.txt",
                                                    "Sub", "_Deep", "_Deep/kept.txt"}));
    EXPECT_EQ(readFile(to() / "Plant.txt"), "renamed");
    // A link keeps where it points, placeholders and all.
    EXPECT_EQ(fs::read_symlink(to() / "Plant.lnk"), "%ProjectName%.txt");
}

TEST_F(TemplateCopy, FilesKeepEveryByteAndTheirPermissions) {
    std::string bytes;
    for (std::uint32_t i = 0; i < 300000; ++i) {
        bytes.push_back(static_cast<char>(i * 7919 % 256));
    }
    put(from() / "%ProjectName%.bin", bytes);
    put(from() / "run.sh", "#!/bin/sh\n");
    fs::permissions(from() / "run.sh", fs::perms(0750));
    ASSERT_EQ(copy(), 0);

    EXPECT_EQ(readFile(to() / "Plant.bin"), bytes);
    EXPECT_EQ(fs::status(to() / "run.sh").permissions(), fs::perms(0750));
}

TEST_F(TemplateCopy, NameThatWouldHoldASeparatorStopsTheCopy) {
    put(from() / "%ProjectPath%" / "x.txt", "");
    EXPECT_EQ(copy(), 5);
    EXPECT_TRUE(tree(to()).empty());
}

} // namespace
} // namespace korvana
