#pragma once

#include <filesystem>
#include <string>
#include <sys/types.h>
#include <vector>

namespace korvana::test {

struct KvsRun {
    int exitCode = -1;
    std::string out;
    std::string err; // empty unless an error file was given
};

// Runs the built kvs as a whole process with KORVANA_ROOT set to `root`.
// Standard input comes from `input` (else /dev/null); standard error goes to
// `errorFile` and is returned in `err` (else it is dropped).
KvsRun runKvs(const std::filesystem::path& root, const std::vector<std::string>& arguments,
              const std::filesystem::path& input = {}, const std::filesystem::path& errorFile = {});

// Starts the built kvs without waiting for it, with KORVANA_ROOT set to
// `root` and no other KORVANA_ variable of this process. Standard output goes
// nowhere, standard error to `errorFd` (nowhere when -1). Returns the process
// id, or -1 when it could not be started.
pid_t startKvs(const std::filesystem::path& root, const std::vector<std::string>& arguments,
               int errorFd = -1);

} // namespace korvana::test
