#include "db/jet/SqliteEmitter.h"

#include "platform/Error.h"
#include "platform/TextUtil.h"

#include <array>
#include <charconv>
#include <cstdio>

namespace korvana::db::jet {
namespace {

// Some translations repeat an operand ('&' tests every operand for Null and
// then joins them, Right() needs the length of its text), so nesting them
// doubles the SQL at every level. Statements of a project upgrade stay far
// below this; a nested one that would not is refused before it takes all
// memory.
constexpr std::size_t maxProducedSql = 16u * 1024u * 1024u;

bool isTextType(int daoType) {
    return daoType == 10 || daoType == 12 || daoType == 18;
}

[[noreturn]] void unsupported(const Expr& expr, const std::string& what) {
    throw Error("Syntax error in SQL statement at position " + std::to_string(expr.position + 1) +
                    ": " + what,
                syntaxErrorNumber);
}

const char* comparisonSql(Op op) {
    switch (op) {
    case Op::Eq:
        return " = ";
    case Op::Ne:
        return " <> ";
    case Op::Lt:
        return " < ";
    case Op::Le:
        return " <= ";
    case Op::Gt:
        return " > ";
    case Op::Ge:
        return " >= ";
    default:
        return nullptr;
    }
}

bool parseNumber(std::string_view text, int& out) {
    if (text.empty()) {
        return false;
    }
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), out);
    return ec == std::errc() && end == text.data() + text.size();
}

std::vector<std::string_view> split(std::string_view text, char separator) {
    std::vector<std::string_view> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t at = text.find(separator, start);
        parts.push_back(text.substr(start, at - start));
        if (at == std::string_view::npos) {
            return parts;
        }
        start = at + 1;
    }
}

// Jet date literals: #yyyy-mm-dd#, #m/d/yyyy# (always month first, as Jet
// reads them whatever the locale), each with an optional time hh:mm[:ss].
// Returns the stored form "YYYY-MM-DD HH:MM:SS", or nothing.
std::optional<std::string> parseDateLiteral(std::string_view text) {
    text = trim(text);
    std::string_view datePart = text;
    std::string_view timePart;
    if (const std::size_t space = text.find(' '); space != std::string_view::npos) {
        datePart = text.substr(0, space);
        timePart = trim(text.substr(space + 1));
    }
    int year = 0;
    int month = 0;
    int day = 0;
    if (const auto iso = split(datePart, '-'); iso.size() == 3) {
        if (iso[0].size() != 4 || !parseNumber(iso[0], year) || !parseNumber(iso[1], month) ||
            !parseNumber(iso[2], day)) {
            return std::nullopt;
        }
    } else if (const auto us = split(datePart, '/'); us.size() == 3) {
        if (us[2].size() != 4 || !parseNumber(us[0], month) || !parseNumber(us[1], day) ||
            !parseNumber(us[2], year)) {
            return std::nullopt;
        }
    } else {
        return std::nullopt;
    }
    static constexpr std::array<int, 12> monthDays = {31, 29, 31, 30, 31, 30,
                                                      31, 31, 30, 31, 30, 31};
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
        day > monthDays[static_cast<std::size_t>(month - 1)] ||
        (month == 2 && day == 29 && !leap)) {
        return std::nullopt;
    }
    int hour = 0;
    int minute = 0;
    int second = 0;
    if (!timePart.empty()) {
        const auto hms = split(timePart, ':');
        if (hms.size() < 2 || hms.size() > 3 || !parseNumber(hms[0], hour) ||
            !parseNumber(hms[1], minute) || (hms.size() == 3 && !parseNumber(hms[2], second)) ||
            hour > 23 || minute > 59 || second > 59 || hour < 0 || minute < 0 || second < 0) {
            return std::nullopt;
        }
    }
    std::array<char, 32> buffer{};
    std::snprintf(buffer.data(), buffer.size(), "%04d-%02d-%02d %02d:%02d:%02d", year, month, day,
                  hour, minute, second);
    return std::string(buffer.data());
}

// Jet compares text without regard to case. Text columns are declared NOCASE
// and SQLite uses a column operand's collation, so the collation is only spelt
// out where no column takes part; spelling it out next to a numeric column
// would keep SQLite from using that column's index.
std::string caseless(bool columnInvolved) {
    return columnInvolved ? "" : " COLLATE NOCASE";
}

} // namespace

