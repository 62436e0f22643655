#pragma once

#include <QString>
#include <string_view>

namespace korvana::dialogs {

// A text of the string table as Qt shows it: UTF-8 decoded, and the CR LF line
// breaks of the table turned into the single line feeds Qt lays out.
QString qtText(std::string_view text);

} // namespace korvana::dialogs
