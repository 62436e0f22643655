#pragma once

#include "db/SettingValue.h"
#include "platform/Registry.h"
#include "services/ProjectHandle.h"

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// The project settings store: sections of named keys kept inside the project
// file (a SQLite database, in the settings table that db::SettingsTable keeps).
// Every use opens a project, reads or writes, and closes it again within one
// operation of the caller.
//
// Values are written through: a SetValue is committed to the file before it
// returns, so a crash never takes back a value that was set, and a second handle
// on the same file sees it at once. A caller that writes many values in one
// operation groups them with BeginBatch: each write still succeeds or fails on
// its own, and the file waits for the disk once, when the batch commits. Section and key names are
// matched without regard to case and keep the case in which they were first written.
//
// Only project databases are opened: a file that is not a SQLite database, or a
// SQLite database that the database layer did not make, is refused for reading
// and writing alike and left byte for byte as it was.
//
// Every failure raises korvana::Error: an unknown name or missing file, a file
// that is not a project database (number db::errors::notADatabase, the file
// and the reason in the text), a write to a project file without write
// permission, a stored value that does not fit its type.
class ConfigurationComponent {
  public:
    class Batch;

    // The registry lists the registered projects that OpenProject resolves.
    explicit ConfigurationComponent(const Registry& registry);
    ~ConfigurationComponent();
    ConfigurationComponent(const ConfigurationComponent&) = delete;
    ConfigurationComponent& operator=(const ConfigurationComponent&) = delete;

    // A registered project name, or the path of a ".kvs" file. A missing file is
    // never created. A file without write permission is opened for reading.
    ProjectHandle OpenProject(std::string_view nameOrPath);
    // A project file by its path, whatever its name: the database check's
    // working copy of a project file is one.
    ProjectHandle OpenProjectFile(std::filesystem::path file);
    // Releases the handle. Nothing is pending: every SetValue is already in the file.
    void CloseProject(ProjectHandle handle);

    // The stored value with its stored type, or the default when the key is absent.
    SettingValue GetValue(ProjectHandle handle, std::string_view section, std::string_view key,
                          const SettingValue& defaultValue);
    // The stored value, or nothing when the key is absent.
    std::optional<SettingValue> FindValue(ProjectHandle handle, std::string_view section,
                                          std::string_view key);
    // Creates the key (and so its section) or overwrites its value and type.
    void SetValue(ProjectHandle handle, std::string_view section, std::string_view key,
                  const SettingValue& value);
    // Holds back the commits of SetValue through `handle` until the batch's
    // commit(). A batch left without commit(), or the handle closed under it,
    // takes its writes back. One batch per handle at a time.
    [[nodiscard]] Batch BeginBatch(ProjectHandle handle);
    // The keys of a section in the order in which they were first written.
    std::vector<Setting> GetSection(ProjectHandle handle, std::string_view section);
    // Every section that holds a key, in the order in which they first appeared.
    std::vector<std::string> GetSectionNames(ProjectHandle handle);

    bool IsReadOnly(ProjectHandle handle) const;
    const std::filesystem::path& ProjectFile(ProjectHandle handle) const;
    std::size_t OpenHandleCount() const { return open_.size(); }

  private:
    struct OpenFile;

    OpenFile& find(ProjectHandle handle) const;
    ProjectHandle nextHandle();

    const Registry& registry_;
    std::map<std::uint32_t, std::unique_ptr<OpenFile>> open_;
    std::uint32_t lastHandle_ = 0;
};

class ConfigurationComponent::Batch {
  public:
    ~Batch();
    Batch(Batch&&) noexcept;
    Batch& operator=(Batch&&) = delete;
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

    // Makes every write of the batch durable at once; raises korvana::Error
    // when the file cannot take them, and then none of them is kept.
    void commit();

  private:
    friend class ConfigurationComponent;
    Batch(ConfigurationComponent& owner, ProjectHandle handle);

    ConfigurationComponent* owner_;
    ProjectHandle handle_;
};

} // namespace korvana
