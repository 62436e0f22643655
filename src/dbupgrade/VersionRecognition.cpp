#include "dbupgrade/VersionRecognition.h"

#include "platform/TextUtil.h"

#include <span>

namespace korvana::dbupgrade {

namespace {

enum class Trace { Table, Field, Index, SingleType, DefaultOne, EmptyTextAllowed };

// One change a rung leaves in the schema.
struct Mark {
    std::string_view table;
    std::string_view item; // field or index; empty for a table
    Trace trace;
};

struct RungMarks {
    std::string_view version;
    std::span<const Mark> marks;
};

constexpr Mark marks_4_01_001[] = {{"TalaMessages", "Parameter2", Trace::Field},
                                   {"TidxFonts", "FontName", Trace::Field}};
constexpr Mark marks_4_01_002[] = {{"TidxGroups", "PIDName", Trace::Index}};
constexpr Mark marks_4_01_003[] = {{"TidxFonts", "Name", Trace::Index}};
constexpr Mark marks_4_01_004[] = {{"TchrArchives", "FileName", Trace::Field},
                                   {"TchrArchives", "FileNameID", Trace::Index}};
constexpr Mark marks_4_01_005[] = {{"TpdbDevices", "HierarchBrowseSeparator", Trace::Field}};
constexpr Mark marks_4_01_006[] = {{"TcfgBinary", "", Trace::Table}};
constexpr Mark marks_4_01_007[] = {{"TpdbSimulation", "", Trace::Table}};
constexpr Mark marks_4_01_010[] = {{"TpdbAlign", "", Trace::Table}};
constexpr Mark marks_4_01_012[] = {{"TvbfFormulas", "", Trace::Table}};
constexpr Mark marks_4_01_014[] = {{"TrcpRecipe", "", Trace::Table},
                                   {"TvbfFormulas", "Comment", Trace::Field}};
constexpr Mark marks_4_01_015[] = {{"TpdbStructMembers", "OrderNum", Trace::SingleType}};
constexpr Mark marks_4_01_016[] = {{"TalaMessageChannels", "", Trace::Table}};
constexpr Mark marks_4_01_017[] = {{"TidxFontClasses", "L1031", Trace::DefaultOne}};
constexpr Mark marks_4_01_019[] = {{"TusrUsers", "", Trace::Table},
                                   {"TpdbItems", "TextID", Trace::Field}};
constexpr Mark marks_4_01_020[] = {{"TrcpRecipe", "SaveChanges", Trace::Field}};
constexpr Mark marks_4_04_000[] = {{"TidxTexts", "Description", Trace::Field},
                                   {"TchrArchives", "MaxFiles", Trace::Field}};
constexpr Mark marks_4_04_001[] = {{"TrcpRecipe", "Options", Trace::Field}};
constexpr Mark marks_4_04_005[] = {{"TusrUsers", "Code", Trace::Field},
                                   {"TidxControls", "FontInformation", Trace::Field}};
constexpr Mark marks_4_04_006[] = {{"TidxTexts", "L1031", Trace::EmptyTextAllowed}};
constexpr Mark marks_4_05_000[] = {{"TchrArchives", "NewFile", Trace::EmptyTextAllowed}};

// The rungs that leave a trace, in ladder order; the others (4.01.013,
// 4.01.018, 4.04.002 to 4.04.004) change rows only, or columns that depend on
// the project's languages.
constexpr RungMarks tracedRungs[] = {
    {"4.01.001", marks_4_01_001}, {"4.01.002", marks_4_01_002}, {"4.01.003", marks_4_01_003},
    {"4.01.004", marks_4_01_004}, {"4.01.005", marks_4_01_005}, {"4.01.006", marks_4_01_006},
    {"4.01.007", marks_4_01_007}, {"4.01.010", marks_4_01_010}, {"4.01.012", marks_4_01_012},
    {"4.01.014", marks_4_01_014}, {"4.01.015", marks_4_01_015}, {"4.01.016", marks_4_01_016},
    {"4.01.017", marks_4_01_017}, {"4.01.019", marks_4_01_019}, {"4.01.020", marks_4_01_020},
    {"4.04.000", marks_4_04_000}, {"4.04.001", marks_4_04_001}, {"4.04.005", marks_4_04_005},
    {"4.04.006", marks_4_04_006}, {"4.05.000", marks_4_05_000},
};

std::string describe(const Mark& mark) {
    const std::string table(mark.table);
    const std::string item(mark.item);
    switch (mark.trace) {
    case Trace::Table:
        return "table " + table;
    case Trace::Field:
        return "field " + table + "." + item;
    case Trace::Index:
        return "index " + table + "." + item;
    case Trace::SingleType:
        return "field " + table + "." + item + " of type Single";
    case Trace::DefaultOne:
        return "default 1 of " + table + "." + item;
    case Trace::EmptyTextAllowed:
        return "empty texts allowed in " + table + "." + item;
    }
    return table;
}

// Whether the mark is there; nothing when its table is missing, which tells
// nothing about the version.
std::optional<bool> holds(const Mark& mark, const TableLookup& lookup) {
    const auto table = lookup(mark.table);
    if (mark.trace == Trace::Table) {
        return table.has_value();
    }
    if (!table) {
        return std::nullopt;
    }
    if (mark.trace == Trace::Index) {
        return table->findIndex(mark.item) != nullptr;
    }
    const db::FieldDef* field = table->findField(mark.item);
    // Language columns come and go with the project's languages.
    if (!field && (mark.trace == Trace::DefaultOne || mark.trace == Trace::EmptyTextAllowed)) {
        return std::nullopt;
    }
    switch (mark.trace) {
    case Trace::Field:
        return field != nullptr;
    case Trace::SingleType:
        return field && field->type == db::DaoType::Single;
    case Trace::DefaultOne:
        return field && field->defaultValue == "1";
    case Trace::EmptyTextAllowed:
        return field && field->allowZeroLength;
    default:
        return false;
    }
}

} // namespace

TableLookup tablesOf(const db::Database& database) {
    return [&database](std::string_view table) -> std::optional<db::TableDef> {
        if (!database.hasTable(table)) {
            return std::nullopt;
        }
        return database.tableDef(table);
    };
}

RecognisedVersion recogniseVersion(const TableLookup& lookup) {
    RecognisedVersion result;
    for (const auto& rung : tracedRungs) {
        bool found = false;
        for (const Mark& mark : rung.marks) {
            const auto present = holds(mark, lookup);
            if (!present) {
                result.reasons.push_back(std::string(rung.version) + ": " + describe(mark) +
                                         " cannot be told");
                continue;
            }
            if (!*present) {
                result.reasons.push_back(std::string(rung.version) + " not reached: no " +
                                         describe(mark));
                return result;
            }
            found = true;
            result.reasons.push_back(std::string(rung.version) + ": " + describe(mark));
        }
        if (found) {
            result.version = rung.version;
        }
    }
    return result;
}

} // namespace korvana::dbupgrade
