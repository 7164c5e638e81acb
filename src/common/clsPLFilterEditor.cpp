#include "common/clsPLFilterEditor.h"

#include "common/Utf8Text.h"
#include "host/AsciiText.h"
#include "common/ValueText.h"

#include <algorithm>

namespace paperloom {
namespace {

constexpr std::array<std::string_view, 9> kComparisonOperators = {"=", "<>", "<", ">", "<=", ">=",
                                                                 "=NULL", "<>NULL", "Like"};
constexpr int kBlankComparison = 6;
constexpr int kNotBlankComparison = 7;

template <std::size_t N>
int IndexOf(const std::array<std::string_view, N>& list, std::string_view text) {
    const auto it = std::find(list.begin(), list.end(), text);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

template <std::size_t N>
std::string TextAt(const std::array<std::string_view, N>& list, int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= N) {
        return {};
    }
    return std::string(list[static_cast<std::size_t>(index)]);
}

// Single quotes inside a text value are doubled, so the statement stays well formed.
std::string QuoteText(std::string_view value) {
    std::string quoted = "'";
    for (const char c : value) {
        quoted.push_back(c);
        if (c == '\'') {
            quoted.push_back('\'');
        }
    }
    quoted.push_back('\'');
    return quoted;
}

std::string FilterValueText(std::string_view value) {
    if (valuetext::ReadsAsDate(value)) {
        return "#" + std::string(value) + "#";
    }
    if (valuetext::ReadsAsNumber(value)) {
        return std::string(value);
    }
    return QuoteText(value);
}

std::string ValueFromToken(std::string_view token) {
    if (valuetext::ReadsAsNumber(token)) {
        return std::string(token);
    }
    const bool quotedText = token.size() >= 2 && token.front() == '\'' && token.back() == '\'';
    std::string value = utf8::WithoutFirstAndLast(token);
    if (quotedText) {
        std::string single;
        for (std::size_t i = 0; i < value.size(); ++i) {
            single.push_back(value[i]);
            if (value[i] == '\'' && i + 1 < value.size() && value[i + 1] == '\'') {
                ++i;
            }
        }
        value = std::move(single);
    }
    return value;
}

// Filter text is split at blanks outside quoted values like the shared tokenizer does, but a
// quoted value ends only at the quote that opened it: a text value may hold the other quote
// character ('5"'), and it must not swallow the conditions behind it.
std::vector<std::string> ConditionTokens(std::string_view text) {
    std::vector<std::string> tokens;
    std::string current;
    char openQuote = 0;
    for (const std::string_view piece : utf8::Characters(text)) {
        const char c = piece.size() == 1 ? piece[0] : 0;
        if (openQuote == 0 && (c == ' ' || c == '\t' || c == '\r' || c == '\n')) {
            if (!current.empty()) {
                tokens.push_back(std::move(current));
                current.clear();
            }
            continue;
        }
        current.append(piece);
        if (openQuote == 0 && (c == '\'' || c == '"')) {
            openQuote = c;
        } else if (c == openQuote) {
            openQuote = 0;
        }
    }
    if (!current.empty()) {
        tokens.push_back(std::move(current));
    }
    return tokens;
}

std::size_t CountOf(std::string_view text, char c) {
    return static_cast<std::size_t>(std::count(text.begin(), text.end(), c));
}

}  // namespace

const std::array<std::string_view, 5>& clsPLFilterEditor::OpenParentheses() {
    static constexpr std::array<std::string_view, 5> list = {"", "(", "((", "(((", "(((("};
    return list;
}

const std::array<std::string_view, 5>& clsPLFilterEditor::CloseParentheses() {
    static constexpr std::array<std::string_view, 5> list = {"", ")", "))", ")))", "))))"};
    return list;
}

const std::array<std::string_view, 9>& clsPLFilterEditor::ComparisonCaptions() {
    static constexpr std::array<std::string_view, 9> list = {
        "=", "等しくない", "<", ">", "<=", ">=", "空白である", "空白でない", "Like"};
    return list;
}

void clsPLFilterEditor::SetConditionToList(std::size_t lngRow) {
    FilterCondition& row = rows_.at(lngRow);
    if (lngRow > 0) {
        row.strLogicalOperator = controls_.blnOr ? "Or" : "And";
    }
    row.strOpenParenthesis = TextAt(OpenParentheses(), controls_.intOpenParenthesisIndex);
    row.strDataField = controls_.strDataField;
    row.strComparisonCaption = TextAt(ComparisonCaptions(), controls_.intComparisonIndex);
    row.strValue = controls_.strValue;
    row.strCloseParenthesis = TextAt(CloseParentheses(), controls_.intCloseParenthesisIndex);
}

void clsPLFilterEditor::SetConditionToControls(std::size_t lngRow) {
    const FilterCondition& row = rows_.at(lngRow);
    controls_.blnOr = lngRow > 0 && row.strLogicalOperator == "Or";
    controls_.intOpenParenthesisIndex = IndexOf(OpenParentheses(), row.strOpenParenthesis);
    controls_.strDataField = row.strDataField;
    controls_.intComparisonIndex = IndexOf(ComparisonCaptions(), row.strComparisonCaption);
    controls_.strValue = row.strValue;
    controls_.intCloseParenthesisIndex = IndexOf(CloseParentheses(), row.strCloseParenthesis);
    cboComparisonOperator_Click(controls_.intComparisonIndex);
}

std::string clsPLFilterEditor::GetFilter() const {
    std::string filter;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const FilterCondition& row = rows_[i];
        if (i > 0) {
            filter += " " + row.strLogicalOperator;
        }
        filter += " " + row.strOpenParenthesis;
        filter += " " + row.strDataField;
        filter += " " + CompCapToCompOp(row.strComparisonCaption);
        filter += " " + FilterValueText(row.strValue);
        filter += " " + row.strCloseParenthesis;
    }
    return filter;
}

