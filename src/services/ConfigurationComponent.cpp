#include "services/ConfigurationComponent.h"

#include "db/Catalogue.h"
#include "db/DbErrors.h"
#include "db/InternalTables.h"
#include "db/Sqlite.h"
#include "platform/Error.h"
#include "services/ResolveProjectFile.h"

#include <array>
#include <cstring>
#include <fstream>
#include <limits>
#include <sqlite3.h>
#include <unistd.h>

namespace korvana {

namespace {

constexpr int invalidProcedureCall = 5;
constexpr int typeMismatch = 13;
constexpr int pathFileAccessError = 75;

// Every SQLite database begins with these 16 bytes. Checking them ourselves
// means a foreign file is refused before SQLite ever holds it open for writing.
constexpr std::array<char, 16> sqliteHeader = {'S', 'Q', 'L', 'i', 't', 'e', ' ', 'f',
                                               'o', 'r', 'm', 'a', 't', ' ', '3', '\0'};

void requireDatabaseFile(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        throw Error("The project file '" + file.string() + "' cannot be read", pathFileAccessError);
    }
    std::array<char, sqliteHeader.size()> start{};
    in.read(start.data(), static_cast<std::streamsize>(start.size()));
    // SQLite would take an empty file for an empty database and make it one on
    // the first write; a project file is never empty.
    if (in.gcount() == 0) {
        throw Error("'" + file.string() +
                        "' is not a project file: it is empty, not a SQLite database",
                    db::errors::notADatabase);
    }
    if (in.gcount() != static_cast<std::streamsize>(start.size()) || start != sqliteHeader) {
        throw Error("'" + file.string() + "' is not a project file: it is not a SQLite database",
                    db::errors::notADatabase);
    }
}

// A SQLite file that another program made (a browser's history, a copy of some
// tool's data) must not gain a settings table: the store keeps settings only
// in a project database, which carries the engine's catalogue from its first
// commit. Reading the schema writes nothing, so a refused file stays as it was.
void requireProjectDatabase(sqlite::Database& db, const std::filesystem::path& file) {
    if (const auto missing = db::Catalogue::missingTable(db)) {
        throw Error("'" + file.string() +
                        "' is not a project database: it has no catalogue table '" + *missing +
                        "', so it was not made by KorvanaStudio; its settings are neither read "
                        "nor changed",
                    db::errors::notADatabase);
    }
}

// Permission bits alone would not stop a process running as root, and the
// owner's write bit is what marks a project file as write-protected here.
bool isWriteProtected(const std::filesystem::path& file) {
    const auto permissions = std::filesystem::status(file).permissions();
    return (permissions & std::filesystem::perms::owner_write) == std::filesystem::perms::none ||
           ::access(file.c_str(), W_OK) != 0;
}

std::string settingName(std::string_view section, std::string_view key) {
    return "'" + std::string(section) + "/" + std::string(key) + "'";
}

} // namespace

struct ConfigurationComponent::OpenFile {
    OpenFile(std::filesystem::path path, bool writeProtected)
        : file(std::move(path)), readOnly(writeProtected),
          db(file.string(),
             readOnly ? sqlite::Database::Mode::ReadOnly : sqlite::Database::Mode::ReadWrite) {}

    bool hasSettings() {
        // Another handle on the same file may have created the table since.
        if (!tableSeen) {
            tableSeen = db.tableExists(db::settingsTable);
        }
        return tableSeen;
    }

