#include "support/KvsProcess.h"
#include "support/ScratchDir.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>
#include <vector>

namespace {

namespace fs = std::filesystem;
using korvana::test::KvsRun;
using korvana::test::readFile;
using korvana::test::ScratchDir;
using korvana::test::writeFile;

class DbCommandsTest : public ::testing::Test {
  protected:
    KvsRun db(std::vector<std::string> arguments, const std::string& input = "") {
        arguments.insert(arguments.begin(), "db");
        fs::path inputFile;
        if (!input.empty()) {
            inputFile = scratch / "stdin.txt";
            writeFile(inputFile, input);
        }
        return korvana::test::runKvs(scratch / "root", arguments, inputFile,
                                     scratch / "stderr.txt");
    }

    ScratchDir scratch;
    std::string file = (scratch / "Project.kvs").string();
    std::string description = (scratch / "project.json").string();
};

constexpr const char* groups = R"({"tables": [{"name": "TidxGroups",
  "columns": [{"name": "ID", "type": 4, "autoNumber": true}, {"name": "ParentID", "type": 4},
              {"name": "Name", "type": 10, "size": 50}, {"name": "Type", "type": 4},
              {"name": "Delete", "type": 1}],
  "indexes": [{"name": "ID", "fields": ["ID"], "primary": true}],
  "rows": [{"ID": 1, "ParentID": 0, "Name": "Meldungen", "Type": -1, "Delete": false},
           {"ID": 4, "ParentID": 0, "Name": "System", "Type": -100, "Delete": false}]}],
  "settings": [{"section": "Global", "key": "DBVersion", "type": "string", "value": "4.01.007"}]})";

