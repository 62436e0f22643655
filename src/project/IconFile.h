#pragma once

#include <string_view>

namespace korvana {

// Windows icon files (".ico") as template folders bring them.
class IconFile {
  public:
    // True when the file holds an icon directory whose images all lie inside
    // the file: what an image list could load. A missing file, another format
    // or a cut file is not readable.
    static bool isReadable(std::string_view path);
};

} // namespace korvana
