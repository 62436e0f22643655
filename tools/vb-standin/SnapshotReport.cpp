#include "SnapshotReport.h"

#include "platform/Error.h"

#include <fstream>

namespace korvana::standin {

namespace {

nlohmann::json hexOrNull(const std::optional<Bytes>& value) {
    return value ? nlohmann::json(toHex(*value)) : nlohmann::json(nullptr);
}

} // namespace

nlohmann::json snapshotReport(const IdeSnapshot& snapshot) {
    nlohmann::json tabs = nlohmann::json::array();
    for (const ToolBoxTab& tab : snapshot.tabs) {
        tabs.push_back({{"id", tab.id}, {"name", tab.name}, {"controls", tab.controls}});
    }
    return {{"arguments", snapshot.arguments},
            {"version", snapshot.version},
            {"tabs", tabs},
            {"addIns", snapshot.addIns},
            {"dock", hexOrNull(snapshot.layout.dock)},
            {"ui", hexOrNull(snapshot.layout.ui)},
            {"problems", snapshot.problems}};
}

void writeSnapshotReport(const std::filesystem::path& file, const IdeSnapshot& snapshot) {
    // Tab and control names are 8-bit text of the IDE's code page; bytes that
    // are not UTF-8 become U+FFFD rather than losing the whole report.
    const std::string text =
        snapshotReport(snapshot).dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text << '\n';
    out.close();
    if (!out) {
        throw Error("cannot write the report " + file.string(), 75);
    }
}

} // namespace korvana::standin
