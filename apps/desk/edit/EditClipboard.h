#pragma once
// What cut and copy leave for paste. The plain text goes on the host's clipboard (the
// desktop's, where other programs see it); the formatted copy stays here, in a document of its
// own, and pastes as long as the clipboard still holds the text copied with it: once another
// program has put text there, paste takes that text plain.

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "host/word/Range.h"

namespace paperloom::word {
class Clipboard;
class Document;
}

namespace paperloom::desk::edit {

class EditClipboard {
public:
    // `clipboard` must outlive this object.
    explicit EditClipboard(word::Clipboard& clipboard) : clipboard_(clipboard) {}

    void Put(const word::Range& range);
    // The formatted copy, while the clipboard's text is still the one put with it.
    std::optional<word::Range> Formatted() const;
    // The clipboard's text with paragraphs as the document model writes them ("\r").
    std::optional<std::string> Text() const;

    // The range's text as other programs read it: lines end in "\n", cells are separated by
    // tabs, marks the model uses for structure are left out.
    static std::string PlainText(std::string_view modelText);
    // Text from outside as the model takes it: any line end is a paragraph mark.
    static std::string ModelText(std::string_view plain);

private:
    word::Clipboard& clipboard_;
    std::shared_ptr<word::Document> scratch_;
    std::optional<word::Range> copied_;
    std::string text_;  // what Put left on the clipboard
};

}  // namespace paperloom::desk::edit
