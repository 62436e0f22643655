#pragma once

#include <string>
#include <string_view>

namespace korvana {

// The file operations the studio needs, on paths as they are stored (either
// separator, see paths::toFileSystemPath). None of them throws: callers of the
// system "pass over" failing file operations, so each reports failure in its
// result. A Windows drive path ("C:\...") names nothing on this system and is
// treated as a missing file or folder that cannot be created.
//
// The operations are virtual so that a caller's decisions can be tested with
// failures injected, or with folder creation confined to a scratch folder.
class Files {
  public:
    virtual ~Files() = default;

    virtual bool fileExists(std::string_view path) const;
    virtual bool folderExists(std::string_view path) const;

    // Creates the folder and all missing parents. True when the folder exists
    // afterwards.
    virtual bool createFolder(std::string_view path);

    // Copies a file or a whole folder tree without asking; the destination names
    // the copy. A folder's content is merged into an existing destination folder
    // (created when missing) and existing files are overwritten, as are existing
    // destination files. True when everything was copied.
    virtual bool silentCopy(std::string_view source, std::string_view destination);

    // The "major.minor.build.revision" of a Windows executable's version
    // resource. Programs built here carry no such resource: for them, and for
    // anything unreadable, the result is empty.
    virtual std::string fileVersion(std::string_view path) const;
};

} // namespace korvana
