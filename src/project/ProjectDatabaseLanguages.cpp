#include "project/ProjectDatabaseLanguages.h"

#include "db/Database.h"
#include "platform/Error.h"
#include "project/KVProject.h"

#include <algorithm>
#include <functional>
#include <optional>
#include <string_view>

namespace korvana {

namespace {

constexpr std::string_view textsTable = "TidxTexts";
constexpr std::string_view fontClassesTable = "TidxFontClasses";
constexpr std::string_view languagesTable = "TcfgLanguages";
// The keyboard layout handle of German, which every language row has always had.
constexpr std::int64_t germanKeyboardLayout = 67568647;
// "Arial" in 32 characters, size 8, five zero flags, weight 400.
constexpr std::string_view defaultFontLine =
    "Arial                           8   0   0   0   0   0   400 ";
constexpr Lcid languagesOfEveryTemplate[] = {germanLanguage, englishLanguage};

// A change that fails leaves the database as it was; creation goes on.
void passOver(const std::function<void()>& change) {
    try {
        change();
    } catch (const Error&) {
    }
}

bool chosen(const std::vector<Lcid>& languages, Lcid language) {
    return std::find(languages.begin(), languages.end(), language) != languages.end();
}

db::FieldDef textColumn(std::string name) {
    db::FieldDef field(std::move(name), db::DaoType::Text, db::maxTextSize);
    field.defaultValue = "\"\"";
    field.allowZeroLength = true;
    field.properties.push_back(db::Property::boolean("UnicodeCompression", true));
    return field;
}

db::FieldDef fontClassColumn(std::string name) {
    db::FieldDef field(std::move(name), db::DaoType::Long);
    field.defaultValue = "1";
    field.required = true;
    return field;
}

void adaptColumns(db::Database& database, std::string_view table,
                  const std::vector<Lcid>& languages, db::FieldDef (*column)(std::string name)) {
    if (!database.hasTable(table)) {
        return;
    }
    std::optional<db::TableDef> current;
    passOver([&] { current = database.tableDef(table); });
    if (!current) {
        return;
    }
    std::vector<std::string> dropped;
    for (const Lcid language : languagesOfEveryTemplate) {
        if (!chosen(languages, language) && current->findField(languageKey(language))) {
            dropped.push_back(languageKey(language));
        }
    }
    std::vector<db::FieldDef> added;
    for (const Lcid language : languages) {
        const bool twice = std::any_of(added.begin(), added.end(), [&](const db::FieldDef& field) {
            return field.name == languageKey(language);
        });
        if (!current->findField(languageKey(language)) && !twice) {
            added.push_back(column(languageKey(language)));
        }
    }
    if (dropped.empty() && added.empty()) {
        return;
    }
    // All columns in one change: each on its own makes SQLite read the whole
    // schema again. Should that change fail, each column is tried on its own,
    // so that one that cannot change keeps none of the others from it.
    try {
        database.changeFields(table, dropped, added);
        return;
    } catch (const Error&) {
    }
    for (const auto& name : dropped) {
        passOver([&] { database.deleteField(table, name); });
    }
    for (const auto& field : added) {
        passOver([&] { database.appendField(table, field); });
    }
}

void adaptRows(db::Database& database, const std::vector<Lcid>& languages) {
    if (!database.hasTable(languagesTable)) {
        return;
    }
    auto rows = database.openRecordset(languagesTable);
    rows.setIndex("LCID");
    for (const Lcid language : languagesOfEveryTemplate) {
        if (!chosen(languages, language)) {
            passOver([&] {
                if (rows.seek("=", {db::Value(std::int64_t{language.value})})) {
                    rows.deleteRecord();
                }
            });
        }
    }
    for (const Lcid language : languages) {
        passOver([&] {
            if (!rows.seek("=", {db::Value(std::int64_t{language.value})})) {
                rows.addNew();
                try {
                    rows.setField("LCID", db::Value(std::int64_t{language.value}));
                    rows.setField("KBLayout", db::Value(germanKeyboardLayout));
                    rows.setField("Font", db::Value(std::string(defaultFontLine)));
                    rows.update();
                } catch (const Error&) {
                    rows.cancelUpdate();
                    throw;
                }
            }
        });
    }
}

} // namespace

void adaptProjectLanguages(const std::string& projectFile, const std::vector<Lcid>& languages) {
    // Only identifiers of real languages become column names.
    std::vector<Lcid> wanted;
    std::copy_if(languages.begin(), languages.end(), std::back_inserter(wanted),
                 [](Lcid language) { return language.value > 0; });
    auto database = db::Database::open(projectFile);
    {
        // One commit for all changes: each waits for the disk, and each change
        // is still whole or not there through its own savepoint.
        auto transaction = database.transaction();
        adaptColumns(database, textsTable, wanted, textColumn);
        adaptColumns(database, fontClassesTable, wanted, fontClassColumn);
        passOver([&] { adaptRows(database, wanted); });
        transaction.commit();
    }
    database.close();
}

} // namespace korvana
