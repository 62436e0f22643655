#include "db/jetfile/JetImport.h"

#include "db/Database.h"
#include "db/DbErrors.h"
#include "db/jetfile/JetFile.h"
#include "platform/Error.h"
#include "support/ScratchDir.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace korvana::db::jetfile {
namespace {

namespace fs = std::filesystem;
using test::readFile;
using test::ScratchDir;
using test::writeFile;
using ::testing::Contains;
using ::testing::HasSubstr;

// Separators no sample's text holds, and a mark for Null, so that Null, an
// empty text and every other value stay apart in mdb-export's listing.
constexpr char fieldEnd = '\x1f';
constexpr char rowEnd = '\x1e';
constexpr char nullMark = '\x01';

class JetSamples : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!fs::is_directory(samples)) {
            GTEST_SKIP() << "no Jet sample databases in " << samples;
        }
    }

    std::vector<fs::path> sampleFiles() const {
        std::vector<fs::path> files;
        for (const auto& entry : fs::directory_iterator(samples)) {
            if (entry.path().extension() == ".mdb") {
                files.push_back(entry.path());
            }
        }
        std::sort(files.begin(), files.end());
        return files;
    }

    // What mdb-export, libmdb's own lister, prints of a table: one text per
    // row, fields in column order.
    static std::vector<std::string> exported(const fs::path& file, const std::string& table) {
        const std::string command = "mdb-export -H -Q -d $'\\x1f' -R $'\\x1e' -0 $'\\x01' "
                                    "-D '%Y-%m-%d %H:%M:%S' -T '%Y-%m-%d %H:%M:%S' -b hex '" +
                                    file.string() + "' '" + table + "'";
        FILE* pipe = ::popen(("bash -c \"" + command + "\"").c_str(), "r");
        if (!pipe) {
            ADD_FAILURE() << "mdb-export could not be started";
            return {};
        }
        std::string output;
        char buffer[65536];
        for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
            output.append(buffer, got);
        }
        EXPECT_EQ(::pclose(pipe), 0) << command;
        std::vector<std::string> rows;
        std::size_t begin = 0;
        for (std::size_t end; (end = output.find(rowEnd, begin)) != std::string::npos;
             begin = end + 1) {
            rows.push_back(output.substr(begin, end - begin));
        }
        return rows;
    }

    // Our value in mdb-export's notation.
    static std::string listed(const Value& value, DaoType type) {
        char text[64];
        if (isNull(value)) {
            return std::string(1, nullMark);
        }
        if (const auto* flag = std::get_if<bool>(&value)) {
            return *flag ? "1" : "0";
        }
        if (const auto* number = std::get_if<std::int64_t>(&value)) {
            return type == DaoType::Boolean ? (*number != 0 ? "1" : "0") : std::to_string(*number);
        }
        if (const auto* real = std::get_if<double>(&value)) {
            if (type == DaoType::Single) {
                std::snprintf(text, sizeof text, "%.8g", static_cast<float>(*real));
            } else if (type == DaoType::Currency) {
                std::snprintf(text, sizeof text, "%.4f", *real);
            } else {
                std::snprintf(text, sizeof text, "%.16g", *real);
            }
            return text;
        }
        if (const auto* date = std::get_if<DateTime>(&value)) {
            return date->text;
        }
        if (const auto* bytes = std::get_if<Bytes>(&value)) {
            std::string hex;
            for (const auto byte : *bytes) {
                std::snprintf(text, sizeof text, "%02X", byte);
                hex += text;
            }
            return hex;
        }
        return std::get<std::string>(value);
    }

    const fs::path samples{KORVANA_JET_SAMPLES};
    ScratchDir scratch;
};

