#include "project/ProjectLookup.h"

#include "RegistrationFixture.h"

#include <gmock/gmock.h>

namespace korvana::test {
namespace {

using testing::ElementsAre;

class Lookup : public RegistrationFixture {
  protected:
    ProjectLookup lookup{registry, messages, texts};
};

TEST_F(Lookup, FindsARegisteredProjectWithoutRegardToCase) {
    const auto folder = makeProject("P", "Plant1");
    registerRaw("Plant1", folder, "Single");
    const auto project = lookup.FindByName("PLANT1");
    ASSERT_TRUE(project);
    EXPECT_EQ(project->name, "Plant1");
    EXPECT_EQ(project->path, folder);
    EXPECT_TRUE(messages.shown().empty());
    EXPECT_EQ(lookup.RegisteredPath("plant1"), folder);
}

TEST_F(Lookup, UnknownOrUnsafeNamesAreNotRegistered) {
    const auto folder = makeProject("P", "Plant1");
    registerRaw("Plant1", folder, "Single");
    registerRaw("Empty", "", "Single");
    for (const std::string name :
         {"Nope", "Empty", "../P/Plant1", "P/Plant1", "Projects\\Plant1"}) {
        SCOPED_TRACE(name);
        messages = ScriptedMessageService();
        EXPECT_FALSE(lookup.FindByName(name));
        ASSERT_EQ(messages.shown().size(), 1u);
        EXPECT_EQ(messages.shown()[0].text, "Das Projekt '" + name + "' ist nicht registriert!");
        EXPECT_EQ(messages.shown()[0].style, MessageStyle::exclamation());
        EXPECT_EQ(lookup.RegisteredPath(name), "");
    }
}

TEST_F(Lookup, MissingFileInTheRegisteredFolderIsNamed) {
    registerRaw("Plant1", (scratch / "moved").string(), "Single");
    EXPECT_FALSE(lookup.FindByName("Plant1"));
    EXPECT_THAT(shownTexts(),
                ElementsAre(texts.LoadText(TextId{906}, {"Plant1", (scratch / "moved").string()})));
}

TEST_F(Lookup, AsksBeforeMovingARegistrationToAnotherFolder) {
    struct Case {
        std::string registeredPath;
        std::string folder;
        bool asks;
    };
    const std::vector<Case> cases{
        {"", "/p/new", false},
        {"/P/Plant1", "/p/plant1", false},
        {"/P/Plant1/", "\\P\\Plant1", false},
        {"/P/Old", "/P/New", true},
    };
    for (const auto& [registeredPath, folder, asks] : cases) {
        SCOPED_TRACE(registeredPath + " -> " + folder);
        for (const Answer answer : {Answer::Yes, Answer::No}) {
            messages = ScriptedMessageService();
            if (asks) {
                messages.queueAnswer(answer);
            }
            const bool goOn = lookup.ConfirmFolder("Plant1", registeredPath, folder);
            EXPECT_EQ(goOn, !asks || answer == Answer::Yes);
            ASSERT_EQ(messages.shown().size(), asks ? 1u : 0u);
            if (asks) {
                EXPECT_EQ(messages.shown()[0].text,
                          texts.LoadText(TextId{908}, {"Plant1", registeredPath, folder}));
                EXPECT_EQ(messages.shown()[0].style, MessageStyle::question());
            }
        }
    }
}

} // namespace
} // namespace korvana::test
