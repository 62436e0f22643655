#include "platform/Paths.h"

#include <gtest/gtest.h>

namespace korvana::paths {
namespace {

struct SplitCase {
    const char* path;
    const char* last;
    const char* parent;
    const char* base;
    const char* extension;
};

class PathSplitTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(PathSplitTest, SplitsStoredPathsWithEitherSeparator) {
    const SplitCase& c = GetParam();
    EXPECT_EQ(lastComponent(c.path), c.last);
    EXPECT_EQ(parentFolder(c.path), c.parent);
    EXPECT_EQ(baseName(c.path), c.base);
    EXPECT_EQ(extension(c.path), c.extension);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, PathSplitTest,
    ::testing::Values(
        SplitCase{"C:\\Projects\\Demo\\Demo.kvs", "Demo.kvs", "C:\\Projects\\Demo", "Demo", "kvs"},
        SplitCase{"/home/dev/Demo/Demo.vbg", "Demo.vbg", "/home/dev/Demo", "Demo", "vbg"},
        SplitCase{"/home/dev\\Mixed/Client\\Client.vbp", "Client.vbp", "/home/dev\\Mixed/Client",
                  "Client", "vbp"},
        // A dot in a folder name is not an extension.
        SplitCase{"C:\\Korvana 4.0\\Templates", "Templates", "C:\\Korvana 4.0", "Templates", ""},
        SplitCase{"archive.tar.gz", "archive.tar.gz", "", "archive.tar", "gz"},
        SplitCase{"Single (OPC)", "Single (OPC)", "", "Single (OPC)", ""},
        // Doubled separators leave no trailing separator on the parent.
        SplitCase{"C:\\Projects\\\\Demo.kvs", "Demo.kvs", "C:\\Projects", "Demo", "kvs"},
        SplitCase{"C:\\Projects\\", "", "C:\\Projects", "", ""}, SplitCase{"", "", "", "", ""}));

struct JoinCase {
    const char* base;
    const char* suffix;
    const char* joined;
};

class JoinPathTest : public ::testing::TestWithParam<JoinCase> {};

TEST_P(JoinPathTest, JoinsWithExactlyOneNativeSeparator) {
    EXPECT_EQ(joinPath(GetParam().base, GetParam().suffix), GetParam().joined);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, JoinPathTest,
    ::testing::Values(JoinCase{"/opt/korvana", "\\Templates\\Projects",
                               "/opt/korvana/Templates/Projects"},
                      JoinCase{"/opt/korvana/", "\\Templates", "/opt/korvana/Templates"},
                      JoinCase{"/opt/korvana\\", "Templates", "/opt/korvana/Templates"},
                      // A missing base keeps the suffix root-relative.
                      JoinCase{"", "\\KorvanaStudio\\Projects", "/KorvanaStudio/Projects"},
                      JoinCase{"/", "\\KorvanaStudio", "/KorvanaStudio"},
                      JoinCase{"/opt/korvana", "", "/opt/korvana"}));

struct AbsoluteCase {
    const char* path;
    const char* base;
    const char* absolute;
};

class MakeAbsoluteTest : public ::testing::TestWithParam<AbsoluteCase> {};

TEST_P(MakeAbsoluteTest, ResolvesOnlyPathsWithoutDrivePart) {
    EXPECT_EQ(makeAbsolute(GetParam().path, GetParam().base), GetParam().absolute);
}

INSTANTIATE_TEST_SUITE_P(
    Paths, MakeAbsoluteTest,
    ::testing::Values(AbsoluteCase{"Client\\Client.vbp", "/p/Group", "/p/Group/Client/Client.vbp"},
                      AbsoluteCase{"..\\Other\\Other.vbp", "/p/Group",
                                   "/p/Group/../Other/Other.vbp"},
                      AbsoluteCase{"/p/Elsewhere/E.vbp", "/p/Group", "/p/Elsewhere/E.vbp"},
                      AbsoluteCase{"\\p\\Elsewhere\\E.vbp", "/p/Group", "/p/Elsewhere/E.vbp"},
                      // A Windows drive is a drive part: never glued below the base folder.
                      AbsoluteCase{"D:\\Work\\W.vbp", "/p/Group", "D:/Work/W.vbp"},
                      AbsoluteCase{"D:", "/p/Group", "D:"},
                      // Only a letter, a colon and a separator make a drive.
                      AbsoluteCase{"ab:c.vbp", "/p", "/p/ab:c.vbp"}));

TEST(SafeNameTest, RefusesNamesThatLeaveTheirFolder) {
    using namespace std::string_view_literals;
    for (const std::string_view bad :
         {""sv, "."sv, ".."sv, "a/b"sv, "a\\b"sv, "..\\x"sv, "../x"sv, "/"sv, "a\0b"sv}) {
        EXPECT_FALSE(isSafeName(bad)) << "'" << bad << "'";
    }
    for (const std::string_view good :
         {"Demo"sv, "My Project 2"sv, "..."sv, "..a"sv, "a.."sv, "Demo.kvs"sv}) {
        EXPECT_TRUE(isSafeName(good)) << "'" << good << "'";
    }
}

TEST(FileSystemPathTest, WindowsDrivePathsNameNothingHere) {
    EXPECT_TRUE(toFileSystemPath("C:\\Projects").empty());
    EXPECT_TRUE(toFileSystemPath("c:").empty());
    EXPECT_EQ(toFileSystemPath("\\KorvanaStudio\\Projects"), "/KorvanaStudio/Projects");
    EXPECT_EQ(toFileSystemPath("relative\\x"), "relative/x");
}

} // namespace
} // namespace korvana::paths
