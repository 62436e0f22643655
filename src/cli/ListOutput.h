#pragma once

#include <CLI/CLI.hpp>
#include <iosfwd>
#include <string>
#include <vector>

namespace korvana::cli {

// How a list command prints its rows: tab-separated lines for scripts (what
// kvs has always printed when its output goes to a pipe or file), an aligned
// table with a header for people at a terminal, or one JSON object per row.
enum class ListForm { Lines, Table, JsonLines };

// What a column's cells hold, which decides how JSON carries them and how a
// table aligns them. Cells are always given as the text the lines show.
enum class CellKind {
    Text,
    Number, // a decimal integer: a JSON number, right-aligned in a table
    Flag,   // set when the cell is not empty: a JSON true or false
};

struct ListColumn {
    std::string name; // the JSON key; the table's header shows it in capitals
    CellKind kind = CellKind::Text;
};

using ListRow = std::vector<std::string>;

// --json / --table of every list command. Without either the form follows
// standard output: a table on a terminal, lines otherwise.
struct ListFormFlags {
    bool json = false;
    bool table = false;

    void addTo(CLI::App& command);
    ListForm form(bool outputIsTerminal) const;
};

// Writes a list in one of its forms. Lines and JSON are written row by row, so
// that what was listed before a failure is out; a table is written by
// finish(), once every column's width is known.
class ListOutput {
  public:
    ListOutput(std::ostream& out, ListForm form, std::vector<ListColumn> columns);

    void add(ListRow row);
    void finish();

  private:
    void writeTable() const;

    std::ostream& out_;
    ListForm form_;
    std::vector<ListColumn> columns_;
    std::vector<ListRow> rows_; // the table's, until finish()
};

} // namespace korvana::cli
