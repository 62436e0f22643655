#include "db/DatabaseFile.h"

#include "db/DbErrors.h"
#include "db/JetFileFormat.h"
#include "platform/Error.h"

#include <array>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>

namespace korvana::db {

namespace {

constexpr std::size_t headerSize = 100;

std::uint32_t bigEndian(const std::array<unsigned char, headerSize>& header, std::size_t at,
                        std::size_t bytes) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < bytes; ++i) {
        value = (value << 8) | header[at + i];
    }
    return value;
}

} // namespace

void checkDatabaseFile(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(path, error)) {
        throw Error("Database file '" + path + "' not found", errors::fileNotFound);
    }
    const auto size = std::filesystem::file_size(path, error);
    auto refuse = [&](const std::string& why) {
        throw Error("'" + path + "' is not a project database: " + why, errors::notADatabase);
    };
    std::array<unsigned char, headerSize> header{};
    std::ifstream in(path, std::ios::binary);
    if (error || !in) {
        throw Error("Cannot read database file '" + path + "'", errors::fileInUse);
    }
    if (size < headerSize || !in.read(reinterpret_cast<char*>(header.data()),
                                      static_cast<std::streamsize>(headerSize))) {
        refuse("the file is too short");
    }
    if (std::memcmp(header.data(), "SQLite format 3", 16) != 0) {
        // Project files from Windows are Access databases; saying only "not a
        // database" would leave the user guessing what to do with one.
        if (const auto jet = jetFormatOf(path); jet != JetFormat::None) {
            refuse("the file is a " + std::string(jetFormatName(jet)) +
                   " (Access) database from Windows, which has to be converted first");
        }
        refuse("the file is not an SQLite database");
    }
    std::uint64_t pageSize = bigEndian(header, 16, 2);
    if (pageSize == 1) {
        pageSize = 65536;
    }
    if (pageSize < 512 || (pageSize & (pageSize - 1)) != 0) {
        refuse("the file header is damaged");
    }
    // The page count in the header is valid when the change counter matches
    // the version-valid-for number (always so for files written since 2010).
    const std::uint64_t pages = bigEndian(header, 28, 4);
    const bool countValid = pages != 0 && bigEndian(header, 24, 4) == bigEndian(header, 92, 4);
    // After a crash in the middle of a change the journal beside the file holds
    // what is needed to put it back; SQLite does that on opening, so the file
    // may not be judged by its size until then.
    if (std::filesystem::file_size(path + "-journal", error) > 0 && !error) {
        return;
    }
    error.clear();
    if (countValid && size < pages * pageSize) {
        refuse("the file is truncated (" + std::to_string(size) + " of " +
               std::to_string(pages * pageSize) + " bytes)");
    }
    if (size % pageSize != 0) {
        refuse("the file is truncated");
    }
}

} // namespace korvana::db
