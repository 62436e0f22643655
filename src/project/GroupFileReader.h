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
    // A member that belongs to a studio project.
    struct Member {
        std::string entry;       // as the group file names it
        std::string file;        // the member's Visual Basic project file (native path)
        std::string projectName; // "ProjectName" of its section "Korvana4"
    };

    struct Members {
        std::vector<Member> projects;
        // Entries whose Visual Basic project file is not there (a drive path
        // names nothing here), as the group file names them.
        std::vector<std::string> passedOver;
    };

    // The members of the group file that are studio projects, in file order;
    // Visual Basic projects without the link to a studio project are left out.
    // A member whose file is missing reads as a file without that link, as an
    // INI read of a missing file gives the empty default: groups brought over
    // from Windows name their members by drive paths. Such members are listed
    // in `passedOver` so that callers can say so. Every member file is read
    // before the result is returned, so a caller that registers or opens
    // members never acts on half a group. Raises korvana::Error naming the
    // group file as memberEntries does, and when a member's file is not a text
    // file.
    static Members members(std::string_view groupFile, std::string_view groupFolder);

    // Every line holding "=" names a member: the text after the first "=", with
    // blanks trimmed. Any key counts ("Project", "StartupProject", ...).
    // Raises korvana::Error naming the file when it is missing (53), empty (62)
    // or not a text file (5).
    static std::vector<std::string> memberEntries(std::string_view groupFile);

    // The same for the bytes of a group file already read; `groupFile` names
    // it in the errors.
    static std::vector<std::string> memberEntriesOfText(std::string_view text,
                                                        std::string_view groupFile);

    // The member's Visual Basic project file as a native path: an entry without
    // a drive part lies below the group's folder. "." and ".." are resolved in
    // the text so that the folder stored for a member is a plain one.
    static std::string memberPath(std::string_view entry, std::string_view groupFolder);
};

} // namespace korvana
