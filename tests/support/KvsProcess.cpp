#include "support/KvsProcess.h"

#include "support/ScratchDir.h"

#include <array>
#include <cstdio>
#include <sys/wait.h>

namespace korvana::test {

namespace {

std::string shellQuoted(const std::string& text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    }
    return quoted + "'";
}

} // namespace

KvsRun runKvs(const std::filesystem::path& root, const std::vector<std::string>& arguments,
              const std::filesystem::path& input, const std::filesystem::path& errorFile) {
    std::string command = "KORVANA_ROOT=" + shellQuoted(root.string()) + " " +
                          shellQuoted(std::string(KORVANA_BIN_DIR) + "/kvs");
    for (const auto& argument : arguments) {
        command += " " + shellQuoted(argument);
    }
    command += " <" + (input.empty() ? std::string("/dev/null") : shellQuoted(input.string()));
    command +=
        " 2>" + (errorFile.empty() ? std::string("/dev/null") : shellQuoted(errorFile.string()));
    KvsRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) {
        return run;
    }
    std::array<char, 4096> buffer{};
    std::size_t got = 0;
    while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) {
        run.out.append(buffer.data(), got);
    }
    const int status = pclose(pipe);
    run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    if (!errorFile.empty()) {
        run.err = readFile(errorFile);
    }
    return run;
}

} // namespace korvana::test
