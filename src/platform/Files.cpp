#include "platform/Files.h"

#include "platform/Paths.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

namespace fs = std::filesystem;

namespace korvana {

namespace {

// Version resources sit near the end of an executable; anything larger than
// this is not a program the studio asks about.
constexpr std::uintmax_t largestExecutable = 256u * 1024u * 1024u;

// VS_FIXEDFILEINFO starts with this signature and the structure version 1.0.
constexpr std::uint32_t fixedInfoSignature = 0xFEEF04BD;
constexpr std::uint32_t fixedInfoVersion = 0x00010000;

std::uint32_t littleEndian32(const std::vector<char>& bytes, std::size_t at) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < 4; ++i) {
        value |= static_cast<std::uint32_t>(static_cast<unsigned char>(bytes[at + i])) << (8 * i);
    }
    return value;
}

bool isWithin(const fs::path& inner, const fs::path& outer) {
    std::error_code error;
    const fs::path innerPath = fs::weakly_canonical(inner, error);
    const fs::path outerPath = fs::weakly_canonical(outer, error);
    auto a = innerPath.begin();
    for (auto b = outerPath.begin(); b != outerPath.end(); ++a, ++b) {
        if (a == innerPath.end() || *a != *b) {
            return false;
        }
    }
    return true;
}

bool copyInto(const fs::path& source, const fs::path& destination) {
    std::error_code error;
    if (fs::is_directory(source, error)) {
        fs::create_directories(destination, error);
        if (!fs::is_directory(destination, error)) {
            return false;
        }
        // Links are copied as links: following them could leave the tree or
        // loop forever.
        fs::copy(source, destination,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing |
                     fs::copy_options::copy_symlinks,
                 error);
        return !error;
    }
    return fs::copy_file(source, destination, fs::copy_options::overwrite_existing, error) &&
           !error;
}

} // namespace

bool Files::fileExists(std::string_view path) const {
    const fs::path native = paths::toFileSystemPath(path);
    std::error_code error;
    return !native.empty() && fs::is_regular_file(native, error);
}

bool Files::folderExists(std::string_view path) const {
    const fs::path native = paths::toFileSystemPath(path);
    std::error_code error;
    return !native.empty() && fs::is_directory(native, error);
}

bool Files::createFolder(std::string_view path) {
    const fs::path native = paths::toFileSystemPath(path);
    if (native.empty()) {
        return false;
    }
    std::error_code error;
    fs::create_directories(native, error);
    return fs::is_directory(native, error);
}

bool Files::silentCopy(std::string_view source, std::string_view destination) {
    const fs::path from = paths::toFileSystemPath(source);
    const fs::path to = paths::toFileSystemPath(destination);
    std::error_code error;
    if (from.empty() || to.empty() || !fs::exists(from, error)) {
        return false;
    }
    // Copying something onto itself would truncate it first, and a folder
    // copied into itself would grow without end.
    if (fs::exists(to, error) && fs::equivalent(from, to, error)) {
        return false;
    }
    if (fs::is_directory(from, error) && isWithin(to, from)) {
        return false;
    }
    return copyInto(from, to);
}

std::string Files::fileVersion(std::string_view path) const {
    const fs::path native = paths::toFileSystemPath(path);
    std::error_code error;
    if (native.empty() || !fs::is_regular_file(native, error) ||
        fs::file_size(native, error) > largestExecutable || error) {
        return {};
    }
    std::ifstream in(native, std::ios::binary);
    const std::vector<char> bytes{std::istreambuf_iterator<char>(in),
                                  std::istreambuf_iterator<char>()};
    if (bytes.size() < 2 || bytes[0] != 'M' || bytes[1] != 'Z') {
        return {};
    }
    // The fixed part of the version resource is 32-bit aligned; its signature
    // and structure version together make a false match very unlikely.
    for (std::size_t at = 0; at + 16 <= bytes.size(); at += 4) {
        if (littleEndian32(bytes, at) != fixedInfoSignature ||
            littleEndian32(bytes, at + 4) != fixedInfoVersion) {
            continue;
        }
        const std::uint32_t high = littleEndian32(bytes, at + 8);
        const std::uint32_t low = littleEndian32(bytes, at + 12);
        return std::to_string(high >> 16) + '.' + std::to_string(high & 0xFFFF) + '.' +
               std::to_string(low >> 16) + '.' + std::to_string(low & 0xFFFF);
    }
    return {};
}

} // namespace korvana
