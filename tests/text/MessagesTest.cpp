#include "text/Messages.h"

#include "text/ConsoleMessageService.h"
#include "text/ScriptedMessageService.h"

#include <gtest/gtest.h>
#include <sstream>
#include <stdexcept>

namespace korvana {
namespace {

TEST(Messages, NumberedMessageIsTitledWithItsNumber) {
    ScriptedMessageService messages;
    ShowNumberedMessage(messages, TextService{Lcid{1031}}, TextId{92}, MessageStyle::critical(),
                        {"/opt/korvana"});
    ShowNumberedMessage(messages, TextService{Lcid{1033}}, TextId{590}, MessageStyle::exclamation(),
                        {"/x"});
    ASSERT_EQ(messages.shown().size(), 2u);
    const auto& first = messages.shown()[0];
    EXPECT_EQ(first.title, "KorvanaStudio   (Meldung 92)");
    EXPECT_EQ(first.text,
              "Das registrierte Korvana-Verzeichnis [/opt/korvana] ist nicht vorhanden!\r\n"
              "Möglicherweise wurde es umbenannt oder verschoben.\r\nStellen Sie den "
              "angegebenen Pfad wieder her oder installieren Sie Korvana erneut.");
    EXPECT_EQ(first.style, MessageStyle::critical());
    const auto& second = messages.shown()[1];
    EXPECT_EQ(second.title, "KorvanaStudio   (Message 590)");
    EXPECT_EQ(second.text,
              "The directory '/x' could not be created!\r\nPlease check the writing and access "
              "rights.");
}

TEST(Messages, PlainMessageCarriesTheApplicationTitle) {
    ScriptedMessageService messages;
    messages.queueAnswer(Answer::No);
    const auto answer = ShowMessage(messages, TextService{}, TextId{914}, MessageStyle::question());
    EXPECT_EQ(answer, Answer::No);
    ASSERT_EQ(messages.shown().size(), 1u);
    EXPECT_EQ(messages.shown()[0].title, "KorvanaStudio");
    EXPECT_EQ(messages.shown()[0].style, MessageStyle::question());
}

TEST(Messages, ErrorReportIsTheSentenceAndNumberWithDescription) {
    ScriptedMessageService messages;
    const TextService english{Lcid{1033}};
    ReportError(messages, english, "Error in function 'RegisterProject'!", 53, "File not found");
    ReportError(messages, english, "Error in function 'CheckReadOnly'!",
                Error("Permission denied", 75));
    ASSERT_EQ(messages.shown().size(), 2u);
    EXPECT_EQ(messages.shown()[0].title, "KorvanaStudio");
    EXPECT_EQ(messages.shown()[0].text,
              "Error in function 'RegisterProject'!\r\n(53: File not found)");
    EXPECT_EQ(messages.shown()[0].style, MessageStyle::errorReport());
    EXPECT_EQ(messages.shown()[1].text,
              "Error in function 'CheckReadOnly'!\r\n(75: Permission denied)");
}

TEST(ScriptedMessages, AnswersInQueueOrderThenTheDefaultButton) {
    ScriptedMessageService messages;
    messages.queueAnswer(Answer::Yes);
    messages.queueAnswer(Answer::Cancel);
    EXPECT_EQ(messages.show({"t", "1", MessageStyle::overwriteQuestion()}), Answer::Yes);
    EXPECT_EQ(messages.show({"t", "2", MessageStyle::warning()}), Answer::Cancel);
    EXPECT_EQ(messages.pendingAnswers(), 0u);
    // Defaults once the queue is empty.
    EXPECT_EQ(messages.show({"t", "3", MessageStyle::question()}), Answer::Yes);
    EXPECT_EQ(messages.show({"t", "4", MessageStyle::overwriteQuestion()}), Answer::No);
    EXPECT_EQ(messages.show({"t", "5", MessageStyle::warning()}), Answer::Cancel);
    EXPECT_EQ(messages.show({"t", "6", MessageStyle::information()}), Answer::Ok);
    EXPECT_EQ(messages.shown().size(), 6u);
}

TEST(ScriptedMessages, AnswerWithoutAButtonBreaksTheTest) {
    ScriptedMessageService messages;
    messages.queueAnswer(Answer::Yes);
    EXPECT_THROW(messages.show({"t", "x", MessageStyle::warning()}), std::logic_error);
    EXPECT_EQ(messages.pendingAnswers(), 1u);
}

struct Console {
    std::istringstream input;
    std::ostringstream output;
    ConsoleMessageService service;

    Console(std::string typed, bool interactive, std::optional<Answer> forced = std::nullopt)
        : input(std::move(typed)), service(input, output, interactive, forced) {}
};

TEST(ConsoleMessages, PrintsTitleAndTextWithPlainLineBreaks) {
    Console console("", false);
    EXPECT_EQ(console.service.show(
                  {"KorvanaStudio   (Meldung 91)", "eins\r\nzwei", MessageStyle::critical()}),
              Answer::Ok);
    EXPECT_EQ(console.output.str(), "KorvanaStudio   (Meldung 91) [error]: eins\nzwei\n");
}

TEST(ConsoleMessages, WithoutATerminalTheDefaultButtonAnswers) {
    Console console("y\n", false);
    EXPECT_EQ(console.service.show({"KorvanaStudio", "?", MessageStyle::overwriteQuestion()}),
              Answer::No);
    EXPECT_EQ(console.input.tellg(), 0) << "must not read input that is not a terminal";
    EXPECT_NE(console.output.str().find("-> No"), std::string::npos);
}

TEST(ConsoleMessages, ForcedAnswerFitsTheButtons) {
    Console yes("", true, Answer::Yes);
    EXPECT_EQ(yes.service.show({"t", "q", MessageStyle::overwriteQuestion()}), Answer::Yes);
    EXPECT_EQ(yes.service.show({"t", "w", MessageStyle::warning()}), Answer::Ok);
    EXPECT_EQ(yes.service.show({"t", "i", MessageStyle::information()}), Answer::Ok);
    Console no("", true, Answer::No);
    EXPECT_EQ(no.service.show({"t", "q", MessageStyle::question()}), Answer::No);
    EXPECT_EQ(no.service.show({"t", "w", MessageStyle::warning()}), Answer::Cancel);
    EXPECT_THROW(ConsoleMessageService(Answer::Ok), Error);
}

TEST(ConsoleMessages, OnATerminalItAsksUntilTheReplyFits) {
    Console console("vielleicht\nn\n", true);
    EXPECT_EQ(console.service.show({"t", "q", MessageStyle::question()}), Answer::No);
    Console enter("\n", true);
    EXPECT_EQ(enter.service.show({"t", "q", MessageStyle::question()}), Answer::Yes);
    Console ok("ok\n", true);
    EXPECT_EQ(ok.service.show({"t", "w", MessageStyle::warning()}), Answer::Ok);
    // The input ends before an answer: the default button.
    Console ended("", true);
    EXPECT_EQ(ended.service.show({"t", "w", MessageStyle::warning()}), Answer::Cancel);
}

} // namespace
} // namespace korvana
