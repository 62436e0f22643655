#include "db/SqlNames.h"

#include "db/DbErrors.h"
#include "platform/Error.h"
#include "platform/TextUtil.h"

namespace korvana::db {

namespace {

constexpr std::size_t maxNameLength = 64;

} // namespace

void checkName(std::string_view kind, std::string_view name) {
    auto refuse = [&](std::string_view why) {
        throw Error("Invalid " + std::string(kind) + " name '" + std::string(name) +
                        "': " + std::string(why),
                    errors::invalidName);
    };
    if (name.empty()) {
        refuse("the name is empty");
    }
    if (name.size() > maxNameLength) {
        refuse("longer than 64 characters");
    }
    if (name.front() == ' ') {
        refuse("begins with a space");
    }
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7f) {
            refuse("contains a control character");
        }
        switch (c) {
        case '.':
        case '!':
        case '`':
        case '[':
        case ']':
        case '"':
            refuse(std::string("contains '") + c + "'");
        default:
            break;
        }
    }
}

std::string quoteIdentifier(std::string_view name) {
    std::string quoted = "\"";
    for (const char c : name) {
        quoted += c;
        if (c == '"') {
            quoted += '"';
        }
    }
    quoted += '"';
    return quoted;
}

std::string quoteLiteral(std::string_view text) {
    std::string quoted = "'";
    for (const char c : text) {
        quoted += c;
        if (c == '\'') {
            quoted += '\'';
        }
    }
    quoted += '\'';
    return quoted;
}

std::string indexSqlName(std::string_view table, std::string_view index) {
    return std::string(table) + "." + std::string(index);
}

std::string insertTriggerName(std::string_view table, std::string_view field) {
    return "kv_insert." + std::string(table) + "." + std::string(field);
}

std::string updateTriggerName(std::string_view table, std::string_view field) {
    return "kv_update." + std::string(table) + "." + std::string(field);
}

bool isInternalTableName(std::string_view name) {
    return startsWithIgnoreCase(name, "kv_") || startsWithIgnoreCase(name, "sqlite_");
}

} // namespace korvana::db
