#include "db/SettingsTable.h"

#include "DbTestSupport.h"
#include "db/InternalTables.h"
#include "platform/Error.h"
#include "platform/ErrorNumbers.h"

#include <functional>
#include <gmock/gmock.h>

namespace korvana::db::test {
namespace {

using ::testing::HasSubstr;

class SettingsTableTest : public DbTest {
  protected:
    // Rows as a hand edit or another tool would leave them.
    void storeRaw(const std::string& typeNumber, const std::string& valueLiteral) {
        settings.set("G", "K", std::string());
        exec("UPDATE kv_settings SET Type = " + typeNumber + ", Value = " + valueLiteral);
    }

    // Whether the refusal is the settings' own, naming the file and the key.
    void expectRefused(const std::function<void()>& read, const char* reader, int number) {
        try {
            read();
            ADD_FAILURE() << reader << " accepted it";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), number) << reader << ": " << error.what();
            EXPECT_THAT(error.what(), HasSubstr("'" + path_ + "'")) << reader;
        }
    }

    SettingsTable settings{db_.connection()};
};

const SettingDate created = makeSettingDate(2026, 12, 6, 16, 53, 33);

TEST_F(SettingsTableTest, ValuesKeepTheirTypeInTheStoredFormOtherReadersShare) {
    const struct {
        SettingValue value;
        std::int64_t typeNumber;
        const char* storage; // SQLite's typeof()
        const char* stored;
    } cases[] = {
        {std::string("0042"), 8, "text", "0042"},
        {std::string(), 8, "text", ""},
        {std::int32_t{2147483647}, 3, "integer", "2147483647"},
        {std::int32_t{-2147483647 - 1}, 3, "integer", "-2147483648"},
        {std::int16_t{32767}, 2, "integer", "32767"},
        {std::int16_t{-32768}, 2, "integer", "-32768"},
        {created, 7, "text", "2026-12-06 16:53:33"},
        {makeSettingDate(1, 1, 1), 7, "text", "0001-01-01 00:00:00"},
    };
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        settings.set("Global", "Key" + std::to_string(i), cases[i].value);
    }
    // Committed as set: another connection reads them without a close.
    sqlite::Database reader(path_, sqlite::Database::Mode::ReadOnly);
    SettingsTable other(reader);
    for (std::size_t i = 0; i < std::size(cases); ++i) {
        const std::string key = "Key" + std::to_string(i);
        SCOPED_TRACE(key);
        EXPECT_EQ(other.find("Global", key), cases[i].value);
        auto row = reader.prepare("SELECT Type, typeof(Value), Value FROM kv_settings "
                                  "WHERE Key = ?1");
        row.bind(1, key);
        ASSERT_TRUE(row.step());
        EXPECT_EQ(row.getInt(0), cases[i].typeNumber);
        EXPECT_EQ(row.getText(1), cases[i].storage);
        EXPECT_EQ(row.getText(2), cases[i].stored);
    }
}

TEST_F(SettingsTableTest, StoredRowsThatDoNotFitTheirTypeAreRefusedByEveryReader) {
    const struct {
        const char* type;
        const char* value;
        std::optional<SettingValue> expected; // nothing: refused
    } cases[] = {
        {"8", "'Single'", SettingValue{std::string("Single")}},
        {"8", "x'00'", std::nullopt},
        {"3", "2147483647", SettingValue{std::int32_t{2147483647}}},
        {"3", "2147483648", std::nullopt},
        {"3", "-2147483649", std::nullopt},
        {"3", "'7'", std::nullopt},
        {"3", "7.0", std::nullopt},
        {"3", "NULL", std::nullopt},
        {"2", "-32768", SettingValue{std::int16_t{-32768}}},
        {"2", "32767", SettingValue{std::int16_t{32767}}},
        {"2", "32768", std::nullopt},
        {"2", "-32769", std::nullopt},
        {"7", "'0001-01-01 00:00:00'", SettingValue{makeSettingDate(1, 1, 1)}},
        {"7", "'31.12.2020'", std::nullopt},
        {"7", "'2023-02-29 00:00:00'", std::nullopt},
        {"7", "20200101", std::nullopt},
        {"99", "1", std::nullopt},
        {"0", "NULL", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("type ") + c.type + ", value " + c.value);
        storeRaw(c.type, c.value);
        if (c.expected) {
            EXPECT_EQ(settings.find("G", "K"), c.expected);
            EXPECT_EQ(settings.section("G"), (std::vector<Setting>{{"K", *c.expected}}));
            EXPECT_EQ(settings.readAll(), (std::vector<SettingRow>{{"G", "K", *c.expected}}));
            continue;
        }
        const int mismatch = runtimeErrors::typeMismatch;
        expectRefused([&] { settings.find("g", "k"); }, "find", mismatch);
        expectRefused([&] { settings.section("G"); }, "section", mismatch);
        expectRefused([&] { settings.readAll(); }, "readAll", mismatch);
        EXPECT_EQ(settings.sectionNames(), std::vector<std::string>{"G"}); // names only
    }
}

