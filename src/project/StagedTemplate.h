#pragma once

#include "project/TemplateCopy.h"

#include <cstdint>
#include <filesystem>
#include <vector>

namespace korvana {

// A template copied for a new project, first into a hidden folder beside the
// project folder, its entries named as in the project (see copyTemplateTree),
// and only then moved into the project folder. Until that move nothing in the
// project folder is touched, so a failed copy or naming leaves behind neither
// a half project nor changed files of a folder that existed before: the
// object removes its hidden folder, and the parents of the project folder that
// it created, when it goes away.
class StagedTemplate {
  public:
    // Copies the whole content of `templateFolder` under the new names;
    // symbolic links are copied as links and never followed. Raises
    // korvana::Error (with a file error number, see fileErrorNumber) naming
    // what failed.
    StagedTemplate(const std::filesystem::path& templateFolder,
                   const std::filesystem::path& projectFolder, const TemplateNames& names);
    ~StagedTemplate();
    StagedTemplate(const StagedTemplate&) = delete;
    StagedTemplate& operator=(const StagedTemplate&) = delete;

    // Where the copy is until it is moved.
    const std::filesystem::path& folder() const { return staging_; }
    // 0, or the run-time error number of the name that stopped the copy: the
    // copy is then incomplete and must not be moved.
    std::int32_t namingFailure() const { return namingFailure_; }

    // Moves the copy into the project folder: a new folder in one step, an
    // existing one merged, its files of the same names replaced and its other
    // content kept. An entry whose kind differs (a file where the copy has a
    // folder, or the other way round) fails the move before anything moves. A
    // move that fails half-way is taken back, replaced files included, and
    // raises korvana::Error.
    void moveIntoProjectFolder();

  private:
    struct Move;
    // Removes the copy and the parents created for it, unless it was moved.
    void removeUnlessMoved() noexcept;
    void planMoves(const std::filesystem::path& from, const std::filesystem::path& to,
                   std::vector<Move>& moves) const;
    void moveEach(const std::vector<Move>& moves);

    std::filesystem::path projectFolder_;
    // Outermost first.
    std::vector<std::filesystem::path> createdParents_;
    std::filesystem::path staging_;
    std::int32_t namingFailure_ = 0;
    bool moved_ = false;
};

} // namespace korvana