std::string quoteIdentifier(const std::string& name) {
    std::string quoted = "\"";
    for (char c : name) {
        quoted.push_back(c);
        if (c == '"') {
            quoted.push_back('"');
        }
    }
    quoted.push_back('"');
    return quoted;
}

std::string SqliteEmitter::condition(const Expr& expr) {
    return emit(expr).sql;
}

std::string SqliteEmitter::value(const Expr& expr) {
    return valueOf(expr);
}

std::string SqliteEmitter::orderValue(const Expr& expr) {
    const Emitted emitted = emit(expr);
    return asValue(emitted) + caseless(emitted.column);
}

std::string SqliteEmitter::assignedValue(const Expr& expr, const ColumnInfo& target) {
    const std::string v = valueOf(expr);
    if (target.daoType != daoBoolean) {
        return v;
    }
    // Jet stores any non-zero number in a Yes/No column as True (-1).
    return "(CASE WHEN " + v + " IS NULL THEN NULL WHEN " + v + " <> 0 THEN -1 ELSE 0 END)";
}

const ColumnInfo& SqliteEmitter::resolveColumn(const Expr& column) const {
    if (!column.qualifier.empty() && !equalsIgnoreCase(column.qualifier, table_.name)) {
        throw Error("Unknown table '" + column.qualifier + "' in the name '" + column.qualifier +
                        "." + column.name + "' (the statement works on table '" + table_.name +
                        "')",
                    unknownTableNumber);
    }
    for (const ColumnInfo& info : table_.columns) {
        if (equalsIgnoreCase(info.name, column.name)) {
            return info;
        }
    }
    throw Error("Unknown column '" + column.name + "' in table '" + table_.name + "'",
                unknownColumnNumber);
}

std::string SqliteEmitter::parameter(SqlValue v) {
    parameters_.push_back(std::move(v));
    return "?" + std::to_string(parameters_.size());
}

std::string SqliteEmitter::asValue(const Emitted& emitted) const {
    // Jet's truth values are -1 and 0; SQLite's are 1 and 0.
    return emitted.shape == Shape::Predicate ? "(-" + emitted.sql + ")" : emitted.sql;
}

SqliteEmitter::Emitted SqliteEmitter::emit(const Expr& expr) {
    Emitted emitted = emitNode(expr);
    produced_ += emitted.sql.size();
    if (produced_ > maxProducedSql) {
        unsupported(expr, "the statement is too complex to translate");
    }
    return emitted;
}

SqliteEmitter::Emitted SqliteEmitter::emitNode(const Expr& expr) {
    switch (expr.kind) {
    case ExprKind::Literal:
        if (std::holds_alternative<std::monostate>(expr.value)) {
            return {"NULL", Shape::Other};
        }
        return {parameter(expr.value),
                std::holds_alternative<std::string>(expr.value) ? Shape::Text : Shape::Number};
    case ExprKind::Column: {
        const ColumnInfo& column = resolveColumn(expr);
        Shape shape = Shape::Number;
        if (isTextType(column.daoType)) {
            shape = Shape::Text;
        } else if (column.daoType == daoDate) {
            shape = Shape::Date;
        } else if (column.daoType == 11) {
            shape = Shape::Other;
        }
        return {quoteIdentifier(column.name), shape, true};
    }
    case ExprKind::Unary:
        if (expr.op == Op::Not) {
            return {"(NOT " + condition(*expr.args[0]) + ")", Shape::Predicate};
        }
        return {"(-" + valueOf(*expr.args[0]) + ")", Shape::Number};
    case ExprKind::Binary:
        return emitBinary(expr);
    case ExprKind::Concat:
        return emitConcat(expr);
    case ExprKind::Function:
        return emitFunction(expr);
    case ExprKind::IsNull:
        return {"(" + valueOf(*expr.args[0]) + (expr.negated ? " IS NOT NULL)" : " IS NULL)"),
                Shape::Predicate};
    case ExprKind::Between: {
        const Emitted tested = emit(*expr.args[0]);
        std::string sql = "(" + asValue(tested) + caseless(tested.column) +
                          (expr.negated ? " NOT BETWEEN " : " BETWEEN ") + valueOf(*expr.args[1]) +
                          " AND " + valueOf(*expr.args[2]) + ")";
        return {std::move(sql), Shape::Predicate};
    }
    case ExprKind::Like:
        return emitLike(expr);
    case ExprKind::InList: {
        const Emitted tested = emit(*expr.args[0]);
        std::string sql = "(" + asValue(tested) + caseless(tested.column) +
                          (expr.negated ? " NOT IN (" : " IN (");
        for (std::size_t i = 1; i < expr.args.size(); ++i) {
            sql += (i > 1 ? ", " : "") + valueOf(*expr.args[i]);
        }
        return {sql + "))", Shape::Predicate};
    }
    }
    unsupported(expr, "unknown expression");
}

