#pragma once
// Sections and their headers and footers. A header or footer is a story of its own; one the
// document does not have yet is made when its range is first asked for.

#include <memory>

#include "host/word/Range.h"
#include "host/word/Shapes.h"

namespace paperloom::word {

namespace detail {
class DocumentState;
}

class HeaderFooter {
public:
    HeaderFooter(std::shared_ptr<detail::DocumentState> doc, bool footer, long index)
        : doc_(std::move(doc)), footer_(footer), index_(index) {}
    bool Exists() const;
    word::Range Range() const;
    word::Shapes Shapes() const;
    long Index() const { return index_; }

private:
    std::shared_ptr<detail::DocumentState> doc_;
    bool footer_;
    long index_;
};

class HeadersFooters {
public:
    HeadersFooters(std::shared_ptr<detail::DocumentState> doc, bool footers)
        : doc_(std::move(doc)), footers_(footers) {}
    long Count() const { return 3; }
    // wdHeaderFooterPrimary, wdHeaderFooterFirstPage or wdHeaderFooterEvenPages.
    HeaderFooter Item(long index) const;

private:
    std::shared_ptr<detail::DocumentState> doc_;
    bool footers_;
};

class Section {
public:
    Section(std::shared_ptr<detail::DocumentState> doc, long index) : doc_(std::move(doc)), index_(index) {}
    long Index() const { return index_; }
    HeadersFooters Headers() const { return HeadersFooters(doc_, false); }
    HeadersFooters Footers() const { return HeadersFooters(doc_, true); }

private:
    std::shared_ptr<detail::DocumentState> doc_;
    long index_;
};

class Sections {
public:
    explicit Sections(std::shared_ptr<detail::DocumentState> doc) : doc_(std::move(doc)) {}
    long Count() const;
    // Headers and footers are those of the first section for every section.
    Section Item(long index) const;
    Section First() const { return Item(1); }

private:
    std::shared_ptr<detail::DocumentState> doc_;
};

}  // namespace paperloom::word
