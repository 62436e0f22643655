#include "platform/FileRegistry.h"
#include "platform/RegFileParser.h"
#include "support/ScratchDir.h"

#include <gtest/gtest.h>
#include <set>
#include <sys/wait.h>
#include <unistd.h>

namespace korvana {
namespace {

constexpr auto hklm = Hive::LocalMachine;
constexpr int writesPerProcess = 40;

// Each writer adds its own values to a shared key and to a key of its own;
// every write is a read-modify-write of the whole file. Each also adds and
// removes a last key, so that one file is often the beginning of the next or
// of the one before, as a cut file would be.
[[noreturn]] void writer(const std::filesystem::path& folder, int id) {
    try {
        FileRegistry registry(folder);
        for (int i = 0; i < writesPerProcess; ++i) {
            const std::string name = "w" + std::to_string(id) + "_" + std::to_string(i);
            registry.writeString(hklm, "Software\\Shared", name,
                                 std::string(static_cast<size_t>(i), 'x'));
            registry.writeNumber(hklm, "Software\\Own" + std::to_string(id), name, i);
            registry.writeString(hklm, "Tail", name, "x");
            registry.deleteKey(hklm, "Tail");
        }
        _exit(0);
    } catch (...) {
        _exit(1);
    }
}

TEST(RegistryConcurrency, TwoWritingProcessesLoseNothingAndReadersNeverSeeATornFile) {
    test::ScratchDir scratch;
    const auto file = scratch / "HKEY_LOCAL_MACHINE.reg";
    std::vector<pid_t> children;
    for (int id = 0; id < 2; ++id) {
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            writer(scratch.path(), id);
        }
        children.push_back(child);
    }

    RegFileParser::Options strict;
    strict.onlyHive = hklm;
    FileRegistry reader(scratch.path());
    int running = 2;
    int reads = 0;
    while (running > 0) {
        if (std::filesystem::exists(file)) {
            const auto text = test::readFile(file);
            EXPECT_NO_THROW(RegFileParser::parse(text, file.string(), strict)) << text;
            EXPECT_NO_THROW(reader.values(hklm, "Software\\Shared"));
            ++reads;
        }
        for (auto& child : children) {
            int status = 0;
            if (child > 0 && waitpid(child, &status, WNOHANG) == child) {
                EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
                child = 0;
                --running;
            }
        }
    }
    EXPECT_GT(reads, 0);

    FileRegistry registry(scratch.path());
    EXPECT_EQ(registry.values(hklm, "Software\\Shared").size(), 2u * writesPerProcess);
    for (int id = 0; id < 2; ++id) {
        EXPECT_EQ(registry.values(hklm, "Software\\Own" + std::to_string(id)).size(),
                  static_cast<size_t>(writesPerProcess));
    }
    // Temporary files are renamed into place or removed; only the hive, its
    // lock file and its backup remain.
    std::set<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(scratch.path())) {
        names.insert(entry.path().filename().string());
    }
    EXPECT_EQ(names, (std::set<std::string>{"HKEY_LOCAL_MACHINE.reg", "HKEY_LOCAL_MACHINE.reg.bak",
                                            "HKEY_LOCAL_MACHINE.reg.lock"}));
}

} // namespace
} // namespace korvana
