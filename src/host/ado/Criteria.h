#pragma once
// Find criteria ("Name LIKE 'A*'") and filter texts ("(Qty > 0 OR Qty = NULL) AND Shop = 'A'")
// parsed into a condition tree and evaluated against fetched rows.

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/ado/Provider.h"
#include "host/ado/Variant.h"

namespace paperloom::host::ado {

enum class CompareOp { Equal, NotEqual, Less, Greater, LessEqual, GreaterEqual, Like, IsNull, IsNotNull };

struct Comparison {
    std::string field;
    CompareOp op = CompareOp::Equal;
    Variant operand;               // Empty for IsNull / IsNotNull
    std::size_t columnIndex = 0;   // set by Bind
};

class Criteria {
public:
    // One comparison, as Find takes it. Throws HostError 3001 when the text does not parse.
    static Criteria ParseFind(std::string_view text);
    // Comparisons joined by AND / OR with parentheses. Throws HostError 3001 on bad text.
    static Criteria ParseFilter(std::string_view text);

    // Resolves field names to column positions; throws HostError 3265 for an unknown field.
    void Bind(const std::vector<ColumnInfo>& columns);

    // Row of ColumnCount() cells; Bind must have been called with the row's columns.
    bool Matches(const Variant* row) const;

    const std::vector<Comparison>& Comparisons() const noexcept { return comparisons_; }

    struct Node {
        enum class Kind { Compare, And, Or } kind = Kind::Compare;
        std::size_t comparison = 0;  // index in comparisons_ for Compare
        std::vector<Node> children;  // operands of And / Or, flat so long chains stay shallow
    };

private:
    friend class CriteriaParser;
    bool Evaluate(const Node& node, const Variant* row) const;

    std::vector<Comparison> comparisons_;
    std::shared_ptr<const Node> root_;  // shared so that copies of a parsed criterion are cheap
};

bool EvaluateComparison(const Comparison& comparison, const Variant& value);

}  // namespace paperloom::host::ado
