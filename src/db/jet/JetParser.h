#pragma once

#include "db/jet/JetAst.h"
#include "db/jet/JetLexer.h"

#include <cstddef>
#include <string>
#include <vector>

namespace korvana::db::jet {

// Recursive-descent parser for the Jet statements and criteria that project
// databases are upgraded with. Operator precedence follows Jet: arithmetic
// binds tighter than '&', '&' tighter than comparisons, then NOT, AND, OR.
class JetParser {
  public:
    explicit JetParser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    // One statement, optionally ended by ';'.
    Statement parseStatement();
    // A bare expression, as a recordset's FindFirst takes it.
    ExprPtr parseCriteria();

  private:
    Statement parseSelect();
    Statement parseUpdate();
    Statement parseDelete();
    Statement parseInsert();
    void parseTableName(Statement& statement);
    void parseWhere(Statement& statement);
    void expectEnd(bool allowSemicolon);

    ExprPtr parseExpression();
    ExprPtr parseOr();
    ExprPtr parseAnd();
    ExprPtr parseNot();
    ExprPtr parseComparison();
    ExprPtr parseConcat();
    ExprPtr parseAdditive();
    ExprPtr parseMultiplicative();
    ExprPtr parseUnary();
    ExprPtr parsePrimary();
    ExprPtr parseColumnRef();
    std::vector<ExprPtr> parseParenthesisedList();

    const Token& peek(std::size_t ahead = 0) const;
    Token take();
    bool isKeyword(const char* word, std::size_t ahead = 0) const;
    bool acceptKeyword(const char* word);
    void expectKeyword(const char* word);
    bool isSymbol(const char* symbol, std::size_t ahead = 0) const;
    bool acceptSymbol(const char* symbol);
    void expectSymbol(const char* symbol);
    bool isName(std::size_t ahead = 0) const;
    std::string takeName(const char* what);
    [[noreturn]] void fail(const std::string& expected) const;
    class NestingGuard;

    std::vector<Token> tokens_;
    std::size_t index_ = 0;
    std::size_t nesting_ = 0; // recursion depth, bounded so that no input can exhaust the stack
};

} // namespace korvana::db::jet
