#include "host/word/fieldcalc/FormulaEvaluator.h"

#include <algorithm>
#include <cmath>
#include <optional>
#include <vector>

#include "host/word/fieldcalc/CellNumber.h"
#include "host/word/fieldcalc/DecimalNumber.h"
#include "host/word/fieldcalc/FieldError.h"

namespace paperloom::word::fieldcalc {
namespace {

// The cells a reference covers: the numbers among them and how many cells there were.
struct CellValues {
    std::vector<double> numbers;
    std::size_t cellCount = 0;
    bool isReference = false;
};

double RoundHalfAwayFromZero(double value, double places) {
    if (!std::isfinite(value) || !std::isfinite(places)) return value;
    const int digits = static_cast<int>(std::clamp(std::trunc(places), -300.0, 300.0));
    if (digits < 0) {
        const double scale = std::pow(10.0, -digits);
        return RoundHalfAwayFromZero(value / scale, 0) * scale;
    }
    const RoundedDecimal rounded = RoundToDecimals(value, digits);
    std::string text = rounded.negative ? "-" : "";
    text += rounded.integer.empty() ? "0" : rounded.integer;
    if (!rounded.fraction.empty()) text += "." + rounded.fraction;
    return std::stod(text);
}

class Evaluation {
public:
    explicit Evaluation(const FormulaContext& context) : context_(context) {}

    double Scalar(const FormulaNode& node) const {
        switch (node.kind) {
            case FormulaNode::Kind::Number: return node.number;
            case FormulaNode::Kind::Negate: return -Scalar(*node.children[0]);
            case FormulaNode::Kind::Percent: return Scalar(*node.children[0]) / 100.0;
            case FormulaNode::Kind::Binary: return Binary(node);
            case FormulaNode::Kind::Call: return Call(node);
            case FormulaNode::Kind::Bookmark: return BookmarkNumber(node.name);
            case FormulaNode::Kind::Cells:
            case FormulaNode::Kind::BookmarkCells:
            case FormulaNode::Kind::CellOrBookmark:
            case FormulaNode::Kind::Direction: {
                if (node.kind == FormulaNode::Kind::CellOrBookmark && context_.EnclosingTable() == nullptr)
                    return BookmarkNumber(node.name);
                const CellValues values = Values(node);
                if (values.cellCount != 1) throw FieldError(FieldErrorKind::Syntax, node.name);
                // A single empty or text cell counts as zero in arithmetic.
                return values.numbers.empty() ? 0.0 : values.numbers.front();
            }
        }
        throw FieldError(FieldErrorKind::Syntax);
    }

private:
    double Binary(const FormulaNode& node) const {
        const double left = Scalar(*node.children[0]);
        const double right = Scalar(*node.children[1]);
        const std::string& op = node.op;
        if (op == "+") return left + right;
        if (op == "-") return left - right;
        if (op == "*") return left * right;
        if (op == "/") {
            if (right == 0) throw FieldError(FieldErrorKind::ZeroDivide);
            return left / right;
        }
        if (op == "^") return std::pow(left, right);
        if (op == "=") return left == right ? 1 : 0;
        if (op == "<>") return left != right ? 1 : 0;
        if (op == "<") return left < right ? 1 : 0;
        if (op == "<=") return left <= right ? 1 : 0;
        if (op == ">") return left > right ? 1 : 0;
        if (op == ">=") return left >= right ? 1 : 0;
        throw FieldError(FieldErrorKind::Syntax, op);
    }

    // Numbers of all arguments of a list function; references contribute their numeric cells.
    std::vector<double> ListArguments(const FormulaNode& call) const {
        std::vector<double> numbers;
        for (const auto& argument : call.children) {
            if (IsReference(*argument)) {
                const CellValues values = Values(*argument);
                numbers.insert(numbers.end(), values.numbers.begin(), values.numbers.end());
            } else {
                numbers.push_back(Scalar(*argument));
            }
        }
        return numbers;
    }

    bool IsReference(const FormulaNode& node) const {
        switch (node.kind) {
            case FormulaNode::Kind::Cells:
            case FormulaNode::Kind::BookmarkCells:
            case FormulaNode::Kind::Direction: return true;
            case FormulaNode::Kind::CellOrBookmark: return context_.EnclosingTable() != nullptr;
            default: return false;
        }
    }

    void RequireArguments(const FormulaNode& call, std::size_t minimum, std::size_t maximum) const {
        if (call.children.size() < minimum || call.children.size() > maximum)
            throw FieldError(FieldErrorKind::Syntax, call.name);
    }

