#include "data/jet_sql.h"

#include <cctype>
#include <charconv>
#include <vector>

#include "common/calendar_date.h"
#include "data/db_error.h"

namespace quotaplan {
namespace {

enum class TokenKind { Word, Number, Blank, Literal, Other };

struct Token {
    TokenKind kind;
    std::string text;
};

[[noreturn]] void SyntaxError(std::string_view what) {
    throw DatabaseError(kErrSqlSyntax,
                        "Errore di sintassi nell'istruzione SQL: " + std::string(what) + ".");
}

bool IsWordStart(char c) { return std::isalpha(static_cast<unsigned char>(c)) || c == '_'; }
bool IsWordChar(char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; }

bool SameWord(const Token& token, std::string_view word) {
    if (token.kind != TokenKind::Word || token.text.size() != word.size()) return false;
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (std::toupper(static_cast<unsigned char>(token.text[i])) != word[i]) return false;
    }
    return true;
}

// "#m/d/yyyy#" contents -> "'yyyy-mm-dd'".
std::string DateLiteral(std::string_view inside) {
    int parts[3] = {0, 0, 0};
    std::size_t at = 0;
    for (int k = 0; k < 3; ++k) {
        const auto* begin = inside.data() + at;
        const auto* end = inside.data() + inside.size();
        const auto [stop, error] = std::from_chars(begin, end, parts[k]);
        if (error != std::errc() || stop == begin)
            SyntaxError("data non valida #" + std::string(inside) + "#");
        at = static_cast<std::size_t>(stop - inside.data());
        if (k < 2) {
            if (at >= inside.size() || inside[at] != '/')
                SyntaxError("data non valida #" + std::string(inside) + "#");
            ++at;
        }
    }
    if (at != inside.size()) SyntaxError("data non valida #" + std::string(inside) + "#");
    const auto date = CalendarDate::FromYmd(parts[2], parts[0], parts[1]);
    if (!date) SyntaxError("data non valida #" + std::string(inside) + "#");
    return "'" + date->Iso() + "'";
}

std::vector<Token> Tokenize(std::string_view sql) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == '\'' || c == '"') {
            // A Jet text literal; a doubled delimiter stands for one.
            std::string content;
            std::size_t k = i + 1;
            bool closed = false;
            while (k < sql.size()) {
                if (sql[k] == c) {
                    if (k + 1 < sql.size() && sql[k + 1] == c) {
                        content += c;
                        k += 2;
                        continue;
                    }
                    closed = true;
                    break;
                }
                content += sql[k++];
            }
            if (!closed) SyntaxError("stringa non terminata");
            std::string literal = "'";
            for (const char ch : content)
                literal += ch == '\'' ? std::string("''") : std::string(1, ch);
            tokens.push_back({TokenKind::Literal, literal + "'"});
            i = k + 1;
        } else if (c == '[') {
            const auto close = sql.find(']', i);
            if (close == std::string_view::npos)
                SyntaxError("nome tra parentesi quadre non terminato");
            tokens.push_back({TokenKind::Literal, std::string(sql.substr(i, close - i + 1))});
            i = close + 1;
        } else if (c == '#') {
            const auto close = sql.find('#', i + 1);
            if (close == std::string_view::npos) SyntaxError("data non terminata");
            tokens.push_back({TokenKind::Literal, DateLiteral(sql.substr(i + 1, close - i - 1))});
            i = close + 1;
        } else if (IsWordStart(c)) {
            std::size_t k = i;
            while (k < sql.size() && IsWordChar(sql[k])) ++k;
            tokens.push_back({TokenKind::Word, std::string(sql.substr(i, k - i))});
            i = k;
        } else if (std::isdigit(static_cast<unsigned char>(c))) {
            std::size_t k = i;
            while (k < sql.size() && (IsWordChar(sql[k]) || sql[k] == '.')) ++k;
            tokens.push_back({TokenKind::Number, std::string(sql.substr(i, k - i))});
            i = k;
        } else if (std::isspace(static_cast<unsigned char>(c))) {
            std::size_t k = i;
            while (k < sql.size() && std::isspace(static_cast<unsigned char>(sql[k]))) ++k;
            tokens.push_back({TokenKind::Blank, std::string(sql.substr(i, k - i))});
            i = k;
        } else {
            tokens.push_back({TokenKind::Other, std::string(1, c)});
            ++i;
        }
    }
    return tokens;
}

