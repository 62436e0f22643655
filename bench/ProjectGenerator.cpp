#include "ProjectGenerator.h"

#include "db/Database.h"
#include "db/json/DatabaseJson.h"
#include "db/json/DescriptionReader.h"
#include "db/json/RowWriter.h"
#include "platform/Error.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace korvana::bench {
namespace {

using db::Value;
using db::json::RowValues;
using db::json::RowWriter;

std::string numbered(const char* prefix, long n) {
    std::string digits = std::to_string(n);
    return prefix + std::string(digits.size() < 6 ? 6 - digits.size() : 0, '0') + digits;
}

// Texts hang below user groups of at most this many texts, as in real projects.
constexpr long textsPerGroup = 500;

} // namespace

ProjectSize ProjectSize::scaled(double factor) const {
    const auto scale = [factor](int n) { return static_cast<int>(std::lround(n * factor)); };
    return {scale(texts), scale(items), scale(trends), scale(messages)};
}

long generateProject(const std::string& path, const std::string& descriptionFile,
                     const ProjectSize& size) {
    std::string json;
    {
        std::FILE* file = std::fopen(descriptionFile.c_str(), "rb");
        if (file == nullptr) {
            throw Error("Cannot read '" + descriptionFile + "'", 53);
        }
        char buffer[65536];
        std::size_t got = 0;
        while ((got = std::fread(buffer, 1, sizeof buffer, file)) > 0) {
            json.append(buffer, got);
        }
        std::fclose(file);
    }
    db::json::createDatabase(path, db::json::DescriptionReader::parse(json));

    db::Database database = db::Database::open(path);
    auto& sql = database.connection();
    long added = 0;
    {
        auto transaction = database.transaction();
        // New user groups below the first top-level group of type 0.
        RowWriter groups(sql, database.tableDef("TidxGroups"));
        std::vector<std::int64_t> groupIds;
        const long groupCount = (size.texts + textsPerGroup - 1) / textsPerGroup;
        for (long g = 0; g < groupCount; ++g) {
            groups.insert({{"ParentID", Value(std::int64_t{0})},
                           {"Name", Value(numbered("Gruppe", g))},
                           {"Type", Value(std::int64_t{0})},
                           {"Delete", Value(true)},
                           {"Rename", Value(true)}});
            groupIds.push_back(sql.lastInsertRowId());
            ++added;
        }
        RowWriter texts(sql, database.tableDef("TidxTexts"));
        for (long t = 0; t < size.texts; ++t) {
            texts.insert(
                {{"ParentID", Value(groupIds[static_cast<std::size_t>(t / textsPerGroup)])},
                 {"Name", Value(numbered("Text", t))},
                 {"L1031", Value("Deutscher Anzeigetext Nummer " + std::to_string(t))},
                 {"L1033", Value("English display text number " + std::to_string(t))}});
            ++added;
        }
        RowWriter items(sql, database.tableDef("TpdbItems"));
        for (long i = 0; i < size.items; ++i) {
            items.insert({{"DeviceID", Value(std::int64_t{1 + i % 2})},
                          {"Name", Value(numbered("Item", i))},
                          {"ItemAccess", Value("DB" + std::to_string(100 + i / 1000) + ".DBD" +
                                               std::to_string(i % 1000 * 4))},
                          {"DataType", Value(std::int64_t{4})},
                          {"Description", Value("Prozesswert " + std::to_string(i))}});
            ++added;
        }
        RowWriter trends(sql, database.tableDef("TchrTrends"));
        for (long t = 0; t < size.trends; ++t) {
            trends.insert({{"ArchiveID", Value(std::int64_t{1 + t % 2})},
                           {"ItemName", Value(numbered("Item", t))},
                           {"Description", Value("Trend " + std::to_string(t))},
                           {"Unit", Value(std::string(t % 3 == 0 ? "bar" : "°C"))},
                           {"MaxValue", Value(100.0 + static_cast<double>(t % 50))}});
            ++added;
        }
        RowWriter messages(sql, database.tableDef("TalaMessages"));
        for (long m = 0; m < size.messages; ++m) {
            messages.insert({{"ParentID", Value(std::int64_t{2 + m % 2})},
                             {"ClassID", Value(std::int64_t{1 + m % 3})},
                             {"Name", Value(numbered("Msg", m))},
                             {"ItemName", Value(numbered("Item", m % std::max(size.items, 1)))},
                             {"MessageHelpID", Value(std::int64_t{1000 + m % 500})},
                             {"HelpIndex", Value("Hilfe" + std::to_string(m % 100))}});
            ++added;
        }
        transaction.commit();
    }
    database.close();
    return added;
}

} // namespace korvana::bench
