#include "db/JetFileFormat.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <fstream>

namespace korvana::db {

namespace {

// The header of an Access database: a page number, the engine's signature and,
// at 0x14, the format version (0 Jet 3, 1 Jet 4, 2 and later the ACE formats).
constexpr std::size_t signatureOffset = 4;
constexpr std::string_view jetSignature{"Standard Jet DB\0", 16};
constexpr std::string_view aceSignature{"Standard ACE DB\0", 16};
constexpr std::size_t versionOffset = 0x14;

// A Jet 4.0 header keeps the database password at 0x42 as UTF-16 characters,
// each masked with a fixed word; a character that is not a single byte then is
// masked with a key taken from the word at 0x66 as well. An empty password
// reads as a null first character.
constexpr std::size_t passwordOffset = 0x42;
constexpr std::size_t passwordKeyOffset = 0x66;
constexpr std::uint16_t firstPasswordMask = 0x6ABA;
constexpr std::uint16_t passwordKeyMask = 0x24AE;

std::uint16_t littleWord(const char* at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(at[0]) |
                                      static_cast<unsigned char>(at[1]) << 8);
}

} // namespace

bool hasDatabasePassword(const std::string& path) {
    std::array<char, passwordKeyOffset + 2> header{};
    std::ifstream in(path, std::ios::binary);
    if (!in || !in.read(header.data(), static_cast<std::streamsize>(header.size()))) {
        return false;
    }
    const std::uint16_t key = littleWord(header.data() + passwordKeyOffset) ^ passwordKeyMask;
    std::uint16_t first = littleWord(header.data() + passwordOffset) ^ firstPasswordMask;
    if (first > 0xFF) {
        first ^= key;
    }
    return first != 0;
}

JetFormat jetFormatOf(const std::string& path) {
    std::array<char, versionOffset + 1> header{};
    std::ifstream in(path, std::ios::binary);
    if (!in || !in.read(header.data(), static_cast<std::streamsize>(header.size()))) {
        return JetFormat::None;
    }
    const std::string_view signature(header.data() + signatureOffset, jetSignature.size());
    if (signature == aceSignature) {
        return JetFormat::Ace;
    }
    if (signature != jetSignature) {
        return JetFormat::None;
    }
    switch (static_cast<unsigned char>(header[versionOffset])) {
    case 0:
        return JetFormat::Jet3;
    case 1:
        return JetFormat::Jet4;
    default:
        return JetFormat::Ace;
    }
}

std::string_view jetFormatName(JetFormat format) {
    switch (format) {
    case JetFormat::Jet3:
        return "Jet 3";
    case JetFormat::Jet4:
        return "Jet 4.0";
    case JetFormat::Ace:
        return "ACE (.accdb)";
    case JetFormat::None:
        break;
    }
    return "no Access";
}

} // namespace korvana::db
