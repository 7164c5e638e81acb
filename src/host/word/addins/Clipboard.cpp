#include "host/word/addins/Clipboard.h"

namespace paperloom::word {

void Clipboard::Clear() noexcept {
    bitmap_.reset();
    text_.reset();
}

// Putting one format on the clipboard replaces whatever was there, as on a real clipboard
// where the next owner empties it first.
void Clipboard::SetBitmap(std::vector<std::byte> bitmap) {
    Clear();
    bitmap_ = std::move(bitmap);
}

void Clipboard::SetText(std::string text) {
    Clear();
    text_ = std::move(text);
}

}  // namespace paperloom::word
