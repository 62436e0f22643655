#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace korvana::db::jet {

struct Token {
    enum class Kind {
        Word,      // plain identifier or keyword
        Bracketed, // [any name]; never a keyword
        Integer,   // digits only
        Real,      // digits with a point or an exponent
        String,    // '...' or "..." with the quotes removed and doubled quotes undone
        Date,      // #...# with the hashes removed
        Symbol,    // operators and punctuation
        End,
    };
    Kind kind = Kind::End;
    std::string text;
    std::size_t position = 0;
};

// Splits a Jet statement into tokens. Raises korvana::Error for characters or
// unterminated quotes and brackets that Jet would not accept.
class JetLexer {
  public:
    explicit JetLexer(std::string_view source) : source_(source) {}
    std::vector<Token> tokenize();

  private:
    Token next();
    Token quoted(char quote, Token::Kind kind);
    Token number();

    std::string_view source_;
    std::size_t pos_ = 0;
};

} // namespace korvana::db::jet
