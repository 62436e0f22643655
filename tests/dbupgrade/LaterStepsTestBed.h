#pragma once

#include "db/Database.h"
#include "db/json/DatabaseJson.h"
#include "dbupgrade/steps/UpgradeSteps.h"
#include "services/ResolveProjectFile.h"
#include "support/MemoryRegistry.h"
#include "support/RecordingLog.h"
#include "support/ScratchDir.h"
#include "text/TextService.h"

#include <array>
#include <filesystem>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace korvana::test {

struct NamedStep {
    const char* version;
    dbupgrade::UpgradeStep step;
};

// The steps from the formula tables to the current layout, in ladder order.
inline constexpr std::array<NamedStep, 17> laterSteps{{
    {"4.01.012", dbupgrade::Upgrade_4_01_012},
    {"4.01.013", dbupgrade::Upgrade_4_01_013},
    {"4.01.014", dbupgrade::Upgrade_4_01_014},
    {"4.01.015", dbupgrade::Upgrade_4_01_015},
    {"4.01.016", dbupgrade::Upgrade_4_01_016},
    {"4.01.017", dbupgrade::Upgrade_4_01_017},
    {"4.01.018", dbupgrade::Upgrade_4_01_018},
    {"4.01.019", dbupgrade::Upgrade_4_01_019},
    {"4.01.020", dbupgrade::Upgrade_4_01_020},
    {"4.04.000", dbupgrade::Upgrade_4_04_000},
    {"4.04.001", dbupgrade::Upgrade_4_04_001},
    {"4.04.002", dbupgrade::Upgrade_4_04_002},
    {"4.04.003", dbupgrade::Upgrade_4_04_003},
    {"4.04.004", dbupgrade::Upgrade_4_04_004},
    {"4.04.005", dbupgrade::Upgrade_4_04_005},
    {"4.04.006", dbupgrade::Upgrade_4_04_006},
    {"4.05.000", dbupgrade::Upgrade_4_05_000},
}};

// The registered project "Plant" made from the legacy fixture.
class LaterStepsBed {
  public:
    explicit LaterStepsBed(Lcid language = Lcid{1031}) : texts(language) {
        std::filesystem::create_directories(projectFile.parent_path());
        registry.setValue(Hive::LocalMachine, std::string(keys::projects) + "\\Plant", "Path",
                          RegistryValue::string(projectFile.parent_path().string()));
        db::json::createDatabaseFromJson(projectFile.string(),
                                         readFile(std::filesystem::path(KORVANA_SOURCE_DIR) /
                                                  "tests/fixtures" / "legacy-project.json"));
    }

    void run(dbupgrade::UpgradeStep step) { step(environment, "Plant"); }

    // Runs the later steps in order, up to and including `version`.
    void runThrough(std::string_view version) {
        for (const auto& named : laterSteps) {
            run(named.step);
            if (named.version == version) {
                return;
            }
        }
    }

    db::Database open() const { return db::Database::open(projectFile.string()); }

    std::vector<std::vector<db::Value>> rows(std::string_view jetSelect) const {
        auto database = open();
        return database.query(jetSelect).rows;
    }
    db::Value single(std::string_view jetSelect) const {
        const auto found = rows(jetSelect);
        return found.size() == 1 && found.front().size() == 1 ? found.front().front() : db::Value();
    }
    void execute(std::string_view jetSql) const {
        auto database = open();
        database.execute(jetSql);
    }
    void dropTable(std::string_view table) const {
        auto database = open();
        database.deleteTableDef(table);
    }
    db::TableDef table(std::string_view name) const { return open().tableDef(name); }
    bool hasTable(std::string_view name) const { return open().hasTable(name); }
    std::string snapshot() const { return db::json::dumpDatabase(projectFile.string(), true); }

    ScratchDir scratch;
    std::filesystem::path projectFile = scratch / "Projects" / "Plant" / "Plant.kvs";
    MemoryRegistry registry;
    TextService texts;
    RecordingLog log;
    dbupgrade::UpgradeEnvironment environment{registry, texts, log};
};

inline std::int64_t number(const db::Value& value) {
    const auto* found = std::get_if<std::int64_t>(&value);
    return found ? *found : -999999;
}
inline std::string text(const db::Value& value) {
    const auto* found = std::get_if<std::string>(&value);
    return found ? *found : std::string("<not text>");
}

} // namespace korvana::test
