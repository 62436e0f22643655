#pragma once

#include "text/MessageService.h"
#include "text/TextService.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace korvana {

class ProjectTextFiles;

// One "key=value" line of a Visual Basic project or group file, in UTF-8
// whatever the file's encoding, blanks around key and value trimmed.
struct VisualBasicEntry {
    std::string key;
    std::string value;
};

// The "key=value" lines of a Visual Basic project or group file, in file
// order. Raises korvana::Error naming the file when it cannot be read or is
// not text.
std::vector<VisualBasicEntry> readVisualBasicEntries(std::string_view file);

// The same for the text of such a file already read (a byte-order mark
// included). Lines end at CR LF, LF or a CR alone, as for every INI reader.
std::vector<VisualBasicEntry> parseVisualBasicEntries(std::string_view text);

// The file that `relative` (as a project or group file names it) stands for
// below `folder`, or nothing when it would lie outside the folder: a path with
// a drive or a leading separator, one that climbs with "..", or one that a
// symbolic link leads out of.
std::optional<std::string> fileInsideFolder(std::string_view folder, std::string_view relative);

// The same as far as the path's words tell: nothing for a path with a drive or
// a leading separator or one that climbs with "..", without asking the file
// system where links lead.
std::optional<std::string> fileNamedBelowFolder(std::string_view folder, std::string_view relative);

// Puts the project name into the form, user-control and property-page files
// that the Visual Basic project `vbpFile` names ("Form=", "UserControl=",
// "PropertyPage=", keys without regard to case), with ReplaceInFile. The files
// are named relative to `folder`, the project folder, which is also as far as
// they may lie: a file named outside it is told with text 910 and left alone,
// and so is a project file that cannot be read.
void ProcessVisualBasicProject(MessageService& messages, const TextService& texts,
                               std::string_view vbpFile, std::string_view folder,
                               std::string_view projectName);
// The same on the files of a project being created, wherever they are edited.
void ProcessVisualBasicProject(ProjectTextFiles& files, std::string_view vbpFile,
                               std::string_view folder, std::string_view projectName);

} // namespace korvana
