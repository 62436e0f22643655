#include "project/StagedTemplate.h"

#include "platform/Error.h"
#include "platform/ErrorNumbers.h"
#include "project/FileErrors.h"

#include <random>
#include <string>
#include <system_error>

namespace korvana {

namespace fs = std::filesystem;

namespace {

bool isRealFolder(const fs::file_status& status) {
    return fs::is_directory(status) && !fs::is_symlink(status);
}

// A folder of our own beside `beside`, under a name no other creation picks.
// It is made as any new folder is, with the permissions the user's umask
// leaves (mkdtemp would make it for its owner alone): the staged copy becomes
// the project folder when that did not exist.
fs::path makeHiddenFolder(const fs::path& beside, std::string_view purpose) {
    static constexpr std::string_view letters =
        "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, letters.size() - 1);
    std::error_code code;
    for (int attempt = 0; attempt < 100; ++attempt) {
        std::string name = "." + beside.filename().string() + "." + std::string(purpose) + "-";
        for (int i = 0; i < 6; ++i) {
            name += letters[pick(random)];
        }
        const fs::path folder = beside.parent_path() / name;
        if (fs::create_directory(folder, code)) {
            return folder;
        }
        if (code) {
            break;
        }
    }
    throw fileError("Cannot create a folder beside", beside,
                    code ? code : std::make_error_code(std::errc::file_exists));
}

} // namespace

struct StagedTemplate::Move {
    fs::path from;
    fs::path to;
    bool replaces = false;
};

StagedTemplate::StagedTemplate(const fs::path& templateFolder, const fs::path& projectFolder,
                               const TemplateNames& names)
    : projectFolder_(projectFolder) {
    std::error_code code;
    for (fs::path parent = projectFolder_.parent_path();
         !parent.empty() && !fs::exists(fs::symlink_status(parent, code));
         parent = parent.parent_path()) {
        createdParents_.insert(createdParents_.begin(), parent);
        if (parent == parent.parent_path()) {
            break;
        }
    }
    for (const auto& parent : createdParents_) {
        if (fs::create_directory(parent, code); code) {
            removeUnlessMoved();
            throw fileError("Cannot create the folder", parent, code);
        }
    }
    try {
        staging_ = makeHiddenFolder(projectFolder_, "creating");
        namingFailure_ = copyTemplateTree(templateFolder, staging_, names);
    } catch (const Error&) {
        removeUnlessMoved();
        throw;
    }
}

StagedTemplate::~StagedTemplate() {
    removeUnlessMoved();
}

void StagedTemplate::removeUnlessMoved() noexcept {
    std::error_code code;
    if (!moved_ && !staging_.empty()) {
        fs::remove_all(staging_, code);
    }
    if (!moved_) {
        // Only folders that are still empty: another program may have put
        // something there in the meantime.
        for (auto parent = createdParents_.rbegin(); parent != createdParents_.rend(); ++parent) {
            fs::remove(*parent, code);
        }
    }
}

void StagedTemplate::moveIntoProjectFolder() {
    std::error_code code;
    if (!fs::exists(fs::symlink_status(projectFolder_, code))) {
        if (fs::rename(staging_, projectFolder_, code); code) {
            throw fileError("Cannot create the project folder", projectFolder_, code);
        }
        moved_ = true;
        return;
    }
    if (!isRealFolder(fs::symlink_status(projectFolder_, code))) {
        throw Error("'" + projectFolder_.string() + "' is not a folder",
                    runtimeErrors::pathFileAccessError);
    }
    std::vector<Move> moves;
    planMoves(staging_, projectFolder_, moves);
    moveEach(moves);
    moved_ = true;
    fs::remove_all(staging_, code);
}

void StagedTemplate::planMoves(const fs::path& from, const fs::path& to,
                               std::vector<Move>& moves) const {
    std::error_code code;
    for (fs::directory_iterator it(from, code), end; !code && it != end; it.increment(code)) {
        const fs::path target = to / it->path().filename();
        // A missing target is no failure here: it is what most moves find.
        std::error_code entryCode;
        const auto existing = fs::symlink_status(target, entryCode);
        const bool copiedFolder = isRealFolder(it->symlink_status(entryCode));
        if (!fs::exists(existing)) {
            moves.push_back({it->path(), target, false});
        } else if (copiedFolder && isRealFolder(existing)) {
            planMoves(it->path(), target, moves);
        } else if (copiedFolder || isRealFolder(existing)) {
            throw Error("'" + target.string() + "' is in the way of the template's " +
                            (copiedFolder ? "folder" : "file") + " of that name",
                        runtimeErrors::pathFileAccessError);
        } else {
            moves.push_back({it->path(), target, true});
        }
    }
    if (code) {
        throw fileError("Cannot read the folder", from, code);
    }
}

void StagedTemplate::moveEach(const std::vector<Move>& moves) {
    // Replaced files wait in a folder of their own until every move is done,
    // so that a failure can put them back.
    const fs::path replaced = makeHiddenFolder(projectFolder_, "replaced");
    std::vector<std::pair<const Move*, fs::path>> done;
    std::error_code code;
    for (const auto& move : moves) {
        fs::path kept;
        if (move.replaces) {
            kept = replaced / std::to_string(done.size());
            if (fs::rename(move.to, kept, code); code) {
                break;
            }
        }
        if (fs::rename(move.from, move.to, code); code) {
            if (!kept.empty()) {
                std::error_code ignored;
                fs::rename(kept, move.to, ignored);
            }
            break;
        }
        done.emplace_back(&move, kept);
    }
    if (!code) {
        fs::remove_all(replaced, code);
        return;
    }
    const std::error_code failure = code;
    for (auto it = done.rbegin(); it != done.rend(); ++it) {
        std::error_code ignored;
        fs::rename(it->first->to, it->first->from, ignored);
        if (!it->second.empty()) {
            fs::rename(it->second, it->first->to, ignored);
        }
    }
    fs::remove_all(replaced, code);
    throw fileError("Cannot move the new project into", projectFolder_, failure);
}

} // namespace korvana
