#pragma once

#include "IdeSnapshot.h"

#include <filesystem>
#include <nlohmann/json.hpp>

namespace korvana::standin {

// The snapshot as the JSON report that tests and benchmarks read:
//   {"arguments": [...], "version": 6,
//    "tabs": [{"id": 1, "name": "General", "controls": [...]}],
//    "addIns": [...], "dock": "0a0b" or null, "ui": "ff00" or null,
//    "problems": [...]}
nlohmann::json snapshotReport(const IdeSnapshot& snapshot);

// Writes the report; korvana::Error naming the file when it cannot.
void writeSnapshotReport(const std::filesystem::path& file, const IdeSnapshot& snapshot);

} // namespace korvana::standin
