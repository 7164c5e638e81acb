#include "host/word/fieldcalc/Formula.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <charconv>
#include <cmath>
#include <string_view>

#include "host/word/fieldcalc/FieldError.h"
#include "host/AsciiText.h"

namespace paperloom::word::fieldcalc {
namespace {

constexpr int kMaxDepth = 200;       // deeper nesting is refused instead of exhausting the stack
constexpr int kMaxHeight = 1000;     // operator chains are bounded for the same reason
constexpr int kMaxColumnLetters = 2; // tables have at most 63 columns ("bk")

struct Token {
    enum class Kind { Number, Name, Operator, LeftParen, RightParen, Separator, Colon, End };
    Kind kind = Kind::End;
    std::string text;
    double number = 0;
    bool blankBefore = false;
};

bool IsNameStart(unsigned char c) { return std::isalpha(c) || c == '_' || c >= 0x80; }
bool IsNameChar(unsigned char c) { return std::isalnum(c) || c == '_' || c >= 0x80; }

// U+3000, typed for a blank with Japanese input.
bool IsIdeographicSpace(std::string_view text, std::size_t i) { return text.substr(i, 3) == "\xE3\x80\x80"; }

std::vector<Token> Lex(std::string_view text) {
    std::vector<Token> tokens;
    std::size_t i = 0;
    bool blank = false;
    while (i < text.size()) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (std::isspace(c)) {
            blank = true;
            ++i;
            continue;
        }
        if (IsIdeographicSpace(text, i)) {
            blank = true;
            i += 3;
            continue;
        }
        Token token;
        token.blankBefore = blank;
        blank = false;
        const std::size_t start = i;
        if (std::isdigit(c) || (c == '.' && i + 1 < text.size() && std::isdigit(static_cast<unsigned char>(text[i + 1])))) {
            while (i < text.size() && (std::isdigit(static_cast<unsigned char>(text[i])) || text[i] == '.')) ++i;
            if (i < text.size() && (text[i] == 'e' || text[i] == 'E')) {
                std::size_t j = i + 1;
                if (j < text.size() && (text[j] == '+' || text[j] == '-')) ++j;
                if (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) {
                    while (j < text.size() && std::isdigit(static_cast<unsigned char>(text[j]))) ++j;
                    i = j;
                }
            }
            token.kind = Token::Kind::Number;
            token.text = std::string(text.substr(start, i - start));
            const auto [end, error] = std::from_chars(token.text.data(), token.text.data() + token.text.size(), token.number);
            if (error != std::errc() || end != token.text.data() + token.text.size())
                throw FieldError(FieldErrorKind::Syntax, token.text);
            // "12a" is neither a number nor a name.
            if (i < text.size() && IsNameStart(static_cast<unsigned char>(text[i])))
                throw FieldError(FieldErrorKind::Syntax, token.text);
        } else if (IsNameStart(c)) {
            while (i < text.size() && IsNameChar(static_cast<unsigned char>(text[i])) && !IsIdeographicSpace(text, i)) ++i;
            token.kind = Token::Kind::Name;
            token.text = std::string(text.substr(start, i - start));
        } else {
            ++i;
            switch (c) {
                case '(': token.kind = Token::Kind::LeftParen; break;
                case ')': token.kind = Token::Kind::RightParen; break;
                case ',': case ';': token.kind = Token::Kind::Separator; break;
                case ':': token.kind = Token::Kind::Colon; break;
                case '+': case '-': case '*': case '/': case '^': case '%': case '=':
                    token.kind = Token::Kind::Operator;
                    break;
                case '<':
                    token.kind = Token::Kind::Operator;
                    if (i < text.size() && (text[i] == '=' || text[i] == '>')) ++i;
                    break;
                case '>':
                    token.kind = Token::Kind::Operator;
                    if (i < text.size() && text[i] == '=') ++i;
                    break;
                default:
                    throw FieldError(FieldErrorKind::Syntax, std::string(text.substr(start, 1)));
            }
            token.text = std::string(text.substr(start, i - start));
        }
        tokens.push_back(std::move(token));
    }
    Token end;
    end.blankBefore = blank;
    tokens.push_back(end);
    return tokens;
}

bool IsFunctionName(const std::string& upper) {
    static constexpr std::array<std::string_view, 18> kFunctions{
        "ABS", "AND", "AVERAGE", "COUNT", "DEFINED", "FALSE", "IF", "INT", "MAX",
        "MIN", "MOD", "NOT", "OR", "PRODUCT", "ROUND", "SIGN", "SUM", "TRUE"};
    return std::find(kFunctions.begin(), kFunctions.end(), upper) != kFunctions.end();
}

bool IsDirection(const std::string& upper) {
    return upper == "ABOVE" || upper == "BELOW" || upper == "LEFT" || upper == "RIGHT";
}

// "A3" -> column 1, row 3; "c" -> column 3 without a row; "R2C3" -> row 2, column 3.
struct CellName {
    std::optional<int> row;
    std::optional<int> column;
};

std::optional<int> ParsePositive(std::string_view digits) {
    if (digits.empty() || digits.size() > 6) return std::nullopt;
    int value = 0;
    for (char c : digits) {
        if (!std::isdigit(static_cast<unsigned char>(c))) return std::nullopt;
        value = value * 10 + (c - '0');
    }
    return value;
}

std::optional<CellName> ParseCellName(const std::string& name) {
    std::size_t letters = 0;
    while (letters < name.size() && std::isalpha(static_cast<unsigned char>(name[letters]))) ++letters;
    if (letters == 0) return std::nullopt;
    if (letters <= static_cast<std::size_t>(kMaxColumnLetters)) {
        const int column = ColumnNumberFromLetters(name.substr(0, letters));
        if (letters == name.size()) return CellName{std::nullopt, column};
        if (const auto row = ParsePositive(std::string_view(name).substr(letters))) return CellName{row, column};
    }
    // R1C1 form.
    const std::string upper = text::ToUpper(name);
    if (upper.size() >= 4 && upper[0] == 'R') {
        const auto c = upper.find('C', 1);
        if (c != std::string::npos) {
            const auto row = ParsePositive(std::string_view(upper).substr(1, c - 1));
            const auto column = ParsePositive(std::string_view(upper).substr(c + 1));
            if (row && column && *row > 0 && *column > 0) return CellName{row, column};
        }
    }
    return std::nullopt;
}

class Parser {
public:
    explicit Parser(std::vector<Token> tokens) : tokens_(std::move(tokens)) {}

