#pragma once

#include "db/Database.h"
#include "ide/FakeProcessRunner.h"
#include "ide/IdeKeys.h"
#include "ide/ToolBoxBytes.h"
#include "ide/VB.h"
#include "platform/IniFile.h"
#include "services/ResolveProjectFile.h"
#include "support/MemoryRegistry.h"
#include "support/ScratchDir.h"
#include "text/ScriptedMessageService.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvana::ide::test {

using Bytes = std::vector<std::uint8_t>;

// A scratch system root with Visual Basic installed as files, a registry in
// memory, scripted messages and a fake IDE process: what the launcher works with.
class IdeTestBed : public testing::Test {
  protected:
    // Makes the version's executable and points the registry at its folder.
    void installVisualBasic(int version, const std::string& folderName = "VB98") {
        const auto folder = scratch / ("Program Files " + std::to_string(version)) / folderName;
        std::filesystem::create_directories(folder);
        if (version == 5) {
            korvana::test::writeFile(folder / "VB5.exe", "vb5");
            registry.writeString(Hive::LocalMachine, keys::vb5InstallKey, keys::vb5InstallValue,
                                 folder.string());
        } else {
            korvana::test::writeFile(folder / "VB6.exe", "vb6");
            registry.writeString(Hive::LocalMachine, keys::vb6InstallKey, keys::vb6InstallValue,
                                 folder.string());
        }
    }

    std::unique_ptr<CVB> makeLauncher() {
        return std::make_unique<CVB>(
            IdeEnvironment{registry, messages, texts, settings, windowsFolder(), runner,
                           [this] { ++eventRounds; }, [this] { ++releases; }, waitForIde});
    }

    std::filesystem::path windowsFolder() const { return scratch / "windows"; }
    std::filesystem::path addInFile() const { return windowsFolder() / "VBAddIn.ini"; }

    // A registered project whose project file holds an empty "TcfgBinary", and
    // its Visual Basic project file (in a folder with blanks).
    CKVProject makeProject(const std::string& name, const std::string& designer = {},
                           ProjectType type = ProjectType::Single) {
        const auto folder = scratch / "Projects" / (name + " folder");
        std::filesystem::create_directories(folder);
        auto database = db::Database::create((folder / (name + ".kvs")).string());
        db::TableDef layout("TcfgBinary");
        layout.fields = {{"ParentID", db::DaoType::Long},
                         {"Section", db::DaoType::Text, 255},
                         {"Entry", db::DaoType::Text, 255},
                         {"Value", db::DaoType::LongBinary}};
        layout.indexes = {{"PIDSectionEntry", {"ParentID", "Section", "Entry"}, false, true}};
        database.appendTableDef(layout);
        database.close();
        korvana::test::writeFile(folder / (name + ".vbp"), "Type=Exe\r\n");
        registry.writeString(Hive::LocalMachine, std::string(korvana::keys::projects) + "\\" + name,
                             "Path", folder.string());
        CKVProject project;
        project.ProjectName = name;
        project.Path = folder.string();
        project.ProjectFile = (folder / (name + ".kvs")).string();
        project.EProjectType = type;
        project.Designer = designer;
        project.DesignerProject = (folder / (name + ".vbp")).string();
        return project;
    }

    void setUserBinary(int version, std::string_view name, Bytes bytes) {
        registry.writeBinary(Hive::CurrentUser, visualBasicUserKey(version), name,
                             std::move(bytes));
    }
    std::optional<Bytes> userBinary(int version, std::string_view name) const {
        const auto value = registry.value(Hive::CurrentUser, visualBasicUserKey(version), name);
        return value ? std::optional<Bytes>(std::get<Bytes>(value->data)) : std::nullopt;
    }

    // A developer toolbox: one own tab and a studio tab left by an old run.
    static Bytes developerToolBox() {
        return ToolBoxBytes()
            .record(1, "General")
            .record(4, "Korvana 3")
            .end()
            .record(1, "MSComctlLib.ListViewCtrl")
            .record(4, "KV4BarLib.KVBar")
            .end();
    }

    korvana::test::ScratchDir scratch;
    korvana::test::MemoryRegistry registry;
    ScriptedMessageService messages;
    TextService texts;
    InstallationSettings settings;
    FakeProcessRunner runner;
    int eventRounds = 0;
    int releases = 0;
    std::function<void(RunningProcess&)> waitForIde;
};

} // namespace korvana::ide::test
