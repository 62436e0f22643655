#include "ide/ProjectBinary.h"

#include "db/Database.h"
#include "db/DbErrors.h"
#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "platform/Files.h"
#include "platform/Paths.h"
#include "platform/TextUtil.h"
#include "services/InstallationKeys.h"
#include "services/ResolveProjectFile.h"

#include <string>

namespace korvana::ide {

namespace {

constexpr std::string_view table = "TcfgBinary";
constexpr std::string_view keyIndex = "PIDSectionEntry";

// The project file of a registered project: <Path>/<Name>.kvs with the name as
// registered. The name is checked before it becomes a registry key or a file
// name, so that it can never lead to another key or folder.
std::string projectFile(const Registry& registry, std::string_view project) {
    if (!isSafeProjectName(project)) {
        throw Error("'" + std::string(project) + "' cannot be a project name",
                    runtimeErrors::invalidProcedureCall);
    }
    std::string registered;
    for (const auto& name : registry.subKeys(Hive::LocalMachine, keys::projects)) {
        if (equalsIgnoreCase(name, project)) {
            registered = name;
            break;
        }
    }
    const std::string folder =
        registered.empty()
            ? std::string()
            : registry.readString(Hive::LocalMachine,
                                  std::string(keys::projects) + "\\" + registered, "Path");
    if (folder.empty()) {
        throw Error("The project '" + std::string(project) + "' is not registered",
                    runtimeErrors::invalidProcedureCall);
    }
    const std::string file = paths::joinPath(folder, registered + ".kvs");
    if (!Files().fileExists(file)) {
        throw Error("The project file '" + file + "' does not exist", runtimeErrors::fileNotFound);
    }
    return file;
}

db::Database openProject(const Registry& registry, std::string_view project) {
    const std::string file = projectFile(registry, project);
    db::Database database = db::Database::open(paths::toNative(file));
    if (!database.hasTable(table)) {
        throw Error("The project file '" + file + "' has no table " + std::string(table),
                    db::errors::itemNotFound);
    }
    return database;
}

std::vector<db::Value> rowKey(std::string_view section, std::string_view entry) {
    return {db::Value(std::int64_t{0}), db::Value(std::string(section)),
            db::Value(std::string(entry))};
}

} // namespace

std::vector<std::uint8_t> ReadProjectBinary(const Registry& registry, std::string_view project,
                                            std::string_view section, std::string_view entry) {
    db::Database database = openProject(registry, project);
    std::vector<std::uint8_t> result;
    {
        db::Recordset rows = database.openRecordset(table);
        rows.setIndex(keyIndex);
        if (rows.seek("=", rowKey(section, entry))) {
            const db::Value value = rows.field("Value");
            if (const auto* bytes = std::get_if<db::Bytes>(&value)) {
                result = *bytes;
            }
        }
    }
    database.close();
    return result;
}

void WriteProjectBinary(const Registry& registry, std::string_view project,
                        std::string_view section, std::string_view entry,
                        std::span<const std::uint8_t> data) {
    db::Database database = openProject(registry, project);
    {
        db::Recordset rows = database.openRecordset(table);
        rows.setIndex(keyIndex);
        const auto key = rowKey(section, entry);
        if (!rows.seek("=", key)) {
            rows.addNew();
            rows.setField("ParentID", db::Value(std::int64_t{0}));
            rows.setField("Section", db::Value(std::string(section)));
            rows.setField("Entry", db::Value(std::string(entry)));
            rows.update();
            if (!rows.seek("=", key)) {
                throw Error("The row " + std::string(section) + "/" + std::string(entry) + " of " +
                                std::string(table) + " was not stored",
                            db::errors::itemNotFound);
            }
        }
        rows.edit();
        rows.setField("Value", db::Value(db::Bytes(data.begin(), data.end())));
        rows.update();
    }
    database.close();
}

} // namespace korvana::ide
