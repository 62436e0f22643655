// Measures the engine's schema operations on a generated project database of
// about a million rows against the SQLite primitives they are built on, and
// the peak memory at two database sizes (it must not grow with the size).
#include "db/Database.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

using namespace korvana::db;
using Clock = std::chrono::steady_clock;

double millis(const std::function<void()>& work) {
    const auto start = Clock::now();
    work();
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long peakKilobytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// Texts below groups, as the projects have them, plus a trend table: together
// `rows` rows.
void generate(const std::string& path, int rows) {
    Database db = Database::create(path);
    TableDef texts("TidxTexts");
    FieldDef id("ID", DaoType::Long);
    id.autoNumber = true;
    texts.fields.push_back(id);
    texts.fields.emplace_back("ParentID", DaoType::Long);
    FieldDef name("Name", DaoType::Text, 50);
    name.required = true;
    texts.fields.push_back(name);
    for (const char* language : {"L1031", "L1033", "Description"}) {
        FieldDef column(language, DaoType::Text, 255);
        column.allowZeroLength = true;
        texts.fields.push_back(column);
    }
    texts.indexes.push_back({"ID", {"ID"}, true, true, false});
    texts.indexes.push_back({"PIDName", {"ParentID", "Name"}, false, true, false});
    db.appendTableDef(texts);

    TableDef trends("TchrTrends");
    trends.fields.push_back(id);
    trends.fields.emplace_back("Name", DaoType::Text, 255);
    trends.fields.emplace_back("Unit", DaoType::Text, 255);
    trends.fields.emplace_back("Minimum", DaoType::Double);
    trends.fields.emplace_back("Maximum", DaoType::Double);
    db.appendTableDef(trends);

    auto& sql = db.connection();
    // Only the generation goes without syncing; the measurements do not.
    // Generation runs in a process of its own, so its larger cache does not
    // count towards the peak memory of the measurements.
    sql.exec("PRAGMA synchronous = OFF");
    sql.exec("PRAGMA cache_size = -262144");
    auto transaction = db.transaction();
    const int textRows = rows / 5 * 4;
    auto text =
        sql.prepare("INSERT INTO TidxTexts (ParentID, Name, L1031, L1033) VALUES (?1, ?2, ?3, ?4)");
    for (int i = 0; i < textRows; ++i) {
        text.reset();
        text.bind(1, std::int64_t{i % 997});
        text.bind(2, "Text" + std::to_string(i));
        text.bind(3, "Deutscher Text Nummer " + std::to_string(i));
        text.bind(4, "English text number " + std::to_string(i));
        text.run();
    }
    auto trend = sql.prepare(
        "INSERT INTO TchrTrends (Name, Unit, Minimum, Maximum) VALUES (?1, 'bar', 0.0, ?2)");
    for (int i = textRows; i < rows; ++i) {
        trend.reset();
        trend.bind(1, "Trend" + std::to_string(i));
        trend.bind(2, static_cast<double>(i));
        trend.run();
    }
    transaction.commit();
}

void ratio(const char* what, double ours, double base, double target) {
    std::printf("%-46s %9.1f ms  vs %9.1f ms  ratio %5.2f", what, ours, base, ours / base);
    if (target > 0) {
        std::printf("  (target <= %.1f)", target);
    }
    std::printf("\n");
}

// Every measurement starts from its own copy of the generated database, so
// that none inherits free pages, a grown file or a warm schema from another.
std::string freshCopy(const std::string& master, const std::string& folder) {
    const std::string path = folder + "/work.kvs";
    std::filesystem::copy_file(master, path, std::filesystem::copy_options::overwrite_existing);
    return path;
}

template <typename Work> double bestOfThree(Work work) {
    double best = 1e9;
    for (int i = 1; i <= 3; ++i) {
        best = std::min(best, work(i));
    }
    return best;
}

void run(const std::string& folder, int rows, bool print) {
    const std::string master = folder + "/bench.kvs";

    // Appending columns. Single schema changes are short and the disk is
    // shared: take the best of three. Each change pays for its commit (its
    // journal and two flushes to disk), which SQLite's own ADD COLUMN pays as
    // well; measured inside an open transaction the figures show the work of
    // the change itself, as an upgrade step sees it.
    double addPlain = 0;
    double addPlainOpen = 0;
    double addDefault = 0;
    double rawAdd = 0;
    double rawAddOpen = 0;
    {
        Database db = Database::open(freshCopy(master, folder));
        auto& sql = db.connection();
        const auto plainField = [](const std::string& name) {
            FieldDef field(name, DaoType::Text, 255);
            field.allowZeroLength = true;
            return field;
        };
        addPlain = bestOfThree([&](int i) {
            return millis(
                [&] { db.appendField("TidxTexts", plainField("Comment" + std::to_string(i))); });
        });
        addPlainOpen = bestOfThree([&](int i) {
            auto transaction = db.transaction();
            const double ms = millis(
                [&] { db.appendField("TidxTexts", plainField("Note" + std::to_string(i))); });
            transaction.commit();
            return ms;
        });
        addDefault = millis([&] {
            FieldDef field("Enabled", DaoType::Boolean);
            field.defaultValue = "True";
            db.appendField("TidxTexts", field);
        });
        // SQLite's own columns come last: the catalogue does not know them.
        rawAdd = bestOfThree([&](int i) {
            const std::string add =
                "ALTER TABLE TidxTexts ADD COLUMN Raw" + std::to_string(i) + " VARCHAR(255)";
            return millis([&] { sql.exec(add); });
        });
        rawAddOpen = bestOfThree([&](int i) {
            const std::string add =
                "ALTER TABLE TidxTexts ADD COLUMN Open" + std::to_string(i) + " VARCHAR(255)";
            sql.exec("BEGIN IMMEDIATE");
            const double ms = millis([&] { sql.exec(add); });
            sql.exec("COMMIT");
            return ms;
        });
    }

    // A rebuilding change next to a bare copy of the table, and next to a copy
    // that also builds the secondary index the rebuilt table must keep (the
    // auto number's index is the rowid and costs nothing).
    double rawCopy = 0;
    double rawCopyIndexed = 0;
    double rebuild = 0;
    {
        Database db = Database::open(freshCopy(master, folder));
        rawCopy = millis(
            [&] { db.connection().exec("CREATE TABLE kv_bench_copy AS SELECT * FROM TidxTexts"); });
    }
    {
        Database db = Database::open(freshCopy(master, folder));
        rawCopyIndexed = millis([&] {
            db.connection().exec("BEGIN IMMEDIATE;"
                                 " CREATE TABLE kv_bench_copy AS SELECT * FROM TidxTexts;"
                                 " CREATE UNIQUE INDEX kv_bench_index ON kv_bench_copy"
                                 " (ParentID, Name COLLATE NOCASE); COMMIT");
        });
    }
    {
        Database db = Database::open(freshCopy(master, folder));
        rebuild = millis([&] { db.setOrdinalPosition("TidxTexts", "L1033", 1); });
    }
    std::filesystem::remove(folder + "/work.kvs");

    const std::string compacted = folder + "/bench.compact.kvs";
    const std::string raw = folder + "/bench.raw.kvs";
    std::filesystem::remove(compacted);
    std::filesystem::remove(raw);
    const double compact = millis([&] { Database::compact(master, compacted); });
    const double vacuum = millis([&] {
        korvana::sqlite::Database plain(master, korvana::sqlite::Database::Mode::ReadWrite);
        auto statement = plain.prepare("VACUUM INTO ?1");
        statement.bind(1, raw);
        statement.run();
    });
    if (print) {
        std::printf("database of %d rows (%.0f MB)\n", rows,
                    static_cast<double>(std::filesystem::file_size(master)) / 1e6);
        ratio("append a plain column (SQLite ADD COLUMN)", addPlain, rawAdd, 0);
        ratio("  the same inside an open transaction", addPlainOpen, rawAddOpen, 0);
        std::printf("  (no rebuild; absolute %.2f ms with its commit, %.2f ms without)\n", addPlain,
                    addPlainOpen);
        ratio("append Boolean default True (old rows False)", addDefault, rawAdd, 0);
        ratio("move a column: rebuild (CREATE TABLE AS)", rebuild, rawCopy, 1.5);
        ratio("  the same against CREATE TABLE AS + its index", rebuild, rawCopyIndexed, 1.5);
        ratio("compaction (VACUUM INTO)", compact, vacuum, 1.2);
    }
    std::filesystem::remove(master);
    std::filesystem::remove(compacted);
    std::filesystem::remove(raw);
}

// Runs `work` in a child process, so that its peak memory is its own.
void inChild(const std::function<void()>& work, const char* label, int rows) {
    std::fflush(stdout);
    const pid_t child = fork();
    if (child == 0) {
        try {
            work();
        } catch (const std::exception& error) {
            std::fprintf(stderr, "failed: %s\n", error.what());
            std::_Exit(1);
        }
        if (label) {
            std::printf("%s with %7d rows: %ld kB\n", label, rows, peakKilobytes());
        }
        std::fflush(stdout);
        std::_Exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
}

} // namespace

int main(int argc, char** argv) {
    const int rows = argc > 1 ? std::atoi(argv[1]) : 1000000;
    std::string pattern =
        (std::filesystem::temp_directory_path() / "korvana-bench-XXXXXX").string();
    if (!mkdtemp(pattern.data())) {
        std::perror("mkdtemp");
        return 1;
    }
    for (const int size : {rows / 4, rows}) {
        const std::string path = pattern + "/bench.kvs";
        std::filesystem::remove(path);
        inChild([&] { generate(path, size); }, nullptr, size);
        inChild([&] { run(pattern, size, size == rows); }, "peak memory of the operations", size);
    }
    std::filesystem::remove_all(pattern);
    return 0;
}
