#pragma once

#include <optional>
#include <string_view>

namespace korvana::db {

// The field types of the project database, numbered as DAO numbers them. The
// numbers are stored in the catalogue and in JSON descriptions, so they never
// change.
enum class DaoType : int {
    Boolean = 1,
    Byte = 2,
    Integer = 3,
    Long = 4,
    Currency = 5,
    Single = 6,
    Double = 7,
    DateTime = 8,
    Text = 10,
    LongBinary = 11,
    Memo = 12,
    FixedText = 18,
};

// The type for a stored number, or nothing when the number names no type.
std::optional<DaoType> daoTypeFromNumber(int number);
int daoTypeNumber(DaoType type);
std::string_view daoTypeName(DaoType type);

// Text, Memo and fixed Text: compared without regard to case, may be empty.
bool isTextType(DaoType type);
// Text and fixed Text carry a size (a limit in characters).
bool hasSize(DaoType type);
bool isIntegerType(DaoType type);
bool isNumericType(DaoType type);
// The storage size DAO reports for the types whose size is not chosen; 0 for
// the others.
int fixedFieldSize(DaoType type);

// The longest Text or fixed Text column the engine allows, in characters.
inline constexpr int maxTextSize = 255;

} // namespace korvana::db