    FormulaNodePtr ParseAll() {
        if (Peek().kind == Token::Kind::End) throw FieldError(FieldErrorKind::Syntax);
        auto node = Comparison();
        if (Peek().kind != Token::Kind::End) throw FieldError(FieldErrorKind::Syntax, Peek().text);
        return node;
    }

private:
    const Token& Peek(std::size_t ahead = 0) const {
        return tokens_[std::min(position_ + ahead, tokens_.size() - 1)];
    }
    Token Next() {
        Token token = Peek();
        if (position_ < tokens_.size() - 1) ++position_;
        return token;
    }
    bool PeekOperator(std::initializer_list<std::string_view> ops) const {
        if (Peek().kind != Token::Kind::Operator) return false;
        return std::find(ops.begin(), ops.end(), Peek().text) != ops.end();
    }
    void Expect(Token::Kind kind) {
        if (Peek().kind != kind) throw FieldError(FieldErrorKind::Syntax, SyntaxDetail());
        Next();
    }
    std::string SyntaxDetail() const { return Peek().kind == Token::Kind::End ? std::string{} : Peek().text; }

    struct DepthGuard {
        explicit DepthGuard(int& depth) : depth_(depth) {
            if (++depth_ > kMaxDepth) throw FieldError(FieldErrorKind::Syntax);
        }
        ~DepthGuard() { --depth_; }
        DepthGuard(const DepthGuard&) = delete;
        DepthGuard& operator=(const DepthGuard&) = delete;
        int& depth_;
    };

