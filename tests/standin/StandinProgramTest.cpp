#include "ide/ToolBoxRecords.h"
#include "platform/FileRegistry.h"
#include "platform/Process.h"
#include "support/ScratchDir.h"

#include <cstdlib>
#include <gtest/gtest.h>
#include <nlohmann/json.hpp>
#include <optional>

namespace korvana {
namespace {

using namespace std::chrono_literals;

const char* const vb5Key = "Software\\Microsoft\\Visual Basic\\5.0";
const char* const vb6Key = "Software\\Microsoft\\Visual Basic\\6.0";

// Sets environment variables for the programs started meanwhile and puts the
// old values back afterwards.
class ScopedEnvironment {
  public:
    void set(const char* name, const std::string& value) {
        const char* old = std::getenv(name);
        saved_.push_back({name, old ? std::optional<std::string>(old) : std::nullopt});
        setenv(name, value.c_str(), 1);
    }
    ~ScopedEnvironment() {
        for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
            if (it->second) {
                setenv(it->first, it->second->c_str(), 1);
            } else {
                unsetenv(it->first);
            }
        }
    }

  private:
    std::vector<std::pair<const char*, std::optional<std::string>>> saved_;
};

// The built stand-in, run headless as the launcher runs the IDE, against a
// scratch system root.
class StandinProgramTest : public ::testing::Test {
  protected:
    StandinProgramTest() {
        std::filesystem::create_directories(scratch_ / "VB98");
        std::filesystem::create_symlink(KORVANA_BIN_DIR "/vb-standin",
                                        scratch_ / "VB98" / "VB6.exe");
        std::filesystem::create_symlink(KORVANA_BIN_DIR "/vb-standin",
                                        scratch_ / "VB98" / "VB5.exe");
    }

    std::unique_ptr<RunningProcess> start(const std::string& executable, const std::string& script,
                                          const std::string& arguments) {
        ScopedEnvironment environment;
        environment.set("KORVANA_ROOT", scratch_.path().string());
        environment.set("VB_STANDIN_SCRIPT", script);
        environment.set("VB_STANDIN_REPORT", report().string());
        return runner_->start("\"" + (scratch_ / "VB98" / executable).string() + "\" " + arguments);
    }

    int run(const std::string& executable, const std::string& script,
            const std::string& arguments = {}) {
        const auto process = start(executable, script, arguments);
        EXPECT_TRUE(process->waitFor(60s));
        return process->exitCode().value_or(-1);
    }

    std::filesystem::path report() const { return scratch_ / "report.json"; }
    nlohmann::json readReport() const { return nlohmann::json::parse(test::readFile(report())); }

    std::optional<RegistryValue> userValue(const char* key, const char* name) const {
        return registry_.value(Hive::CurrentUser, key, name);
    }

    test::ScratchDir scratch_;
    FileRegistry registry_{scratch_ / "registry"};
    std::unique_ptr<ProcessRunner> runner_ = makeProcessRunner();
};

TEST_F(StandinProgramTest, ReportsWhatThePreparedIdeFindsAndLeavesTheScriptedLayout) {
    registry_.writeBinary(Hive::CurrentUser, vb6Key, "Tool",
                          ide::serializeToolBox({{{1, "General"}, {2, "KorvanaStudio"}},
                                                 {{2, "KV4BarLib.KVBar"}, {1, "VB.Timer"}}}));
    registry_.writeBinary(Hive::CurrentUser, vb6Key, "Dock", {0x01, 0x02});
    test::writeFile(scratch_ / "windows" / "VBAddIn.ini",
                    "[Add-Ins32]\r\nKVAddIn.Connect=0\r\nKV4AddIn.Connect=1\r\n");
    const std::string project = (scratch_ / "My Projects" / "Demo.vbp").string();

    EXPECT_EQ(run("VB6.exe", "dock=0a0b0c;ui=ff00;sleep-ms=20;exit=3", "\"" + project + "\""), 3);

    const auto report = readReport();
    EXPECT_EQ(report["arguments"], nlohmann::json::array({project}));
    EXPECT_EQ(report["version"], 6);
    EXPECT_EQ(report["tabs"], nlohmann::json::parse(R"([
        {"id": 1, "name": "General", "controls": ["VB.Timer"]},
        {"id": 2, "name": "KorvanaStudio", "controls": ["KV4BarLib.KVBar"]}])"));
    EXPECT_EQ(report["addIns"], nlohmann::json::array({"KV4AddIn.Connect"}));
    EXPECT_EQ(report["dock"], "0102");
    EXPECT_TRUE(report["ui"].is_null());
    EXPECT_EQ(report["problems"], nlohmann::json::array());

    EXPECT_EQ(userValue(vb6Key, "Dock"), RegistryValue::binary({0x0a, 0x0b, 0x0c}));
    EXPECT_EQ(userValue(vb6Key, "UI"), RegistryValue::binary({0xff, 0x00}));
}

TEST_F(StandinProgramTest, EachNameRunsItsOwnVersion) {
    for (const auto& [executable, version, key, other] :
         {std::tuple{"VB5.exe", 5, vb5Key, vb6Key}, std::tuple{"VB6.exe", 6, vb6Key, vb5Key}}) {
        SCOPED_TRACE(executable);
        registry_.deleteKey(Hive::CurrentUser, "Software\\Microsoft\\Visual Basic");
        EXPECT_EQ(run(executable, "ui=05"), 0);
        EXPECT_EQ(readReport()["version"], version);
        EXPECT_EQ(userValue(key, "UI"), RegistryValue::binary({0x05}));
        EXPECT_FALSE(userValue(other, "UI"));
    }
}

TEST_F(StandinProgramTest, DeletesTheValuesTheScriptDeletes) {
    registry_.writeBinary(Hive::CurrentUser, vb6Key, "Dock", {1});
    registry_.writeBinary(Hive::CurrentUser, vb6Key, "UI", {2});
    registry_.writeBinary(Hive::CurrentUser, vb6Key, "Tool", {3, 3});
    EXPECT_EQ(run("VB6.exe", "dock=-;ui=-"), 0);
    EXPECT_FALSE(userValue(vb6Key, "Dock"));
    EXPECT_FALSE(userValue(vb6Key, "UI"));
    EXPECT_EQ(userValue(vb6Key, "Tool"), RegistryValue::binary({3, 3}));
    // The damaged toolbox was told, not fatal.
    EXPECT_EQ(readReport()["problems"].size(), 1u);
}

TEST_F(StandinProgramTest, ABadScriptChangesNothingAndEndsWithCodeTwo) {
    registry_.writeBinary(Hive::CurrentUser, vb6Key, "Dock", {1});
    for (const char* script : {"dock=0a;bogus", "dock=xyz", "exit=300"}) {
        SCOPED_TRACE(script);
        EXPECT_EQ(run("VB6.exe", script), 2);
        EXPECT_EQ(userValue(vb6Key, "Dock"), RegistryValue::binary({1}));
        EXPECT_FALSE(std::filesystem::exists(report()));
    }
}

TEST_F(StandinProgramTest, RunsForTheScriptedTime) {
    const auto process = start("VB6.exe", "sleep-ms=600", "x.vbp");
    EXPECT_FALSE(process->waitFor(200ms));
    EXPECT_TRUE(process->waitFor(60s));
    EXPECT_EQ(process->exitCode(), 0);
}

} // namespace
} // namespace korvana
