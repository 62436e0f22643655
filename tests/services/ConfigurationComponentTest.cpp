#include "ProjectFileFixture.h"
#include "platform/Error.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvana {
namespace {

using test::readFile;
using test::writeFile;

class ConfigurationStore : public test::ProjectFileFixture {
  protected:
    ConfigurationComponent component{registry};
};

const SettingDate created = makeSettingDate(2026, 12, 6, 16, 53, 33);

TEST_F(ConfigurationStore, ValuesKeepTheirTypesAcrossCloseAndReopen) {
    const auto file = makeProjectFile("Demo");
    const std::vector<Setting> stored{{"ProjectVersion", std::string("0042")},
                                      {"LCID", std::int32_t{1031}},
                                      {"KVPdb", std::int16_t{1}},
                                      {"DateCreated", created},
                                      {"Comment", std::string()},
                                      {"Limit", std::int32_t{-2147483647 - 1}}};
    const auto handle = component.OpenProject(file.string());
    for (const auto& [key, value] : stored) {
        component.SetValue(handle, "Global", key, value);
    }
    component.CloseProject(handle);

    ConfigurationComponent other(registry);
    const auto again = other.OpenProject(file.string());
    EXPECT_EQ(other.GetSection(again, "Global"), stored);
    other.CloseProject(again);

    // The stored form is shared with every other reader of the project file.
    sqlite::Database reader(file.string(), sqlite::Database::Mode::ReadOnly);
    auto row = reader.prepare("SELECT Type, Value FROM kv_settings WHERE Key = 'DateCreated'");
    ASSERT_TRUE(row.step());
    EXPECT_EQ(row.getInt(0), 7);
    EXPECT_EQ(row.getText(1), "2026-12-06 16:53:33");
}

TEST_F(ConfigurationStore, AValueSetSurvivesAProcessThatDiesBeforeClosing) {
    const auto file = makeProjectFile("Demo");
    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        ConfigurationComponent doomed(registry);
        const auto handle = doomed.OpenProject(file.string());
        doomed.SetValue(handle, "Global", "KorvanaVersion", std::string("4.05.000"));
        _exit(0); // no close, no destructors
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));

    const auto handle = component.OpenProject(file.string());
    EXPECT_EQ(component.GetValue(handle, "Global", "KorvanaVersion", std::string()),
              SettingValue(std::string("4.05.000")));
}

TEST_F(ConfigurationStore, AbsentKeysGiveTheDefaultWithoutTouchingTheFile) {
    const auto file = makeProjectFile("Demo");
    const std::string before = readFile(file);
    const auto handle = component.OpenProject(file.string());
    EXPECT_EQ(component.GetValue(handle, "Global", "DBVersion", std::string()),
              SettingValue(std::string()));
    EXPECT_EQ(component.GetValue(handle, "ServerComponents", "KVPdb", std::int32_t{0}),
              SettingValue(std::int32_t{0}));
    EXPECT_EQ(component.FindValue(handle, "Global", "DBVersion"), std::nullopt);
    EXPECT_TRUE(component.GetSection(handle, "Global").empty());
    EXPECT_TRUE(component.GetSectionNames(handle).empty());
    component.CloseProject(handle);
    EXPECT_EQ(readFile(file), before);

    const auto again = component.OpenProject(file.string());
    component.SetValue(again, "Global", "LCID", std::int32_t{1033});
    EXPECT_EQ(component.GetValue(again, "Global", "Missing", created), SettingValue(created));
    EXPECT_EQ(component.GetValue(again, "Other", "LCID", std::string("d")),
              SettingValue(std::string("d")));
}

TEST_F(ConfigurationStore, FilesThatAreNotDatabasesAreRefusedAndLeftAsTheyWere) {
    const std::vector<std::pair<std::string, std::string>> files{
        {"Text.kvs", "[Global]\r\nProjectName=Demo\r\n"},
        {"Empty.kvs", ""},
        {"Short.kvs", "SQLite format"},
        {"Jet.kvs",
         std::string("\x00\x01\x00\x00Standard Jet DB\x00", 20) + std::string(2000, 'j')},
    };
    for (const auto& [name, content] : files) {
        const auto file = scratch / name;
        writeFile(file, content);
        try {
            component.OpenProject(file.string());
            ADD_FAILURE() << name << " was opened";
        } catch (const Error& error) {
            EXPECT_NE(std::string(error.what()).find("not a SQLite database"), std::string::npos)
                << error.what();
        }
        EXPECT_EQ(readFile(file), content) << name;
    }
    // Not even a journal was left behind.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()),
                            std::filesystem::directory_iterator()),
              static_cast<std::ptrdiff_t>(files.size()));
    EXPECT_EQ(component.OpenHandleCount(), 0u);
}

