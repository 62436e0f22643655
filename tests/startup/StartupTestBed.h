#pragma once

#include "platform/Files.h"
#include "project/RegisteredProject.h"
#include "services/ConfigurationComponent.h"
#include "services/InstallationSettings.h"
#include "startup/Launcher.h"
#include "startup/MKorvanaStudio.h"
#include "startup/StartupContext.h"
#include "startup/StartupHost.h"
#include "support/MemoryRegistry.h"
#include "support/ProjectDatabase.h"
#include "support/ScratchDir.h"
#include "text/ScriptedMessageService.h"
#include "text/TextService.h"

#include <deque>
#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace korvana::test {

// The program's windows, replaced by a log of what the start-up asked of them.
// The project-open dialog answers from a script (Nothing once it runs dry);
// the new-project dialog cancels unless told otherwise.
class FakeHost : public StartupHost {
  public:
    explicit FakeHost(std::vector<std::string>& events) : events_(events) {}

    void showMainWindow() override { events_.emplace_back("showMainWindow"); }
    void showSplash() override { events_.emplace_back("showSplash"); }
    void setHelpFile(const std::string& path) override { events_.push_back("setHelpFile:" + path); }
    void initReady() override { events_.emplace_back("initReady"); }
    CKVProject chooseProject(const ProjectDialogServices& /*services*/) override {
        events_.emplace_back("chooseProject");
        if (choices.empty()) {
            return {};
        }
        CKVProject chosen = std::move(choices.front());
        choices.pop_front();
        return chosen;
    }
    void showNewProjectDialog(CKVProject& project,
                              const ProjectDialogServices& /*services*/) override {
        events_.emplace_back("showNewProjectDialog");
        if (newProjectDialog) {
            newProjectDialog(project);
        } else {
            project.EProjectOpen = ProjectOpen::Nothing;
        }
    }
    void unloadMainWindow() override { events_.emplace_back("unloadMainWindow"); }
    void processEvents() override {}

    std::deque<CKVProject> choices;
    std::function<void(CKVProject&)> newProjectDialog;

  private:
    std::vector<std::string>& events_;
};

// Records the run it was asked for and lets the configuration component go, as
// the real launcher does before the IDE starts.
class FakeLauncher : public Launcher {
  public:
    FakeLauncher(std::int16_t version, std::vector<std::string>& events,
                 std::function<void()> releaseConfiguration)
        : version_(version), events_(events), release_(std::move(releaseConfiguration)) {}

    std::int16_t VBVersion() const override { return version_; }
    void Start(CKVProject& project) override {
        release_();
        events_.push_back("Start:" + project.ProjectName);
    }

  private:
    std::int16_t version_;
    std::vector<std::string>& events_;
    std::function<void()> release_;
};

// An installation in a scratch folder, an in-memory registry, scripted
// messages and fakes for the windows, the launcher and the database check.
// Everything the start-up does lands in `events`, in order.
class StartupTestBed : public testing::Test {
  protected:
    StartupTestBed() {
        std::filesystem::create_directories(scratch / "Korvana");
        registry.writeString(Hive::LocalMachine, keys::installation, "Path", root() + "/Korvana");
        registry.writeString(Hive::LocalMachine, keys::maker, "Common", root() + "/Common");
        registry.writeString(Hive::CurrentUser, keys::shellFolders, "Personal", root() + "/Docs");
    }

    std::string root() const { return scratch.path().string(); }

    int run(std::string_view commandLine) { return Main(commandLine, context); }

    // A project file in root/folder whose settings are those creation leaves.
    std::string makeProject(const std::string& folder, const std::string& name) {
        const auto dir = scratch / folder;
        std::filesystem::create_directories(dir);
        const auto file = dir / (name + ".kvs");
        makeProjectDatabase(file);
        ConfigurationComponent writer(registry);
        const auto handle = writer.OpenProject(file.string());
        writer.SetValue(handle, "Global", "ProjectType", SettingValue{std::string("Single")});
        writer.SetValue(handle, "Global", "KorvanaVersion", SettingValue{std::string("4.05.000")});
        writer.SetValue(handle, "Global", "Designer",
                        SettingValue{std::string("Visual Basic 6.0")});
        writer.SetValue(handle, "Global", "DesignerProject", SettingValue{name + ".vbp"});
        writer.CloseProject(handle);
        return file.string();
    }

    void registerProject(const std::string& name, const std::string& folder,
                         const std::string& type = "Single") {
        const std::string key = std::string(projectsKey) + "\\" + name;
        registry.writeString(Hive::LocalMachine, key, "Path", folder);
        registry.writeString(Hive::LocalMachine, key, "ProjectType", type);
    }

    // A project made and registered in root/name.
    void makeRegisteredProject(const std::string& name) {
        makeProject(name, name);
        registerProject(name, root() + "/" + name);
    }

    std::string registeredPath(const std::string& name) const {
        return registry.readString(Hive::LocalMachine, std::string(projectsKey) + "\\" + name,
                                   "Path");
    }

    std::optional<std::string> recent(int position) const {
        const auto value =
            registry.value(Hive::CurrentUser, keys::recentProjects, std::to_string(position));
        if (!value) {
            return std::nullopt;
        }
        return std::get<std::string>(value->data);
    }

    // The events that begin with the prefix, without it.
    std::vector<std::string> eventsStartingWith(const std::string& prefix) const {
        std::vector<std::string> found;
        for (const auto& event : events) {
            if (event.starts_with(prefix)) {
                found.push_back(event.substr(prefix.size()));
            }
        }
        return found;
    }
    std::vector<std::string> checks() const { return eventsStartingWith("check:"); }
    std::vector<std::string> starts() const { return eventsStartingWith("Start:"); }

    static constexpr const char* projectsKey = "Software\\ARVENTIK GmbH\\Korvana\\4.0\\Projects";

    ScratchDir scratch;
    MemoryRegistry registry;
    Files files;
    ScriptedMessageService messages;
    TextService texts;
    InstallationSettings settings;
    std::vector<std::string> events;
    FakeHost host{events};
    std::int16_t vbVersion = 6;
    bool configurationFails = false;
    // What the check of a project gives; a finished check without one.
    std::function<dbupgrade::CheckResult(const std::string&)> onCheck;

    StartupContext context{
        registry,
        files,
        messages,
        texts,
        settings,
        host,
        [this]() -> std::unique_ptr<ConfigurationComponent> {
            events.emplace_back("createConfiguration");
            return configurationFails ? nullptr
                                      : std::make_unique<ConfigurationComponent>(registry);
        },
        [this](std::function<void()> release) -> std::unique_ptr<Launcher> {
            events.emplace_back("createLauncher");
            return std::make_unique<FakeLauncher>(vbVersion, events, std::move(release));
        },
        [this](ConfigurationComponent&, const std::string& name, const dbupgrade::CheckObserver&) {
            events.push_back("check:" + name);
            return onCheck ? onCheck(name)
                           : dbupgrade::CheckResult{dbupgrade::CheckOutcome::Checked};
        }};
};

} // namespace korvana::test
