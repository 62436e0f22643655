#pragma once

#include <QString>
#include <string_view>

namespace korvana::dialogs {

// A file-type filter as the string table writes it, Windows style:
// "Description|pattern|Description|pattern", turned into the filter list of a
// Qt file dialog ("Description (pattern);;..."). A description that already
// names its pattern in parentheses is taken as it is.
QString qtFileFilter(std::string_view windowsFilter);

} // namespace korvana::dialogs
