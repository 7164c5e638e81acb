#pragma once
// The position index of a story: its units (top-level blocks, and the rows of top-level
// tables as units of their own) in story order, with their start positions and lengths.
//
// An edit replaces the units it touched and moves every later unit by the change in length.
// That move is kept as one pending shift from an index on, and settled only between that
// index and the next edit point, so that a run of edits moving through the story (filling a
// table row by row) costs what the edits touch, not what lies after them.

#include <cstddef>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include <pugixml.hpp>

namespace paperloom::word::detail {

class UnitIndex {
public:
    std::size_t Size() const { return units_.size(); }
    bool Empty() const { return units_.empty(); }
    pugi::xml_node Node(std::size_t i) const { return units_[i].node; }
    long Start(std::size_t i) const { return units_[i].start + (i >= shiftFrom_ ? shiftBy_ : 0); }
    long Length(std::size_t i) const { return units_[i].length; }
    long End(std::size_t i) const { return Start(i) + Length(i); }
    // The end of the last unit (0 when there is none).
    long EndOfAll() const { return units_.empty() ? 0 : End(units_.size() - 1); }
    std::optional<std::size_t> Find(pugi::xml_node node) const;
    // The first unit that ends after `pos` (Size() when none does).
    std::size_t FirstEndingAfter(long pos) const;

    void Append(pugi::xml_node node, long length);
    // Drops the units from `from` on.
    void Truncate(std::size_t from);
    // Replaces the units [first, last) by `units` laid end to end from `start`; the units from
    // `last` on move by the change in length. `last` must be an indexed unit.
    void Replace(std::size_t first, std::size_t last, long start,
                 const std::vector<std::pair<pugi::xml_node, long>>& units);
    void Clear();

private:
    struct Unit {
        pugi::xml_node node;
        long start = 0;  // stored; Start() adds the pending shift
        long length = 0;
    };
    // Settles the pending shift so that it starts at `to`.
    void MoveShift(std::size_t to);

    std::vector<Unit> units_;
    std::unordered_map<const void*, std::size_t> indexOf_;
    std::size_t shiftFrom_ = 0;
    long shiftBy_ = 0;
};

}  // namespace paperloom::word::detail
