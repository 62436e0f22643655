#pragma once

#include "ide/IdeKeys.h"
#include "ide/PassOver.h"

#include <array>
#include <filesystem>
#include <optional>
#include <string>

namespace korvana::ide {

// The studio's entries in the IDE's add-in list: during a run the IDE loads the
// current studio add-in and leaves the older ones unloaded; afterwards each
// entry is put back as it was. Every change touches one key of the file, which
// other programs share.
class AddInList {
  public:
    explicit AddInList(std::filesystem::path file);

    // Remembers the entries as they are now. A file that cannot be read (one
    // that is not text) is left alone by the later calls.
    void rememberPriorStates();

    void prepare(PassOver& passOver) const;
    // Writes each remembered entry back and removes those that were missing.
    void restore(PassOver& passOver) const;

    // The remembered values in the order of keys::studioAddIns; nothing for a
    // missing entry.
    const std::array<std::optional<std::string>, 3>& priorStates() const { return prior_; }
    bool known() const { return known_; }

  private:
    std::filesystem::path file_;
    std::array<std::optional<std::string>, 3> prior_;
    bool known_ = false;
};

} // namespace korvana::ide
