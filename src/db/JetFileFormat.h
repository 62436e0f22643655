#pragma once

#include <string>
#include <string_view>

namespace korvana::db {

// The Access database formats a file's header can name. Project files brought
// over from Windows are Jet 4.0 databases; the others are told apart so that
// they can be refused by name.
enum class JetFormat { None, Jet3, Jet4, Ace };

// The format the file's header names; None for a file that is no Jet or ACE
// database (or cannot be read).
JetFormat jetFormatOf(const std::string& path);

// Whether a Jet 4.0 file carries a database password (its first character
// is not empty once the header's masks are taken off).
bool hasDatabasePassword(const std::string& path);

// "Jet 3", "Jet 4.0", "ACE (.accdb)".
std::string_view jetFormatName(JetFormat format);

} // namespace korvana::db
