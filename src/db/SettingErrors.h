#pragma once

namespace korvana::db::settingErrors {

// The project settings raise the Visual Basic run-time error numbers, the ones
// their callers have always reported to the user (an error report shows
// "(13: ...)"). Failures of the database itself keep the numbers of DbErrors.h.
inline constexpr int invalidProcedureCall = 5; // no such handle, a nameless key
inline constexpr int overflow = 6;             // a number or date outside its type
inline constexpr int typeMismatch = 13;        // text or a stored row that does not fit its type
inline constexpr int pathFileAccessError = 75; // a file that cannot be read or written

} // namespace korvana::db::settingErrors
