#pragma once

// The Visual Basic run-time error numbers that korvana::Error carries, so that
// a report names the failure the way developers of the studio know it. The
// database layer's own numbers (those of DAO) are in db/DbErrors.h.
namespace korvana::runtimeErrors {

inline constexpr int invalidProcedureCall = 5;
inline constexpr int overflow = 6;
inline constexpr int typeMismatch = 13;
inline constexpr int fileNotFound = 53;
inline constexpr int inputPastEndOfFile = 62;
inline constexpr int pathFileAccessError = 75;
inline constexpr int pathNotFound = 76;

} // namespace korvana::runtimeErrors
