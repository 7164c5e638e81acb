#include "host/ado/StatementAdapter.h"

#include <fmt/format.h>

#include "host/ado/ValueCompare.h"
#include "host/ado/Variant.h"

namespace paperloom::host::ado {
namespace {

bool IsBlank(char c) noexcept { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsWordChar(char c) noexcept {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           static_cast<unsigned char>(c) >= 0x80;
}

std::string DateLiteral(const DateTime& d, SqlDialect dialect) {
    const bool timeOnly = d.IsTimeOnly();
    const bool withTime = d.hour != 0 || d.minute != 0 || d.second != 0;
    const std::string date = fmt::format("{:04}-{:02}-{:02}", d.year, d.month, d.day);
    const std::string time = fmt::format("{:02}:{:02}:{:02}", d.hour, d.minute, d.second);
    switch (dialect) {
        case SqlDialect::SQLite:
            if (timeOnly) return "'" + time + "'";
            return "'" + date + (withTime ? " " + time : "") + "'";
        case SqlDialect::PostgreSQL:
            if (timeOnly) return "TIME '" + time + "'";
            return withTime ? "TIMESTAMP '" + date + " " + time + "'" : "DATE '" + date + "'";
        case SqlDialect::GenericOdbc:
            if (timeOnly) return "{t '" + time + "'}";
            return withTime ? "{ts '" + date + " " + time + "'}" : "{d '" + date + "'}";
    }
    return "'" + date + "'";
}

class Adapter {
public:
    Adapter(std::string_view text, SqlDialect dialect) : s_(text), dialect_(dialect) {
        out_.reserve(text.size() + 16);
    }

    std::string Run() {
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if (c == '\'') {
                CopyQuoted('\'');
            } else if (c == '"' || c == '`') {
                CopyQuoted(c);
            } else if (c == '[') {
                Bracket();
            } else if (c == '#') {
                DateMark();
            } else if ((c == '=' || (c == '<' && Peek(1) == '>')) && NullComparison()) {
                continue;
            } else if (IsWordStart() && MatchWord("LIKE")) {
                Like();
            } else if (IsWordChar(c)) {
                // Copy the whole word so that keywords are matched at word starts only.
                while (i_ < s_.size() && IsWordChar(s_[i_])) out_.push_back(s_[i_++]);
            } else {
                out_.push_back(c);
                ++i_;
            }
        }
        return std::move(out_);
    }

private:
    char Peek(std::size_t ahead) const noexcept {
        return i_ + ahead < s_.size() ? s_[i_ + ahead] : '\0';
    }

    bool IsWordStart() const noexcept { return i_ == 0 || !IsWordChar(s_[i_ - 1]); }

    bool MatchWordAt(std::size_t pos, std::string_view word) const noexcept {
        if (pos + word.size() > s_.size()) return false;
        if (CompareTextNoCase(s_.substr(pos, word.size()), word) != 0) return false;
        return pos + word.size() == s_.size() || !IsWordChar(s_[pos + word.size()]);
    }
    bool MatchWord(std::string_view word) const noexcept { return MatchWordAt(i_, word); }

    std::size_t SkipBlanks(std::size_t pos) const noexcept {
        while (pos < s_.size() && IsBlank(s_[pos])) ++pos;
        return pos;
    }

    // Copies a quoted literal or identifier, doubled quotes included; an unclosed one runs to
    // the end and is left for the database to reject.
    void CopyQuoted(char quote) {
        out_.push_back(s_[i_++]);
        while (i_ < s_.size()) {
            const char c = s_[i_++];
            out_.push_back(c);
            if (c == quote) {
                if (i_ < s_.size() && s_[i_] == quote) {
                    out_.push_back(s_[i_++]);
                    continue;
                }
                return;
            }
        }
    }

    void Bracket() {
        const auto close = s_.find(']', i_ + 1);
        if (close == std::string_view::npos || dialect_ == SqlDialect::SQLite) {
            const std::size_t end = close == std::string_view::npos ? s_.size() : close + 1;
            out_.append(s_.substr(i_, end - i_));
            i_ = end;
            return;
        }
        out_.push_back('"');
        for (char c : s_.substr(i_ + 1, close - i_ - 1)) {
            if (c == '"') out_.push_back('"');
            out_.push_back(c);
        }
        out_.push_back('"');
        i_ = close + 1;
    }

    void DateMark() {
        const auto close = s_.find('#', i_ + 1);
        if (close != std::string_view::npos && close - i_ <= 40) {
            if (auto date = ParseDateText(s_.substr(i_ + 1, close - i_ - 1))) {
                out_ += DateLiteral(*date, dialect_);
                i_ = close + 1;
                return;
            }
        }
        out_.push_back(s_[i_++]);
    }

    // "=NULL" or "<>NULL", optionally followed by an empty literal ''. Written with blanks
    // between the operator and NULL, only the form with '' is taken, so that an assignment
    // "SET x = NULL" stays as it is.
    bool NullComparison() {
        const bool notEqual = s_[i_] == '<';
        const std::size_t opEnd = i_ + (notEqual ? 2 : 1);
        if (!notEqual && i_ > 0 && (s_[i_ - 1] == '<' || s_[i_ - 1] == '>' || s_[i_ - 1] == '!'))
            return false;
        const std::size_t nullPos = SkipBlanks(opEnd);
        if (!MatchWordAt(nullPos, "NULL")) return false;
        std::size_t end = nullPos + 4;
        const std::size_t afterBlanks = SkipBlanks(end);
        const bool emptyLiteral = afterBlanks + 1 < s_.size() && s_[afterBlanks] == '\'' &&
                                  s_[afterBlanks + 1] == '\'' &&
                                  (afterBlanks + 2 == s_.size() || s_[afterBlanks + 2] != '\'');
        if (emptyLiteral) end = afterBlanks + 2;
        if (!emptyLiteral && nullPos != opEnd) return false;
        if (!out_.empty() && !IsBlank(out_.back())) out_.push_back(' ');
        out_ += notEqual ? "IS NOT NULL" : "IS NULL";
        i_ = end;
        return true;
    }

    void Like() {
        out_.append(s_.substr(i_, 4));
        i_ += 4;
        const std::size_t literal = SkipBlanks(i_);
        if (literal >= s_.size() || s_[literal] != '\'') return;
        out_.append(s_.substr(i_, literal - i_));
        i_ = literal;
        const std::size_t before = out_.size();
        CopyQuoted('\'');
        std::string_view pattern(out_.data() + before, out_.size() - before);
        if (pattern.find_first_of("%_") != std::string_view::npos) return;
        for (std::size_t k = before; k < out_.size(); ++k) {
            if (out_[k] == '*') out_[k] = '%';
            else if (out_[k] == '?') out_[k] = '_';
        }
    }

    std::string_view s_;
    SqlDialect dialect_;
    std::string out_;
    std::size_t i_ = 0;
};

}  // namespace

std::string AdaptStatement(std::string_view statement, SqlDialect dialect) {
    return Adapter(statement, dialect).Run();
}

}  // namespace paperloom::host::ado
