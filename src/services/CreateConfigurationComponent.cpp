#include "services/CreateConfigurationComponent.h"

#include "text/Messages.h"

#include <exception>

namespace korvana {

namespace {

constexpr TextId cannotStartConfiguration{94};

} // namespace

bool CreateConfigurationComponent(std::unique_ptr<ConfigurationComponent>& component,
                                  MessageService& messages, const TextService& texts,
                                  const ConfigurationFactory& factory) {
    std::unique_ptr<ConfigurationComponent> created;
    try {
        created = factory ? factory() : nullptr;
    } catch (const std::exception&) {
        // Whatever went wrong, the message says all the user can act on; the
        // start-up then ends.
        created = nullptr;
    }
    if (!created) {
        ShowNumberedMessage(messages, texts, cannotStartConfiguration, MessageStyle::critical());
        return false;
    }
    component = std::move(created);
    return true;
}

bool CreateConfigurationComponent(std::unique_ptr<ConfigurationComponent>& component,
                                  MessageService& messages, const TextService& texts,
                                  const Registry& registry) {
    return CreateConfigurationComponent(component, messages, texts, [&registry] {
        return std::make_unique<ConfigurationComponent>(registry);
    });
}

} // namespace korvana
