#include "edit/EditClipboard.h"

#include "host/word/Document.h"
#include "host/word/addins/Clipboard.h"

namespace paperloom::desk::edit {

std::string EditClipboard::PlainText(std::string_view modelText) {
    std::string out;
    out.reserve(modelText.size());
    for (std::size_t i = 0; i < modelText.size(); ++i) {
        const char c = modelText[i];
        const bool cellEnd = c == '\r' && i + 1 < modelText.size() && modelText[i + 1] == '\a';
        if (cellEnd) {
            ++i;
            // The end of a row follows its last cell's mark: the line ends there.
            const bool rowEnd = i + 2 < modelText.size() && modelText[i + 1] == '\r' && modelText[i + 2] == '\a';
            if (rowEnd) {
                out += '\n';
                i += 2;
            } else {
                out += '\t';
            }
        } else if (c == '\r' || c == '\v' || c == '\f') {
            out += '\n';
        } else if (c == '\a' || c == '\x13' || c == '\x14' || c == '\x15' || c == '\x01') {
            continue;
        } else {
            out += c;
        }
    }
    return out;
}

std::string EditClipboard::ModelText(std::string_view plain) {
    std::string out;
    out.reserve(plain.size());
    for (std::size_t i = 0; i < plain.size(); ++i) {
        const char c = plain[i];
        if (c == '\r' && i + 1 < plain.size() && plain[i + 1] == '\n') continue;
        if (c == '\n' || c == '\r') out += '\r';
        // Control characters other than tabs would stand for marks the text does not hold.
        else if (static_cast<unsigned char>(c) < 0x20 && c != '\t') continue;
        else out += c;
    }
    return out;
}

void EditClipboard::Put(const word::Range& range) {
    // A new document each time: the copy brings along only what it uses.
    auto scratch = word::Document::Blank("Clipboard");
    auto target = scratch->Content();
    target.SetFormattedText(range);
    auto text = range.Duplicate();
    text_ = PlainText(text.Text());
    clipboard_.SetText(text_);
    scratch_ = std::move(scratch);
    copied_ = target;
}

std::optional<word::Range> EditClipboard::Formatted() const {
    if (!copied_) return std::nullopt;
    const auto now = clipboard_.Text();
    if (!now || *now != text_) return std::nullopt;
    return copied_;
}

std::optional<std::string> EditClipboard::Text() const {
    auto now = clipboard_.Text();
    if (!now) return std::nullopt;
    return ModelText(*now);
}

}  // namespace paperloom::desk::edit