SqliteEmitter::Emitted SqliteEmitter::emitBinary(const Expr& expr) {
    if (expr.op == Op::And || expr.op == Op::Or) {
        const std::string left = condition(*expr.args[0]);
        const std::string right = condition(*expr.args[1]);
        return {"(" + left + (expr.op == Op::And ? " AND " : " OR ") + right + ")",
                Shape::Predicate};
    }
    const Emitted left = emit(*expr.args[0]);
    const Emitted right = emit(*expr.args[1]);
    if (const char* comparison = comparisonSql(expr.op)) {
        return {"(" + asValue(left) + comparison + asValue(right) +
                    caseless(left.column || right.column) + ")",
                Shape::Predicate};
    }
    if (left.shape == Shape::Date || right.shape == Shape::Date) {
        unsupported(expr, "arithmetic on dates is not supported");
    }
    switch (expr.op) {
    case Op::Add:
        if (left.shape == Shape::Text && right.shape == Shape::Text) {
            // '+' on two texts concatenates, and unlike '&' a Null operand gives Null.
            return {"(" + left.sql + " || " + right.sql + ")", Shape::Text};
        }
        return {"(" + asValue(left) + " + " + asValue(right) + ")", Shape::Number};
    case Op::Sub:
        return {"(" + asValue(left) + " - " + asValue(right) + ")", Shape::Number};
    case Op::Mul:
        return {"(" + asValue(left) + " * " + asValue(right) + ")", Shape::Number};
    case Op::Div:
        // '/' always divides as floating point in Jet (7 / 2 is 3.5).
        return {"(CAST(" + asValue(left) + " AS REAL) / " + asValue(right) + ")", Shape::Number};
    case Op::Mod:
        return {"(" + asValue(left) + " % " + asValue(right) + ")", Shape::Number};
    default:
        unsupported(expr, "unknown operator");
    }
}

SqliteEmitter::Emitted SqliteEmitter::emitConcat(const Expr& expr) {
    std::vector<std::string> operands;
    for (const auto& arg : expr.args) {
        operands.push_back(valueOf(*arg));
    }
    std::string allNull;
    std::string joined;
    for (std::size_t i = 0; i < operands.size(); ++i) {
        allNull += (i > 0 ? " AND " : "") + operands[i] + " IS NULL";
        joined += (i > 0 ? " || " : "") + ("COALESCE(" + operands[i] + ", '')");
    }
    return {"(CASE WHEN " + allNull + " THEN NULL ELSE " + joined + " END)", Shape::Text};
}

