#include "host/word/Sections.h"

#include "host/word/detail/DocumentState.h"
#include "host/word/WordError.h"

namespace paperloom::word {

bool HeaderFooter::Exists() const { return doc_->HeaderFooter(footer_, index_, false) != nullptr; }

Range HeaderFooter::Range() const {
    auto* story = doc_->HeaderFooter(footer_, index_, true);
    return word::Range(detail::MakeRange(doc_, *story, 0, story->Length()));
}

Shapes HeaderFooter::Shapes() const {
    auto* story = doc_->HeaderFooter(footer_, index_, false);
    if (!story) return word::Shapes({});
    return detail::ShapesOf(doc_, story->Root(), story->Part());
}

HeaderFooter HeadersFooters::Item(long index) const {
    if (index < wdHeaderFooterPrimary || index > wdHeaderFooterEvenPages) throw NoSuchMember();
    return HeaderFooter(doc_, footers_, index);
}

long Sections::Count() const {
    auto body = doc_->Main().Root();
    return static_cast<long>(body.select_nodes("w:p/w:pPr/w:sectPr").size()) + 1;
}

Section Sections::Item(long index) const {
    if (index < 1 || index > Count()) throw NoSuchMember();
    return Section(doc_, index);
}

}  // namespace paperloom::word
