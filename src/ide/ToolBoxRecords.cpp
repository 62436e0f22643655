#include "ide/ToolBoxRecords.h"

#include <cstddef>
#include <string>

namespace korvana::ide {

namespace {

constexpr std::int32_t endMarker = -1;

// Reads the stored form front to back; every read checks the bytes left, so a
// damaged setting can never lead past its end.
class Reader {
  public:
    explicit Reader(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::optional<std::int32_t> integer() {
        if (bytes_.size() - position_ < 4) {
            return std::nullopt;
        }
        std::uint32_t value = 0;
        for (std::size_t i = 0; i < 4; ++i) {
            value |= static_cast<std::uint32_t>(bytes_[position_ + i]) << (8 * i);
        }
        position_ += 4;
        return static_cast<std::int32_t>(value);
    }

    // A name of `length` characters followed by the ignored byte.
    std::optional<std::string> name(std::int32_t length) {
        if (length < 0) {
            return std::nullopt;
        }
        const auto size = static_cast<std::size_t>(length);
        if (bytes_.size() - position_ < size + 1) {
            return std::nullopt;
        }
        const auto* first = bytes_.data() + position_;
        std::string text(reinterpret_cast<const char*>(first), size);
        position_ += size + 1;
        return text;
    }

  private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

// Reads records up to the end marker into `out`; false when damaged.
template <typename Record> bool readRecords(Reader& reader, std::vector<Record>& out) {
    for (;;) {
        const auto id = reader.integer();
        if (!id) {
            return false;
        }
        if (*id == endMarker) {
            return true;
        }
        const auto length = reader.integer();
        if (!length) {
            return false;
        }
        auto name = reader.name(*length);
        if (!name) {
            return false;
        }
        out.push_back(Record{*id, std::move(*name)});
    }
}

void putInteger(std::vector<std::uint8_t>& out, std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<std::uint8_t>((bits >> (8 * i)) & 0xffu));
    }
}

void putRecord(std::vector<std::uint8_t>& out, std::int32_t id, const std::string& name) {
    putInteger(out, id);
    putInteger(out, static_cast<std::int32_t>(name.size()));
    out.insert(out.end(), name.begin(), name.end());
    out.push_back(0);
}

} // namespace

std::optional<ToolBoxRecords> parseToolBox(std::span<const std::uint8_t> setting) {
    Reader reader(setting);
    ToolBoxRecords records;
    if (!readRecords(reader, records.groups) || !readRecords(reader, records.controls)) {
        return std::nullopt;
    }
    return records;
}

std::vector<std::uint8_t> serializeToolBox(const ToolBoxRecords& records) {
    std::vector<std::uint8_t> out;
    for (const auto& group : records.groups) {
        putRecord(out, group.TabID, group.Name);
    }
    putInteger(out, endMarker);
    for (const auto& control : records.controls) {
        putRecord(out, control.TabID, control.Name);
    }
    putInteger(out, endMarker);
    return out;
}

} // namespace korvana::ide
