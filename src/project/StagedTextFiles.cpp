#include "project/StagedTextFiles.h"

#include "platform/Error.h"
#include "platform/IniFile.h"
#include "platform/Paths.h"
#include "project/FileReplacement.h"
#include "project/ReplaceInFile.h"

#include <map>
#include <sys/stat.h>
#include <vector>

namespace korvana {

namespace fs = std::filesystem;

namespace {

// Thrown when the staged copy cannot stand for the project folder.
struct NeedsProjectFolder {};

class StagedFiles : public ProjectTextFiles {
  public:
    StagedFiles(const fs::path& staging, const std::string& projectFolder)
        : staging_(staging), projectFolder_(paths::toFileSystemPath(projectFolder)) {}

    void replace(std::string_view file, std::string_view search,
                 std::string_view replacement) override {
        const fs::path staged = stagedCopy(file);
        if (!canReplaceContent(staged)) {
            throw NeedsProjectFolder{};
        }
        Edit& edit = editOf(staged);
        try {
            edit.content = replacedText(edit.content, search, replacement, staged);
        } catch (const Error&) {
            throw NeedsProjectFolder{};
        }
    }

    std::optional<std::vector<VisualBasicEntry>> entries(std::string_view file) override {
        return parseVisualBasicEntries(editOf(stagedCopy(file)).content);
    }

    std::optional<std::string> inside(std::string_view folder, std::string_view relative) override {
        // What fileInsideFolder refuses is told, which only the project folder
        // does. A regular file of the copy reached through real folders lies
        // inside the project folder once moved, wherever links above it lead,
        // so the file system need not resolve the path.
        auto file = fileNamedBelowFolder(folder, relative);
        if (!file || paths::toFileSystemPath(folder) != projectFolder_) {
            throw NeedsProjectFolder{};
        }
        stagedCopy(*file);
        return file;
    }

    // Writes every changed file. A failure puts back the old content of all
    // files written and answers false.
    bool write() {
        std::vector<const Edit*> written;
        try {
            for (const auto& [staged, edit] : edits_) {
                if (edit.content != edit.original) {
                    written.push_back(&edit);
                    overwriteStagedFile(staged, edit.content);
                }
            }
            return true;
        } catch (const Error&) {
        }
        for (const Edit* edit : written) {
            overwriteStagedFile(edit->file, edit->original);
        }
        return false;
    }

  private:
    struct Edit {
        fs::path file;
        std::string original;
        std::string content;
    };

    // The staged copy of a file named in the project folder, when it is a
    // regular file reached through real folders of the copy: after the move
    // that very file stands there under that name.
    fs::path stagedCopy(std::string_view file) const {
        const fs::path relative = paths::toFileSystemPath(file).lexically_relative(projectFolder_);
        if (relative.empty() || relative == ".") {
            throw NeedsProjectFolder{};
        }
        fs::path staged = staging_;
        for (auto part = relative.begin(); part != relative.end(); ++part) {
            if (part->empty() || *part == "." || *part == "..") {
                throw NeedsProjectFolder{};
            }
            staged /= *part;
            struct stat status {};
            const bool last = std::next(part) == relative.end();
            if (::lstat(staged.c_str(), &status) != 0 ||
                !(last ? S_ISREG(status.st_mode) : S_ISDIR(status.st_mode))) {
                throw NeedsProjectFolder{};
            }
        }
        return staged;
    }

    Edit& editOf(const fs::path& staged) {
        auto found = edits_.find(staged);
        if (found == edits_.end()) {
            std::string text;
            try {
                // The INI reader refuses what is not text, as ReplaceInFile does.
                text = IniFile(staged, readStagedFile(staged)).text();
            } catch (const Error&) {
                throw NeedsProjectFolder{};
            }
            found = edits_.emplace(staged, Edit{staged, text, text}).first;
        }
        return found->second;
    }

    fs::path staging_;
    fs::path projectFolder_;
    std::map<fs::path, Edit> edits_;
};

} // namespace

bool adaptStagedFiles(const fs::path& staging, const std::string& projectFolder,
                      const std::function<void(ProjectTextFiles&)>& adaptation) {
    StagedFiles files(staging, projectFolder);
    try {
        adaptation(files);
    } catch (const NeedsProjectFolder&) {
        return false;
    }
    return files.write();
}

} // namespace korvana
