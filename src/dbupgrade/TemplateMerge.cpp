#include "dbupgrade/TemplateMerge.h"

#include "db/SkipOnError.h"
#include "dbupgrade/UpgradeStep.h"
#include "platform/Paths.h"

#include <limits>
#include <optional>
#include <variant>

namespace korvana::dbupgrade {

namespace {

constexpr std::int64_t systemRootType = -100;

// IDs are 32-bit in both databases; anything else is no usable ID.
std::optional<std::int32_t> idOf(const db::Value& value) {
    if (const auto* number = std::get_if<std::int64_t>(&value)) {
        if (*number >= std::numeric_limits<std::int32_t>::min() &&
            *number <= std::numeric_limits<std::int32_t>::max()) {
            return static_cast<std::int32_t>(*number);
        }
    }
    return std::nullopt;
}

std::string projectTemplate(const MergeEnvironment& environment, const std::string& projectName) {
    auto& configuration = environment.configuration;
    const ProjectHandle handle = environment.workingFile.empty()
                                     ? configuration.OpenProject(projectName)
                                     : configuration.OpenProjectFile(environment.workingFile);
    std::string name;
    try {
        name = settingText(configuration.GetValue(handle, "Global", "ProjectTemplate",
                                                  SettingValue{std::string()}));
    } catch (...) {
        configuration.CloseProject(handle);
        throw;
    }
    configuration.CloseProject(handle);
    return name;
}

// Both databases of one merge, or nothing when either cannot be opened.
struct MergeDatabases {
    db::Database project;
    db::Database templ;
};

std::optional<MergeDatabases> openDatabases(const MergeEnvironment& environment,
                                            const std::string& projectName, db::SkipOnError& skip) {
    std::optional<MergeDatabases> result;
    skip("open the project and template databases", [&] {
        const auto templateFile = templateDatabaseFile(environment, projectName);
        if (!templateFile) {
            throw Error("the project template's name is not a single folder name");
        }
        auto project =
            openProjectDatabase(environment.registry, environment.workingFile, projectName);
        std::error_code error;
        if (!std::filesystem::is_regular_file(*templateFile, error)) {
            throw Error("the template database '" + templateFile->string() + "' does not exist");
        }
        auto templ = db::Database::open(templateFile->string());
        result.emplace(MergeDatabases{std::move(project), std::move(templ)});
    });
    return result;
}

// Adds the row being built and returns its "ID".
std::optional<std::int32_t> addAndTakeId(db::Recordset& recordset) {
    recordset.update();
    recordset.setBookmark(recordset.lastModified());
    return idOf(recordset.field("ID"));
}

// The project's side of one merge: its transaction, committed unless the
// merge is a rehearsal, and whether anything was added in it.
class MergeTransaction {
  public:
    MergeTransaction(const MergeEnvironment& environment, db::Database& project)
        : environment_(environment), project_(project) {
        if (environment_.rehearsal) {
            // Changed pages stay in memory until the end, which rolls them
            // back: the file itself is never written.
            project_.connection().exec("PRAGMA cache_spill = OFF");
        }
        transaction_.emplace(project_.connection());
        before_ = project_.connection().totalChanges();
    }

    bool finish() {
        const bool added = project_.connection().totalChanges() != before_;
        if (!environment_.rehearsal) {
            transaction_->commit();
        }
        transaction_.reset();
        return added;
    }

