#include "services/ConfigurationComponent.h"

#include "db/Catalogue.h"
#include "db/DbErrors.h"
#include "db/SettingsTable.h"
#include "db/Sqlite.h"
#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "services/ResolveProjectFile.h"

#include <array>
#include <fstream>
#include <unistd.h>
#include <utility>

namespace korvana {

namespace {

using namespace runtimeErrors;

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

} // namespace

struct ConfigurationComponent::OpenFile {
    OpenFile(std::filesystem::path path, bool writeProtected)
        : file(std::move(path)), readOnly(writeProtected),
          db(file.string(),
             readOnly ? sqlite::Database::Mode::ReadOnly : sqlite::Database::Mode::ReadWrite) {}

    std::filesystem::path file;
    bool readOnly;
    sqlite::Database db;
    db::SettingsTable settings{db};
    // Declared after the connection so that closing the file rolls it back first.
    std::unique_ptr<sqlite::Transaction> batch;
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
    return find(handle).settings.find(section, key);
}

void ConfigurationComponent::SetValue(ProjectHandle handle, std::string_view section,
                                      std::string_view key, const SettingValue& value) {
    find(handle).settings.set(section, key, value);
}

ConfigurationComponent::Batch ConfigurationComponent::BeginBatch(ProjectHandle handle) {
    auto& opened = find(handle);
    if (opened.batch) {
        throw Error("The project file '" + opened.file.string() + "' already has a batch of writes",
                    invalidProcedureCall);
    }
    opened.batch = std::make_unique<sqlite::Transaction>(opened.db);
    return Batch(*this, handle);
}

ConfigurationComponent::Batch::Batch(ConfigurationComponent& owner, ProjectHandle handle)
    : owner_(&owner), handle_(handle) {}

ConfigurationComponent::Batch::Batch(Batch&& other) noexcept
    : owner_(std::exchange(other.owner_, nullptr)), handle_(other.handle_) {}

ConfigurationComponent::Batch::~Batch() {
    if (owner_ == nullptr) {
        return;
    }
    // A handle closed under the batch has rolled it back already.
    if (const auto it = owner_->open_.find(handle_.value); it != owner_->open_.end()) {
        it->second->batch.reset();
    }
}

void ConfigurationComponent::Batch::commit() {
    auto& opened = owner_->find(handle_);
    if (!opened.batch) {
        throw Error("The batch of writes to '" + opened.file.string() + "' has ended",
                    invalidProcedureCall);
    }
    // The transaction goes whether or not its commit succeeds: a failed
    // commit has taken the writes back.
    const auto batch = std::move(opened.batch);
    batch->commit();
}

std::vector<Setting> ConfigurationComponent::GetSection(ProjectHandle handle,
                                                        std::string_view section) {
    return find(handle).settings.section(section);
}

std::vector<std::string> ConfigurationComponent::GetSectionNames(ProjectHandle handle) {
    return find(handle).settings.sectionNames();
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