// A SQLite file the database layer did not make is another program's data:
// neither read as settings nor given a settings table.
TEST_F(ConfigurationStore, SqliteFilesNotMadeAsProjectDatabasesAreRefusedAndLeftAsTheyWere) {
    struct Foreign {
        const char* name;
        const char* schema;
        bool writeProtected;
    };
    const Foreign cases[] = {
        {"Browser.kvs", "CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT)", false},
        {"Tables.kvs", "CREATE TABLE TcfgBinary (Name TEXT, Data BLOB)", false},
        {"Protected.kvs", "CREATE TABLE TcfgBinary (Name TEXT)", true},
        // settings alone, as a hand-made file might hold them
        {"Settings.kvs",
         "CREATE TABLE kv_settings (Section TEXT, Key TEXT, Type INTEGER, Value);"
         "INSERT INTO kv_settings VALUES ('Global', 'ProjectType', 8, 'Single')",
         false},
        // part of a catalogue is no catalogue
        {"Partial.kvs",
         "CREATE TABLE kv_columns (TableName TEXT, ColumnName TEXT);"
         "CREATE TABLE kv_properties (TableName TEXT)",
         false},
    };
    for (const auto& foreign : cases) {
        SCOPED_TRACE(foreign.name);
        const auto file = scratch / foreign.name;
        {
            sqlite::Database db(file.string(), sqlite::Database::Mode::Create);
            db.exec(foreign.schema);
        }
        if (foreign.writeProtected) {
            ASSERT_EQ(chmod(file.c_str(), 0444), 0);
        }
        const std::string before = readFile(file);
        try {
            const auto handle = component.OpenProject(file.string());
            component.SetValue(handle, "Global", "KorvanaVersion", std::string("4.05.000"));
            ADD_FAILURE() << "opened";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), 3343);
            EXPECT_NE(std::string(error.what()).find("'" + file.string() + "'"), std::string::npos)
                << error.what();
            EXPECT_NE(std::string(error.what()).find("is not a project database"),
                      std::string::npos)
                << error.what();
        }
        EXPECT_EQ(readFile(file), before);
        // Reading by a registered name meets the same refusal.
        registerProject(std::filesystem::path(foreign.name).stem().string(),
                        scratch.path().string());
        EXPECT_THROW(component.OpenProject(std::filesystem::path(foreign.name).stem().string()),
                     Error);
        EXPECT_EQ(readFile(file), before);
    }
    EXPECT_EQ(component.OpenHandleCount(), 0u);
    // No journal or other file was left beside them.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(scratch.path()),
                            std::filesystem::directory_iterator()),
              static_cast<std::ptrdiff_t>(std::size(cases)));
}

TEST_F(ConfigurationStore, AWriteProtectedFileCanBeReadButNotChanged) {
    const auto file = makeProjectFile("Demo");
    {
        const auto handle = component.OpenProject(file.string());
        component.SetValue(handle, "Global", "ProjectType", std::string("Single"));
        component.CloseProject(handle);
    }
    ASSERT_EQ(chmod(file.c_str(), 0444), 0);
    const std::string before = readFile(file);

    const auto handle = component.OpenProject(file.string());
    EXPECT_TRUE(component.IsReadOnly(handle));
    EXPECT_EQ(component.GetValue(handle, "Global", "ProjectType", std::string()),
              SettingValue(std::string("Single")));
    try {
        component.SetValue(handle, "Global", "ProjectType", std::string("Server"));
        ADD_FAILURE() << "a write-protected file was written";
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("write-protected"), std::string::npos);
    }
    component.CloseProject(handle);
    EXPECT_EQ(readFile(file), before);
}