TEST_F(JetSamples, EverySampleArrivesRowForRowAsLibmdbListsIt) {
    for (const auto& sample : sampleFiles()) {
        SCOPED_TRACE(sample.filename().string());
        const auto out = scratch / (sample.stem().string() + ".kvs");
        const auto report = importJetFile(sample.string(), out.string());
        EXPECT_FALSE(report.tables.empty());

        Database database = Database::open(out.string());
        JetFile jet(sample.string());
        ASSERT_EQ(database.tableNames().size(), jet.tableNames().size());
        for (const auto& name : jet.tableNames()) {
            SCOPED_TRACE(name);
            const TableDef definition = database.tableDef(name);
            const QueryResult stored = database.query("SELECT * FROM [" + name + "]");
            std::vector<std::string> ours;
            for (const auto& row : stored.rows) {
                std::string line;
                for (std::size_t i = 0; i < row.size(); ++i) {
                    line += (i ? std::string(1, fieldEnd) : "") +
                            listed(row[i], definition.fields[i].type);
                }
                ours.push_back(line);
            }
            auto theirs = exported(sample, name);
            // Rows keep no order of their own; the sets must agree.
            std::sort(ours.begin(), ours.end());
            std::sort(theirs.begin(), theirs.end());
            EXPECT_EQ(ours.size(), theirs.size());
            EXPECT_EQ(ours, theirs);
        }
    }
}

TEST_F(JetSamples, SchemaComesOverAsLibmdbExposesIt) {
    const auto users = scratch / "users.kvs";
    importJetFile((samples / "fixedTextTestV2003.mdb").string(), users.string());
    {
        Database database = Database::open(users.string());
        const TableDef table = database.tableDef("users");
        ASSERT_EQ(table.fields.size(), 10u);
        const FieldDef& login = table.field("c_user_login");
        EXPECT_EQ(login.type, DaoType::Text);
        EXPECT_EQ(login.size, 32);
        EXPECT_TRUE(login.required);
        EXPECT_EQ(login.ordinalPosition, 1);
        EXPECT_EQ(table.field("d_stamp_").type, DaoType::DateTime);
        EXPECT_EQ(table.field("i_user_id").type, DaoType::Long);
        const IndexDef& key = table.index("Users2CID_0");
        EXPECT_TRUE(key.primary);
        EXPECT_TRUE(key.unique);
        EXPECT_TRUE(key.required);
        EXPECT_EQ(key.fields, std::vector<std::string>{"i_user_id"});
    }

    const auto agents = scratch / "agents.kvs";
    const auto report =
        importJetFile((samples / "compIndexTestV2003.mdb").string(), agents.string());
    Database database = Database::open(agents.string());
    const TableDef table = database.tableDef("Table1");
    EXPECT_EQ(table.field("CD_AGENTE").defaultValue, "0");
    const FieldDef& name = table.field("RS_AGENTE");
    EXPECT_EQ(name.size, 55);
    EXPECT_TRUE(name.allowZeroLength);
    EXPECT_FALSE(name.required);
    ASSERT_NE(name.findProperty("UnicodeCompression"), nullptr);
    EXPECT_EQ(name.findProperty("UnicodeCompression")->value, Value(true));
    EXPECT_EQ(table.index("CD_AGENTE").fields, std::vector<std::string>{"CD_AGENTE"});
    // What could not be kept is named.
    EXPECT_THAT(report.notes, Contains(HasSubstr("'Table1'.'CD_AGENTE': its field 'CD_AGENTE' "
                                                 "is kept in ascending order")));
    EXPECT_EQ(report.tables, std::vector<std::string>{"Table1: 512 rows"});
}

TEST_F(JetSamples, WhatCannotBeBroughtOverIsNamed) {
    const auto decimals = importJetFile((samples / "fixedNumericTestV2003.mdb").string(),
                                        (scratch / "decimals.kvs").string());
    EXPECT_THAT(decimals.notes, Contains(HasSubstr("column 'test'.'col2': a Decimal column "
                                                   "became Text")));
    const auto deleted = importJetFile((samples / "delColTestV2003.mdb").string(),
                                       (scratch / "deleted.kvs").string());
    EXPECT_THAT(deleted.notes,
                Contains("index 'Table1'.'id2' left out: libmdb could not read which fields "
                         "it has"));
}

