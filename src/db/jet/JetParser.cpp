#include "db/jet/JetParser.h"

#include "platform/Error.h"
#include "platform/TextUtil.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <limits>
#include <string_view>

namespace korvana::db::jet {
namespace {

// Words that cannot be plain names; a column called like one is written in
// brackets ([Delete], [In]).
constexpr std::array<std::string_view, 24> reservedWords = {
    "SELECT", "FROM", "WHERE", "UPDATE", "SET", "DELETE",  "INSERT", "INTO",
    "VALUES", "AND",  "OR",    "NOT",    "IS",  "NULL",    "TRUE",   "FALSE",
    "ORDER",  "BY",   "ASC",   "DESC",   "MOD", "BETWEEN", "IN",     "LIKE"};

bool isReserved(std::string_view word) {
    for (std::string_view reserved : reservedWords) {
        if (equalsIgnoreCase(word, reserved)) {
            return true;
        }
    }
    return false;
}

std::string describe(const Token& token) {
    switch (token.kind) {
    case Token::Kind::End:
        return "the end of the statement";
    case Token::Kind::String:
        return "a text literal";
    case Token::Kind::Date:
        return "a date literal";
    case Token::Kind::Integer:
    case Token::Kind::Real:
        return "the number " + token.text;
    case Token::Kind::Bracketed:
        return "[" + token.text + "]";
    default:
        return "'" + token.text + "'";
    }
}

// Deeper expressions than this are refused: every later pass over the tree is
// recursive, and no statement of a project upgrade comes near it.
constexpr std::size_t maxDepth = 200;

// Records the depth of a node whose operands are complete.
ExprPtr seal(ExprPtr expr) {
    std::size_t below = 0;
    for (const auto& arg : expr->args) {
        below = std::max(below, arg->depth);
    }
    expr->depth = below + 1;
    if (expr->depth > maxDepth) {
        throw Error("Syntax error in SQL statement at position " +
                        std::to_string(expr->position + 1) + ": expression nested too deeply",
                    syntaxErrorNumber);
    }
    return expr;
}

// A number token as a Double. One beyond the Double's range (1E999, 400
// digits) is refused as Jet refuses it, rather than taken as infinity or 0.
double doubleValue(const Token& token) {
    double value = 0;
    const char* end = token.text.data() + token.text.size();
    const auto [stop, ec] = std::from_chars(token.text.data(), end, value);
    if (ec != std::errc() || stop != end) {
        throw Error("Syntax error in SQL statement at position " +
                        std::to_string(token.position + 1) +
                        ": the number is too large or too small for a Double",
                    syntaxErrorNumber);
    }
    return value;
}

ExprPtr makeExpr(ExprKind kind, std::size_t position) {
    auto expr = std::make_unique<Expr>();
    expr->kind = kind;
    expr->position = position;
    return expr;
}

ExprPtr makeBinary(Op op, ExprPtr left, ExprPtr right) {
    auto expr = makeExpr(ExprKind::Binary, left->position);
    expr->op = op;
    expr->args.push_back(std::move(left));
    expr->args.push_back(std::move(right));
    return seal(std::move(expr));
}

} // namespace

class JetParser::NestingGuard {
  public:
    NestingGuard(JetParser& parser, std::size_t position) : parser_(parser) {
        if (++parser_.nesting_ > maxDepth) {
            throw Error("Syntax error in SQL statement at position " +
                            std::to_string(position + 1) + ": expression nested too deeply",
                        syntaxErrorNumber);
        }
    }
    ~NestingGuard() { --parser_.nesting_; }
    NestingGuard(const NestingGuard&) = delete;
    NestingGuard& operator=(const NestingGuard&) = delete;

