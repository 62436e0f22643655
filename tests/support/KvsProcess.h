#pragma once

#include <filesystem>
#include <string>
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

} // namespace korvana::test
