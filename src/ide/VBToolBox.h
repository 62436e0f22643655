#pragma once

#include "ide/VBToolBoxControl.h"
#include "ide/VBToolBoxGroup.h"
#include "platform/Registry.h"
#include "services/InstallationSettings.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

namespace korvana::ide {

// The IDE's toolbox around a run: reads the developer's toolbox, installs it
// again with the studio's own tab "KorvanaStudio" added, and puts the
// developer's setting back byte for byte afterwards.
// What `CVBToolBox::Store` writes, numbered as the IDE preparation passes it.
enum class ToolBoxSetting : std::int32_t {
    Restore = 0, // the developer's toolbox as Read found it
    Install = 1, // the developer's tabs and controls plus the studio tab
};

class CVBToolBox {
  public:
    // The settings are read when storing: the keep-interface flag may change.
    CVBToolBox(Registry& registry, const InstallationSettings& settings);

    // Loads the developer's "Tool" value of version 5 or 6 and takes it apart,
    // leaving out what an earlier run of the studio left in it. A damaged value
    // counts as no toolbox at all, so that nothing is installed or written back.
    void Read(std::int16_t VBVersion);

    // Writes the toolbox the setting names. Nothing is written when the
    // developer has no toolbox setting.
    void Store(std::int16_t VBVersion, ToolBoxSetting VBSetting);

    const std::vector<CVBToolBoxGroup>& groups() const { return groups_; }
    const std::vector<CVBToolBoxControl>& controls() const { return controls_; }
    const std::vector<std::uint8_t>& savedSetting() const { return saved_; }

    // The programmatic identifiers on the studio tab, in the order written.
    static const std::array<std::string_view, 62>& studioControls();
    static constexpr std::string_view studioTabName = "KorvanaStudio";

  private:
    std::int32_t newTabId() const;

    Registry& registry_;
    const InstallationSettings& settings_;
    std::vector<CVBToolBoxGroup> groups_;
    std::vector<CVBToolBoxControl> controls_;
    std::vector<std::uint8_t> saved_;
};

} // namespace korvana::ide