  private:
    JetParser& parser_;
};

Statement JetParser::parseStatement() {
    Statement statement;
    if (isKeyword("SELECT")) {
        statement = parseSelect();
    } else if (isKeyword("UPDATE")) {
        statement = parseUpdate();
    } else if (isKeyword("DELETE")) {
        statement = parseDelete();
    } else if (isKeyword("INSERT")) {
        statement = parseInsert();
    } else {
        fail("SELECT, UPDATE, DELETE or INSERT");
    }
    expectEnd(true);
    return statement;
}

ExprPtr JetParser::parseCriteria() {
    if (peek().kind == Token::Kind::End) {
        fail("a criteria expression");
    }
    ExprPtr expr = parseExpression();
    expectEnd(false);
    return expr;
}

Statement JetParser::parseSelect() {
    Statement statement;
    statement.kind = Statement::Kind::Select;
    expectKeyword("SELECT");
    if (acceptSymbol("*")) {
        statement.selectAll = true;
    } else {
        do {
            statement.selectList.push_back(parseExpression());
        } while (acceptSymbol(","));
    }
    expectKeyword("FROM");
    parseTableName(statement);
    parseWhere(statement);
    if (acceptKeyword("ORDER")) {
        expectKeyword("BY");
        do {
            OrderTerm term;
            term.expr = parseExpression();
            if (acceptKeyword("DESC")) {
                term.descending = true;
            } else {
                acceptKeyword("ASC");
            }
            statement.orderBy.push_back(std::move(term));
        } while (acceptSymbol(","));
    }
    return statement;
}

Statement JetParser::parseUpdate() {
    Statement statement;
    statement.kind = Statement::Kind::Update;
    expectKeyword("UPDATE");
    parseTableName(statement);
    expectKeyword("SET");
    do {
        Assignment assignment;
        assignment.target = parseColumnRef();
        expectSymbol("=");
        assignment.value = parseExpression();
        statement.assignments.push_back(std::move(assignment));
    } while (acceptSymbol(","));
    parseWhere(statement);
    return statement;
}

Statement JetParser::parseDelete() {
    Statement statement;
    statement.kind = Statement::Kind::Delete;
    expectKeyword("DELETE");
    acceptSymbol("*"); // Jet accepts "DELETE * FROM T" as well as "DELETE FROM T"
    expectKeyword("FROM");
    parseTableName(statement);
    parseWhere(statement);
    return statement;
}

Statement JetParser::parseInsert() {
    Statement statement;
    statement.kind = Statement::Kind::Insert;
    expectKeyword("INSERT");
    expectKeyword("INTO");
    parseTableName(statement);
    expectSymbol("(");
    do {
        statement.insertColumns.push_back(parseColumnRef());
    } while (acceptSymbol(","));
    expectSymbol(")");
    expectKeyword("VALUES");
    statement.insertValues = parseParenthesisedList();
    if (statement.insertValues.size() != statement.insertColumns.size()) {
        throw Error("INSERT names " + std::to_string(statement.insertColumns.size()) +
                        " columns but gives " + std::to_string(statement.insertValues.size()) +
                        " values",
                    syntaxErrorNumber);
    }
    return statement;
}

void JetParser::parseTableName(Statement& statement) {
    statement.tablePosition = peek().position;
    statement.table = takeName("a table name");
}

void JetParser::parseWhere(Statement& statement) {
    if (acceptKeyword("WHERE")) {
        statement.where = parseExpression();
    }
}

void JetParser::expectEnd(bool allowSemicolon) {
    if (allowSemicolon) {
        acceptSymbol(";");
    }
    if (peek().kind != Token::Kind::End) {
        fail(allowSemicolon ? "the end of the statement (one statement at a time)"
                            : "the end of the criteria");
    }
}

ExprPtr JetParser::parseExpression() {
    return parseOr();
}

ExprPtr JetParser::parseOr() {
    ExprPtr left = parseAnd();
    while (acceptKeyword("OR")) {
        left = makeBinary(Op::Or, std::move(left), parseAnd());
    }
    return left;
}

ExprPtr JetParser::parseAnd() {
    ExprPtr left = parseNot();
    while (acceptKeyword("AND")) {
        left = makeBinary(Op::And, std::move(left), parseNot());
    }
    return left;
}

ExprPtr JetParser::parseNot() {
    if (isKeyword("NOT")) {
        auto expr = makeExpr(ExprKind::Unary, take().position);
        expr->op = Op::Not;
        const NestingGuard guard(*this, expr->position);
        expr->args.push_back(parseNot());
        return seal(std::move(expr));
    }
    return parseComparison();
}

ExprPtr JetParser::parseComparison() {
    ExprPtr left = parseConcat();
    static constexpr std::array<std::pair<const char*, Op>, 6> comparisons = {{{"=", Op::Eq},
                                                                               {"<>", Op::Ne},
                                                                               {"<", Op::Lt},
                                                                               {"<=", Op::Le},
                                                                               {">", Op::Gt},
                                                                               {">=", Op::Ge}}};
    for (const auto& [symbol, op] : comparisons) {
        if (acceptSymbol(symbol)) {
            return makeBinary(op, std::move(left), parseConcat());
        }
    }
    if (acceptKeyword("IS")) {
        auto expr = makeExpr(ExprKind::IsNull, left->position);
        expr->negated = acceptKeyword("NOT");
        expectKeyword("NULL");
        expr->args.push_back(std::move(left));
        return seal(std::move(expr));
    }
    const bool negated =
        isKeyword("NOT") && (isKeyword("BETWEEN", 1) || isKeyword("IN", 1) || isKeyword("LIKE", 1));
    if (negated) {
        take();
    }
    if (acceptKeyword("BETWEEN")) {
        auto expr = makeExpr(ExprKind::Between, left->position);
        expr->negated = negated;
        expr->args.push_back(std::move(left));
        expr->args.push_back(parseConcat());
        expectKeyword("AND");
        expr->args.push_back(parseConcat());
        return seal(std::move(expr));
    }
    if (acceptKeyword("IN")) {
        auto expr = makeExpr(ExprKind::InList, left->position);
        expr->negated = negated;
        expr->args.push_back(std::move(left));
        for (ExprPtr& item : parseParenthesisedList()) {
            expr->args.push_back(std::move(item));
        }
        return seal(std::move(expr));
    }
    if (acceptKeyword("LIKE")) {
        auto expr = makeExpr(ExprKind::Like, left->position);
        expr->negated = negated;
        expr->args.push_back(std::move(left));
        expr->args.push_back(parseConcat());
        return seal(std::move(expr));
    }
    return left;
}

ExprPtr JetParser::parseConcat() {
    ExprPtr first = parseAdditive();
    if (!isSymbol("&")) {
        return first;
    }
    auto chain = makeExpr(ExprKind::Concat, first->position);
    chain->args.push_back(std::move(first));
    while (acceptSymbol("&")) {
        chain->args.push_back(parseAdditive());
    }
    return seal(std::move(chain));
}

ExprPtr JetParser::parseAdditive() {
    ExprPtr left = parseMultiplicative();
    for (;;) {
        if (acceptSymbol("+")) {
            left = makeBinary(Op::Add, std::move(left), parseMultiplicative());
        } else if (acceptSymbol("-")) {
            left = makeBinary(Op::Sub, std::move(left), parseMultiplicative());
        } else {
            return left;
        }
    }
}

ExprPtr JetParser::parseMultiplicative() {
    ExprPtr left = parseUnary();
    for (;;) {
        if (acceptSymbol("*")) {
            left = makeBinary(Op::Mul, std::move(left), parseUnary());
        } else if (acceptSymbol("/")) {
            left = makeBinary(Op::Div, std::move(left), parseUnary());
        } else if (acceptKeyword("MOD")) {
            left = makeBinary(Op::Mod, std::move(left), parseUnary());
        } else {
            return left;
        }
    }
}

ExprPtr JetParser::parseUnary() {
    if (isSymbol("-")) {
        const std::size_t position = take().position;
        const NestingGuard guard(*this, position);
        ExprPtr operand = parseUnary();
        // A negative number stays one literal, so "Type = -1" binds -1.
        if (operand->kind == ExprKind::Literal) {
            if (auto* i = std::get_if<std::int64_t>(&operand->value);
                i != nullptr && *i != std::numeric_limits<std::int64_t>::min()) {
                *i = -*i;
                operand->position = position;
                return operand;
            }
            if (auto* d = std::get_if<double>(&operand->value)) {
                *d = -*d;
                operand->position = position;
                return operand;
            }
        }
        auto expr = makeExpr(ExprKind::Unary, position);
        expr->op = Op::Neg;
        expr->args.push_back(std::move(operand));
        return seal(std::move(expr));
    }
    if (isSymbol("+")) {
        const NestingGuard guard(*this, take().position);
        return parseUnary();
    }
    return parsePrimary();
}

ExprPtr JetParser::parsePrimary() {
    const Token& token = peek();
    switch (token.kind) {
    case Token::Kind::Integer: {
        auto expr = makeExpr(ExprKind::Literal, token.position);
        std::int64_t value = 0;
        const auto [end, ec] =
            std::from_chars(token.text.data(), token.text.data() + token.text.size(), value);
        if (ec == std::errc() && end == token.text.data() + token.text.size()) {
            expr->value = value;
        } else {
            expr->value = doubleValue(token); // too large for a Long: Jet makes it a Double
        }
        take();
        return expr;
    }
    case Token::Kind::Real: {
        auto expr = makeExpr(ExprKind::Literal, token.position);
        expr->value = doubleValue(token);
        take();
        return expr;
    }
    case Token::Kind::String: {
        auto expr = makeExpr(ExprKind::Literal, token.position);
        expr->value = token.text;
        take();
        return expr;
    }
    case Token::Kind::Date: {
        // Kept as written; the emitter turns it into the stored date text.
        auto expr = makeExpr(ExprKind::Function, token.position);
        expr->name = "#date#";
        auto text = makeExpr(ExprKind::Literal, token.position);
        text->value = token.text;
        expr->args.push_back(std::move(text));
        take();
        return seal(std::move(expr));
    }
    default:
        break;
    }
    if (isSymbol("(")) {
        const NestingGuard guard(*this, take().position);
        ExprPtr inner = parseExpression();
        expectSymbol(")");
        return inner;
    }
    if (isKeyword("TRUE") || isKeyword("FALSE")) {
        auto expr = makeExpr(ExprKind::Literal, token.position);
        expr->value = std::int64_t{isKeyword("TRUE") ? -1 : 0}; // Jet's True is -1
        take();
        return expr;
    }
    if (isKeyword("NULL")) {
        auto expr = makeExpr(ExprKind::Literal, token.position);
        take();
        return expr;
    }
    if (token.kind == Token::Kind::Word && isSymbol("(", 1) && !isReserved(token.text)) {
        auto expr = makeExpr(ExprKind::Function, token.position);
        expr->name = take().text;
        expectSymbol("(");
        if (acceptSymbol(")")) {
            return expr;
        }
        const NestingGuard guard(*this, expr->position);
        do {
            expr->args.push_back(parseExpression());
        } while (acceptSymbol(","));
        expectSymbol(")");
        return seal(std::move(expr));
    }
    if (isName()) {
        return parseColumnRef();
    }
    fail("a value, a column or '('");
}

ExprPtr JetParser::parseColumnRef() {
    auto expr = makeExpr(ExprKind::Column, peek().position);
    expr->name = takeName("a column name");
    if (acceptSymbol(".")) {
        expr->qualifier = std::move(expr->name);
        expr->name = takeName("a column name after '.'");
    }
    return expr;
}

std::vector<ExprPtr> JetParser::parseParenthesisedList() {
    std::vector<ExprPtr> items;
    const NestingGuard guard(*this, peek().position);
    expectSymbol("(");
    do {
        items.push_back(parseExpression());
    } while (acceptSymbol(","));
    expectSymbol(")");
    return items;
}

const Token& JetParser::peek(std::size_t ahead) const {
    const std::size_t at = index_ + ahead;
    return at < tokens_.size() ? tokens_[at] : tokens_.back();
}

Token JetParser::take() {
    Token token = peek();
    if (index_ + 1 < tokens_.size()) {
        ++index_;
    }
    return token;
}

bool JetParser::isKeyword(const char* word, std::size_t ahead) const {
    const Token& token = peek(ahead);
    return token.kind == Token::Kind::Word && equalsIgnoreCase(token.text, word);
}

bool JetParser::acceptKeyword(const char* word) {
    if (!isKeyword(word)) {
        return false;
    }
    take();
    return true;
}

void JetParser::expectKeyword(const char* word) {
    if (!acceptKeyword(word)) {
        fail(word);
    }
}

bool JetParser::isSymbol(const char* symbol, std::size_t ahead) const {
    const Token& token = peek(ahead);
    return token.kind == Token::Kind::Symbol && token.text == symbol;
}

bool JetParser::acceptSymbol(const char* symbol) {
    if (!isSymbol(symbol)) {
        return false;
    }
    take();
    return true;
}

void JetParser::expectSymbol(const char* symbol) {
    if (!acceptSymbol(symbol)) {
        fail(std::string("'") + symbol + "'");
    }
}

bool JetParser::isName(std::size_t ahead) const {
    const Token& token = peek(ahead);
    return token.kind == Token::Kind::Bracketed ||
           (token.kind == Token::Kind::Word && !isReserved(token.text));
}

std::string JetParser::takeName(const char* what) {
    if (!isName()) {
        fail(what);
    }
    return take().text;
}

void JetParser::fail(const std::string& expected) const {
    const Token& token = peek();
    throw Error("Syntax error in SQL statement at position " + std::to_string(token.position + 1) +
                    ": expected " + expected + ", found " + describe(token),
                syntaxErrorNumber);
}

} // namespace korvana::db::jet