// The index of the next token after `from` that is not blank, or tokens.size().
std::size_t NextSolid(const std::vector<Token>& tokens, std::size_t from) {
    std::size_t k = from + 1;
    while (k < tokens.size() && tokens[k].kind == TokenKind::Blank) ++k;
    return k;
}

}  // namespace

std::string TranslateJetSql(std::string_view jetSql) { return TranslateJetSql(jetSql, {}); }

std::string TranslateJetSql(std::string_view jetSql, const JetDialect& dialect) {
    auto tokens = Tokenize(jetSql);
    std::string limit;

    std::size_t first = 0;
    while (first < tokens.size() && tokens[first].kind == TokenKind::Blank) ++first;
    if (first < tokens.size()) {
        if (SameWord(tokens[first], "DELETE")) {
            const auto star = NextSolid(tokens, first);
            const auto from = NextSolid(tokens, star);
            if (star < tokens.size() && tokens[star].kind == TokenKind::Other &&
                tokens[star].text == "*" && from < tokens.size() &&
                SameWord(tokens[from], "FROM")) {
                tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(star),
                             tokens.begin() + static_cast<std::ptrdiff_t>(from));
            }
        } else if (SameWord(tokens[first], "SELECT")) {
            const auto top = NextSolid(tokens, first);
            const auto count = NextSolid(tokens, top);
            if (top < tokens.size() && SameWord(tokens[top], "TOP") && count < tokens.size() &&
                tokens[count].kind == TokenKind::Number) {
                limit = tokens[count].text;
                tokens.erase(
                    tokens.begin() + static_cast<std::ptrdiff_t>(top),
                    tokens.begin() + static_cast<std::ptrdiff_t>(NextSolid(tokens, count)));
            }
        }
    }

    // LIMIT goes before the closing blanks and semicolons.
    std::size_t end = tokens.size();
    while (end > 0 && (tokens[end - 1].kind == TokenKind::Blank ||
                       (tokens[end - 1].kind == TokenKind::Other && tokens[end - 1].text == ";"))) {
        --end;
    }
    if (dialect.refuseTrailingText) {
        for (std::size_t k = 0; k < end; ++k) {
            if (tokens[k].kind == TokenKind::Other && tokens[k].text == ";")
                throw DatabaseError(TrailingTextError());
        }
    }
    std::string out;
    int parameter = 0;
    bool afterCollate = false;  // a collation's name is the engine's own
    for (std::size_t k = 0; k < tokens.size(); ++k) {
        if (k == end && !limit.empty()) out += " LIMIT " + limit;
        const Token& token = tokens[k];
        const bool call = k + 1 < tokens.size() && tokens[k + 1].kind == TokenKind::Other &&
                          tokens[k + 1].text == "(";
        if (token.kind == TokenKind::Literal && token.text.front() == '[' &&
            dialect.bracketedName) {
            out += dialect.bracketedName(
                std::string_view(token.text).substr(1, token.text.size() - 2));
        } else if (token.kind == TokenKind::Word && dialect.bareName && !call && !afterCollate) {
            out += dialect.bareName(token.text);
        } else if (token.kind == TokenKind::Other && token.text == "?" &&
                   dialect.numberedParameters) {
            out += "$" + std::to_string(++parameter);
        } else {
            out += token.text;
        }
        if (token.kind != TokenKind::Blank) afterCollate = SameWord(token, "COLLATE");
    }
    if (end == tokens.size() && !limit.empty()) out += " LIMIT " + limit;
    return out;
}

}  // namespace quotaplan