void clsPLFilterEditor::SetFilter(std::string_view strFilter) {
    const std::vector<std::string> tokens = ConditionTokens(strFilter);
    if (tokens.empty()) {
        return;
    }
    enum class Expect { Field, Operator, Value };
    rows_.clear();
    std::size_t row = AddConditionToList();
    Expect state = Expect::Field;
    for (std::size_t t = 0; t < tokens.size(); ++t) {
        std::string token = tokens[t];
        // SQL keywords have no case: a hand-typed "AND" joins two conditions as "And" does,
        // instead of running them together into one row that OK would write back.
        if (text::EqualsNoCase(token, "Or") || text::EqualsNoCase(token, "And")) {
            row = AddConditionToList();
            rows_[row].strLogicalOperator = text::EqualsNoCase(token, "Or") ? "Or" : "And";
            state = Expect::Field;
        } else if (token.front() == '(') {
            rows_[row].strOpenParenthesis = token;
        } else if (state == Expect::Field) {
            rows_[row].strDataField = token;
            state = Expect::Operator;
        } else if (state == Expect::Operator) {
            rows_[row].strComparisonCaption = CompOpToCompCap(token);
            state = Expect::Value;
        } else if (token.front() == ')') {
            rows_[row].strCloseParenthesis = token;
            state = Expect::Field;
        } else {
            // A date with a time ("#2000/1/2 10:30#") was split at its blank: join it again.
            while (token.size() > 1 && token.front() == '#' && token.back() != '#' && t + 1 < tokens.size()) {
                token += " " + tokens[++t];
            }
            rows_[row].strValue = ValueFromToken(token);
        }
    }
    SelectOnly(0);
    SetConditionToControls(0);
}

std::string clsPLFilterEditor::CompCapToCompOp(std::string_view strCompCap) {
    return TextAt(kComparisonOperators, IndexOf(ComparisonCaptions(), strCompCap));
}

std::string clsPLFilterEditor::CompOpToCompCap(std::string_view strCompOp) {
    return TextAt(ComparisonCaptions(), IndexOf(kComparisonOperators, strCompOp));
}

bool clsPLFilterEditor::CheckParenthesis() const {
    std::size_t open = 0;
    std::size_t close = 0;
    for (const FilterCondition& row : rows_) {
        open += CountOf(row.strOpenParenthesis, '(');
        close += CountOf(row.strCloseParenthesis, ')');
    }
    return open == close;
}

void clsPLFilterEditor::cboComparisonOperator_Click(int intListIndex) {
    controls_.intComparisonIndex = intListIndex;
    const bool blank = intListIndex == kBlankComparison || intListIndex == kNotBlankComparison;
    controls_.blnValueEnabled = !blank;
    if (blank) {
        controls_.strValue.clear();
    }
}

std::optional<modPLConst::PLMessage> clsPLFilterEditor::cmdOK_Click() {
    if (!CheckParenthesis()) {
        return modPLConst::PLMessage{modPLConst::MSG_PARENTHESIS_MISMATCH, modPLConst::PLMessageIcon::Critical};
    }
    result_ = true;
    return std::nullopt;
}

void clsPLFilterEditor::RowsRemoved() {
    if (!rows_.empty()) {
        rows_.front().strLogicalOperator.clear();
    }
}

}  // namespace paperloom
