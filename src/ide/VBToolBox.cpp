#include "ide/VBToolBox.h"

#include "ide/BinaryValue.h"
#include "ide/IdeKeys.h"
#include "ide/ToolBoxRecords.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <limits>
#include <set>

namespace korvana::ide {

namespace {

// A toolbox setting shorter than this is no setting the IDE wrote: nothing is
// installed into it or written back.
constexpr std::size_t smallestSetting = 2;

// Left behind by an earlier run of the studio (or an older studio): a tab
// named like the studio's, and controls of the studio's libraries.
bool isStudioTab(const CVBToolBoxGroup& group) {
    return startsWithIgnoreCase(group.Name, "Korvana");
}

bool isStudioControl(const CVBToolBoxControl& control) {
    const std::string_view name = control.Name;
    return startsWithIgnoreCase(name, "Korvana") || startsWithIgnoreCase(name, "KVX") ||
           startsWithIgnoreCase(name, "KVS") || startsWithIgnoreCase(name, "KV4");
}

} // namespace

CVBToolBox::CVBToolBox(Registry& registry, const InstallationSettings& settings)
    : registry_(registry), settings_(settings) {}

const std::array<std::string_view, 62>& CVBToolBox::studioControls() {
    static constexpr std::array<std::string_view, 62> controls = {
        "KV4AlarmLineLib.KVAlarmLine",
        "KV4AlarmListLib.KVAlarmList",
        "KV4AppLib.KVApp",
        "KV4BarLib.KVBar",
        "KV4FillLib.KVFill",
        "KV4FocusLib.KVFocus",
        "KV4IndexLib.KVIndex",
        "KV4KeyLib.KVKey",
        "KV4KeyTextLib.KVKeyText",
        "KV4LanguageLib.KVLanguage",
        "KV4TrendLib.KVLTrend",
        "KV4MoveLib.KVMove",
        "KV4PictureBoxLib.KVPicBox",
        "KV4PrintLib.KVPrint",
        "KV4RecipeLib.KVRecipe",
        "KV4ScaleLib.KVScale",
        "KV4ShapeLib.KVShape",
        "KV4SliderLib.KVSlider",
        "KV4StartLib.KVStart",
        "KV4StateLib.KVState",
        "KV4SwitchLib.KVSwitch",
        "KV4SymbolLib.KVSymbol",
        "KV4TimeLib.KVTime",
        "KV4TouchControlLib.KVTouchCtrl",
        "KV4VarInLib.KVVarIn",
        "KV4VarOutLib.KVVarOut",
        "KV4VarServerLib.KVVarServer",
        "KVSAlarmLib.KVSAlarmLine",
        "KVSAlarmLib.KVSAlarmList",
        "KorvanaStudioLib.KVSBar",
        "KorvanaStudioLib.KVSFill",
        "KorvanaStudioLib.KVSKey",
        "KorvanaStudioLib.KVSPicBox",
        "KorvanaStudioLib.KVSScale",
        "KorvanaStudioLib.KVSShape",
        "KorvanaStudioLib.KVSVarIn",
        "KorvanaStudioLib.KVSVarOut",
        "KorvanaStudioLib.KVSVarServer",
        "KVSLanguageLib.KVSIndex",
        "KorvanaStudio2Lib.KVSGauge",
        "KorvanaStudio2Lib.KVSLevel",
        "KorvanaStudio2Lib.KVSSymbol",
        "KorvanaStudio2Lib.KVSTime",
        "KV4TrendHelper.KVTrendLegend",
        "KV4TrendHelper.KVTrendTime",
        "KVSDateTime.KVSDateTimeInput",
        "KVSFrameLib.KVSGraphicalFrame",
        "KVSFrameLib.KVSTab",
        "KVSFrameLib.KVSFrame",
        "KVSTouchLib.KVSScrollBar",
        "KVSTouchLib.KVSCheckBox",
        "KVSTouchLib.KVSOptionButton",
        "KVSTouchLib.KVSComboBox",
        "KVSTouchLib.KVSGrid",
        "KVSPropertyPages.KVIndextexts",
        "KVSPropertyPages.KVFontClasses",
        "KVSPropertyPages.KVMessageGroups",
        "KVSPropertyPages.KVMessageClasses",
        "KVSPropertyPages.KVKeyCodes",
        "KVSPropertyPages.KVItems",
        "KVSPropertyPages.KVMultiItems",
        "KVSPropertyPages.KVRightClasses",
    };
    return controls;
}

void CVBToolBox::Read(std::int16_t VBVersion) {
    // A second run starts from what the developer has now, not from the lists
    // of the first.
    groups_.clear();
    controls_.clear();
    saved_.clear();

    const std::string key = visualBasicUserKey(VBVersion);
    if (key.empty()) {
        return;
    }
    auto setting = readBinaryValue(registry_, key, keys::toolValue);
    if (!setting || setting->empty()) {
        return;
    }
    auto records = parseToolBox(*setting);
    if (!records) {
        // A setting we cannot take apart is left exactly as the developer has
        // it: nothing is installed into it and nothing is written back.
        return;
    }
    saved_ = std::move(*setting);
    groups_ = std::move(records->groups);
    controls_ = std::move(records->controls);
    std::erase_if(groups_, isStudioTab);
    std::erase_if(controls_, isStudioControl);
}

std::int32_t CVBToolBox::newTabId() const {
    std::int32_t largest = 0;
    for (const auto& group : groups_) {
        largest = std::max(largest, group.TabID);
    }
    if (largest < std::numeric_limits<std::int32_t>::max()) {
        return largest + 1;
    }
    // No id above the largest: take the smallest free one, so that the studio
    // tab never shares its id with a developer's tab.
    std::set<std::int32_t> used;
    for (const auto& group : groups_) {
        used.insert(group.TabID);
    }
    std::int32_t id = 1;
    while (used.contains(id)) {
        ++id;
    }
    return id;
}

void CVBToolBox::Store(std::int16_t VBVersion, ToolBoxSetting VBSetting) {
    std::vector<std::uint8_t> setting;
    if (VBSetting == ToolBoxSetting::Install) {
        if (settings_.keepInterface || saved_.size() < smallestSetting) {
            return;
        }
        ToolBoxRecords records{groups_, controls_};
        const std::int32_t tab = newTabId();
        records.groups.push_back({tab, std::string(studioTabName)});
        for (const auto name : studioControls()) {
            records.controls.push_back({tab, std::string(name)});
        }
        setting = serializeToolBox(records);
    } else {
        setting = saved_;
    }
    const std::string key = visualBasicUserKey(VBVersion);
    if (setting.size() < smallestSetting || key.empty()) {
        return;
    }
    registry_.writeBinary(Hive::CurrentUser, key, keys::toolValue, std::move(setting));
}

} // namespace korvana::ide
