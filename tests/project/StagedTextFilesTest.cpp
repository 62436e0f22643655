#include "project/StagedTextFiles.h"

#include "CreationFixture.h"
#include "project/Placeholders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

namespace korvana {
namespace {

namespace fs = std::filesystem;
using test::readFile;

// A staged copy beside a project folder that does not exist yet, the project
// file naming its forms as the project folder will hold them.
class StagedAdaptation : public test::CreationFixture {
  protected:
    fs::path stage() const { return scratch / ".Plant.creating"; }
    std::string folder() const { return projectFolder().string(); }

    bool adaptForms() {
        return adaptStagedFiles(stage(), folder(), [&](ProjectTextFiles& files) {
            files.replace(folder() + "/Plant.vbp", placeholders::projectName, name);
            ProcessVisualBasicProject(files, folder() + "/Plant.vbp", folder(), name);
        });
    }

    std::string name = "Plant";
};

TEST_F(StagedAdaptation, WritesTheStagedFilesWholeAndNothingBeside) {
    // Names shorter and longer than the placeholder: the file must end where
    // its new content ends.
    for (const std::string wanted : {"P", "A Much Longer Plant Name Than The Placeholder"}) {
        fs::remove_all(stage());
        name = wanted;
        put(stage() / "Plant.vbp", "Name=\"%ProjectName%\"\r\nForm=Forms\\main.frm\r\n");
        put(stage() / "Forms" / "main.frm", "Caption=\"%ProjectName%\"\r\n%PROJECTNAME%\r\n");
        ASSERT_TRUE(adaptForms()) << wanted;

        EXPECT_EQ(readFile(stage() / "Plant.vbp"),
                  "Name=\"" + wanted + "\"\r\nForm=Forms\\main.frm\r\n");
        EXPECT_EQ(readFile(stage() / "Forms" / "main.frm"),
                  "Caption=\"" + wanted + "\"\r\n" + wanted + "\r\n");
        EXPECT_EQ(tree(stage()),
                  (std::vector<std::string>{"Forms", "Forms/main.frm", "Plant.vbp"}));
    }
    EXPECT_FALSE(fs::exists(projectFolder()));
    EXPECT_TRUE(messages.shown().empty());
}

// Whatever the staged copy cannot answer as the project folder would leaves
// every staged file untouched, those adapted before it included.
TEST_F(StagedAdaptation, GivesUpWithTheCopyUnchangedWhereOnlyTheProjectFolderCanTell) {
    const struct {
        const char* label;
        std::string entry;
        void (*make)(const fs::path& stage);
    } cases[] = {
        {"form missing from the copy", "Form=missing.frm", [](const fs::path&) {}},
        {"form outside the project folder", "Form=..\\outside.frm", [](const fs::path&) {}},
        {"form behind a link to a file", "Form=linked.frm",
         [](const fs::path& stage) { fs::create_symlink("first.frm", stage / "linked.frm"); }},
        {"form behind a link to a folder", "Form=Shared\\first.frm",
         [](const fs::path& stage) { fs::create_directory_symlink(".", stage / "Shared"); }},
        {"binary form", "Form=data.frm",
         [](const fs::path& stage) {
             put(stage / "data.frm", std::string("%ProjectName%\0\x01", 15));
         }},
        {"read-only form", "Form=locked.frm",
         [](const fs::path& stage) {
             put(stage / "locked.frm", "%ProjectName%");
             ::chmod((stage / "locked.frm").c_str(), 0444);
         }},
    };
    for (const auto& c : cases) {
        fs::remove_all(stage());
        const std::string vbp = "Name=\"%ProjectName%\"\r\nForm=first.frm\r\n" + c.entry + "\r\n";
        put(stage() / "Plant.vbp", vbp);
        put(stage() / "first.frm", "%ProjectName%");
        c.make(stage());
        EXPECT_FALSE(adaptForms()) << c.label;
        EXPECT_EQ(readFile(stage() / "Plant.vbp"), vbp) << c.label;
        EXPECT_EQ(readFile(stage() / "first.frm"), "%ProjectName%") << c.label;
    }
    EXPECT_TRUE(messages.shown().empty());
}

} // namespace
} // namespace korvana
