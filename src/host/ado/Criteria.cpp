#include "host/ado/Criteria.h"

#include <charconv>
#include <optional>

#include "host/ado/AdoErrors.h"
#include "host/ado/ValueCompare.h"
#include "host/AsciiText.h"

namespace paperloom::host::ado {
namespace {

enum class TokenKind { End, Identifier, String, Date, Number, Operator, Open, Close };

struct Token {
    TokenKind kind = TokenKind::End;
    std::string text;  // identifier, string content, operator, or raw number/date text
    bool bracketed = false;
};

[[noreturn]] void ThrowBadCriteria(std::string_view text, std::string_view why) {
    ThrowAdoError(errors::kInvalidArgument, kRecordsetSource,
                  "条件式が不正です (" + std::string(why) + "): " + std::string(text));
}

bool IsBlank(char c) noexcept { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool IsWordEnd(char c) noexcept {
    return IsBlank(c) || c == '(' || c == ')' || c == '=' || c == '<' || c == '>' || c == '\'' ||
           c == '#' || c == '!' || c == '[';
}

class Lexer {
public:
    explicit Lexer(std::string_view text) : text_(text) {}

    Token Next() {
        while (pos_ < text_.size() && IsBlank(text_[pos_])) ++pos_;
        Token token;
        if (pos_ >= text_.size()) return token;
        const char c = text_[pos_];
        if (c == '(' || c == ')') {
            token.kind = c == '(' ? TokenKind::Open : TokenKind::Close;
            token.text = std::string(1, c);
            ++pos_;
        } else if (c == '=' || c == '<' || c == '>' || c == '!') {
            token.kind = TokenKind::Operator;
            token.text = std::string(1, c);
            ++pos_;
            if (pos_ < text_.size() && (text_[pos_] == '=' || (c == '<' && text_[pos_] == '>'))) {
                token.text.push_back(text_[pos_++]);
            }
            if (token.text == "!") ThrowBadCriteria(text_, "演算子");
        } else if (c == '\'') {
            token.kind = TokenKind::String;
            ++pos_;
            for (;;) {
                if (pos_ >= text_.size()) ThrowBadCriteria(text_, "引用符");
                if (text_[pos_] == '\'') {
                    if (pos_ + 1 < text_.size() && text_[pos_ + 1] == '\'') {
                        token.text.push_back('\'');
                        pos_ += 2;
                        continue;
                    }
                    ++pos_;
                    break;
                }
                token.text.push_back(text_[pos_++]);
            }
        } else if (c == '#') {
            token.kind = TokenKind::Date;
            const auto close = text_.find('#', pos_ + 1);
            if (close == std::string_view::npos) ThrowBadCriteria(text_, "日付");
            token.text = std::string(text_.substr(pos_ + 1, close - pos_ - 1));
            pos_ = close + 1;
        } else if (c == '[') {
            token.kind = TokenKind::Identifier;
            token.bracketed = true;
            const auto close = text_.find(']', pos_ + 1);
            if (close == std::string_view::npos) ThrowBadCriteria(text_, "フィールド名");
            token.text = std::string(text_.substr(pos_ + 1, close - pos_ - 1));
            pos_ = close + 1;
        } else {
            const std::size_t start = pos_;
            while (pos_ < text_.size() && !IsWordEnd(text_[pos_])) ++pos_;
            token.text = std::string(text_.substr(start, pos_ - start));
            const char first = token.text[0];
            const bool numeric = (first >= '0' && first <= '9') || first == '.' ||
                                 ((first == '-' || first == '+') && token.text.size() > 1);
            token.kind = numeric ? TokenKind::Number : TokenKind::Identifier;
        }
        return token;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

}  // namespace

class CriteriaParser {
public:
    CriteriaParser(std::string_view text, Criteria& out) : text_(text), lexer_(text), out_(out) {
        Advance();
    }

    Criteria::Node ParseExpression(int depth = 0) {
        if (depth > 64) ThrowBadCriteria(text_, "括弧が深すぎます");
        Criteria::Node first = ParseTerm(depth);
        if (!IsKeyword("OR")) return first;
        Criteria::Node node;
        node.kind = Criteria::Node::Kind::Or;
        node.children.push_back(std::move(first));
        while (IsKeyword("OR")) {
            Advance();
            node.children.push_back(ParseTerm(depth));
        }
        return node;
    }

    Criteria::Node ParseComparisonOnly() { return ParseComparison(); }

    void ExpectEnd() {
        if (current_.kind != TokenKind::End) ThrowBadCriteria(text_, "余分な語: " + current_.text);
    }

private:
    void Advance() { current_ = lexer_.Next(); }

    bool IsKeyword(std::string_view word) const {
        return current_.kind == TokenKind::Identifier && !current_.bracketed &&
               text::EqualsNoCase(current_.text, word);
    }

    Criteria::Node ParseTerm(int depth) {
        Criteria::Node first = ParseFactor(depth);
        if (!IsKeyword("AND")) return first;
        Criteria::Node node;
        node.kind = Criteria::Node::Kind::And;
        node.children.push_back(std::move(first));
        while (IsKeyword("AND")) {
            Advance();
            node.children.push_back(ParseFactor(depth));
        }
        return node;
    }

    Criteria::Node ParseFactor(int depth) {
        if (current_.kind == TokenKind::Open) {
            Advance();
            auto inner = ParseExpression(depth + 1);
            if (current_.kind != TokenKind::Close) ThrowBadCriteria(text_, "閉じ括弧がありません");
            Advance();
            return inner;
        }
        return ParseComparison();
    }

    Criteria::Node ParseComparison() {
        // A field name may begin with a digit ("2024売上"), which lexes as a number.
        if (current_.kind != TokenKind::Identifier && current_.kind != TokenKind::Number)
            ThrowBadCriteria(text_, "フィールド名がありません");
        Comparison cmp;
        cmp.field = current_.text;
        Advance();
        if (IsKeyword("LIKE")) {
            Advance();
            cmp.op = CompareOp::Like;
            if (current_.kind != TokenKind::String) ThrowBadCriteria(text_, "LIKE の値");
            cmp.operand = Variant(current_.text);
            Advance();
        } else if (IsKeyword("IS")) {
            Advance();
            cmp.op = CompareOp::IsNull;
            if (IsKeyword("NOT")) {
                cmp.op = CompareOp::IsNotNull;
                Advance();
            }
            if (!IsKeyword("NULL")) ThrowBadCriteria(text_, "IS の後に NULL がありません");
            Advance();
        } else if (current_.kind == TokenKind::Operator) {
            cmp.op = OperatorFrom(current_.text);
            Advance();
            cmp.operand = ParseValue();
            if (cmp.operand.IsNull()) {
                if (cmp.op != CompareOp::Equal && cmp.op != CompareOp::NotEqual)
                    ThrowBadCriteria(text_, "NULL との比較");
                cmp.op = cmp.op == CompareOp::Equal ? CompareOp::IsNull : CompareOp::IsNotNull;
                cmp.operand = Variant();
                // The filter editor writes a blank comparison as "=NULL ''".
                if (current_.kind == TokenKind::String && current_.text.empty()) Advance();
            }
        } else {
            ThrowBadCriteria(text_, "演算子がありません");
        }
        out_.comparisons_.push_back(std::move(cmp));
        Criteria::Node node;
        node.comparison = out_.comparisons_.size() - 1;
        return node;
    }

    CompareOp OperatorFrom(const std::string& op) const {
        if (op == "=") return CompareOp::Equal;
        if (op == "<>" || op == "!=") return CompareOp::NotEqual;
        if (op == "<") return CompareOp::Less;
        if (op == ">") return CompareOp::Greater;
        if (op == "<=") return CompareOp::LessEqual;
        if (op == ">=") return CompareOp::GreaterEqual;
        ThrowBadCriteria(text_, "演算子 " + op);
    }

    Variant ParseValue() {
        Variant value;
        switch (current_.kind) {
            case TokenKind::String: value = Variant(current_.text); break;
            case TokenKind::Date: {
                auto date = ParseDateText(current_.text);
                if (!date) ThrowBadCriteria(text_, "日付 #" + current_.text + "#");
                value = Variant(*date);
                break;
            }
            case TokenKind::Number: {
                auto text = std::string_view(current_.text);
                if (!text.empty() && text[0] == '+') text.remove_prefix(1);
                std::int64_t integer = 0;
                auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), integer);
                if (ec == std::errc{} && end == text.data() + text.size()) {
                    value = Variant(static_cast<long long>(integer));
                } else if (auto d = Decimal::TryFromText(text)) {
                    value = Variant(std::move(*d));
                } else if (auto n = ParseNumericText(text)) {  // "1,000" as typed in a dialog
                    value = Variant(*n);
                } else {
                    ThrowBadCriteria(text_, "数値 " + current_.text);
                }
                break;
            }
            case TokenKind::Identifier:
                if (IsKeyword("NULL")) {
                    value = Variant::Null();
                } else if (IsKeyword("TRUE")) {
                    value = Variant(true);
                } else if (IsKeyword("FALSE")) {
                    value = Variant(false);
                } else {
                    ThrowBadCriteria(text_, "値 " + current_.text);
                }
                break;
            default: ThrowBadCriteria(text_, "値がありません");
        }
        Advance();
        return value;
    }

    std::string_view text_;
    Lexer lexer_;
    Criteria& out_;
    Token current_;
};

Criteria Criteria::ParseFind(std::string_view text) {
    Criteria out;
    CriteriaParser parser(text, out);
    auto root = parser.ParseComparisonOnly();
    parser.ExpectEnd();
    out.root_ = std::make_shared<const Node>(std::move(root));
    return out;
}

Criteria Criteria::ParseFilter(std::string_view text) {
    Criteria out;
    CriteriaParser parser(text, out);
    auto root = parser.ParseExpression();
    parser.ExpectEnd();
    out.root_ = std::make_shared<const Node>(std::move(root));
    return out;
}

void Criteria::Bind(const std::vector<ColumnInfo>& columns) {
    for (auto& cmp : comparisons_) {
        bool found = false;
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (text::EqualsNoCase(columns[i].name, cmp.field)) {
                cmp.columnIndex = i;
                found = true;
                break;
            }
        }
        if (!found)
            ThrowAdoError(errors::kItemNotFound, kRecordsetSource,
                          "要求された名前、または序数に対応する項目がコレクションで見つかりません。: " +
                              cmp.field);
    }
}

bool EvaluateComparison(const Comparison& cmp, const Variant& value) {
    const bool isNull = value.IsNull() || value.IsEmpty();
    switch (cmp.op) {
        case CompareOp::IsNull: return isNull;
        case CompareOp::IsNotNull: return !isNull;
        case CompareOp::Like:
            if (value.IsNull()) return false;
            return MatchLike(ToDisplayText(value), ToDisplayText(cmp.operand));
        default: break;
    }
    const auto order = CompareForCriteria(value, cmp.operand);
    if (!order) return false;
    switch (cmp.op) {
        case CompareOp::Equal: return *order == 0;
        case CompareOp::NotEqual: return *order != 0;
        case CompareOp::Less: return *order < 0;
        case CompareOp::Greater: return *order > 0;
        case CompareOp::LessEqual: return *order <= 0;
        case CompareOp::GreaterEqual: return *order >= 0;
        default: return false;
    }
}

bool Criteria::Evaluate(const Node& node, const Variant* row) const {
    switch (node.kind) {
        case Node::Kind::Compare: {
            const auto& cmp = comparisons_[node.comparison];
            return EvaluateComparison(cmp, row[cmp.columnIndex]);
        }
        case Node::Kind::And:
            for (const auto& child : node.children)
                if (!Evaluate(child, row)) return false;
            return true;
        case Node::Kind::Or:
            for (const auto& child : node.children)
                if (Evaluate(child, row)) return true;
            return false;
    }
    return false;
}

bool Criteria::Matches(const Variant* row) const { return root_ && Evaluate(*root_, row); }

}  // namespace paperloom::host::ado
