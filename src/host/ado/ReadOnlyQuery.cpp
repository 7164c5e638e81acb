#include "host/ado/ReadOnlyQuery.h"

#include "host/ado/AdoErrors.h"

namespace paperloom::host::ado {
namespace {

bool IsIdentifierByte(char c) noexcept {
    const auto u = static_cast<unsigned char>(c);
    return (u >= '0' && u <= '9') || (u >= 'a' && u <= 'z') || (u >= 'A' && u <= 'Z') || u == '_' || u >= 0x80;
}

// One past a quoted run opened at `at` by `open` and closed by `close`; a doubled closer stands
// for one inside, and with `backslash` a backslash escapes the next byte.
std::size_t SkipQuoted(std::string_view sql, std::size_t at, char close, bool backslash) noexcept {
    std::size_t i = at + 1;
    while (i < sql.size()) {
        if (backslash && sql[i] == '\\') {
            i += 2;
            continue;
        }
        if (sql[i] == close) {
            if (i + 1 < sql.size() && sql[i + 1] == close && close != ']') {
                i += 2;
                continue;
            }
            return i + 1;
        }
        ++i;
    }
    return sql.size();
}

std::size_t SkipLineComment(std::string_view sql, std::size_t at) noexcept {
    const std::size_t end = sql.find('\n', at);
    return end == std::string_view::npos ? sql.size() : end + 1;
}

std::size_t SkipBlockComment(std::string_view sql, std::size_t at, bool nested) noexcept {
    int depth = 0;
    std::size_t i = at;
    while (i + 1 < sql.size()) {
        if (sql[i] == '/' && sql[i + 1] == '*') {
            if (depth == 0 || nested) ++depth;
            i += 2;
        } else if (sql[i] == '*' && sql[i + 1] == '/') {
            i += 2;
            if (--depth == 0) return i;
        } else {
            ++i;
        }
    }
    return sql.size();
}

// A PostgreSQL dollar quote at `at` ("$$" or "$tag$"): one past its closing tag, or 0 when
// `at` does not open one ($1 is a parameter).
std::size_t SkipDollarQuoted(std::string_view sql, std::size_t at) noexcept {
    std::size_t i = at + 1;
    if (i < sql.size() && sql[i] >= '0' && sql[i] <= '9') return 0;
    while (i < sql.size() && IsIdentifierByte(sql[i])) ++i;
    if (i >= sql.size() || sql[i] != '$') return 0;
    const std::string_view tag = sql.substr(at, i + 1 - at);
    const std::size_t close = sql.find(tag, i + 1);
    return close == std::string_view::npos ? sql.size() : close + tag.size();
}

// One past the quote, comment or other token starting at `at`; `at + 1` for an ordinary byte.
std::size_t SkipToken(std::string_view sql, std::size_t at, SqlDialect dialect) noexcept {
    const bool postgres = dialect == SqlDialect::PostgreSQL;
    const char c = sql[at];
    const char next = at + 1 < sql.size() ? sql[at + 1] : '\0';
    switch (c) {
        case '\'': {
            // E'...' takes backslash escapes on PostgreSQL.
            const bool escapes = postgres && at > 0 && (sql[at - 1] == 'E' || sql[at - 1] == 'e') &&
                                 (at < 2 || !IsIdentifierByte(sql[at - 2]));
            return SkipQuoted(sql, at, '\'', escapes);
        }
        case '"': return SkipQuoted(sql, at, '"', false);
        case '`': return postgres ? at + 1 : SkipQuoted(sql, at, '`', false);
        case '[': return postgres ? at + 1 : SkipQuoted(sql, at, ']', false);
        case '-': return next == '-' ? SkipLineComment(sql, at) : at + 1;
        case '/': return next == '*' ? SkipBlockComment(sql, at, postgres) : at + 1;
        case '$':
            if (postgres && (at == 0 || !IsIdentifierByte(sql[at - 1]))) {
                if (const std::size_t end = SkipDollarQuoted(sql, at)) return end;
            }
            return at + 1;
        default: return at + 1;
    }
}

}  // namespace

std::size_t FirstStatementEnd(std::string_view sql, SqlDialect dialect) {
    std::size_t i = 0;
    while (i < sql.size()) {
        if (sql[i] == ';') return i;
        i = SkipToken(sql, i, dialect);
    }
    return sql.size();
}

bool HasFurtherStatements(std::string_view sql, SqlDialect dialect) {
    std::size_t i = FirstStatementEnd(sql, dialect);
    while (i < sql.size()) {
        const char c = sql[i];
        if (c == ';' || c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
            ++i;
        } else if (c == '-' && i + 1 < sql.size() && sql[i + 1] == '-') {
            i = SkipLineComment(sql, i);
        } else if (c == '/' && i + 1 < sql.size() && sql[i + 1] == '*') {
            i = SkipBlockComment(sql, i, dialect == SqlDialect::PostgreSQL);
        } else {
            return true;
        }
    }
    return false;
}

void ThrowSeveralStatements(const std::string& source) {
    ThrowAdoError(errors::kNotAllowed, source,
                  "レコード ソースに複数の SQL 文があります。レコードを読むための文を 1 つだけ指定してください。"
                  "文は実行していません。");
}

void ThrowWritingStatement(const std::string& source) {
    ThrowAdoError(errors::kNotAllowed, source,
                  "レコード ソースの文はレコードを読むだけの文ではないため、実行しません "
                  "(レコード ソースからデータベースを変更することはできません)。SELECT 文、テーブル、"
                  "またはレコードを返すストアド プロシージャを指定してください。");
}

}  // namespace paperloom::host::ado
