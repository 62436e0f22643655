#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace korvana::ide::test {

// Builds "Tool" settings byte by byte, so that tests can write what the
// codec would never produce (odd record bytes, damaged lengths).
class ToolBoxBytes {
  public:
    ToolBoxBytes& integer(std::int32_t value) {
        const auto bits = static_cast<std::uint32_t>(value);
        for (int i = 0; i < 4; ++i) {
            bytes_.push_back(static_cast<std::uint8_t>((bits >> (8 * i)) & 0xffu));
        }
        return *this;
    }
    ToolBoxBytes& record(std::int32_t id, std::string_view name, std::uint8_t flag = 0) {
        integer(id);
        integer(static_cast<std::int32_t>(name.size()));
        bytes_.insert(bytes_.end(), name.begin(), name.end());
        bytes_.push_back(flag);
        return *this;
    }
    ToolBoxBytes& end() { return integer(-1); }
    ToolBoxBytes& raw(std::vector<std::uint8_t> more) {
        bytes_.insert(bytes_.end(), more.begin(), more.end());
        return *this;
    }

    const std::vector<std::uint8_t>& bytes() const { return bytes_; }
    operator std::vector<std::uint8_t>() const { return bytes_; }

  private:
    std::vector<std::uint8_t> bytes_;
};

} // namespace korvana::ide::test
