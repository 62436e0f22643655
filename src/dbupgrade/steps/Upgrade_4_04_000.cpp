#include "db/Recordset.h"
#include "dbupgrade/StepOperations.h"
#include "dbupgrade/steps/ColumnShapes.h"
#include "dbupgrade/steps/RowIds.h"
#include "dbupgrade/steps/UpgradeSteps.h"

#include <optional>

namespace korvana::dbupgrade {

namespace {

// A row found by an "=" seek on `index`; raises when there is none, so that
// the operation that needs it is skipped.
std::int64_t seekId(db::Recordset& recordset, std::string_view index,
                    const std::vector<db::Value>& key, std::string_view what) {
    recordset.setIndex(index);
    if (!recordset.seek("=", key)) {
        return rowids::require(std::nullopt, what);
    }
    return rowids::require(rowids::asId(recordset.field("ID")), what);
}

struct GroupIds {
    bool opened = false;
    std::optional<std::int64_t> time;
    std::optional<std::int64_t> dateFormats;
    std::optional<std::int64_t> timeFormats;
};

// The weekday and month groups get types of their own, and the date and time
// formats groups of their own below "KVTime".
GroupIds restructureTimeGroups(StepSession& session) {
    auto& database = session.db();
    GroupIds ids;
    std::optional<db::Recordset> groups;
    session.run("open TidxGroups", [&] { groups.emplace(database.openRecordset("TidxGroups")); });
    if (!groups) {
        return ids;
    }
    ids.opened = true;
    std::optional<std::int64_t> sysRootId;
    session.run("find the system root", [&] {
        sysRootId = seekId(*groups, "Type", {db::Value(std::int64_t{-100})}, "system root");
    });
    session.run("find KVTime", [&] {
        ids.time = seekId(*groups, "PIDNameType",
                          {db::Value(rowids::require(sysRootId, "system root")),
                           db::Value(std::string("KVTime")), db::Value(std::int64_t{-102})},
                          "group KVTime");
    });

    struct Retype {
        const char* name;
        const char* newName;
        std::int64_t newType;
    };
    for (const Retype& retype :
         {Retype{"WeekdayName", "WeekdayName", -106}, Retype{"MonthName", "MonthName", -107},
          Retype{"WeekdayNameAbbr", "ShortWeekdayName", -108},
          Retype{"MonthNameAbbr", "ShortMonthName", -109}}) {
        session.run(std::string("retype the group ") + retype.name, [&] {
            seekId(*groups, "PIDNameType",
                   {db::Value(rowids::require(ids.time, "group KVTime")),
                    db::Value(std::string(retype.name)), db::Value(std::int64_t{-102})},
                   retype.name);
            groups->edit();
            groups->setField("Name", db::Value(std::string(retype.newName)));
            groups->setField("Type", db::Value(retype.newType));
            groups->update();
        });
    }
    session.run("add the group DateFormats", [&] {
        ids.dateFormats =
            addGroup(database, rowids::require(ids.time, "group KVTime"), "DateFormats", -113);
    });
    session.run("add the group TimeFormats", [&] {
        ids.timeFormats =
            addGroup(database, rowids::require(ids.time, "group KVTime"), "TimeFormats", -114);
    });
    return ids;
}

void moveFormatTexts(StepSession& session, const GroupIds& ids) {
    std::optional<db::Recordset> texts;
    session.run("open TidxTexts", [&] { texts.emplace(session.db().openRecordset("TidxTexts")); });
    if (!texts) {
        return;
    }
    struct Move {
        const char* name;
        const std::optional<std::int64_t>& parent;
    };
    for (const Move& move :
         {Move{"LongDate", ids.dateFormats}, Move{"ShortDate", ids.dateFormats},
          Move{"LongTime", ids.timeFormats}, Move{"ShortTime", ids.timeFormats}}) {
        session.run(std::string("move the text ") + move.name, [&] {
            const std::int64_t parent = rowids::require(move.parent, "formats group");
            seekId(*texts, "PIDName",
                   {db::Value(rowids::require(ids.time, "group KVTime")),
                    db::Value(std::string(move.name))},
                   move.name);
            texts->edit();
            texts->setField("ParentID", db::Value(parent));
            texts->update();
        });
    }
}

} // namespace

// Date and time groups, descriptions of texts, limits of archives.
void Upgrade_4_04_000(const UpgradeEnvironment& environment, const std::string& projectName) {
    using namespace shapes;
    StepSession session(environment, projectName, "4.04.000");
    auto& database = session.db();

    const GroupIds ids = restructureTimeGroups(session);
    if (ids.opened) {
        moveFormatTexts(session, ids);
    }

    if (session.hasTable("TidxTexts")) {
        session.run("add column TidxTexts.Description", [&] {
            ColumnSpec description = text("Description", 255);
            description.position = 4;
            addColumn(database, "TidxTexts", description);
        });
    }
    if (session.hasTable("TchrArchives")) {
        for (const char* column : {"MaxFiles", "MaxSizeKb"}) {
            session.run(std::string("add column TchrArchives.") + column, [&] {
                addColumn(database, "TchrArchives", plain(column, db::DaoType::Long, "0"));
            });
        }
    }
    if (session.hasTable("TusrUsers")) {
        session.run("let users share a class",
                    [&] { database.setIndexUnique("TusrUsers", "ParentID", false); });
    }
    session.finish();
}

} // namespace korvana::dbupgrade
