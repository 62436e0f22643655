#include "StartupTestBed.h"
#include "text/Messages.h"

#include <gmock/gmock.h>

namespace korvana::test {
namespace {

using namespace std::string_literals;

struct TemplateCase {
    // The "_Info.ini" of the template; nothing for a template without one.
    std::optional<std::string> info;
    ProjectType type;
    bool dialog;       // the new-project dialog is shown
    const char* named; // the type named in the report
};

class NewProjectDialogTest : public StartupTestBed,
                             public testing::WithParamInterface<TemplateCase> {};

TEST_P(NewProjectDialogTest, OnlyTypesWithADialogGetOneOthersAreReported) {
    const auto& tmpl = GetParam();
    const auto folder = scratch / "Templates" / "Plant";
    std::filesystem::create_directories(folder);
    if (tmpl.info) {
        writeFile(folder / "_Info.ini", *tmpl.info);
    }
    CKVProject project;
    project.EProjectOpen = ProjectOpen::CreateFromTemplate;
    project.TemplatePath = folder.string();
    host.newProjectDialog = [](CKVProject& created) {
        created.EProjectOpen = ProjectOpen::OpenProject;
    };

    ConfigurationComponent configuration(registry);
    ProjectRegistration registration(registry, configuration, messages, texts);
    ShowNewProjectDialog(project, host, {registration, configuration}, messages, texts);

    EXPECT_EQ(project.EProjectType, tmpl.type);
    if (tmpl.dialog) {
        EXPECT_THAT(events, testing::ElementsAre("showNewProjectDialog"));
        EXPECT_EQ(project.EProjectOpen, ProjectOpen::OpenProject);
        EXPECT_THAT(messages.shown(), testing::IsEmpty());
    } else {
        EXPECT_THAT(events, testing::IsEmpty());
        EXPECT_EQ(project.EProjectOpen, ProjectOpen::Nothing);
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].text, texts.LoadText(TextId{918}, {"Plant", tmpl.named}));
        EXPECT_EQ(messages.shown()[0].title, applicationTitle);
        EXPECT_EQ(messages.shown()[0].style, MessageStyle::exclamation());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Types, NewProjectDialogTest,
    testing::Values(
        TemplateCase{"[Info]\r\nProjectType=Single\r\n", ProjectType::Single, true, ""},
        TemplateCase{"[Info]\nProjectType=Server\n", ProjectType::Server, true, ""},
        TemplateCase{"[info]\r\nprojecttype = Client\r\n", ProjectType::Client, true, ""},
        TemplateCase{"[Info]\r\nProjectType=\"Group\"\r\n", ProjectType::Group, true, ""},
        TemplateCase{"[Info]\r\nProjectType=Terminal Server\r\n", ProjectType::TerminalServer,
                     false, "Terminal Server"},
        TemplateCase{"[Info]\r\nProjectType=Terminal Client\r\n", ProjectType::TerminalClient,
                     false, "Terminal Client"},
        // names are matched exactly
        TemplateCase{"[Info]\r\nProjectType=single\r\n", ProjectType::None, false, "single"},
        // a code where a name belongs is no type either
        TemplateCase{"[Info]\r\nProjectType=1\r\n", ProjectType::None, false, "1"},
        TemplateCase{"[Info]\r\nName=Plant\r\n", ProjectType::None, false, "None"},
        TemplateCase{std::nullopt, ProjectType::None, false, "None"},
        // a description that is no text is not read at all
        TemplateCase{"[Info]\r\nProjectType=Single\0\r\n"s, ProjectType::None, false, "None"}));

} // namespace
} // namespace korvana::test
