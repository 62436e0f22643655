#include "support/KvsProcess.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

namespace {

using korvana::test::KvsRun;
using korvana::test::ScratchDir;

// Every number option and argument of kvs, with a value before the number where
// the command needs one; the number goes last.
const struct NumberArgument {
    std::vector<std::string> command;
    bool negative; // a negative number means something
} numberArguments[] = {
    {{"text"}, false},
    {{"text", "10", "--lcid"}, false},
    {{"project", "show", "Plant1", "--lcid"}, false},
    {{"project", "languages", "Plant1", "--lcid"}, false},
    {{"project", "components", "Plant1", "--family"}, false},
    {{"projects", "list", "--mask"}, true},
    {{"create", "P", "--template", "T", "--lcid"}, false},
};

std::string joined(const std::vector<std::string>& words) {
    std::string text;
    for (const auto& word : words) {
        text += word + " ";
    }
    return text;
}

// A number that is not decimal would otherwise quietly name another text,
// language or mask.
TEST(NumberArguments, AnythingButDecimalDigitsIsAUsageError) {
    const ScratchDir scratch;
    for (const auto& [command, negative] : numberArguments) {
        std::vector<std::string> numbers = {"",    "0x10", " 7",  "7 ",
                                            "1_0", "+5",   "1e3", "2147483648"};
        numbers.emplace_back(negative ? "-2147483649" : "-5");
        for (const auto& number : numbers) {
            std::vector<std::string> arguments = command;
            arguments.push_back(number);
            const KvsRun run =
                korvana::test::runKvs(scratch / "root", arguments, {}, scratch / "stderr.txt");
            EXPECT_EQ(run.exitCode, 2) << joined(arguments);
            EXPECT_NE(run.err.find("is not a decimal number"), std::string::npos)
                << joined(arguments) << run.err;
        }
    }
}

TEST(NumberArguments, DecimalNumbersMeanWhatTheySay) {
    const ScratchDir scratch;
    const auto text = [&](std::vector<std::string> arguments) {
        arguments.insert(arguments.begin(), "text");
        return korvana::test::runKvs(scratch / "root", arguments).out;
    };
    // A leading zero is no octal marker.
    EXPECT_EQ(text({"010"}), text({"10"}));
    EXPECT_NE(text({"10"}), "@10");
    EXPECT_EQ(text({"10", "--lcid", "01033"}), text({"10", "--lcid", "1033"}));
    EXPECT_EQ(text({"4711"}), "@4711");

    // The mask may be negative: -1 stands for every type.
    const KvsRun all =
        korvana::test::runKvs(scratch / "root", {"projects", "list", "--mask", "-1"});
    EXPECT_EQ(all.exitCode, 0);
}

} // namespace
