#include "db/jet/JetLexer.h"

#include "db/jet/JetSql.h"
#include "platform/Error.h"

#include <cctype>

namespace korvana::db::jet {
namespace {

bool isWordStart(char c) {
    return std::isalpha(static_cast<unsigned char>(c)) != 0 || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

bool isWordChar(char c) {
    return isWordStart(c) || std::isdigit(static_cast<unsigned char>(c)) != 0;
}

bool isDigit(char c) {
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

[[noreturn]] void fail(const std::string& what, std::size_t position) {
    throw Error("Syntax error in SQL statement at position " + std::to_string(position + 1) + ": " +
                    what,
                syntaxErrorNumber);
}

} // namespace

std::vector<Token> JetLexer::tokenize() {
    std::vector<Token> tokens;
    for (;;) {
        tokens.push_back(next());
        if (tokens.back().kind == Token::Kind::End) {
            return tokens;
        }
    }
}

Token JetLexer::next() {
    while (pos_ < source_.size() && std::isspace(static_cast<unsigned char>(source_[pos_])) != 0) {
        ++pos_;
    }
    if (pos_ >= source_.size()) {
        return Token{Token::Kind::End, "", pos_};
    }
    const char c = source_[pos_];
    const std::size_t start = pos_;
    if (c == '\'' || c == '"') {
        return quoted(c, Token::Kind::String);
    }
    if (c == '#') {
        return quoted('#', Token::Kind::Date);
    }
    if (c == '[') {
        const std::size_t close = source_.find(']', pos_ + 1);
        if (close == std::string_view::npos) {
            fail("unterminated name in brackets", start);
        }
        std::string name(source_.substr(pos_ + 1, close - pos_ - 1));
        if (name.empty()) {
            fail("empty name in brackets", start);
        }
        pos_ = close + 1;
        return Token{Token::Kind::Bracketed, std::move(name), start};
    }
    if (isDigit(c) || (c == '.' && pos_ + 1 < source_.size() && isDigit(source_[pos_ + 1]))) {
        return number();
    }
    if (isWordStart(c)) {
        while (pos_ < source_.size() && isWordChar(source_[pos_])) {
            ++pos_;
        }
        return Token{Token::Kind::Word, std::string(source_.substr(start, pos_ - start)), start};
    }
    for (std::string_view two : {"<>", "<=", ">="}) {
        if (source_.substr(pos_, 2) == two) {
            pos_ += 2;
            return Token{Token::Kind::Symbol, std::string(two), start};
        }
    }
    static constexpr std::string_view singles = "=<>()+-*/&,;.";
    if (singles.find(c) != std::string_view::npos) {
        ++pos_;
        return Token{Token::Kind::Symbol, std::string(1, c), start};
    }
    fail(std::string("unexpected character '") + c + "'", start);
}

// A quote is written inside a literal by doubling it ('It''s'); dates (#...#)
// have no escape.
Token JetLexer::quoted(char quote, Token::Kind kind) {
    const std::size_t start = pos_;
    std::string text;
    ++pos_;
    for (;;) {
        if (pos_ >= source_.size()) {
            fail(kind == Token::Kind::Date ? "unterminated date literal" : "unterminated text",
                 start);
        }
        const char c = source_[pos_++];
        if (c != quote) {
            text.push_back(c);
            continue;
        }
        if (kind == Token::Kind::String && pos_ < source_.size() && source_[pos_] == quote) {
            text.push_back(quote);
            ++pos_;
            continue;
        }
        return Token{kind, std::move(text), start};
    }
}

Token JetLexer::number() {
    const std::size_t start = pos_;
    bool real = false;
    while (pos_ < source_.size() && isDigit(source_[pos_])) {
        ++pos_;
    }
    if (pos_ < source_.size() && source_[pos_] == '.') {
        real = true;
        ++pos_;
        while (pos_ < source_.size() && isDigit(source_[pos_])) {
            ++pos_;
        }
    }
    if (pos_ < source_.size() && (source_[pos_] == 'e' || source_[pos_] == 'E')) {
        std::size_t p = pos_ + 1;
        if (p < source_.size() && (source_[p] == '+' || source_[p] == '-')) {
            ++p;
        }
        if (p < source_.size() && isDigit(source_[p])) {
            real = true;
            pos_ = p;
            while (pos_ < source_.size() && isDigit(source_[pos_])) {
                ++pos_;
            }
        }
    }
    if (pos_ < source_.size() && isWordStart(source_[pos_])) {
        fail("a number runs into a name", start);
    }
    return Token{real ? Token::Kind::Real : Token::Kind::Integer,
                 std::string(source_.substr(start, pos_ - start)), start};
}

} // namespace korvana::db::jet
