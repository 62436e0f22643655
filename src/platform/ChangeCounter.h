#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>

namespace korvana {

// A 64-bit counter kept in the first bytes of a file and mapped into every
// process that uses it. Writers of a hive raise it after each change, so that
// readers learn of another process's change with one memory read instead of
// a system call per read.
class ChangeCounter {
  public:
    // The counter takes the first bytes of its file; what follows is not its own.
    static constexpr std::size_t bytes = sizeof(std::uint64_t);

    ChangeCounter() = default;
    ~ChangeCounter();
    ChangeCounter(const ChangeCounter&) = delete;
    ChangeCounter& operator=(const ChangeCounter&) = delete;

    // Maps the counter of `file`, creating the file when it is missing. False
    // when that is not possible (a read-only folder): callers then check the
    // hive file itself on every read.
    bool attach(const std::filesystem::path& file);
    bool attached() const { return counter_ != nullptr; }

    std::uint64_t value() const;
    void increment();

  private:
    std::uint64_t* counter_ = nullptr;
};

} // namespace korvana
