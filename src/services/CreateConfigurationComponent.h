#pragma once

#include "platform/Registry.h"
#include "services/ConfigurationComponent.h"
#include "text/MessageService.h"
#include "text/TextService.h"

#include <functional>
#include <memory>

namespace korvana {

// Makes the component; may raise korvana::Error or return nothing when it cannot.
using ConfigurationFactory = std::function<std::unique_ptr<ConfigurationComponent>()>;

// Creates the configuration component for this run into `component`. When it
// cannot be created the user is told (text 94, critical) and the result is false:
// the program cannot work without it.
bool CreateConfigurationComponent(std::unique_ptr<ConfigurationComponent>& component,
                                  MessageService& messages, const TextService& texts,
                                  const ConfigurationFactory& factory);

// The same with the real component over `registry`.
bool CreateConfigurationComponent(std::unique_ptr<ConfigurationComponent>& component,
                                  MessageService& messages, const TextService& texts,
                                  const Registry& registry);

} // namespace korvana
