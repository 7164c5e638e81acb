#pragma once
// Values remembered per XML node, for the story's measurements.
//
// A node is known here by its address, and the XML library reuses the storage of nodes that
// leave the tree for new ones. So every entry carries the generation it was stored in, and
// NewGeneration(), called whenever nodes may have left the tree, turns every earlier entry
// into a miss at once instead of walking the map.

#include <cstdint>
#include <unordered_map>
#include <utility>

#include <pugixml.hpp>

namespace paperloom::word::detail {

template <typename Value>
class NodeCache {
public:
    // The value stored for `node` in this generation, or null.
    Value* Find(pugi::xml_node node) {
        const auto it = entries_.find(node.internal_object());
        return it != entries_.end() && it->second.generation == generation_ ? &it->second.value : nullptr;
    }

    // The value for `node`, value-initialised when there is none in this generation.
    Value& Slot(pugi::xml_node node) {
        Entry& entry = entries_[node.internal_object()];
        if (entry.generation != generation_) entry = Entry{generation_, Value{}};
        return entry.value;
    }

    void Store(pugi::xml_node node, Value value) { Slot(node) = std::move(value); }
    void Forget(pugi::xml_node node) { entries_.erase(node.internal_object()); }

    void Clear() { entries_.clear(); }

    void NewGeneration() {
        ++generation_;
        // Entries of earlier generations only cost memory; drop them once they could outweigh
        // what a story keeps anyway.
        if (entries_.size() > kCompactAbove) entries_.clear();
    }

private:
    static constexpr std::size_t kCompactAbove = 1 << 16;
    struct Entry {
        std::uint64_t generation = 0;
        Value value{};
    };
    std::unordered_map<const void*, Entry> entries_;
    std::uint64_t generation_ = 1;  // entries made by the map itself (generation 0) never match
};

}  // namespace paperloom::word::detail