    // A stored row back into a value of its stored type. A row that does not
    // fit its type (edited by hand, written by something else) is an error,
    // never silently a different value.
    SettingValue readValue(const sqlite::Statement& row, int typeColumn, int valueColumn,
                           std::string_view section, std::string_view key) const {
        const auto type = settingTypeFromNumber(row.getInt(typeColumn));
        const int storage = row.columnType(valueColumn);
        const auto corrupt = [&](std::string_view why) {
            return Error("The setting " + settingName(section, key) + " in '" + file.string() +
                             "' " + std::string(why),
                         typeMismatch);
        };
        if (!type) {
            throw corrupt("has the unknown type " + std::to_string(row.getInt(typeColumn)));
        }
        switch (*type) {
        case SettingType::String:
            if (storage == SQLITE_BLOB) {
                throw corrupt("holds binary data instead of text");
            }
            return row.getText(valueColumn);
        case SettingType::Int32:
        case SettingType::Int16: {
            const bool wide = *type == SettingType::Int32;
            const std::int64_t number = row.getInt(valueColumn);
            const std::int64_t lowest = wide ? std::numeric_limits<std::int32_t>::min()
                                             : std::numeric_limits<std::int16_t>::min();
            const std::int64_t highest = wide ? std::numeric_limits<std::int32_t>::max()
                                              : std::numeric_limits<std::int16_t>::max();
            if (storage != SQLITE_INTEGER || number < lowest || number > highest) {
                throw corrupt("does not hold a valid " + std::string(settingTypeName(*type)) +
                              " number");
            }
            if (wide) {
                return static_cast<std::int32_t>(number);
            }
            return static_cast<std::int16_t>(number);
        }
        case SettingType::Date:
            break;
        }
        const auto date =
            storage == SQLITE_TEXT ? parseSettingDate(row.getText(valueColumn)) : std::nullopt;
        if (!date) {
            throw corrupt("does not hold a valid date");
        }
        return *date;
    }

    std::filesystem::path file;
    bool readOnly;
    sqlite::Database db;
    bool tableSeen = false;
};

ConfigurationComponent::ConfigurationComponent(const Registry& registry) : registry_(registry) {}

ConfigurationComponent::~ConfigurationComponent() = default;

ProjectHandle ConfigurationComponent::OpenProject(std::string_view nameOrPath) {
    return OpenProjectFile(resolveProjectFile(registry_, nameOrPath));
}

ProjectHandle ConfigurationComponent::OpenProjectFile(std::filesystem::path file) {
    requireDatabaseFile(file);
    const bool readOnly = isWriteProtected(file);
    auto opened = std::make_unique<OpenFile>(std::move(file), readOnly);
    requireProjectDatabase(opened->db, opened->file);
    const ProjectHandle handle = nextHandle();
    open_.emplace(handle.value, std::move(opened));
    return handle;
}

void ConfigurationComponent::CloseProject(ProjectHandle handle) {
    find(handle);
    open_.erase(handle.value);
}

SettingValue ConfigurationComponent::GetValue(ProjectHandle handle, std::string_view section,
                                              std::string_view key,
                                              const SettingValue& defaultValue) {
    auto value = FindValue(handle, section, key);
    return value ? std::move(*value) : defaultValue;
}

std::optional<SettingValue> ConfigurationComponent::FindValue(ProjectHandle handle,
                                                              std::string_view section,
                                                              std::string_view key) {
    OpenFile& open = find(handle);
    if (!open.hasSettings()) {
        return std::nullopt;
    }
    auto query = open.db.prepare("SELECT Type, Value FROM kv_settings "
                                 "WHERE Section = ?1 AND Key = ?2");
    query.bind(1, section).bind(2, key);
    if (!query.step()) {
        return std::nullopt;
    }
    return open.readValue(query, 0, 1, section, key);
}

