#include "host/word/addins/Clipboard.h"

namespace paperloom::word {

void Clipboard::Clear() noexcept {
    if (store_) {
        try {
            store_->Clear();
        } catch (...) {
            // Clearing is best effort: what stays is replaced by the next thing put there.
        }
        return;
    }
    bitmap_.reset();
    text_.reset();
}

// Putting one format on the clipboard replaces whatever was there, as on a real clipboard
// where the next owner empties it first.
void Clipboard::SetBitmap(std::vector<std::byte> bitmap) {
    if (store_) return store_->SetBitmap(std::move(bitmap));
    Clear();
    bitmap_ = std::move(bitmap);
}

void Clipboard::SetText(std::string text) {
    if (store_) return store_->SetText(std::move(text));
    Clear();
    text_ = std::move(text);
}

std::optional<std::vector<std::byte>> Clipboard::Bitmap() const { return store_ ? store_->Bitmap() : bitmap_; }

std::optional<std::string> Clipboard::Text() const { return store_ ? store_->Text() : text_; }

}  // namespace paperloom::word
