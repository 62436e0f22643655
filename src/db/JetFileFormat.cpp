#include "db/JetFileFormat.h"

#include <array>
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

} // namespace

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