    static FormulaNodePtr Finish(FormulaNodePtr node) {
        for (const auto& child : node->children) node->height = std::max(node->height, child->height + 1);
        if (node->height > kMaxHeight) throw FieldError(FieldErrorKind::Syntax);
        return node;
    }

    static FormulaNodePtr MakeBinary(std::string op, FormulaNodePtr left, FormulaNodePtr right) {
        auto node = std::make_unique<FormulaNode>();
        node->kind = FormulaNode::Kind::Binary;
        node->op = std::move(op);
        node->children.push_back(std::move(left));
        node->children.push_back(std::move(right));
        return Finish(std::move(node));
    }

    FormulaNodePtr Comparison() {
        auto left = Additive();
        while (PeekOperator({"=", "<", ">", "<=", ">=", "<>"})) {
            std::string op = Next().text;
            left = MakeBinary(std::move(op), std::move(left), Additive());
        }
        return left;
    }
    FormulaNodePtr Additive() {
        auto left = Multiplicative();
        while (PeekOperator({"+", "-"})) {
            std::string op = Next().text;
            left = MakeBinary(std::move(op), std::move(left), Multiplicative());
        }
        return left;
    }
    FormulaNodePtr Multiplicative() {
        auto left = Power();
        while (PeekOperator({"*", "/"})) {
            std::string op = Next().text;
            left = MakeBinary(std::move(op), std::move(left), Power());
        }
        return left;
    }
    FormulaNodePtr Power() {
        auto left = Unary();
        while (PeekOperator({"^"})) {
            Next();
            left = MakeBinary("^", std::move(left), Unary());
        }
        return left;
    }
    FormulaNodePtr Unary() {
        DepthGuard guard(depth_);
        if (PeekOperator({"-", "+"})) {
            const bool negate = Next().text == "-";
            auto operand = Unary();
            if (!negate) return operand;
            auto node = std::make_unique<FormulaNode>();
            node->kind = FormulaNode::Kind::Negate;
            node->children.push_back(std::move(operand));
            return Finish(std::move(node));
        }
        auto node = Primary();
        while (PeekOperator({"%"})) {
            Next();
            auto percent = std::make_unique<FormulaNode>();
            percent->kind = FormulaNode::Kind::Percent;
            percent->children.push_back(std::move(node));
            node = Finish(std::move(percent));
        }
        return node;
    }

    FormulaNodePtr Primary() {
        const Token& token = Peek();
        switch (token.kind) {
            case Token::Kind::Number: return NumberOrRows();
            case Token::Kind::LeftParen: {
                Next();
                auto inner = Comparison();
                Expect(Token::Kind::RightParen);
                return inner;
            }
            case Token::Kind::Name: return NameBased();
            default: throw FieldError(FieldErrorKind::Syntax, SyntaxDetail());
        }
    }

    // "3" or the whole-row range "2:4".
    FormulaNodePtr NumberOrRows() {
        const Token number = Next();
        auto node = std::make_unique<FormulaNode>();
        if (Peek().kind == Token::Kind::Colon && Peek(1).kind == Token::Kind::Number) {
            Next();
            const Token last = Next();
            const auto first = ParsePositive(number.text);
            const auto second = ParsePositive(last.text);
            if (!first || !second || *first == 0 || *second == 0) throw FieldError(FieldErrorKind::Syntax, number.text);
            node->kind = FormulaNode::Kind::Cells;
            node->range.firstRow = std::min(*first, *second);
            node->range.lastRow = std::max(*first, *second);
            return node;
        }
        node->kind = FormulaNode::Kind::Number;
        node->number = number.number;
        return node;
    }

    // Is the upcoming token the start of a cell range ("c", "c2", "c:c", "2:3")?
    bool AtRangeStart() const {
        const Token& token = Peek();
        if (token.kind == Token::Kind::Number) return Peek(1).kind == Token::Kind::Colon;
        if (token.kind != Token::Kind::Name) return false;
        const auto cell = ParseCellName(token.text);
        if (!cell) return false;
        return cell->row.has_value() || Peek(1).kind == Token::Kind::Colon;
    }

