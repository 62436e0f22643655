#include "project/FileErrors.h"

#include "platform/ErrorNumbers.h"

#include <cerrno>
#include <string>

namespace korvana {

int fileErrorNumber(const std::error_code& code) {
    return code == std::errc::no_such_file_or_directory ? runtimeErrors::pathNotFound
                                                        : runtimeErrors::pathFileAccessError;
}

Error fileError(std::string_view action, const std::filesystem::path& path,
                const std::error_code& code) {
    return Error(std::string(action) + " '" + path.string() + "': " + code.message(),
                 fileErrorNumber(code));
}

Error fileError(const std::filesystem::filesystem_error& error) {
    std::string text = error.code().message();
    for (const auto& path : {error.path1(), error.path2()}) {
        if (!path.empty()) {
            text += " '" + path.string() + "'";
        }
    }
    return Error(text, fileErrorNumber(error.code()));
}

} // namespace korvana
