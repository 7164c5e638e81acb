#include "host/word/detail/UnitIndex.h"

#include <algorithm>
#include <cassert>

namespace paperloom::word::detail {

std::optional<std::size_t> UnitIndex::Find(pugi::xml_node node) const {
    const auto it = indexOf_.find(node.internal_object());
    if (it == indexOf_.end()) return std::nullopt;
    return it->second;
}

std::size_t UnitIndex::FirstEndingAfter(long pos) const {
    std::size_t low = 0;
    std::size_t high = units_.size();
    while (low < high) {
        const std::size_t mid = low + (high - low) / 2;
        if (End(mid) > pos) high = mid;
        else low = mid + 1;
    }
    return low;
}

void UnitIndex::Append(pugi::xml_node node, long length) {
    const std::size_t i = units_.size();
    const long start = EndOfAll();
    indexOf_[node.internal_object()] = i;
    units_.push_back({node, start - (i >= shiftFrom_ ? shiftBy_ : 0), length});
}

void UnitIndex::Truncate(std::size_t from) {
    if (from >= units_.size()) return;
    for (std::size_t i = from; i < units_.size(); ++i) indexOf_.erase(units_[i].node.internal_object());
    units_.resize(from);
    if (shiftFrom_ >= units_.size()) {
        shiftFrom_ = units_.size();
        shiftBy_ = 0;
    }
}

void UnitIndex::MoveShift(std::size_t to) {
    if (shiftBy_ == 0) {
        shiftFrom_ = to;
        return;
    }
    const std::size_t size = units_.size();
    if (to > shiftFrom_) {
        for (std::size_t i = shiftFrom_; i < std::min(to, size); ++i) units_[i].start += shiftBy_;
    } else {
        for (std::size_t i = to; i < std::min(shiftFrom_, size); ++i) units_[i].start -= shiftBy_;
    }
    shiftFrom_ = to;
}

void UnitIndex::Replace(std::size_t first, std::size_t last, long start,
                        const std::vector<std::pair<pugi::xml_node, long>>& units) {
    // The units after the edit are moved from `last`, so it must be one; the new units start
    // where the unit before them ends.
    assert(first <= last && last < Size());
    assert(start == (first == 0 ? 0 : End(first - 1)));
    long added = 0;
    for (const auto& unit : units) added += unit.second;
    const long removed = Start(last) - start;
    MoveShift(last);
    shiftBy_ += added - removed;

    // Units measured again in place (a text edit inside them) keep their entries in the map.
    bool same = units.size() == last - first;
    for (std::size_t i = 0; same && i < units.size(); ++i) same = units[i].first == units_[first + i].node;
    if (!same)
        for (std::size_t i = first; i < last; ++i) indexOf_.erase(units_[i].node.internal_object());
    std::vector<Unit> fresh;
    fresh.reserve(units.size());
    long pos = start;
    for (const auto& [node, length] : units) {
        fresh.push_back({node, pos, length});  // before the shift: stored as they are
        pos += length;
    }
    // Units are overwritten in place; only a change in their number moves the ones after.
    const std::size_t kept = std::min(fresh.size(), last - first);
    std::copy_n(fresh.begin(), kept, units_.begin() + static_cast<std::ptrdiff_t>(first));
    const auto end = units_.begin() + static_cast<std::ptrdiff_t>(first + kept);
    if (fresh.size() > kept) units_.insert(end, fresh.begin() + static_cast<std::ptrdiff_t>(kept), fresh.end());
    else units_.erase(end, units_.begin() + static_cast<std::ptrdiff_t>(last));
    const bool moved = fresh.size() != last - first;
    shiftFrom_ = first + fresh.size();
    if (!same)
        for (std::size_t i = first; i < shiftFrom_; ++i) indexOf_[units_[i].node.internal_object()] = i;
    if (moved)
        for (std::size_t i = shiftFrom_; i < units_.size(); ++i) indexOf_[units_[i].node.internal_object()] = i;
}

void UnitIndex::Clear() {
    units_.clear();
    indexOf_.clear();
    shiftFrom_ = 0;
    shiftBy_ = 0;
}

}  // namespace paperloom::word::detail
