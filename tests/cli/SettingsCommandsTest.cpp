#include "db/Sqlite.h"
#include "support/KvsProcess.h"
#include "support/ProjectDatabase.h"
#include "support/ScratchDir.h"

#include <gmock/gmock.h>
#include <string>
#include <vector>

namespace {

namespace fs = std::filesystem;
using korvana::test::KvsRun;
using korvana::test::readFile;
using korvana::test::ScratchDir;
using korvana::test::writeFile;
using testing::HasSubstr;

// kvs in a scratch system root; stderr is dropped, the exit code tells.
KvsRun kvs(const ScratchDir& root, const std::vector<std::string>& arguments) {
    return korvana::test::runKvs(root / "root", arguments);
}

class KvsSettings : public testing::Test {
  protected:
    KvsSettings() {
        fs::create_directories(project.parent_path());
        korvana::test::makeProjectDatabase(project);
    }

    ScratchDir scratch;
    fs::path project = scratch / "Plant" / "Plant.kvs";
};

TEST_F(KvsSettings, StoresTypedValuesAndListsThemStably) {
    const std::string file = project.string();
    const std::vector<std::vector<std::string>> sets{
        {"Global", "ProjectVersion", "0042"},
        {"Global", "LCID", "1031", "--type", "int32"},
        {"ServerComponents", "KVPdb", "1", "--type", "int16"},
        {"Global", "DateCreated", "2026-12-06 17:00:00", "--type", "date"},
        {"global", "comment", "two\r\nlines"},
        {"Global", "Offset", "-5", "--type", "INT32"},
    };
    for (const auto& set : sets) {
        std::vector<std::string> arguments{"settings", file, "set"};
        arguments.insert(arguments.end(), set.begin(), set.end());
        EXPECT_EQ(kvs(scratch, arguments).exitCode, 0) << set[1];
    }
    const KvsRun list = kvs(scratch, {"settings", file, "list"});
    EXPECT_EQ(list.exitCode, 0);
    EXPECT_EQ(list.out, "[Global]\n"
                        "ProjectVersion=0042 (string)\n"
                        "LCID=1031 (int32)\n"
                        "DateCreated=2026-12-06 17:00:00 (date)\n"
                        "comment=two\\r\\nlines (string)\n"
                        "Offset=-5 (int32)\n"
                        "[ServerComponents]\n"
                        "KVPdb=1 (int16)\n");

    const KvsRun get = kvs(scratch, {"settings", file, "get", "GLOBAL", "Comment"});
    EXPECT_EQ(get.exitCode, 0);
    EXPECT_EQ(get.out, "two\r\nlines\n");
    EXPECT_EQ(kvs(scratch, {"settings", file, "list", "ServerComponents"}).out,
              "[ServerComponents]\nKVPdb=1 (int16)\n");
}

// A table row stays one line however a value is written; JSON carries the
// value as it is.
TEST_F(KvsSettings, TableEscapesLineBreaksAndJsonKeepsThem) {
    const std::string file = project.string();
    ASSERT_EQ(kvs(scratch, {"settings", file, "set", "Global", "comment", "two\r\nlines"}).exitCode,
              0);
    ASSERT_EQ(kvs(scratch, {"settings", file, "set", "Global", "LCID", "1031", "--type", "int32"})
                  .exitCode,
              0);
    EXPECT_EQ(kvs(scratch, {"settings", file, "list", "--table"}).out,
              "SECTION  KEY      TYPE    VALUE\n"
              "Global   comment  string  two\\r\\nlines\n"
              "Global   LCID     int32   1031\n");
    EXPECT_EQ(kvs(scratch, {"settings", file, "list", "--json"}).out,
              R"({"section":"Global","key":"comment","type":"string","value":"two\r\nlines"})"
              "\n"
              R"({"section":"Global","key":"LCID","type":"int32","value":"1031"})"
              "\n");
}

TEST_F(KvsSettings, FindsARegisteredProjectByName) {
    ASSERT_EQ(
        kvs(scratch, {"reg", "set", "HKLM\\Software\\ARVENTIK GmbH\\Korvana\\4.0\\Projects\\Plant",
                      "Path", project.parent_path().string()})
            .exitCode,
        0);
    EXPECT_EQ(
        kvs(scratch, {"settings", "plant", "set", "Global", "DBVersion", "4.05.000"}).exitCode, 0);
    EXPECT_EQ(kvs(scratch, {"settings", project.string(), "get", "Global", "DBVersion"}).out,
              "4.05.000\n");
}

TEST_F(KvsSettings, FailuresHaveTheirExitCodesAndChangeNothing) {
    const std::string file = project.string();
    const fs::path text = scratch / "Notes.kvs";
    writeFile(text, "[Global]\nProjectName=Notes\n");
    const std::string before = readFile(project);

    struct Case {
        std::vector<std::string> arguments;
        int exitCode;
    };
    const std::vector<Case> cases{
        {{"settings", file, "get", "Global", "Missing"}, 1},
        {{"settings", file, "set", "Global", "Flag", "40000", "--type", "int16"}, 2},
        {{"settings", file, "set", "Global", "When", "06.12.2026", "--type", "date"}, 2},
        {{"settings", file, "set", "Global", "What", "1.5", "--type", "double"}, 2},
        {{"settings", file, "get", "Global"}, 2},
        {{"settings", text.string(), "list"}, 3},
        {{"settings", (scratch / "Missing.kvs").string(), "list"}, 3},
        {{"settings", "Unregistered", "list"}, 3},
        {{"settings", "..", "list"}, 3},
    };
    for (const auto& [arguments, exitCode] : cases) {
        EXPECT_EQ(kvs(scratch, arguments).exitCode, exitCode)
            << arguments[1] << ' ' << arguments[2];
    }
    EXPECT_EQ(readFile(project), before);
    EXPECT_EQ(readFile(text), "[Global]\nProjectName=Notes\n");
    EXPECT_FALSE(fs::exists(scratch / "Missing.kvs"));
}

// Another program's SQLite file never gains a settings table, whichever
// command meets it, and is named in the error.
TEST_F(KvsSettings, AnotherProgramsDatabaseIsRefusedByEveryCommandAndLeftAsItWas) {
    const fs::path foreign = scratch / "x.kvs";
    {
        korvana::sqlite::Database db(foreign.string(), korvana::sqlite::Database::Mode::Create);
        db.exec("CREATE TABLE moz_places (id INTEGER PRIMARY KEY, url TEXT)");
    }
    const std::string before = readFile(foreign);
    const std::string file = foreign.string();
    const std::vector<std::vector<std::string>> commands{
        {"settings", file, "set", "Global", "ProjectType", "Single"},
        {"settings", file, "set", "Global", "LCID", "1031", "--type", "int32"},
        {"settings", file, "list"},
        {"settings", file, "get", "Global", "ProjectType"},
    };
    for (const auto& arguments : commands) {
        SCOPED_TRACE(arguments[2]);
        const KvsRun run =
            korvana::test::runKvs(scratch / "root", arguments, {}, scratch / "stderr.txt");
        EXPECT_EQ(run.exitCode, 3);
        EXPECT_EQ(run.out, "");
        EXPECT_THAT(run.err, HasSubstr("kvs: '" + file + "' is not a project database"));
        EXPECT_EQ(readFile(foreign), before);
    }
}

} // namespace
