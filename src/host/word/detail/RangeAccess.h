#pragma once
// The live span behind a range, field or table handle. Only the word layer's own code (and its
// white-box tests) reach the span: callers outside work through the handles' operations.

#include <memory>

#include "host/word/Range.h"

namespace paperloom::word {

class Field;
class Table;

namespace detail {

struct RangeAccess {
    static const std::shared_ptr<RangeData>& Of(const Range& range) { return range.Data(); }
    // Brought up to date first for a field found by its begin mark.
    static const std::shared_ptr<RangeData>& Of(const Field& field);
    // The table's own span, as its rows and cells hold it.
    static const std::shared_ptr<RangeData>& Of(const Table& table);
};

}  // namespace detail
}  // namespace paperloom::word