    CellRangeSpec RangeSpec() {
        if (Peek().kind == Token::Kind::Number) return NumberOrRows()->range;
        const Token first = Next();
        const auto start = ParseCellName(first.text);
        if (!start) throw FieldError(FieldErrorKind::Syntax, first.text);
        CellRangeSpec spec;
        if (Peek().kind != Token::Kind::Colon) {
            if (!start->row) throw FieldError(FieldErrorKind::Syntax, first.text);
            if (*start->row == 0) throw FieldError(FieldErrorKind::Syntax, first.text);
            spec.firstRow = spec.lastRow = start->row;
            spec.firstColumn = spec.lastColumn = start->column;
            spec.singleCell = true;
            return spec;
        }
        Next();
        const Token second = Next();
        const auto end = second.kind == Token::Kind::Name ? ParseCellName(second.text) : std::nullopt;
        if (!end || start->row.has_value() != end->row.has_value() || start->row == 0 || end->row == 0)
            throw FieldError(FieldErrorKind::Syntax, second.text);
        spec.firstColumn = std::min(*start->column, *end->column);
        spec.lastColumn = std::max(*start->column, *end->column);
        if (start->row) {
            spec.firstRow = std::min(*start->row, *end->row);
            spec.lastRow = std::max(*start->row, *end->row);
        }
        return spec;
    }

    FormulaNodePtr NameBased() {
        const Token name = Peek();
        const std::string upper = text::ToUpper(name.text);
        auto node = std::make_unique<FormulaNode>();

        if (IsFunctionName(upper)) {
            Next();
            node->kind = FormulaNode::Kind::Call;
            node->name = upper;
            if (Peek().kind != Token::Kind::LeftParen) {
                if (upper == "TRUE" || upper == "FALSE") return node;
                throw FieldError(FieldErrorKind::Syntax, SyntaxDetail());
            }
            Next();
            if (Peek().kind != Token::Kind::RightParen) {
                node->children.push_back(Argument());
                while (Peek().kind == Token::Kind::Separator) {
                    Next();
                    node->children.push_back(Argument());
                }
            }
            Expect(Token::Kind::RightParen);
            return Finish(std::move(node));
        }
        if (IsDirection(upper)) {
            Next();
            node->kind = FormulaNode::Kind::Direction;
            node->name = upper;
            return node;
        }
        if (const auto cell = ParseCellName(name.text)) {
            if (Peek(1).kind == Token::Kind::Colon) {
                node->kind = FormulaNode::Kind::Cells;
                node->range = RangeSpec();
                return node;
            }
            if (cell->row) {
                Next();
                if (*cell->row == 0) throw FieldError(FieldErrorKind::Syntax, name.text);
                node->kind = FormulaNode::Kind::CellOrBookmark;
                node->name = name.text;
                node->range.firstRow = node->range.lastRow = cell->row;
                node->range.firstColumn = node->range.lastColumn = cell->column;
                node->range.singleCell = true;
                return node;
            }
        }
        Next();
        if (Peek().kind == Token::Kind::LeftParen) throw FieldError(FieldErrorKind::Syntax, name.text);
        node->name = name.text;
        if (AtRangeStart()) {
            node->kind = FormulaNode::Kind::BookmarkCells;
            node->range = RangeSpec();
            return node;
        }
        node->kind = FormulaNode::Kind::Bookmark;
        return node;
    }

    FormulaNodePtr Argument() { return Comparison(); }

    std::vector<Token> tokens_;
    std::size_t position_ = 0;
    int depth_ = 0;
};

}  // namespace

int ColumnNumberFromLetters(const std::string& letters) {
    if (letters.empty() || letters.size() > 4) return 0;
    int column = 0;
    for (char c : letters) {
        const int lower = std::tolower(static_cast<unsigned char>(c));
        if (lower < 'a' || lower > 'z') return 0;
        column = column * 26 + (lower - 'a' + 1);
    }
    return column;
}

FormulaNodePtr ParseFormula(const std::string& text) {
    return Parser(Lex(text)).ParseAll();
}

}  // namespace paperloom::word::fieldcalc
