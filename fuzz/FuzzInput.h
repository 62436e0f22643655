#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace korvana::fuzz {

// A fuzz input taken apart into the arguments of the call under test. Parts
// end at a NUL byte, so that the seed files stay readable and a mutation can
// move a byte from one argument into the next; the last part takes the rest.
class FuzzInput {
  public:
    FuzzInput(const std::uint8_t* data, std::size_t size)
        : rest_(reinterpret_cast<const char*>(data), size) {}

    // The bytes up to the next NUL (dropped), or all that is left.
    std::string_view part() {
        const auto end = rest_.find('\0');
        const std::string_view taken = rest_.substr(0, end);
        rest_.remove_prefix(end == std::string_view::npos ? rest_.size() : end + 1);
        return taken;
    }

    // One byte as a small number; 0 when nothing is left.
    std::uint8_t byte() {
        if (rest_.empty()) {
            return 0;
        }
        const auto value = static_cast<std::uint8_t>(rest_.front());
        rest_.remove_prefix(1);
        return value;
    }

    std::string_view rest() const { return rest_; }

  private:
    std::string_view rest_;
};

// Stops the fuzzer on a broken property with the sanitizer's report, so that
// the input is kept like that of any crash.
[[noreturn]] inline void propertyBroken(const char* what) {
    std::fprintf(stderr, "fuzz property broken: %s\n", what);
    std::abort();
}

inline void require(bool holds, const char* what) {
    if (!holds) {
        propertyBroken(what);
    }
}

} // namespace korvana::fuzz
