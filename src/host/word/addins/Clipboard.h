#pragma once
// The host's clipboard: one bitmap and one text at a time, held in memory. Toolbar faces go
// through it (a picture is put on it, then pasted onto a button).

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace paperloom::word {

class Clipboard {
public:
    void Clear() noexcept;
    // A device-independent bitmap file image (BMP).
    void SetBitmap(std::vector<std::byte> bitmap);
    void SetText(std::string text);
    const std::optional<std::vector<std::byte>>& Bitmap() const noexcept { return bitmap_; }
    const std::optional<std::string>& Text() const noexcept { return text_; }

private:
    std::optional<std::vector<std::byte>> bitmap_;
    std::optional<std::string> text_;
};

}  // namespace paperloom::word
