#include "cli/ListOutput.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <nlohmann/json.hpp>
#include <ostream>
#include <unicode/uchar.h>
#include <unicode/utf8.h>

namespace korvana::cli {

namespace {

constexpr const char* columnGap = "  ";

// A table row stays one line: line breaks, tabs and other control characters
// in a cell are shown as escapes.
std::string tableCell(const std::string& text) {
    std::string shown;
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '\t') {
            shown += "\\t";
        } else if (c == '\r') {
            shown += "\\r";
        } else if (c == '\n') {
            shown += "\\n";
        } else if (byte < 0x20 || byte == 0x7f) {
            static constexpr char digits[] = "0123456789abcdef";
            shown += "\\x";
            shown += digits[byte >> 4];
            shown += digits[byte & 0xf];
        } else {
            shown += c;
        }
    }
    return shown;
}

// The columns a text takes on a terminal: umlauts one, East Asian wide
// characters two, combining marks none. A malformed byte counts as one, as a
// terminal shows a replacement character for it.
std::size_t displayWidth(const std::string& text) {
    std::size_t width = 0;
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
    const auto length = static_cast<std::int32_t>(text.size());
    std::int32_t offset = 0;
    while (offset < length) {
        UChar32 c = 0;
        U8_NEXT(bytes, offset, length, c);
        if (c < 0) {
            width += 1;
            continue;
        }
        const auto category = u_charType(c);
        if (category == U_NON_SPACING_MARK || category == U_ENCLOSING_MARK ||
            category == U_FORMAT_CHAR) {
            continue;
        }
        const auto eastAsian = u_getIntPropertyValue(c, UCHAR_EAST_ASIAN_WIDTH);
        width += (eastAsian == U_EA_WIDE || eastAsian == U_EA_FULLWIDTH) ? 2 : 1;
    }
    return width;
}

std::string capitals(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](char c) {
        return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
    });
    return text;
}

nlohmann::ordered_json jsonCell(const std::string& text, CellKind kind) {
    if (kind == CellKind::Flag) {
        return !text.empty();
    }
    if (kind == CellKind::Number) {
        // The lines may pad a number (an LCID in five characters).
        const auto start = text.find_first_not_of(' ');
        std::int64_t number = 0;
        const char* first = text.data() + (start == std::string::npos ? text.size() : start);
        const char* last = text.data() + text.size();
        const auto [end, error] = std::from_chars(first, last, number);
        if (error == std::errc{} && end == last && first != last) {
            return number;
        }
    }
    return text;
}

} // namespace

void ListFormFlags::addTo(CLI::App& command) {
    auto* jsonFlag = command.add_flag("--json", json,
                                      "One JSON object a line per row, keyed by the column names");
    command
        .add_flag("--table", table,
                  "An aligned table with a header even when standard output is no terminal")
        ->excludes(jsonFlag);
}

ListForm ListFormFlags::form(bool outputIsTerminal) const {
    if (json) {
        return ListForm::JsonLines;
    }
    if (table || outputIsTerminal) {
        return ListForm::Table;
    }
    return ListForm::Lines;
}

ListOutput::ListOutput(std::ostream& out, ListForm form, std::vector<ListColumn> columns)
    : out_(out), form_(form), columns_(std::move(columns)) {}

void ListOutput::add(ListRow row) {
    row.resize(columns_.size());
    switch (form_) {
    case ListForm::Lines:
        for (std::size_t i = 0; i < row.size(); ++i) {
            out_ << (i == 0 ? "" : "\t") << row[i];
        }
        out_ << '\n';
        break;
    case ListForm::JsonLines: {
        nlohmann::ordered_json object = nlohmann::ordered_json::object();
        for (std::size_t i = 0; i < row.size(); ++i) {
            object[columns_[i].name] = jsonCell(row[i], columns_[i].kind);
        }
        // Names read from disk need not be UTF-8; JSON must be.
        out_ << object.dump(-1, ' ', false, nlohmann::ordered_json::error_handler_t::replace)
             << '\n';
        break;
    }
    case ListForm::Table:
        for (auto& cell : row) {
            cell = tableCell(cell);
        }
        rows_.push_back(std::move(row));
        break;
    }
}

void ListOutput::finish() {
    if (form_ == ListForm::Table) {
        writeTable();
        rows_.clear();
    }
    out_.flush();
}

void ListOutput::writeTable() const {
    ListRow header;
    for (const auto& column : columns_) {
        header.push_back(capitals(column.name));
    }
    std::vector<std::size_t> widths(columns_.size());
    for (std::size_t i = 0; i < header.size(); ++i) {
        widths[i] = displayWidth(header[i]);
    }
    for (const auto& row : rows_) {
        for (std::size_t i = 0; i < row.size(); ++i) {
            widths[i] = std::max(widths[i], displayWidth(row[i]));
        }
    }
    const auto writeRow = [&](const ListRow& row) {
        std::string line;
        for (std::size_t i = 0; i < row.size(); ++i) {
            const std::string padding(widths[i] - displayWidth(row[i]), ' ');
            const bool last = i + 1 == row.size();
            line += i == 0 ? "" : columnGap;
            if (columns_[i].kind == CellKind::Number) {
                line += padding + row[i];
            } else {
                line += row[i];
                if (!last) {
                    line += padding;
                }
            }
        }
        // Empty cells at the end leave no blanks behind.
        line.erase(line.find_last_not_of(' ') + 1);
        out_ << line << '\n';
    };
    writeRow(header);
    for (const auto& row : rows_) {
        writeRow(row);
    }
}

} // namespace korvana::cli
