#include "support/ScratchDir.h"
#include "text/TextService.h"

#include <array>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <sys/wait.h>

namespace korvana {
namespace {

struct Run {
    std::string out;
    std::string err;
    int exitCode = -1;
};

// Runs kvs with the given arguments (already quoted for the shell) in a
// scratch system root.
Run kvs(const test::ScratchDir& root, const std::string& arguments) {
    const std::string command = "KORVANA_ROOT='" + root.path().string() + "' '" + KORVANA_BIN_DIR +
                                "/kvs' " + arguments + " 2>'" + (root / "stderr").string() + "'";
    Run run;
    FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        return run;
    }
    std::array<char, 4096> buffer{};
    std::size_t n = 0;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.out.append(buffer.data(), n);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.err = test::readFile(root / "stderr");
    return run;
}

TEST(KvsText, PrintsTheTextExactlyWithoutANewline) {
    const test::ScratchDir root;
    const auto help = kvs(root, "text 905");
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_EQ(help.out, TextService{}.LoadText(TextId{905}));
    EXPECT_EQ(help.err, "");

    const auto english = kvs(root, "text 908 Plant1 'C:\\Old' /new --lcid 1033");
    EXPECT_EQ(english.exitCode, 0);
    EXPECT_EQ(english.out,
              TextService{Lcid{1033}}.LoadText(TextId{908}, {"Plant1", "C:\\Old", "/new"}));

    const auto title = kvs(root, "text 90 91 --lcid 1033");
    EXPECT_EQ(title.out, "KorvanaStudio   (Message 91)");
}

TEST(KvsText, MissingTextIsNoFailure) {
    const test::ScratchDir root;
    const auto run = kvs(root, "text 4711");
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_EQ(run.out, "@4711");
    EXPECT_EQ(run.err, "kvs: text 4711 is not in the string table\n");
}

TEST(KvsText, BadNumberIsAUsageError) {
    const test::ScratchDir root;
    EXPECT_EQ(kvs(root, "text abc").exitCode, 2);
    EXPECT_EQ(kvs(root, "text").exitCode, 2);
    EXPECT_EQ(kvs(root, "text 10 --lcid x").exitCode, 2);
}

} // namespace
} // namespace korvana
