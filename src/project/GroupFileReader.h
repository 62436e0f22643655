#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace korvana {

// The member entries of a Visual Basic group file (".vbg"). Group files come
// from Windows: CRLF or LF line ends, an optional UTF-8 byte-order mark, member
// paths with backslashes, relative to the group's folder or absolute.
class GroupFileReader {
  public:
    // Every line holding "=" names a member: the text after the first "=", with
    // blanks trimmed. Any key counts ("Project", "StartupProject", ...).
    // Raises korvana::Error naming the file when it is missing (53), empty (62)
    // or not a text file (5).
    static std::vector<std::string> memberEntries(std::string_view groupFile);

    // The member's Visual Basic project file as a native path: an entry without
    // a drive part lies below the group's folder. "." and ".." are resolved in
    // the text so that the folder stored for a member is a plain one.
    static std::string memberPath(std::string_view entry, std::string_view groupFolder);
};

} // namespace korvana