TEST_F(DbCommandsTest, ImportJetTellsWhatItLeftOutAndNeverOverwrites) {
    const fs::path samples(KORVANA_JET_SAMPLES);
    if (!fs::is_directory(samples)) {
        GTEST_SKIP() << "no Jet sample databases in " << samples;
    }
    const auto sample = (samples / "compIndexTestV2003.mdb").string();
    KvsRun run = db({"import-jet", sample, file});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Table1: 512 rows\n");
    EXPECT_NE(run.err.find("kvs: index 'Table1'.'CD_AGENTE': its field 'CD_AGENTE' is kept in "
                           "ascending order"),
              std::string::npos)
        << run.err;
    const std::string imported = readFile(file);

    run = db({"import-jet", sample, file});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("already exists; it is left as it is; nothing was written"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(readFile(file), imported);

    std::string jet3 = readFile(sample);
    jet3[0x14] = 0;
    writeFile(scratch / "old.mdb", jet3);
    run = db({"import-jet", (scratch / "old.mdb").string(), (scratch / "Old.kvs").string()});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("it is a Jet 3 database"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(scratch / "Old.kvs"));
}

TEST_F(DbCommandsTest, CreateDumpAndQueryAProjectDatabase) {
    writeFile(description, groups);
    KvsRun run = db({"create", file, "--from", description});
    ASSERT_EQ(run.exitCode, 0) << run.err;

    run = db({"dump", file});
    ASSERT_EQ(run.exitCode, 0) << run.err;
    EXPECT_NE(run.out.find("\"autoNumber\": true"), std::string::npos);
    EXPECT_NE(run.out.find("\"value\": \"4.01.007\""), std::string::npos);
    EXPECT_EQ(run.out.find("\"rows\""), std::string::npos);
    EXPECT_EQ(run.out.find("kv_"), std::string::npos);
    EXPECT_NE(db({"dump", file, "--rows"}).out.find("\"Name\": \"System\""), std::string::npos);

    run = db({"sql", file, "SELECT ID, Name, [Delete] FROM TidxGroups WHERE Type = -100"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "{\"ID\":4,\"Name\":\"System\",\"Delete\":false}\n");

    run = db({"sql", file, "UPDATE TidxGroups SET Name = Name & '!' WHERE ParentID = 0"});
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "{\"rowsAffected\":2}\n");
    EXPECT_EQ(db({"sql", file, "select name from tidxgroups where id = 1"}).out,
              "{\"Name\":\"Meldungen!\"}\n");

    // The description may come from standard input as well.
    run = db({"create", (scratch / "Second.kvs").string(), "--from", "-"}, groups);
    EXPECT_EQ(run.exitCode, 0) << run.err;
}

TEST_F(DbCommandsTest, FailuresExplainThemselvesAndChangeNothing) {
    writeFile(description, groups);
    ASSERT_EQ(db({"create", file, "--from", description}).exitCode, 0);
    const std::string before = db({"dump", file, "--rows"}).out;
    const std::string missing = (scratch / "Missing.kvs").string();
    const struct {
        std::vector<std::string> arguments;
        int exitCode;
        const char* mention;
    } cases[] = {
        {{"create", file, "--from", description}, 3, "already exists"},
        {{"create", missing, "--from", (scratch / "none.json").string()}, 1, "not found"},
        {{"dump", missing}, 1, "not found"},
        {{"sql", missing, "SELECT * FROM TidxGroups"}, 1, "not found"},
        {{"sql", file, "DROP TABLE TidxGroups"}, 3, "Syntax error"},
        {{"sql", file, "UPDATE TidxGroups SET Name = 'x'; DELETE FROM TidxGroups"},
         3,
         "one statement"},
        {{"sql", file, "SELECT * FROM kv_columns"}, 3, "kv_columns"},
        {{"sql", file, "UPDATE TidxGroups SET Colour = 1"}, 3, "'Colour'"},
        {{"dump"}, 2, "FILE"},
        {{"create", file}, 2, "--from"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.arguments[0] + " " + (c.arguments.size() > 1 ? c.arguments.back() : ""));
        const KvsRun run = db(c.arguments);
        EXPECT_EQ(run.exitCode, c.exitCode) << run.err;
        EXPECT_NE(run.err.find(c.mention), std::string::npos) << run.err;
    }
    EXPECT_EQ(db({"dump", file, "--rows"}).out, before);
    EXPECT_FALSE(fs::exists(missing));

    writeFile(scratch / "broken.json",
              R"({"tables": [{"name": "T", "columns": [{"name": "A", "type": 99}]}]})");
    const KvsRun run = db({"create", missing, "--from", (scratch / "broken.json").string()});
    EXPECT_EQ(run.exitCode, 3);
    EXPECT_NE(run.err.find("unknown type 99"), std::string::npos) << run.err;
    EXPECT_FALSE(fs::exists(missing));
}

// Not even SQLite's change counter in the header may move: other programs
// take a new counter for a changed file.
TEST_F(DbCommandsTest, RefusedStatementsLeaveTheFileByteForByte) {
    writeFile(description, R"({"tables": [{"name": "Codes",
      "columns": [{"name": "ID", "type": 4}, {"name": "Code", "type": 10, "size": 4}],
      "rows": [{"ID": 1, "Code": "a"}, {"ID": 2, "Code": "abc"}]}]})");
    ASSERT_EQ(db({"create", file, "--from", description}).exitCode, 0);
    const std::string before = readFile(file);
    for (const char* statement : {
             "UPDATE Codes SET Code = Code & 'xx'", // the first row fits, the second does not
             "UPDATE Codes SET Code = 'abcde'",
             "UPDATE Codes SET Colour = 1",
             "DELETE FROM Codes WHERE",
         }) {
        const KvsRun run = db({"sql", file, statement});
        EXPECT_EQ(run.exitCode, 3) << statement;
        EXPECT_TRUE(readFile(file) == before) << statement;
    }
    EXPECT_EQ(db({"sql", file, "SELECT Code FROM Codes WHERE ID = 2"}).out, "{\"Code\":\"abc\"}\n");
}

TEST_F(DbCommandsTest, EveryCommandHasHelp) {
    for (const char* command : {"create", "dump", "sql"}) {
        const KvsRun run = db({command, "--help"});
        EXPECT_EQ(run.exitCode, 0) << command;
        EXPECT_NE(run.out.find("FILE"), std::string::npos) << command;
    }
}

} // namespace
