#pragma once

#include "platform/Error.h"

#include <filesystem>
#include <string_view>
#include <system_error>

namespace korvana {

// The run-time error number a failing file operation is reported with: 76 for
// a path that does not exist, 75 for every other refusal (no permission, a
// read-only file system, a full disk).
int fileErrorNumber(const std::error_code& code);

// The failure as the core's error, naming what was attempted and the path.
Error fileError(std::string_view action, const std::filesystem::path& path,
                const std::error_code& code);
Error fileError(const std::filesystem::filesystem_error& error);

} // namespace korvana
