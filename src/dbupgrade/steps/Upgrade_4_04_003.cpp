#include "db/Recordset.h"
#include "dbupgrade/steps/RowIds.h"
#include "dbupgrade/steps/UpgradeSteps.h"

#include <charconv>
#include <optional>
#include <vector>

namespace korvana::dbupgrade {

namespace {

std::optional<std::int16_t> weekdayNumber(const db::Value& name) {
    const auto* text = std::get_if<std::string>(&name);
    if (!text) {
        return std::nullopt;
    }
    std::int16_t number = 0;
    const auto* end = text->data() + text->size();
    const auto [stop, error] = std::from_chars(text->data(), end, number);
    if (error != std::errc() || stop != end) {
        return std::nullopt;
    }
    return number;
}

// 0 (Monday) .. 6 (Sunday) becomes 1 (Sunday) .. 7 (Saturday).
std::int16_t sundayFirst(std::int16_t mondayFirst) {
    return mondayFirst <= 5 ? static_cast<std::int16_t>(mondayFirst + 2) : std::int16_t{1};
}

// Renumbers the weekday texts of one group as a whole. Names are unique within
// a group and the renumbering is a rotation, so every text first gets a name
// no other text has. Only a group still counting from Monday (it has a "0") is
// renumbered: a second run would otherwise rotate the days once more.
void renumberGroup(db::Recordset& texts, std::int64_t groupId) {
    const std::string criteria = "ParentID = " + std::to_string(groupId);
    struct Day {
        db::Bookmark bookmark;
        std::int16_t number;
    };
    std::vector<Day> days;
    bool countsFromMonday = false;
    for (bool found = texts.findFirst(criteria); found; found = texts.findNext(criteria)) {
        if (const auto number = weekdayNumber(texts.field("Name"))) {
            days.push_back({texts.bookmark(), *number});
            countsFromMonday = countsFromMonday || *number == 0;
        }
    }
    if (!countsFromMonday) {
        return;
    }
    const auto rename = [&](const Day& day, const std::string& name) {
        texts.setBookmark(day.bookmark);
        texts.edit();
        texts.setField("Name", db::Value(name));
        texts.update();
    };
    for (const Day& day : days) {
        rename(day, "~weekday " + std::to_string(day.bookmark));
    }
    for (const Day& day : days) {
        rename(day, std::to_string(sundayFirst(day.number)));
    }
}

} // namespace

// Weekday texts count from 1 for Sunday instead of from 0 for Monday.
void Upgrade_4_04_003(const UpgradeEnvironment& environment, const std::string& projectName) {
    StepSession session(environment, projectName, "4.04.003");
    auto& database = session.db();

    std::optional<std::int64_t> weekdayId;
    std::optional<std::int64_t> shortWeekdayId;
    session.run("find the weekday groups", [&] {
        db::Recordset groups = database.openRecordset("TidxGroups");
        groups.setIndex("Type");
        if (groups.seek("=", {db::Value(std::int64_t{-106})})) {
            weekdayId = rowids::asId(groups.field("ID"));
        }
        if (groups.seek("=", {db::Value(std::int64_t{-108})})) {
            shortWeekdayId = rowids::asId(groups.field("ID"));
        }
    });

    std::optional<db::Recordset> texts;
    session.run("open TidxTexts", [&] {
        texts.emplace(database.openRecordset("TidxTexts", db::RecordsetType::Dynaset));
    });
    if (texts) {
        for (const auto& [what, id] : {std::pair{"weekday names", weekdayId},
                                       std::pair{"short weekday names", shortWeekdayId}}) {
            session.run(std::string("renumber the ") + what, [&, what = what, id = id] {
                renumberGroup(*texts, rowids::require(id, std::string("group of ") + what));
            });
        }
    }
    session.finish();
}

} // namespace korvana::dbupgrade