SqliteEmitter::Emitted SqliteEmitter::emitFunction(const Expr& expr) {
    if (expr.name == "#date#") {
        return emitDate(*expr.args[0]);
    }
    struct Function {
        const char* name;
        std::size_t minArgs;
        std::size_t maxArgs;
    };
    static constexpr std::array<Function, 11> functions = {{{"Left", 2, 2},
                                                            {"Right", 2, 2},
                                                            {"Mid", 2, 3},
                                                            {"Len", 1, 1},
                                                            {"UCase", 1, 1},
                                                            {"LCase", 1, 1},
                                                            {"Trim", 1, 1},
                                                            {"LTrim", 1, 1},
                                                            {"RTrim", 1, 1},
                                                            {"Nz", 1, 2},
                                                            {"IsNull", 1, 1}}};
    const Function* found = nullptr;
    for (const Function& f : functions) {
        if (equalsIgnoreCase(expr.name, f.name)) {
            found = &f;
        }
    }
    if (found == nullptr) {
        unsupported(expr, "unknown function '" + expr.name + "'");
    }
    if (expr.args.size() < found->minArgs || expr.args.size() > found->maxArgs) {
        unsupported(expr, "wrong number of arguments for " + std::string(found->name) + "()");
    }
    std::vector<std::string> a;
    for (const auto& arg : expr.args) {
        a.push_back(valueOf(*arg));
    }
    const std::string name = found->name;
    if (name == "IsNull") {
        return {"(" + a[0] + " IS NULL)", Shape::Predicate};
    }
    if (name == "Left") {
        return {"substr(" + a[0] + ", 1, " + a[1] + ")", Shape::Text};
    }
    if (name == "Right") {
        // substr with a start below 1 would count from the end: clamp it.
        return {"substr(" + a[0] + ", max(length(" + a[0] + ") - " + a[1] + " + 1, 1))",
                Shape::Text};
    }
    if (name == "Mid") {
        return {"substr(" + a[0] + ", " + a[1] + (a.size() == 3 ? ", " + a[2] : "") + ")",
                Shape::Text};
    }
    if (name == "Len") {
        return {"length(" + a[0] + ")", Shape::Number};
    }
    if (name == "UCase" || name == "LCase") {
        return {(name == "UCase" ? "upper(" : "lower(") + a[0] + ")", Shape::Text};
    }
    if (name == "Trim" || name == "LTrim" || name == "RTrim") {
        return {(name == "Trim"    ? "trim("
                 : name == "LTrim" ? "ltrim("
                                   : "rtrim(") +
                    a[0] + ")",
                Shape::Text};
    }
    // Nz: in a query, a Null without a replacement becomes the empty text.
    return {"COALESCE(" + a[0] + ", " + (a.size() == 2 ? a[1] : std::string("''")) + ")",
            Shape::Other};
}

// Jet patterns use * and ? as wildcards and brackets to take one of them
// literally ("[*]"); SQLite's LIKE uses % and _, which are literal in Jet and
// therefore escaped. Like Jet's, SQLite's LIKE ignores case. Digit (#) and
// character-list ([a-z]) patterns have no SQLite counterpart and are refused.
SqliteEmitter::Emitted SqliteEmitter::emitLike(const Expr& expr) {
    const Expr& pattern = *expr.args[1];
    if (pattern.kind != ExprKind::Literal || !std::holds_alternative<std::string>(pattern.value)) {
        unsupported(pattern, "LIKE needs a text literal as its pattern");
    }
    const std::string& jet = std::get<std::string>(pattern.value);
    std::string translated;
    for (std::size_t i = 0; i < jet.size(); ++i) {
        const char c = jet[i];
        if (c == '*') {
            translated += '%';
        } else if (c == '?') {
            translated += '_';
        } else if (c == '%' || c == '_' || c == '\\') {
            translated += '\\';
            translated += c;
        } else if (c == '[' && i + 2 < jet.size() && jet[i + 2] == ']' &&
                   (jet[i + 1] == '*' || jet[i + 1] == '?' || jet[i + 1] == '#' ||
                    jet[i + 1] == '[')) {
            translated += jet[i + 1];
            i += 2;
        } else if (c == '#' || c == '[') {
            unsupported(pattern, "LIKE patterns with # or character lists are not supported");
        } else {
            translated += c;
        }
    }
    const std::string tested = valueOf(*expr.args[0]);
    return {"(" + tested + (expr.negated ? " NOT LIKE " : " LIKE ") + parameter(translated) +
                " ESCAPE '\\')",
            Shape::Predicate};
}

SqliteEmitter::Emitted SqliteEmitter::emitDate(const Expr& literal) {
    const std::string& text = std::get<std::string>(literal.value);
    const std::optional<std::string> stored = parseDateLiteral(text);
    if (!stored) {
        unsupported(literal, "invalid date literal #" + text + "#");
    }
    return {parameter(*stored), Shape::Date};
}

} // namespace korvana::db::jet
