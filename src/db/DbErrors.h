#pragma once

namespace korvana::db {

// Error numbers raised by the engine, after the numbers DAO gives the same
// failures, so that callers and logs can tell them apart.
namespace errors {
inline constexpr int invalidArgument = 3001;
inline constexpr int tableExists = 3010;
inline constexpr int duplicateKey = 3022;
inline constexpr int fileNotFound = 3024;
inline constexpr int fileInUse = 3045;
inline constexpr int notExecutable = 3065;
inline constexpr int invalidName = 3125;
inline constexpr int databaseError = 3146;
inline constexpr int fieldExists = 3191;
inline constexpr int databaseExists = 3204;
inline constexpr int operationNotSupported = 3251;
inline constexpr int itemNotFound = 3265;
inline constexpr int propertyNotFound = 3270;
inline constexpr int fieldInIndex = 3280;
inline constexpr int primaryExists = 3283;
inline constexpr int indexExists = 3284;
inline constexpr int notADatabase = 3343;
inline constexpr int propertyExists = 3367;
inline constexpr int noCurrentRecord = 3021;
inline constexpr int updateWithoutEdit = 3020;
inline constexpr int invalidDefault = 3388;
} // namespace errors

} // namespace korvana::db
