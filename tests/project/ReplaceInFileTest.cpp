#include "project/ReplaceInFile.h"

#include "CreationFixture.h"
#include "project/VisualBasicProject.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace korvana {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::writeFile;

class FileAdaptation : public test::CreationFixture {};

// "Müller" is the name in our UTF-8 strings; the cases give the file's bytes
// before and after.
TEST_F(FileAdaptation, KeepsEncodingLineBreaksAndByteOrderMark) {
    const struct {
        const char* label;
        std::string before;
        std::string after;
    } cases[] = {
        {"IDE file, CR LF", "Name=\"%ProjectName%\"\r\nX=%projectNAME%\r\n",
         "Name=\"M\xFCller\"\r\nX=M\xFCller\r\n"},
        {"IDE file with accents", "Caption=\"Gr\xFC\xDF\x65\" %ProjectName%\n",
         "Caption=\"Gr\xFC\xDF\x65\" M\xFCller\n"},
        {"UTF-8 with mark", "\xEF\xBB\xBFName=%ProjectName%\n", "\xEF\xBB\xBFName=M\xC3\xBCller\n"},
        {"UTF-8 without mark", "Caption=\"Gr\xC3\xBC\xC3\x9F\x65\" %ProjectName%\r\n",
         "Caption=\"Gr\xC3\xBC\xC3\x9F\x65\" M\xC3\xBCller\r\n"},
        {"no line break at the end", "%ProjectName%", "M\xFCller"},
    };
    for (const auto& c : cases) {
        const auto file = scratch / "file.frm";
        writeFile(file, c.before);
        EXPECT_TRUE(ReplaceInFile(messages, texts, file.string(), "%ProjectName%", "M\xC3\xBCller"))
            << c.label;
        EXPECT_EQ(readFile(file), c.after) << c.label;
    }
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(FileAdaptation, LinesInsertedFollowTheFileOwnLineBreak) {
    const auto file = scratch / "group.vbg";
    writeFile(file, "VBGROUP 5.0\n%Project2%\n");
    EXPECT_TRUE(ReplaceInFile(messages, texts, file.string(), "%Project2%",
                              "Project=B.vbp\r\nProject=C.vbp\r\n"));
    EXPECT_EQ(readFile(file), "VBGROUP 5.0\nProject=B.vbp\nProject=C.vbp\n\n");
}

TEST_F(FileAdaptation, RefusedFilesAreToldAndLeftByteForByte) {
    std::string binary("%ProjectName%\0\x01\x02", 16);
    for (int byte = 0; byte < 256; ++byte) {
        binary.push_back(static_cast<char>(byte));
    }
    const auto target = scratch / "target.frm";
    writeFile(target, "%ProjectName%\r\n");
    const struct {
        const char* label;
        std::string content;
        std::string name;
        bool link;
    } cases[] = {
        {"binary", binary, "Plant", false},
        {"not in Windows-1252", "Name=%ProjectName%\r\n", "\xD0\x9F\xD1\x83", false},
        {"symbolic link", "", "Plant", true},
    };
    for (const auto& c : cases) {
        const auto file = scratch / "file.frx";
        fs::remove(file);
        if (c.link) {
            fs::create_symlink(target, file);
        } else {
            writeFile(file, c.content);
        }
        EXPECT_FALSE(ReplaceInFile(messages, texts, file.string(), "%ProjectName%", c.name))
            << c.label;
        EXPECT_EQ(readFile(file), c.link ? "%ProjectName%\r\n" : c.content) << c.label;
    }
    EXPECT_EQ(shownCount(910), 3);
    // Nothing of the attempts stays beside the files.
    EXPECT_EQ(tree(scratch.path()), (std::vector<std::string>{"file.frx", "target.frm"}));
}

TEST_F(FileAdaptation, FailedWriteKeepsTheOldFile) {
    const auto folder = scratch / "locked";
    const auto file = folder / "form.frm";
    put(file, "Caption=%ProjectName%\r\n");
    ::chmod(file.c_str(), 0444);
    EXPECT_FALSE(ReplaceInFile(messages, texts, file.string(), "%ProjectName%", "Plant"));
    EXPECT_EQ(readFile(file), "Caption=%ProjectName%\r\n");
    EXPECT_EQ(shownCount(910), 1);
}

TEST_F(FileAdaptation, OnlyFormsInsideTheProjectFolderAreAdapted) {
    const auto folder = scratch / "Plant";
    const auto outside = scratch / "outside.frm";
    put(outside, "%ProjectName%");
    put(folder / "Forms" / "main.frm", "%ProjectName%");
    put(folder / "ctl.ctl", "%ProjectName%");
    put(folder / "page.pag", "%ProjectName%");
    put(folder / "M\xC3\xBCller.frm", "%ProjectName%");
    put(folder / "mod.bas", "%ProjectName%");
    put(folder / "Forms" / "twice.frm", "%ProjectName%");
    // The IDE wrote the project file in Windows-1252, the name included.
    put(folder / "Plant.vbp", "Form=Forms\\main.frm\r\nform = M\xFCller.frm\r\n"
                              "UserControl=ctl.ctl\r\nPropertyPage=page.pag\r\n"
                              "Module=mod; mod.bas\r\n"
                              "Form=..\\outside.frm\r\nForm=" +
                                  outside.string() +
                                  "\r\nForm=C:\\outside.frm\r\n"
                                  "Form=Forms\\..\\Forms\\twice.frm\r\n");
    ProcessVisualBasicProject(messages, texts, (folder / "Plant.vbp").string(), folder.string(),
                              "M\xC3\xBCller");

    for (const char* adapted : {"Forms/main.frm", "ctl.ctl", "page.pag", "M\xC3\xBCller.frm"}) {
        EXPECT_EQ(readFile(folder / adapted), "M\xFCller") << adapted;
    }
    EXPECT_EQ(readFile(folder / "mod.bas"), "%ProjectName%");
    EXPECT_EQ(readFile(outside), "%ProjectName%");
    // A path that climbs is refused even where it comes back.
    EXPECT_EQ(readFile(folder / "Forms" / "twice.frm"), "%ProjectName%");
    EXPECT_EQ(shownCount(910), 4);
}

TEST_F(FileAdaptation, ProjectFilesWithCarriageReturnLineEndsNameEveryForm) {
    // Old Macintosh editors end lines with a CR alone; read as one line, the
    // second form would be part of the first one's name.
    const auto folder = scratch / "Plant";
    put(folder / "a.frm", "%ProjectName%");
    put(folder / "b.frm", "%ProjectName%");
    put(folder / "Plant.vbp", "Type=Exe\rForm=a.frm\rForm=b.frm\r");
    ProcessVisualBasicProject(messages, texts, (folder / "Plant.vbp").string(), folder.string(),
                              "Plant");
    EXPECT_EQ(readFile(folder / "a.frm"), "Plant");
    EXPECT_EQ(readFile(folder / "b.frm"), "Plant");
    EXPECT_EQ(shownCount(910), 0);
}

} // namespace
} // namespace korvana
