#include "db/Recordset.h"
#include "dbupgrade/steps/RowIds.h"
#include "dbupgrade/steps/UpgradeSteps.h"

#include <optional>
#include <vector>

namespace korvana::dbupgrade {

// Every user class without a text gets one in the group of user classes,
// named like the class.
void Upgrade_4_04_004(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.04.004");
    auto& database = session.db();

    std::optional<std::int64_t> userClassesId;
    session.run("find the group of user classes", [&] {
        db::Recordset groups = database.openRecordset("TidxGroups");
        groups.setIndex("Type");
        if (groups.seek("=", {db::Value(std::int64_t{-40})})) {
            userClassesId = rowids::asId(groups.field("ID"));
        }
    });

    std::optional<db::Recordset> texts;
    std::optional<db::Recordset> classes;
    session.run("open TidxTexts", [&] { texts.emplace(database.openRecordset("TidxTexts")); });
    session.run("open TusrUserClasses", [&] {
        classes.emplace(database.openRecordset("TusrUserClasses", db::RecordsetType::Dynaset));
    });
    if (texts && classes) {
        // Each class without a text is visited once: a class whose text cannot
        // be added (its name is taken in the group, or it has none) keeps no
        // text and the step goes on with the next.
        std::vector<db::Bookmark> withoutText;
        session.run("find the user classes without a text", [&] {
            const std::string criteria = "IsNull(TextID)";
            for (bool found = classes->findFirst(criteria); found;
                 found = classes->findNext(criteria)) {
                withoutText.push_back(classes->bookmark());
            }
        });
        for (const db::Bookmark bookmark : withoutText) {
            session.run("add the text of a user class", [&] {
                classes->setBookmark(bookmark);
                texts->addNew();
                texts->setField("ParentID",
                                db::Value(rowids::require(userClassesId, "group of user classes")));
                texts->setField("Name", classes->field("Name"));
                texts->update();
                texts->setBookmark(texts->lastModified());
                const db::Value textId = texts->field("ID");
                classes->edit();
                classes->setField("TextID", textId);
                classes->update();
            });
        }
    }
    texts.reset();
    classes.reset();
    session.finish();
}

} // namespace korvana::dbupgrade
