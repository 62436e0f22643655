#include "db/Recordset.h"
#include "dbupgrade/StepOperations.h"
#include "dbupgrade/steps/RowIds.h"
#include "dbupgrade/steps/UpgradeSteps.h"

#include <optional>

namespace korvana::dbupgrade {

namespace {

constexpr TextId messagesText{601};
constexpr TextId messageClassesText{602};
constexpr TextId messageGroupsText{603};

// Moves the texts a class names in its sign columns into the class's group.
void moveSignTexts(StepSession& session, db::Recordset& classes, db::Recordset& texts,
                   std::int64_t classGroupId) {
    for (int sign = 1; sign <= 4; ++sign) {
        const std::string column = "Sign" + std::to_string(sign);
        session.run("move the text of " + column, [&] {
            // Only a number can name a text; anything else moves nothing.
            const auto textId = rowids::asId(classes.field(column));
            if (!textId || !texts.findFirst("ID = " + std::to_string(*textId))) {
                return;
            }
            texts.edit();
            texts.setField("ParentID", db::Value(classGroupId));
            texts.update();
        });
    }
}

} // namespace

// Message classes become text groups: below the message root a group of
// classes, one group per class holding its sign texts, and a group that takes
// the message groups that stood directly below the root.
void Upgrade_4_01_013(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.01.013");
    auto& database = session.db();
    const TextService& ui = environment.texts;

    std::optional<db::Recordset> classes;
    session.run("open TalaMessageClasses",
                [&] { classes.emplace(database.openRecordset("TalaMessageClasses")); });
    if (!classes) {
        session.finish();
        return;
    }

    std::optional<std::int64_t> rootId;
    session.run("rename the message root", [&] {
        db::Recordset groups = database.openRecordset("TidxGroups", db::RecordsetType::Dynaset);
        // A failed find leaves the position where it was: rename nothing then.
        if (!groups.findFirst("ParentID = 0 AND Type = -1")) {
            return;
        }
        rootId = rowids::asId(groups.field("ID"));
        groups.edit();
        groups.setField("Name", db::Value(ui.LoadText(messagesText)));
        groups.update();
    });

    std::optional<std::int64_t> classesId;
    std::optional<std::int64_t> groupsId;
    session.run("add the group of message classes", [&] {
        classesId = addGroup(database, rowids::require(rootId, "message root"),
                             ui.LoadText(messageClassesText), -10);
    });
    session.run("add the group of message groups", [&] {
        groupsId = addGroup(database, rowids::require(rootId, "message root"),
                            ui.LoadText(messageGroupsText), -11);
    });

    std::optional<db::Recordset> texts;
    session.run("open TidxTexts", [&] {
        texts.emplace(database.openRecordset("TidxTexts", db::RecordsetType::Dynaset));
    });
    session.run("read the message classes", [&] { classes->moveFirst(); });
    while (!classes->eof()) {
        std::optional<std::int64_t> classGroupId;
        const db::Value name = classes->field("Name");
        session.run("add the group of message class " + db::describeValue(name), [&] {
            classGroupId =
                addGroup(database, rowids::require(classesId, "group of message classes"),
                         std::get<std::string>(name), -1);
        });
        // Without its own group the class's texts stay where they are.
        if (classGroupId && texts) {
            moveSignTexts(session, *classes, *texts, *classGroupId);
        }
        classes->moveNext();
    }
    texts.reset();
    classes.reset();

    session.run("move the message groups below their new group", [&] {
        database.execute(
            "UPDATE TidxGroups SET ParentID = " +
            std::to_string(rowids::require(groupsId, "group of message groups")) +
            " WHERE ParentID = " + std::to_string(rowids::require(rootId, "message root")) +
            " AND Type = -1");
    });
    session.finish();
}

} // namespace korvana::dbupgrade
