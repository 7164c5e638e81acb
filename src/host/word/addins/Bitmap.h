#pragma once
// Small uncompressed BMP images: what toolbar faces are made of. Encodes 24-bit and 16-colour
// (4-bit, fixed palette) pictures and reads any uncompressed 1-, 4-, 8- or 24-bit BMP back.

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

namespace paperloom::word {

struct Rgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const Rgb&) const = default;
};

struct BitmapImage {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    std::vector<Rgb> pixels;  // rows top to bottom, width * height

    Rgb At(int x, int y) const { return pixels[static_cast<std::size_t>(y * width + x)]; }
};

// The sixteen colours of 4-bit images (the classic system palette).
std::span<const Rgb, 16> SixteenColourPalette() noexcept;

// bitsPerPixel 24, or 4 (each pixel mapped to the nearest palette colour).
std::vector<std::byte> EncodeBitmap(int width, int height, std::span<const Rgb> pixels, int bitsPerPixel);
// HostError 481 ("Invalid picture.") for anything that is not a well-formed uncompressed
// BMP of at most 256 x 256 pixels.
BitmapImage DecodeBitmap(std::span<const std::byte> bytes);

}  // namespace paperloom::word
