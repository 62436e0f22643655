#pragma once

#include <array>
#include <string>
#include <string_view>

namespace korvana::ide::keys {

// Where the Visual Basic IDE keeps what the studio reads and adapts.

// HKEY_LOCAL_MACHINE: the folders Visual Basic 5.0 and 6.0 were installed in.
inline constexpr std::string_view vb5InstallKey = "Software\\Microsoft\\Visual Basic\\5.0";
inline constexpr std::string_view vb5InstallValue = "InstallDir";
inline constexpr std::string_view vb5Executable = "VB5.exe";
inline constexpr std::string_view vb6InstallKey =
    "Software\\Microsoft\\VisualStudio\\6.0\\Setup\\Microsoft Visual Basic";
inline constexpr std::string_view vb6InstallValue = "ProductDir";
inline constexpr std::string_view vb6Executable = "VB6.exe";

// HKEY_CURRENT_USER, below visualBasicUserKey: the toolbox and the window
// layout (binary values).
inline constexpr std::string_view toolValue = "Tool";
inline constexpr std::string_view dockValue = "Dock";
inline constexpr std::string_view uiValue = "UI";

// The add-in list in the Windows folder: one key per add-in, "1" loads it.
inline constexpr std::string_view addInFile = "VBAddIn.ini";
inline constexpr std::string_view addInSection = "Add-Ins32";
// The studio's add-ins, in the order their states are remembered and restored.
inline constexpr std::array<std::string_view, 3> studioAddIns = {
    "KVAddIn.Connect", "KV4AddIn.Connect", "KVXAddIn.Connect"};

} // namespace korvana::ide::keys

namespace korvana::ide {

// "Software\Microsoft\Visual Basic\6.0" for 6 (and "...\5.0" for 5): the
// per-user settings of that version. Empty for any other version, which has no
// settings the studio knows of.
inline std::string visualBasicUserKey(int version) {
    if (version != 5 && version != 6) {
        return {};
    }
    return "Software\\Microsoft\\Visual Basic\\" + std::to_string(version) + ".0";
}

} // namespace korvana::ide
