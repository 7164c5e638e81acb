#include "host/word/addins/Bitmap.h"

#include <array>
#include <limits>

#include "host/HostError.h"

namespace paperloom::word {

namespace {

constexpr std::array<Rgb, 16> kPalette = {{{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                                           {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                                           {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                                           {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}}};

constexpr std::size_t kFileHeader = 14;
constexpr std::size_t kInfoHeader = 40;
constexpr int kMaxSide = 256;

host::HostError InvalidPicture() { return host::HostError(481, "Paperloom.Word", "Invalid picture."); }

void Put16(std::vector<std::byte>& out, std::uint32_t value) {
    out.push_back(static_cast<std::byte>(value & 0xFF));
    out.push_back(static_cast<std::byte>((value >> 8) & 0xFF));
}
void Put32(std::vector<std::byte>& out, std::uint32_t value) {
    Put16(out, value & 0xFFFF);
    Put16(out, value >> 16);
}

std::uint32_t Get(std::span<const std::byte> bytes, std::size_t at, std::size_t size) {
    if (at + size > bytes.size()) throw InvalidPicture();
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < size; ++i)
        value |= static_cast<std::uint32_t>(std::to_integer<std::uint8_t>(bytes[at + i])) << (8 * i);
    return value;
}

std::size_t RowBytes(int width, int bits) {
    return ((static_cast<std::size_t>(width) * static_cast<std::size_t>(bits) + 31) / 32) * 4;
}

std::uint8_t Nearest(const Rgb& colour) {
    std::uint8_t best = 0;
    long bestDistance = std::numeric_limits<long>::max();
    for (std::size_t i = 0; i < kPalette.size(); ++i) {
        const long dr = long{colour.r} - kPalette[i].r;
        const long dg = long{colour.g} - kPalette[i].g;
        const long db = long{colour.b} - kPalette[i].b;
        const long distance = dr * dr + dg * dg + db * db;
        if (distance < bestDistance) {
            bestDistance = distance;
            best = static_cast<std::uint8_t>(i);
        }
    }
    return best;
}

}  // namespace

std::span<const Rgb, 16> SixteenColourPalette() noexcept { return kPalette; }

std::vector<std::byte> EncodeBitmap(int width, int height, std::span<const Rgb> pixels, int bitsPerPixel) {
    if (width <= 0 || height <= 0 || width > kMaxSide || height > kMaxSide ||
        pixels.size() != static_cast<std::size_t>(width) * static_cast<std::size_t>(height) ||
        (bitsPerPixel != 4 && bitsPerPixel != 24))
        throw InvalidPicture();
    const std::size_t paletteBytes = bitsPerPixel == 4 ? kPalette.size() * 4 : 0;
    const std::size_t rowBytes = RowBytes(width, bitsPerPixel);
    const std::size_t dataOffset = kFileHeader + kInfoHeader + paletteBytes;
    const std::size_t fileSize = dataOffset + rowBytes * static_cast<std::size_t>(height);

    std::vector<std::byte> out;
    out.reserve(fileSize);
    out.push_back(std::byte{'B'});
    out.push_back(std::byte{'M'});
    Put32(out, static_cast<std::uint32_t>(fileSize));
    Put32(out, 0);
    Put32(out, static_cast<std::uint32_t>(dataOffset));
    Put32(out, kInfoHeader);
    Put32(out, static_cast<std::uint32_t>(width));
    Put32(out, static_cast<std::uint32_t>(height));  // positive: rows stored bottom up
    Put16(out, 1);
    Put16(out, static_cast<std::uint32_t>(bitsPerPixel));
    Put32(out, 0);  // no compression
    Put32(out, static_cast<std::uint32_t>(rowBytes * static_cast<std::size_t>(height)));
    Put32(out, 2835);  // 72 dpi
    Put32(out, 2835);
    Put32(out, bitsPerPixel == 4 ? 16 : 0);
    Put32(out, 0);
    if (bitsPerPixel == 4)
        for (const auto& c : kPalette) {
            out.push_back(std::byte{c.b});
            out.push_back(std::byte{c.g});
            out.push_back(std::byte{c.r});
            out.push_back(std::byte{0});
        }
    for (int y = height - 1; y >= 0; --y) {
        std::vector<std::byte> row(rowBytes, std::byte{0});
        for (int x = 0; x < width; ++x) {
            const Rgb& c = pixels[static_cast<std::size_t>(y * width + x)];
            if (bitsPerPixel == 24) {
                row[static_cast<std::size_t>(x) * 3] = std::byte{c.b};
                row[static_cast<std::size_t>(x) * 3 + 1] = std::byte{c.g};
                row[static_cast<std::size_t>(x) * 3 + 2] = std::byte{c.r};
            } else {
                const auto index = Nearest(c);
                auto& cell = row[static_cast<std::size_t>(x) / 2];
                cell |= std::byte{static_cast<std::uint8_t>(x % 2 == 0 ? index << 4 : index)};
            }
        }
        out.insert(out.end(), row.begin(), row.end());
    }
    return out;
}

BitmapImage DecodeBitmap(std::span<const std::byte> bytes) {
    if (Get(bytes, 0, 1) != 'B' || Get(bytes, 1, 1) != 'M') throw InvalidPicture();
    const std::size_t dataOffset = Get(bytes, 10, 4);
    const std::size_t infoSize = Get(bytes, 14, 4);
    if (infoSize < kInfoHeader) throw InvalidPicture();
    const auto width = static_cast<std::int32_t>(Get(bytes, 18, 4));
    const auto rawHeight = static_cast<std::int32_t>(Get(bytes, 22, 4));
    const auto planes = Get(bytes, 26, 2);
    const auto bits = static_cast<int>(Get(bytes, 28, 2));
    const auto compression = Get(bytes, 30, 4);
    auto colours = Get(bytes, 46, 4);
    const bool topDown = rawHeight < 0;
    const std::int64_t height = topDown ? -static_cast<std::int64_t>(rawHeight) : rawHeight;
    if (planes != 1 || compression != 0 || width <= 0 || width > kMaxSide || height <= 0 || height > kMaxSide ||
        (bits != 1 && bits != 4 && bits != 8 && bits != 24))
        throw InvalidPicture();

    std::vector<Rgb> palette;
    if (bits <= 8) {
        const std::uint32_t maxColours = 1u << bits;
        if (colours == 0) colours = maxColours;
        if (colours > maxColours) throw InvalidPicture();
        const std::size_t paletteAt = kFileHeader + infoSize;
        for (std::uint32_t i = 0; i < colours; ++i) {
            const std::size_t at = paletteAt + i * 4;
            palette.push_back({static_cast<std::uint8_t>(Get(bytes, at + 2, 1)),
                               static_cast<std::uint8_t>(Get(bytes, at + 1, 1)),
                               static_cast<std::uint8_t>(Get(bytes, at, 1))});
        }
    }
    BitmapImage image;
    image.width = width;
    image.height = static_cast<int>(height);
    image.bitsPerPixel = bits;
    image.pixels.resize(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    const std::size_t rowBytes = RowBytes(width, bits);
    if (dataOffset + rowBytes * static_cast<std::size_t>(height) > bytes.size()) throw InvalidPicture();
    for (int y = 0; y < image.height; ++y) {
        const int stored = topDown ? y : image.height - 1 - y;
        const std::size_t rowAt = dataOffset + rowBytes * static_cast<std::size_t>(stored);
        for (int x = 0; x < width; ++x) {
            Rgb colour;
            if (bits == 24) {
                const std::size_t at = rowAt + static_cast<std::size_t>(x) * 3;
                colour = {static_cast<std::uint8_t>(Get(bytes, at + 2, 1)),
                          static_cast<std::uint8_t>(Get(bytes, at + 1, 1)),
                          static_cast<std::uint8_t>(Get(bytes, at, 1))};
            } else {
                const std::size_t bit = static_cast<std::size_t>(x) * static_cast<std::size_t>(bits);
                const auto byte = Get(bytes, rowAt + bit / 8, 1);
                const auto shift = 8 - bits - static_cast<int>(bit % 8);
                const auto index = (byte >> shift) & ((1u << bits) - 1);
                if (index >= palette.size()) throw InvalidPicture();
                colour = palette[index];
            }
            image.pixels[static_cast<std::size_t>(y * width + x)] = colour;
        }
    }
    return image;
}

}  // namespace paperloom::word
