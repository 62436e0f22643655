#include "services/CreateConfigurationComponent.h"

#include "platform/Error.h"
#include "support/MemoryRegistry.h"
#include "text/ScriptedMessageService.h"

#include <gtest/gtest.h>
#include <vector>

namespace korvana {
namespace {

class RecordingMessages : public MessageService {
  public:
    Answer show(const Message& message) override {
        shown.push_back(message);
        return Answer::Ok;
    }
    std::vector<Message> shown;
};

class ComponentCreation : public testing::Test {
  protected:
    test::MemoryRegistry registry;
    ScriptedMessageService messages;
    TextService texts{Lcid{1031}};
    std::unique_ptr<ConfigurationComponent> component;
};

TEST_F(ComponentCreation, SucceedsSilently) {
    EXPECT_TRUE(CreateConfigurationComponent(component, messages, texts, registry));
    EXPECT_NE(component, nullptr);
    EXPECT_TRUE(messages.shown().empty());
}

TEST_F(ComponentCreation, AFailureIsReportedAsACriticalNumberedMessage) {
    const std::vector<ConfigurationFactory> failing{
        [] { return std::unique_ptr<ConfigurationComponent>(); },
        []() -> std::unique_ptr<ConfigurationComponent> { throw Error("no component", 429); },
        ConfigurationFactory(),
    };
    for (const auto& factory : failing) {
        ScriptedMessageService fresh;
        EXPECT_FALSE(CreateConfigurationComponent(component, fresh, texts, factory));
        EXPECT_EQ(component, nullptr);
        ASSERT_EQ(fresh.shown().size(), 1u);
        const Message& message = fresh.shown().front();
        EXPECT_EQ(message.style, MessageStyle::critical());
        EXPECT_NE(message.title.find("94"), std::string::npos) << message.title;
        EXPECT_NE(message.text.find("Konfigurationsprogramm"), std::string::npos) << message.text;
    }
}

} // namespace
} // namespace korvana