// A copy of a sample with its bytes changed where `change` says.
class RefusedJetFiles : public JetSamples {
  protected:
    fs::path copyOf(const std::string& sample, const std::function<void(std::string&)>& change) {
        std::string bytes = readFile(samples / sample);
        change(bytes);
        const auto copy = scratch / "in" / sample;
        fs::create_directories(copy.parent_path());
        writeFile(copy, bytes);
        return copy;
    }
};

TEST_F(RefusedJetFiles, BadInputWritesNothingAndLeavesTheOriginal) {
    struct Case {
        std::string what;
        std::function<void(std::string&)> change;
        std::string reason;
    };
    const std::vector<Case> cases{
        {"Jet 3", [](std::string& b) { b[0x14] = 0; }, "it is a Jet 3 database"},
        {"ACE", [](std::string& b) { b.replace(4, 15, "Standard ACE DB"), b[0x14] = 2; },
         "it is an ACE database (.accdb"},
        {"ACE version", [](std::string& b) { b[0x14] = 3; }, "it is an ACE database"},
        // The password "P": its first character masked as Access masks it.
        {"password",
         [](std::string& b) {
             const auto word = [&](std::size_t at) {
                 return static_cast<unsigned>(static_cast<unsigned char>(b[at]) |
                                              static_cast<unsigned char>(b[at + 1]) << 8);
             };
             const unsigned masked = 0x6ABA ^ (word(0x66) ^ 0x24AE) ^ 'P';
             b[0x42] = static_cast<char>(masked & 0xFF);
             b[0x43] = static_cast<char>(masked >> 8);
         },
         "it is protected by a database password"},
        {"no Jet file", [](std::string& b) { b.replace(4, 15, "Something else!"); },
         "it is no Jet database"},
        {"cut short", [](std::string& b) { b.resize(b.size() / 2); }, "the file is damaged"},
        // Blank pages: libmdb would pass over the rows they held.
        {"blank catalogue", [](std::string& b) { std::fill(b.begin() + 0xA000, b.end(), '\0'); },
         "the file is damaged"},
        {"blank data page",
         [](std::string& b) { std::fill(b.begin() + 18 * 4096, b.begin() + 19 * 4096, '\0'); },
         "rows of table 'Table1' could be read"},
    };
    const auto out = scratch / "out" / "P.kvs";
    fs::create_directories(out.parent_path());
    for (const auto& [what, change, reason] : cases) {
        SCOPED_TRACE(what);
        const auto input = copyOf("compIndexTestV2003.mdb", change);
        const std::string before = readFile(input);
        try {
            importJetFile(input.string(), out.string());
            ADD_FAILURE() << "imported";
        } catch (const Error& error) {
            EXPECT_EQ(error.number(), errors::notADatabase);
            EXPECT_THAT(error.what(), HasSubstr(input.string()));
            EXPECT_THAT(error.what(), HasSubstr(reason));
        }
        EXPECT_TRUE(fs::is_empty(out.parent_path()));
        EXPECT_EQ(readFile(input), before);
    }
}

TEST_F(RefusedJetFiles, AnExistingProjectFileIsNeverOverwritten) {
    const auto out = scratch / "P.kvs";
    writeFile(out, "mine");
    try {
        importJetFile((samples / "delTestV2003.mdb").string(), out.string());
        ADD_FAILURE() << "overwritten";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), errors::databaseExists);
    }
    EXPECT_EQ(readFile(out), "mine");
}

TEST_F(RefusedJetFiles, AJetProjectFileIsNamedAsSuchWhenOpened) {
    const auto file = copyOf("delTestV2003.mdb", [](std::string&) {});
    try {
        Database::open(file.string());
        ADD_FAILURE() << "opened";
    } catch (const Error& error) {
        EXPECT_EQ(error.number(), errors::notADatabase);
        EXPECT_THAT(error.what(), HasSubstr("is a Jet 4.0 (Access) database from Windows"));
    }
}

} // namespace
} // namespace korvana::db::jetfile