void ConfigurationComponent::SetValue(ProjectHandle handle, std::string_view section,
                                      std::string_view key, const SettingValue& value) {
    OpenFile& open = find(handle);
    if (section.empty() || key.empty()) {
        throw Error("A setting needs a section and a key name", invalidProcedureCall);
    }
    if (open.readOnly) {
        throw Error("The project file '" + open.file.string() +
                        "' is write-protected; the setting " + settingName(section, key) +
                        " cannot be saved",
                    pathFileAccessError);
    }
    // Formatting a date can fail; do it before anything is written.
    const std::string dateText =
        typeOf(value) == SettingType::Date ? formatSettingDate(std::get<SettingDate>(value)) : "";

    sqlite::Transaction transaction(open.db);
    open.db.exec(db::settingsTableSchema);
    open.tableSeen = true;

    // A new key joins its section under the section's first spelling, so that
    // one section never shows up under two spellings.
    std::string sectionName(section);
    {
        auto existing = open.db.prepare("SELECT Section FROM kv_settings WHERE Section = ?1 "
                                        "ORDER BY rowid LIMIT 1");
        existing.bind(1, section);
        if (existing.step()) {
            sectionName = existing.getText(0);
        }
    }

    // On conflict only type and value change: the key keeps its first spelling
    // and its place in the section.
    auto upsert = open.db.prepare(
        "INSERT INTO kv_settings (Section, Key, Type, Value) VALUES (?1, ?2, ?3, ?4) "
        "ON CONFLICT (Section, Key) DO UPDATE SET Type = excluded.Type, Value = excluded.Value");
    upsert.bind(1, sectionName).bind(2, key);
    upsert.bind(3, static_cast<std::int64_t>(typeOf(value)));
    switch (typeOf(value)) {
    case SettingType::String:
        upsert.bind(4, std::string_view(std::get<std::string>(value)));
        break;
    case SettingType::Int32:
        upsert.bind(4, static_cast<std::int64_t>(std::get<std::int32_t>(value)));
        break;
    case SettingType::Int16:
        upsert.bind(4, static_cast<std::int64_t>(std::get<std::int16_t>(value)));
        break;
    case SettingType::Date:
        upsert.bind(4, std::string_view(dateText));
        break;
    }
    upsert.run();
    transaction.commit();
}

std::vector<Setting> ConfigurationComponent::GetSection(ProjectHandle handle,
                                                        std::string_view section) {
    OpenFile& open = find(handle);
    std::vector<Setting> settings;
    if (!open.hasSettings()) {
        return settings;
    }
    auto query = open.db.prepare("SELECT Key, Type, Value FROM kv_settings WHERE Section = ?1 "
                                 "ORDER BY rowid");
    query.bind(1, section);
    while (query.step()) {
        std::string key = query.getText(0);
        SettingValue value = open.readValue(query, 1, 2, section, key);
        settings.push_back({std::move(key), std::move(value)});
    }
    return settings;
}

std::vector<std::string> ConfigurationComponent::GetSectionNames(ProjectHandle handle) {
    OpenFile& open = find(handle);
    std::vector<std::string> names;
    if (!open.hasSettings()) {
        return names;
    }
    // Section compares without regard to case, so the grouping does too; each
    // section is named as its oldest row spells it.
    auto query = open.db.prepare("SELECT Section FROM kv_settings WHERE rowid IN "
                                 "(SELECT min(rowid) FROM kv_settings GROUP BY Section) "
                                 "ORDER BY rowid");
    while (query.step()) {
        names.push_back(query.getText(0));
    }
    return names;
}

bool ConfigurationComponent::IsReadOnly(ProjectHandle handle) const {
    return find(handle).readOnly;
}

const std::filesystem::path& ConfigurationComponent::ProjectFile(ProjectHandle handle) const {
    return find(handle).file;
}

ConfigurationComponent::OpenFile& ConfigurationComponent::find(ProjectHandle handle) const {
    const auto it = open_.find(handle.value);
    if (it == open_.end()) {
        throw Error("The project handle " + std::to_string(handle.value) + " is not open",
                    invalidProcedureCall);
    }
    return *it->second;
}

ProjectHandle ConfigurationComponent::nextHandle() {
    // Handles are not reused while open; zero is never one.
    do {
        ++lastHandle_;
    } while (lastHandle_ == 0 || open_.contains(lastHandle_));
    return ProjectHandle{lastHandle_};
}

} // namespace korvana