  private:
    const MergeEnvironment& environment_;
    db::Database& project_;
    std::optional<sqlite::Transaction> transaction_;
    std::int64_t before_ = 0;
};

std::optional<std::int32_t> systemRoot(db::Recordset& groups) {
    groups.setIndex("Type");
    if (!groups.seek("=", {db::Value{systemRootType}})) {
        return std::nullopt;
    }
    return idOf(groups.field("ID"));
}

} // namespace

std::optional<std::filesystem::path> templateDatabaseFile(const MergeEnvironment& environment,
                                                          const std::string& projectName) {
    const std::string name = paths::lastComponent(projectTemplate(environment, projectName));
    if (!paths::isSafeName(name)) {
        return std::nullopt;
    }
    return environment.installationFolder / "Templates" / "Projects" / name / "%ProjectName%.kvs";
}

void CopyTemplateGroups(GroupIdMap& map, const CGroupEntry& parent, db::Database& templateDb,
                        db::Recordset& templateGroups, db::Recordset& projectGroups,
                        db::DebugLog& log) {
    (void)templateGroups; // the children are read through a query of their own
    db::SkipOnError skip(log, "template merge");
    db::QueryResult children;
    // The ID is a number of our own making, never text from the database.
    if (!skip("read template groups below " + std::to_string(parent.TemplateID), [&] {
            children = templateDb.query("SELECT * FROM TidxGroups WHERE ParentID = " +
                                        std::to_string(parent.TemplateID));
        })) {
        return;
    }
    auto column = [&](std::string_view name) -> std::optional<std::size_t> {
        for (std::size_t i = 0; i < children.columns.size(); ++i) {
            if (children.columns[i] == name) {
                return i;
            }
        }
        return std::nullopt;
    };
    const auto idColumn = column("ID");
    const auto nameColumn = column("Name");
    if (!idColumn || !nameColumn) {
        log.write("template merge: the template's group table lacks \"ID\" or \"Name\"");
        return;
    }
    for (const auto& row : children.rows) {
        const auto templateId = idOf(row[*idColumn]);
        if (!templateId) {
            continue;
        }
        std::optional<std::int32_t> projectId;
        skip("copy template group " + std::to_string(*templateId), [&] {
            if (projectGroups.seek("=",
                                   {db::Value{std::int64_t{parent.ProjectID}}, row[*nameColumn]})) {
                projectId = idOf(projectGroups.field("ID"));
            } else {
                projectGroups.addNew();
                projectGroups.setField("ParentID", db::Value{std::int64_t{parent.ProjectID}});
                for (const char* copied : {"Name", "Type", "Delete", "Rename"}) {
                    if (const auto index = column(copied)) {
                        projectGroups.setField(copied, row[*index]);
                    }
                }
                projectId = addAndTakeId(projectGroups);
            }
        });
        if (!projectId) {
            continue;
        }
        const CGroupEntry entry{*templateId, *projectId};
        map.add(entry);
        CopyTemplateGroups(map, entry, templateDb, templateGroups, projectGroups, log);
    }
}

bool SyncTemplateTexts(const MergeEnvironment& environment, const std::string& projectName) {
    db::SkipOnError skip(environment.log, "template texts of '" + projectName + "'");
    auto databases = openDatabases(environment, projectName, skip);
    if (!databases) {
        return false;
    }
    bool added = false;
    skip("merge system texts", [&] {
        MergeTransaction transaction(environment, databases->project);
        auto projectGroups = databases->project.openRecordset("TidxGroups");
        auto projectTexts = databases->project.openRecordset("TidxTexts");
        auto templateGroups = databases->templ.openRecordset("TidxGroups");
        auto templateTexts = databases->templ.openRecordset("TidxTexts");

        const auto templateRoot = systemRoot(templateGroups);
        const auto projectRoot = systemRoot(projectGroups);
        if (!templateRoot || !projectRoot) {
            // Without both roots nothing could be placed where it belongs.
            environment.log.write("template texts of '" + projectName +
                                  "': no system root group (type -100); nothing merged");
            return;
        }
        GroupIdMap map;
        const CGroupEntry root{*templateRoot, *projectRoot};
        map.add(root);
        projectGroups.setIndex("PIDName");
        CopyTemplateGroups(map, root, databases->templ, templateGroups, projectGroups,
                           environment.log);

        projectTexts.setIndex("PIDName");
        for (templateTexts.moveFirst(); !templateTexts.eof(); templateTexts.moveNext()) {
            const auto parentId = idOf(templateTexts.field("ParentID"));
            const auto entry = parentId ? map.find(*parentId) : std::nullopt;
            if (!entry) {
                continue;
            }
            const db::Value name = templateTexts.field("Name");
            skip("copy template text " + db::describeValue(name), [&] {
                if (projectTexts.seek("=", {db::Value{std::int64_t{entry->ProjectID}}, name})) {
                    return;
                }
                sqlite::Savepoint savepoint(databases->project.connection());
                projectTexts.addNew();
                projectTexts.setField("ParentID", db::Value{std::int64_t{entry->ProjectID}});
                projectTexts.setField("Name", name);
                for (const char* copied : {"Description", "L1031", "L1033"}) {
                    projectTexts.setField(copied, templateTexts.field(copied));
                }
                projectTexts.update();
                savepoint.release();
            });
        }
        added = transaction.finish();
    });
    return added;
}

bool SyncTemplateFonts(const MergeEnvironment& environment, const std::string& projectName) {
    db::SkipOnError skip(environment.log, "template fonts of '" + projectName + "'");
    auto databases = openDatabases(environment, projectName, skip);
    if (!databases) {
        return false;
    }
    bool added = false;
    skip("merge fonts", [&] {
        MergeTransaction transaction(environment, databases->project);
        auto projectClasses = databases->project.openRecordset("TidxFontClasses");
        auto projectFonts = databases->project.openRecordset("TidxFonts");
        auto templateClasses = databases->templ.openRecordset("TidxFontClasses");
        auto templateFonts = databases->templ.openRecordset("TidxFonts");
        GroupIdMap map;

        projectFonts.setIndex("Name");
        for (templateFonts.moveFirst(); !templateFonts.eof(); templateFonts.moveNext()) {
            const auto templateId = idOf(templateFonts.field("ID"));
            const db::Value name = templateFonts.field("Name");
            skip("copy template font " + db::describeValue(name), [&] {
                sqlite::Savepoint savepoint(databases->project.connection());
                std::optional<std::int32_t> projectId;
                if (projectFonts.seek("=", {name})) {
                    projectId = idOf(projectFonts.field("ID"));
                } else {
                    projectFonts.addNew();
                    for (const char* copied : {"FontName", "Size", "CharSet", "Italic", "Underline",
                                               "Strikethrough", "Weight", "Name"}) {
                        projectFonts.setField(copied, templateFonts.field(copied));
                    }
                    projectId = addAndTakeId(projectFonts);
                }
                savepoint.release();
                if (templateId && projectId) {
                    map.add(CGroupEntry{*templateId, *projectId});
                }
            });
        }

        projectClasses.setIndex("Name");
        for (templateClasses.moveFirst(); !templateClasses.eof(); templateClasses.moveNext()) {
            const db::Value name = templateClasses.field("Name");
            skip("copy template font class " + db::describeValue(name), [&] {
                if (projectClasses.seek("=", {name})) {
                    return;
                }
                sqlite::Savepoint savepoint(databases->project.connection());
                projectClasses.addNew();
                projectClasses.setField("Name", name);
                for (const char* language : {"L1031", "L1033"}) {
                    const auto templateFont = idOf(templateClasses.field(language));
                    const auto mapped = templateFont ? map.find(*templateFont) : std::nullopt;
                    // An unmapped font keeps the column's default rather than
                    // pointing at a font of the template.
                    if (mapped) {
                        projectClasses.setField(language,
                                                db::Value{std::int64_t{mapped->ProjectID}});
                    }
                }
                projectClasses.update();
                savepoint.release();
            });
        }
        added = transaction.finish();
    });
    return added;
}

bool TemplateMergeWouldChange(const MergeEnvironment& environment, const std::string& projectName) {
    // Whatever the rehearsal passes over, the merge itself will report.
    struct CountingLog : db::DebugLog {
        void write(std::string_view) override { ++lines; }
        int lines = 0;
    } quiet;
    const MergeEnvironment rehearsal{environment.registry,
                                     environment.configuration,
                                     environment.installationFolder,
                                     quiet,
                                     true,
                                     environment.workingFile};
    const bool texts = SyncTemplateTexts(rehearsal, projectName);
    const bool fonts = SyncTemplateFonts(rehearsal, projectName);
    return texts || fonts || quiet.lines > 0;
}

} // namespace korvana::dbupgrade
