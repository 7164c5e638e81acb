#pragma once
// The host clipboard's store on the desktop's clipboard: a face an add-in puts there is the
// desktop's image (other programs can paste it), and a picture copied in another program can
// be pasted onto a button. Pictures cross as BMP file images, the form the host's clipboard
// speaks.

#include "host/word/addins/Clipboard.h"

namespace paperloom::desk {

class SystemClipboard final : public word::Clipboard::Store {
public:
    void Clear() override;
    // Other programs get the image when the bytes are one Qt reads.
    void SetBitmap(std::vector<std::byte> bitmap) override;
    void SetText(std::string text) override;
    // The clipboard's image as a BMP file image; none when it holds no image.
    std::optional<std::vector<std::byte>> Bitmap() const override;
    // The clipboard's text; none when it holds no text.
    std::optional<std::string> Text() const override;
};

}  // namespace paperloom::desk