TEST_F(ConfigurationStore, TwoHandlesOnOneFileSeeEachOthersValues) {
    const auto file = makeProjectFile("Demo");
    const auto first = component.OpenProject(file.string());
    const auto second = component.OpenProject(file.string());
    ASSERT_NE(first, second);
    EXPECT_EQ(component.GetValue(second, "Global", "DBVersion", std::string()),
              SettingValue(std::string()));

    component.SetValue(first, "Global", "DBVersion", std::string("4.01.007"));
    EXPECT_EQ(component.GetValue(second, "Global", "DBVersion", std::string()),
              SettingValue(std::string("4.01.007")));
    component.CloseProject(first);
    component.SetValue(second, "Global", "DBVersion", std::string("4.05.000"));
    component.CloseProject(second);

    const auto third = component.OpenProject(file.string());
    EXPECT_EQ(component.GetValue(third, "Global", "DBVersion", std::string()),
              SettingValue(std::string("4.05.000")));
}

TEST_F(ConfigurationStore, ABatchKeepsEachGoodWriteAndShowsThemToOthersOnlyOnCommit) {
    const auto file = makeProjectFile("Demo");
    const auto handle = component.OpenProject(file.string());
    ConfigurationComponent other(registry);
    const auto watcher = other.OpenProject(file.string());
    {
        auto batch = component.BeginBatch(handle);
        component.SetValue(handle, "Global", "ProjectName", std::string("Demo"));
        EXPECT_THROW(component.SetValue(handle, "Global", "", std::string("lost")), Error);
        component.SetValue(handle, "Global", "LCID", std::int32_t{1031});
        EXPECT_EQ(component.GetValue(handle, "Global", "LCID", std::int32_t{0}),
                  SettingValue(std::int32_t{1031}));
        EXPECT_FALSE(other.FindValue(watcher, "Global", "ProjectName"));
        EXPECT_THROW(component.BeginBatch(handle), Error);
        batch.commit();
        EXPECT_THROW(batch.commit(), Error);
    }
    EXPECT_EQ(
        other.GetSection(watcher, "Global"),
        (std::vector<Setting>{{"ProjectName", std::string("Demo")}, {"LCID", std::int32_t{1031}}}));
    // The handle writes through again after the batch.
    component.SetValue(handle, "Global", "Comment", std::string("after"));
    EXPECT_TRUE(other.FindValue(watcher, "Global", "Comment"));
}

TEST_F(ConfigurationStore, ABatchNotCommittedLeavesTheFileAsItWas) {
    const auto file = makeProjectFile("Demo");
    const std::string before = readFile(file);
    const auto handle = component.OpenProject(file.string());
    {
        auto abandoned = component.BeginBatch(handle);
        component.SetValue(handle, "Global", "ProjectName", std::string("Gone"));
    }
    EXPECT_FALSE(component.FindValue(handle, "Global", "ProjectName"));

    auto closedUnder = component.BeginBatch(handle);
    component.SetValue(handle, "Global", "ProjectName", std::string("Gone too"));
    component.CloseProject(handle);
    EXPECT_THROW(closedUnder.commit(), Error);
    EXPECT_EQ(readFile(file), before);
}

TEST_F(ConfigurationStore, ClosedOrUnknownHandlesAndNamelessKeysAreRefused) {
    const auto handle = component.OpenProject(makeProjectFile("Demo").string());
    EXPECT_THROW(component.SetValue(handle, "", "Key", std::string()), Error);
    EXPECT_THROW(component.SetValue(handle, "Global", "", std::string()), Error);
    component.CloseProject(handle);
    EXPECT_THROW(component.GetValue(handle, "Global", "Key", std::string()), Error);
    EXPECT_THROW(component.CloseProject(handle), Error);
    EXPECT_THROW(component.GetSection(ProjectHandle{0}, "Global"), Error);
}

// The table's own checks reach the store's callers with the file named.
TEST_F(ConfigurationStore, AStoredValueThatDoesNotFitItsTypeIsATypeMismatch) {
    const auto file = makeProjectFile("Demo");
    {
        const auto handle = component.OpenProject(file.string());
        component.SetValue(handle, "G", "Wide", std::int16_t{1});
        component.CloseProject(handle);
        sqlite::Database db(file.string(), sqlite::Database::Mode::ReadWrite);
        db.exec("UPDATE kv_settings SET Value = 40000");
    }
    const auto handle = component.OpenProject(file.string());
    try {
        component.GetValue(handle, "G", "Wide", std::string());
        ADD_FAILURE() << "read";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), 13);
        EXPECT_NE(std::string(error.what()).find(file.string()), std::string::npos);
    }
}

} // namespace
} // namespace korvana
