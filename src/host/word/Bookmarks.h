#pragma once
// Bookmarks: named ranges stored as start and end markers in the text, so they move with it.
//
// Names follow the word processor's rules: 1 to 40 characters, a letter first, then letters,
// digits and underscores; they compare without regard to case. Adding a name that exists
// moves that bookmark. A bad name raises error 5828.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/word/Range.h"

namespace paperloom::word {

namespace detail {
class DocumentState;
}

class Bookmark {
public:
    Bookmark(std::shared_ptr<detail::DocumentState> doc, std::string name)
        : doc_(std::move(doc)), name_(std::move(name)) {}
    const std::string& Name() const { return name_; }
    word::Range Range() const;
    long Start() const { return Range().Start(); }
    long End() const { return Range().End(); }
    bool Empty() const { return Start() == End(); }
    void Delete();
    // A new bookmark over the same range.
    Bookmark Copy(std::string_view name) const;

private:
    std::shared_ptr<detail::DocumentState> doc_;
    std::string name_;
};

class Bookmarks {
public:
    Bookmarks(std::shared_ptr<detail::DocumentState> doc, std::vector<std::string> names)
        : doc_(std::move(doc)), names_(std::move(names)) {}
    long Count() const { return static_cast<long>(names_.size()); }
    Bookmark Item(long index) const;
    Bookmark Item(std::string_view name) const;
    bool Exists(std::string_view name) const;
    Bookmark Add(std::string_view name, const Range& range);
    auto begin() const { return names_.begin(); }
    auto end() const { return names_.end(); }

    static bool IsValidName(std::string_view name);

private:
    std::shared_ptr<detail::DocumentState> doc_;
    std::vector<std::string> names_;
};

namespace detail {
// The document's bookmarks, alphabetically; those inside a range, in text order.
Bookmarks DocumentBookmarks(const std::shared_ptr<DocumentState>& doc);
Bookmarks RangeBookmarks(const std::shared_ptr<RangeData>& range);
}  // namespace detail

}  // namespace paperloom::word
