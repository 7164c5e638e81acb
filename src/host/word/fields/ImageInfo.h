#pragma once
// The natural size of an image file, read from its header (PNG, JPEG, GIF, BMP). Only the
// header is read: the picture is stored or linked as it is, never decoded.

#include <optional>
#include <string>
#include <string_view>

namespace paperloom::word::fields {

struct ImageInfo {
    std::string extension;    // "png", "jpeg", "gif", "bmp"
    std::string contentType;  // "image/png" ...
    long width = 0;           // pixels
    long height = 0;
    double dpiX = 96;
    double dpiY = 96;

    // The size at the image's own resolution, in EMU (914400 per inch).
    long long WidthEmu() const;
    long long HeightEmu() const;
};

// nullopt when the bytes are no image of a known kind or the header is damaged.
std::optional<ImageInfo> ReadImageInfo(std::string_view bytes);

}  // namespace paperloom::word::fields
