#pragma once
// A keyed collection of texts in insertion order: the working data the detail fill keeps per
// table between calls (break-row numbers, rows used), keyed by the table's bookmark name.
// Keys compare exactly, as bookmark names are stored.

#include <cstddef>
#include <list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

namespace paperloom::run {

class KeyedTextCollection {
public:
    KeyedTextCollection() = default;
    KeyedTextCollection(const KeyedTextCollection&) = delete;
    KeyedTextCollection& operator=(const KeyedTextCollection&) = delete;

    bool Exists(std::string_view key) const;
    // Throws HostError 457 when the key is already present, so an entry is never silently lost.
    void Add(std::string_view key, std::string_view value);
    // Throws HostError 32811 when the key is absent.
    void Remove(std::string_view key);
    // Throws HostError 32811 when the key is absent.
    const std::string& Item(std::string_view key) const;
    // Replaces the entry's value, or adds the entry at the end.
    void SetItem(std::string_view key, std::string_view value);
    long Count() const noexcept { return static_cast<long>(entries_.size()); }
    void RemoveAll() noexcept;
    // Keys in insertion order.
    std::vector<std::string> Keys() const;

private:
    using Entries = std::list<std::pair<std::string, std::string>>;
    Entries entries_;
    std::unordered_map<std::string, Entries::iterator> index_;
};

}  // namespace paperloom::run
