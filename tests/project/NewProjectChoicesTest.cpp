#include "project/NewProjectChoices.h"

#include "project/NewProjectChecks.h"
#include "project/RegistrationFixture.h"

#include <gmock/gmock.h>

namespace korvana::test {
namespace {

using testing::ElementsAre;

TEST(NewProjectName, ProposesOneMoreThanTheLargestNumberAfterTheStem) {
    EXPECT_EQ(ProposeProjectName("Projekt", {"Projekt1", "projekt7", "Projektx", "Plant"}),
              "Projekt8");
    EXPECT_EQ(ProposeProjectName("Projekt", {"Plant", "Projekt", "Projekt-3", "Projekt2a"}),
              "Projekt1");
    EXPECT_EQ(ProposeProjectName("Project", {}), "Project1");
}

TEST(NewProjectName, FolderFollowsTheNameUntilEditedByHand) {
    EXPECT_EQ(FolderFollowingName("C:\\Projects\\Projekt1", "projekt1", "Kessel"),
              "C:\\Projects\\Kessel");
    EXPECT_EQ(FolderFollowingName("/home/a/Projects/Projekt1", "Projekt1", "Kessel"),
              "/home/a/Projects/Kessel");
    EXPECT_EQ(FolderFollowingName("/home/a/Elsewhere", "Projekt1", "Kessel"), "/home/a/Elsewhere");
}

LanguageRow language(int lcid, bool checked = false) {
    return {"L" + std::to_string(lcid), std::to_string(lcid), "", false, checked};
}

std::vector<std::string> keys(const LanguageChoice& choice) {
    std::vector<std::string> shown;
    for (const auto& row : choice.rows()) {
        shown.push_back(row.key + (row.checked ? "*" : ""));
    }
    return shown;
}

class NewProjectRules : public RegistrationFixture {
  protected:
    Files files;
    ConfigurationComponent configuration{registry};
    ProjectRegistration registration{registry, configuration, messages, texts};
    std::string lastText() const {
        return messages.shown().empty() ? "" : messages.shown().back().text;
    }
};

TEST_F(NewProjectRules, TheDeveloperLanguageIsAlwaysExactlyOne) {
    LanguageChoice choice({language(1036, true), language(1031), language(3082)});
    choice.uncheck("L1036");
    EXPECT_THAT(keys(choice), ElementsAre("L1036", "L1031*", "L3082"));
    choice.check("L3082");
    EXPECT_THAT(keys(choice), ElementsAre("L1036", "L1031", "L3082*"));

    LanguageChoice withoutStudioLanguages({language(1036, true), language(3082)});
    withoutStudioLanguages.uncheck("L1036");
    EXPECT_THAT(keys(withoutStudioLanguages), ElementsAre("L1036*", "L3082"));
    // Unchecking a language that is not the developer language changes nothing.
    withoutStudioLanguages.uncheck("L3082");
    EXPECT_THAT(keys(withoutStudioLanguages), ElementsAre("L1036*", "L3082"));

    LanguageChoice noneChecked({language(1033), language(1036)});
    EXPECT_EQ(noneChecked.developerLanguage(), "L1033");
}

TEST_F(NewProjectRules, RemovingKeepsTheDeveloperLanguageAndOneStudioLanguage) {
    LanguageChoice germanAndFrench({language(1031), language(1036, true)});
    EXPECT_FALSE(germanAndFrench.remove("L1031", messages, texts));
    EXPECT_EQ(lastText(), texts.LoadText(TextId{394}));
    EXPECT_FALSE(germanAndFrench.remove("L1036", messages, texts));
    EXPECT_EQ(lastText(), texts.LoadText(TextId{393}));

    LanguageChoice three({language(1031), language(1033, true), language(1036)});
    EXPECT_TRUE(three.remove("L1031", messages, texts));
    EXPECT_FALSE(three.remove("L1033", messages, texts));
    EXPECT_TRUE(three.remove("L1036", messages, texts));
    EXPECT_THAT(keys(three), ElementsAre("L1033*"));

    three.add({language(1031, true), language(1033)});
    EXPECT_THAT(keys(three), ElementsAre("L1033*", "L1031"));
}

ServerComponentRow component(const std::string& name, const std::string& dependencies,
                             bool checked = false) {
    return {name, "", dependencies, checked};
}

TEST_F(NewProjectRules, ComponentsBringWhatTheyNeedAndKeepWhatOthersNeed) {
    ComponentChoice choice({component("KVAlarm", "KVArchive,KVTrend"),
                            component("KVArchive", "KVBase"), component("KVTrend", "KVArchive"),
                            component("KVBase", ""), component("KVReport", "KVAlarm, KVBase")});
    choice.check("kvalarm");
    EXPECT_THAT(choice.checkedNames(), ElementsAre("KVAlarm", "KVArchive", "KVTrend"))
        << "one level only: KVBase is not followed";

    EXPECT_FALSE(choice.uncheck("KVTrend", messages, texts));
    EXPECT_EQ(lastText(), texts.LoadText(TextId{397}, {"KVTrend", "KVAlarm"}));
    EXPECT_FALSE(choice.uncheck("KVArchive", messages, texts));
    EXPECT_EQ(lastText(), texts.LoadText(TextId{398}, {"KVArchive", "KVAlarm, KVTrend"}));
    EXPECT_THAT(choice.checkedNames(), ElementsAre("KVAlarm", "KVArchive", "KVTrend"));

    // " KVBase" after the blank names no installed component.
    choice.check("KVReport");
    EXPECT_THAT(choice.checkedNames(), ElementsAre("KVAlarm", "KVArchive", "KVTrend", "KVReport"));
    EXPECT_TRUE(choice.uncheck("KVReport", messages, texts));
    EXPECT_THAT(dependencyNames("A, B,,C"), ElementsAre("A", " B", "C"));
}

TEST_F(NewProjectRules, OkChecksRunInOrderAndTheFolderStaysWhenALaterOneRefuses) {
    NewProjectChecks checks(registry, registration, files, messages, texts);
    const std::string folder = (scratch / "New" / "Client1").string();

    EXPECT_EQ(checks.confirm(NewProjectMode::Client, "Client1", folder, "", 0),
              NewProjectField::ServerProject);
    EXPECT_TRUE(std::filesystem::is_directory(folder)) << "created before the server check";
    EXPECT_EQ(lastText(), texts.LoadText(TextId{395}));

    registerRaw("Client1", folder, "Client");
    writeFile(std::filesystem::path(folder) / "old.txt", "x");
    EXPECT_EQ(checks.confirm(NewProjectMode::Client, "Client1", folder, "Server1", 0),
              NewProjectField::Name)
        << "390 answers No by default";
    messages.queueAnswer(Answer::Yes);
    EXPECT_EQ(checks.confirm(NewProjectMode::Client, "Client1", folder, "Server1", 0),
              NewProjectField::Folder)
        << "392 answers Cancel by default";
    messages.queueAnswer(Answer::Yes);
    messages.queueAnswer(Answer::Ok);
    EXPECT_EQ(checks.confirm(NewProjectMode::Client, "Client1", folder, "Server1", 0),
              NewProjectField::None);

    writeFile(scratch / "file", "x");
    EXPECT_EQ(
        checks.confirm(NewProjectMode::Single, "Other", (scratch / "file" / "sub").string(), "", 0),
        NewProjectField::Folder);
    EXPECT_EQ(lastText(), texts.LoadText(TextId{391}, {(scratch / "file" / "sub").string()}));
    EXPECT_EQ(checks.confirm(NewProjectMode::Single, "a/b", folder, "", 0), NewProjectField::Name);
}

TEST_F(NewProjectRules, AGroupAsksOnceForANameAndFolderThatPassed) {
    NewProjectChecks checks(registry, registration, files, messages, texts);
    registerRaw("Site", (scratch / "Site").string(), "Group");
    const std::string folder = (scratch / "Site").string();
    messages.queueAnswer(Answer::Yes);
    EXPECT_TRUE(checks.groupCheck("Site", folder));
    const auto asked = messages.shown().size();

    EXPECT_EQ(checks.confirm(NewProjectMode::Group, "site", folder, "", 0),
              NewProjectField::GroupProjects);
    EXPECT_EQ(messages.shown().size(), asked + 1) << "only text 396";
    EXPECT_EQ(checks.confirm(NewProjectMode::Group, "Site", folder, "", 2), NewProjectField::None);
}

} // namespace
} // namespace korvana::test