    double Call(const FormulaNode& call) const {
        const std::string& name = call.name;
        const auto arg = [&](std::size_t i) { return Scalar(*call.children[i]); };
        if (name == "TRUE") { RequireArguments(call, 0, 0); return 1; }
        if (name == "FALSE") { RequireArguments(call, 0, 0); return 0; }
        if (name == "ABS") { RequireArguments(call, 1, 1); return std::fabs(arg(0)); }
        if (name == "INT") { RequireArguments(call, 1, 1); return std::trunc(arg(0)); }
        if (name == "SIGN") {
            RequireArguments(call, 1, 1);
            const double v = arg(0);
            return v > 0 ? 1 : (v < 0 ? -1 : 0);
        }
        if (name == "NOT") { RequireArguments(call, 1, 1); return arg(0) == 0 ? 1 : 0; }
        if (name == "MOD") {
            RequireArguments(call, 2, 2);
            const double divisor = arg(1);
            if (divisor == 0) throw FieldError(FieldErrorKind::ZeroDivide);
            return std::fmod(arg(0), divisor);
        }
        if (name == "ROUND") { RequireArguments(call, 2, 2); return RoundHalfAwayFromZero(arg(0), arg(1)); }
        if (name == "IF") {
            RequireArguments(call, 3, 3);
            return arg(0) != 0 ? arg(1) : arg(2);
        }
        if (name == "AND" || name == "OR") {
            RequireArguments(call, 1, 255);
            const std::vector<double> values = ListArguments(call);
            if (name == "AND") return std::all_of(values.begin(), values.end(), [](double v) { return v != 0; }) ? 1 : 0;
            return std::any_of(values.begin(), values.end(), [](double v) { return v != 0; }) ? 1 : 0;
        }
        if (name == "DEFINED") {
            RequireArguments(call, 1, 1);
            try {
                const FormulaNode& argument = *call.children[0];
                if (IsReference(argument)) Values(argument);
                else (void)Scalar(argument);
                return 1;
            } catch (const FieldError&) {
                return 0;
            }
        }
        RequireArguments(call, 1, 255);
        const std::vector<double> values = ListArguments(call);
        if (name == "SUM") {
            double sum = 0;
            for (double v : values) sum += v;
            return sum;
        }
        if (name == "COUNT") return static_cast<double>(values.size());
        if (name == "AVERAGE") {
            if (values.empty()) throw FieldError(FieldErrorKind::ZeroDivide);
            double sum = 0;
            for (double v : values) sum += v;
            return sum / static_cast<double>(values.size());
        }
        if (name == "PRODUCT") {
            if (values.empty()) return 0;
            double product = 1;
            for (double v : values) product *= v;
            return product;
        }
        if (name == "MAX") return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
        if (name == "MIN") return values.empty() ? 0 : *std::min_element(values.begin(), values.end());
        throw FieldError(FieldErrorKind::Syntax, name);
    }

    double BookmarkNumber(const std::string& name) const {
        const auto text = context_.BookmarkText(name);
        if (!text) throw FieldError(FieldErrorKind::UndefinedBookmark, name);
        if (text->find_first_not_of(" \t\r\n\a") == std::string::npos) return 0;
        const auto number = ParseCellNumber(*text);
        if (!number) throw FieldError(FieldErrorKind::NotANumber, name);
        return *number;
    }

    const TableCells& OwnTable() const {
        const TableCells* table = context_.EnclosingTable();
        if (table == nullptr) throw FieldError(FieldErrorKind::NotInTable);
        return *table;
    }

    CellValues Values(const FormulaNode& node) const {
        switch (node.kind) {
            case FormulaNode::Kind::Cells:
            case FormulaNode::Kind::CellOrBookmark: return Collect(OwnTable(), node.range, node.name);
            case FormulaNode::Kind::BookmarkCells: {
                const TableCells* table = context_.BookmarkedTable(node.name);
                if (table == nullptr) throw FieldError(FieldErrorKind::UndefinedBookmark, node.name);
                return Collect(*table, node.range, node.name);
            }
            case FormulaNode::Kind::Direction: return Direction(node.name);
            default: throw FieldError(FieldErrorKind::Syntax);
        }
    }

    static void AddCell(const TableCells& table, int row, int column, CellValues& values) {
        ++values.cellCount;
        if (const auto number = ParseCellNumber(table.CellText(row, column))) values.numbers.push_back(*number);
    }

    static CellValues Collect(const TableCells& table, const CellRangeSpec& range, const std::string& name) {
        CellValues values;
        values.isReference = true;
        const int rows = table.RowCount();
        if (range.singleCell) {
            const int row = *range.firstRow;
            const int column = *range.firstColumn;
            if (row < 1 || column < 1 || row > rows || column > table.ColumnCount(row)) throw FieldError(FieldErrorKind::CellOutOfRange, name);
            AddCell(table, row, column, values);
            return values;
        }
        const int firstRow = std::max(1, range.firstRow.value_or(1));
        const int lastRow = std::min(range.lastRow.value_or(rows), rows);
        for (int row = firstRow; row <= lastRow; ++row) {
            const int columns = table.ColumnCount(row);
            const int firstColumn = std::max(1, range.firstColumn.value_or(1));
            const int lastColumn = std::min(range.lastColumn.value_or(columns), columns);
            for (int column = firstColumn; column <= lastColumn; ++column) AddCell(table, row, column, values);
        }
        return values;
    }

    CellValues Direction(const std::string& direction) const {
        const TableCells& table = OwnTable();
        const auto own = context_.OwnCell();
        if (!own) throw FieldError(FieldErrorKind::NotInTable);
        CellValues values;
        values.isReference = true;
        if (direction == "ABOVE" || direction == "BELOW") {
            const int first = direction == "ABOVE" ? 1 : own->row + 1;
            const int last = direction == "ABOVE" ? own->row - 1 : table.RowCount();
            for (int row = first; row <= last; ++row)
                if (own->column <= table.ColumnCount(row)) AddCell(table, row, own->column, values);
        } else if (own->row <= table.RowCount()) {
            const int first = direction == "LEFT" ? 1 : own->column + 1;
            const int last = direction == "LEFT" ? own->column - 1 : table.ColumnCount(own->row);
            for (int column = first; column <= last; ++column) AddCell(table, own->row, column, values);
        }
        return values;
    }

    const FormulaContext& context_;
};

}  // namespace

double FormulaEvaluator::Evaluate(const FormulaNode& formula) const {
    const double result = Evaluation(context_).Scalar(formula);
    if (!std::isfinite(result)) throw FieldError(FieldErrorKind::Overflow);
    return result == 0 ? 0.0 : result;  // no "-0"
}

double EvaluateFormula(const std::string& formula, const FormulaContext& context) {
    const FormulaNodePtr parsed = ParseFormula(formula);
    return FormulaEvaluator(context).Evaluate(*parsed);
}

}  // namespace paperloom::word::fieldcalc
