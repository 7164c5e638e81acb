#pragma once
// Which pages of a document to print: all of them, or a list of pages and ranges as a user
// types it ("1-3,5", "2-", "-4"). Page numbers start at 1.

#include <optional>
#include <string>
#include <vector>

namespace paperloom::ui {

class PageSelection {
public:
    struct Range {
        int first = 1;
        std::optional<int> last;  // none: to the end of the document
    };

    // Every page.
    PageSelection() = default;
    // Parses a page list; blanks around the parts are allowed. Throws std::invalid_argument,
    // in Japanese for the dialog, naming the part that cannot be read.
    static PageSelection Parse(const std::string& text);

    bool All() const noexcept { return ranges_.empty(); }
    // "1-3,5", or "" for every page.
    std::string Text() const;
    // The selected pages of a document of `pageCount` pages, ascending and each once: the order
    // a print job keeps. Pages past the end are left out.
    std::vector<int> PagesOf(int pageCount) const;

private:
    std::vector<Range> ranges_;
};

}  // namespace paperloom::ui
