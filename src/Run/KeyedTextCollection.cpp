#include "Run/KeyedTextCollection.h"

#include "host/HostError.h"

namespace paperloom::run {

namespace {

constexpr const char* kSource = "Paperloom";

[[noreturn]] void ThrowMissingKey(std::string_view key) {
    throw host::HostError(32811, kSource, "Element not found: \"" + std::string(key) + "\"");
}

}  // namespace

bool KeyedTextCollection::Exists(std::string_view key) const {
    return index_.contains(std::string(key));
}

void KeyedTextCollection::Add(std::string_view key, std::string_view value) {
    std::string name(key);
    if (index_.contains(name)) {
        throw host::HostError(457, kSource,
                              "This key is already associated with an element of this collection: \"" +
                                  name + "\"");
    }
    entries_.emplace_back(name, std::string(value));
    index_.emplace(std::move(name), std::prev(entries_.end()));
}

void KeyedTextCollection::Remove(std::string_view key) {
    const auto found = index_.find(std::string(key));
    if (found == index_.end()) ThrowMissingKey(key);
    entries_.erase(found->second);
    index_.erase(found);
}

const std::string& KeyedTextCollection::Item(std::string_view key) const {
    const auto found = index_.find(std::string(key));
    if (found == index_.end()) ThrowMissingKey(key);
    return found->second->second;
}

void KeyedTextCollection::SetItem(std::string_view key, std::string_view value) {
    const auto found = index_.find(std::string(key));
    if (found == index_.end()) {
        Add(key, value);
        return;
    }
    found->second->second = std::string(value);
}

void KeyedTextCollection::RemoveAll() noexcept {
    index_.clear();
    entries_.clear();
}

std::vector<std::string> KeyedTextCollection::Keys() const {
    std::vector<std::string> keys;
    keys.reserve(entries_.size());
    for (const auto& entry : entries_) keys.push_back(entry.first);
    return keys;
}

}  // namespace paperloom::run
