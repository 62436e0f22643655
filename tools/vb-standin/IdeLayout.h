#pragma once

#include "HexBytes.h"

#include <optional>

namespace korvana {
class Registry;
}

namespace korvana::standin {

// Where the stand-in keeps its project explorer.
enum class ExplorerPlace : std::uint8_t { Left = 1, Right = 2, Floating = 3 };

// The IDE's window layout, its values "Dock" and "UI". Their content belongs to
// the IDE; the stand-in gives them a tiny meaning of its own so that moving a
// window changes both in a way tests can predict: the first byte of "Dock"
// says where the project explorer is, the first byte of "UI" counts the moves
// (modulo 256). Every other byte is kept as found.
struct IdeLayout {
    std::optional<Bytes> dock;
    std::optional<Bytes> ui;

    // The values of version 5 or 6 as they are; a value that is missing or
    // not binary is nothing.
    static IdeLayout read(const Registry& registry, int version);

    void moveProjectExplorer(ExplorerPlace place);

    // What the IDE writes when it closes: it always has a layout, so a value
    // that was missing is written in the stand-in's starting form.
    IdeLayout completed() const;

    // Writes the values present; leaves missing ones alone.
    void write(Registry& registry, int version) const;

    bool operator==(const IdeLayout&) const = default;
};

} // namespace korvana::standin
