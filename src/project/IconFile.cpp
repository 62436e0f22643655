#include "project/IconFile.h"

#include "platform/Paths.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <vector>

namespace korvana {

namespace {

constexpr std::size_t headerSize = 6;
constexpr std::size_t entrySize = 16;
// Template icons are a few kilobytes; a larger file is not taken for one.
constexpr std::uintmax_t largestIcon = 4u * 1024u * 1024u;

std::uint32_t littleEndian(const std::vector<unsigned char>& bytes, std::size_t at,
                           std::size_t width) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < width; ++i) {
        value |= static_cast<std::uint32_t>(bytes[at + i]) << (8 * i);
    }
    return value;
}

} // namespace

bool IconFile::isReadable(std::string_view path) {
    const auto native = paths::toFileSystemPath(path);
    std::error_code error;
    if (native.empty() || !std::filesystem::is_regular_file(native, error)) {
        return false;
    }
    const auto size = std::filesystem::file_size(native, error);
    if (error || size < headerSize + entrySize || size > largestIcon) {
        return false;
    }
    std::ifstream in(native, std::ios::binary);
    std::vector<unsigned char> header(headerSize);
    if (!in.read(reinterpret_cast<char*>(header.data()), headerSize)) {
        return false;
    }
    // Reserved word 0, resource type 1 (an icon, not a cursor), at least one image.
    const auto count = littleEndian(header, 4, 2);
    if (littleEndian(header, 0, 2) != 0 || littleEndian(header, 2, 2) != 1 || count == 0 ||
        headerSize + count * entrySize > size) {
        return false;
    }
    std::vector<unsigned char> directory(count * entrySize);
    if (!in.read(reinterpret_cast<char*>(directory.data()),
                 static_cast<std::streamsize>(directory.size()))) {
        return false;
    }
    for (std::size_t i = 0; i < count; ++i) {
        const std::uint64_t bytes = littleEndian(directory, i * entrySize + 8, 4);
        const std::uint64_t offset = littleEndian(directory, i * entrySize + 12, 4);
        if (bytes == 0 || offset < headerSize + count * entrySize || offset + bytes > size) {
            return false;
        }
    }
    return true;
}

} // namespace korvana
