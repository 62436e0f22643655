#include "db/DaoType.h"

namespace korvana::db {

std::optional<DaoType> daoTypeFromNumber(int number) {
    switch (number) {
    case 1:
    case 2:
    case 3:
    case 4:
    case 5:
    case 6:
    case 7:
    case 8:
    case 10:
    case 11:
    case 12:
    case 18:
        return static_cast<DaoType>(number);
    default:
        return std::nullopt;
    }
}

int daoTypeNumber(DaoType type) {
    return static_cast<int>(type);
}

std::string_view daoTypeName(DaoType type) {
    switch (type) {
    case DaoType::Boolean:
        return "Boolean";
    case DaoType::Byte:
        return "Byte";
    case DaoType::Integer:
        return "Integer";
    case DaoType::Long:
        return "Long";
    case DaoType::Currency:
        return "Currency";
    case DaoType::Single:
        return "Single";
    case DaoType::Double:
        return "Double";
    case DaoType::DateTime:
        return "Date/Time";
    case DaoType::Text:
        return "Text";
    case DaoType::LongBinary:
        return "Long binary";
    case DaoType::Memo:
        return "Memo";
    case DaoType::FixedText:
        return "fixed Text";
    }
    return "unknown";
}

bool isTextType(DaoType type) {
    return type == DaoType::Text || type == DaoType::Memo || type == DaoType::FixedText;
}

bool hasSize(DaoType type) {
    return type == DaoType::Text || type == DaoType::FixedText;
}

bool isIntegerType(DaoType type) {
    return type == DaoType::Boolean || type == DaoType::Byte || type == DaoType::Integer ||
           type == DaoType::Long;
}

bool isNumericType(DaoType type) {
    return isIntegerType(type) || type == DaoType::Currency || type == DaoType::Single ||
           type == DaoType::Double;
}

int fixedFieldSize(DaoType type) {
    switch (type) {
    case DaoType::Boolean:
    case DaoType::Byte:
        return 1;
    case DaoType::Integer:
        return 2;
    case DaoType::Long:
    case DaoType::Single:
        return 4;
    case DaoType::Currency:
    case DaoType::Double:
    case DaoType::DateTime:
        return 8;
    default:
        return 0;
    }
}

} // namespace korvana::db