TEST_F(SettingsTableTest, NamesMatchWithoutRegardToCaseAndKeepTheirFirstSpelling) {
    settings.set("Global", "ProjectName", std::string("Demo"));
    settings.set("GLOBAL", "PROJECTNAME", std::string("Renamed"));
    settings.set("global", "Designer", std::string("Visual Basic 6.0"));

    EXPECT_EQ(settings.find("gLoBaL", "projectname"), SettingValue(std::string("Renamed")));
    const std::vector<Setting> expected{{"ProjectName", std::string("Renamed")},
                                        {"Designer", std::string("Visual Basic 6.0")}};
    EXPECT_EQ(settings.section("GLOBAL"), expected);
    EXPECT_EQ(settings.sectionNames(), std::vector<std::string>{"Global"});
}

TEST_F(SettingsTableTest, KeysAndSectionsListInTheOrderTheyWereFirstWritten) {
    settings.set("ServerComponents", "KVEKernel", std::int16_t{1});
    settings.set("Global", "ProjectName", std::string("Demo"));
    settings.set("ServerComponents", "KVPdb", std::int16_t{1});
    settings.set("ServerComponents", "KVFormula", std::int16_t{0});
    // Overwriting, even with another type, keeps the key's place.
    settings.set("ServerComponents", "KVEKernel", std::string("x"));

    const std::vector<Setting> expected{{"KVEKernel", std::string("x")},
                                        {"KVPdb", std::int16_t{1}},
                                        {"KVFormula", std::int16_t{0}}};
    EXPECT_EQ(settings.section("ServerComponents"), expected);
    EXPECT_EQ(settings.sectionNames(), (std::vector<std::string>{"ServerComponents", "Global"}));
    EXPECT_TRUE(settings.section("ClientConfig").empty());
}

// Many rows at once (a database made from a description) follow the rules of
// single values: first spelling and first place win.
TEST_F(SettingsTableTest, WritingManyRowsSetsEachAsASingleValueWould) {
    settings.write({{"Global", "LCID", std::int32_t{1031}},
                    {"GLOBAL", "Designer", std::string("VB")},
                    {"Other", "A", created},
                    {"global", "lcid", std::int16_t{7}}});
    const std::vector<SettingRow> expected{{"Global", "LCID", std::int16_t{7}},
                                           {"Global", "Designer", std::string("VB")},
                                           {"Other", "A", created}};
    EXPECT_EQ(settings.readAll(), expected);
}

TEST_F(SettingsTableTest, RefusedWritesLeaveNothingBehind) {
    const SettingDate tooLate = std::chrono::local_days{std::chrono::year{10000} / 1 / 1};
    const struct {
        const char* name;
        std::vector<SettingRow> rows;
        int number;
    } cases[] = {
        {"no section", {{"", "K", std::string()}}, runtimeErrors::invalidProcedureCall},
        {"no key", {{"G", "", std::string()}}, runtimeErrors::invalidProcedureCall},
        {"a date past 9999", {{"G", "K", tooLate}}, runtimeErrors::overflow},
        {"a good row before a bad one",
         {{"G", "Fine", std::string("x")}, {"G", "K", tooLate}},
         runtimeErrors::overflow},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        try {
            c.rows.size() == 1 ? settings.set(c.rows[0].section, c.rows[0].key, c.rows[0].value)
                               : settings.write(c.rows);
            ADD_FAILURE() << "written";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), c.number) << error.what();
        }
        EXPECT_TRUE(settings.readAll().empty());
        EXPECT_FALSE(db_.connection().tableExists(settingsTable));
    }
}

TEST_F(SettingsTableTest, AWriteInsideTheCallersTransactionIsUndoneWithIt) {
    {
        sqlite::Transaction transaction(db_.connection());
        settings.set("Global", "LCID", std::int32_t{1031});
        EXPECT_EQ(settings.find("Global", "LCID"), SettingValue(std::int32_t{1031}));
    }
    sqlite::Database reader(path_, sqlite::Database::Mode::ReadOnly);
    EXPECT_TRUE(SettingsTable(reader).readAll().empty());
}

TEST_F(SettingsTableTest, AReadOnlyConnectionIsRefusedByNameNotBySqlite) {
    settings.set("Global", "LCID", std::int32_t{1031});
    sqlite::Database reader(path_, sqlite::Database::Mode::ReadOnly);
    SettingsTable readOnly(reader);
    expectRefused([&] { readOnly.set("Global", "LCID", std::int32_t{1033}); }, "set",
                  runtimeErrors::pathFileAccessError);
    EXPECT_EQ(readOnly.find("Global", "LCID"), SettingValue(std::int32_t{1031}));
}

TEST_F(SettingsTableTest, ADatabaseWithoutSettingsReadsEmptyAndGainsNoTable) {
    EXPECT_EQ(settings.find("Global", "LCID"), std::nullopt);
    EXPECT_TRUE(settings.section("Global").empty());
    EXPECT_TRUE(settings.sectionNames().empty());
    EXPECT_TRUE(settings.readAll().empty());
    settings.write({});
    EXPECT_FALSE(db_.connection().tableExists(settingsTable));
}

} // namespace
} // namespace korvana::db::test
