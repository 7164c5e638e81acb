#include "host/word/fields/ImageInfo.h"

#include <cmath>
#include <cstdint>

namespace paperloom::word::fields {

namespace {

constexpr double kEmuPerInch = 914400.0;
constexpr double kInchesPerMeter = 39.3700787;
constexpr long kMaxPixels = 1L << 20;  // a header claiming more is damaged or hostile

std::uint32_t Be16(std::string_view b, std::size_t at) {
    return (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 8) |
           static_cast<unsigned char>(b[at + 1]);
}
std::uint32_t Be32(std::string_view b, std::size_t at) { return (Be16(b, at) << 16) | Be16(b, at + 2); }
std::uint32_t Le16(std::string_view b, std::size_t at) {
    return static_cast<unsigned char>(b[at]) | (static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 8);
}
std::uint32_t Le32(std::string_view b, std::size_t at) { return Le16(b, at) | (Le16(b, at + 2) << 16); }

bool Sane(const ImageInfo& info) {
    return info.width > 0 && info.height > 0 && info.width <= kMaxPixels && info.height <= kMaxPixels &&
           info.dpiX > 0 && info.dpiY > 0 && std::isfinite(info.dpiX) && std::isfinite(info.dpiY);
}

std::optional<ImageInfo> Png(std::string_view b) {
    if (b.size() < 24 || b.substr(12, 4) != "IHDR") return std::nullopt;
    ImageInfo info{"png", "image/png", static_cast<long>(Be32(b, 16)), static_cast<long>(Be32(b, 20))};
    // Chunks: length, type, data, CRC. The resolution sits in pHYs, before the image data.
    std::size_t at = 8;
    while (at + 8 <= b.size()) {
        const std::uint32_t length = Be32(b, at);
        const auto type = b.substr(at + 4, 4);
        if (type == "IDAT" || type == "IEND") break;
        if (type == "pHYs" && length >= 9 && at + 8 + 9 <= b.size() && b[at + 8 + 8] == 1) {
            const double x = Be32(b, at + 8);
            const double y = Be32(b, at + 12);
            if (x > 0 && y > 0) {
                info.dpiX = x / kInchesPerMeter;
                info.dpiY = y / kInchesPerMeter;
            }
        }
        if (length > b.size()) break;
        at += 12 + static_cast<std::size_t>(length);
    }
    return info;
}

std::optional<ImageInfo> Jpeg(std::string_view b) {
    ImageInfo info{"jpeg", "image/jpeg"};
    std::size_t at = 2;
    while (at + 4 <= b.size()) {
        if (static_cast<unsigned char>(b[at]) != 0xFF) return std::nullopt;
        const unsigned marker = static_cast<unsigned char>(b[at + 1]);
        if (marker == 0xFF) {  // fill byte
            ++at;
            continue;
        }
        if (marker == 0xD8 || (marker >= 0xD0 && marker <= 0xD7) || marker == 0x01) {
            at += 2;
            continue;
        }
        const std::size_t length = Be16(b, at + 2);
        if (length < 2 || at + 2 + length > b.size()) return std::nullopt;
        const std::size_t data = at + 4;
        if (marker == 0xE0 && length >= 14 && b.substr(data, 5) == std::string_view("JFIF\0", 5)) {
            const unsigned units = static_cast<unsigned char>(b[data + 7]);
            const double x = Be16(b, data + 8);
            const double y = Be16(b, data + 10);
            if (x > 0 && y > 0 && (units == 1 || units == 2)) {
                info.dpiX = units == 1 ? x : x * 2.54;
                info.dpiY = units == 1 ? y : y * 2.54;
            }
        }
        const bool frame = marker >= 0xC0 && marker <= 0xCF && marker != 0xC4 && marker != 0xC8 && marker != 0xCC;
        if (frame) {
            if (length < 7) return std::nullopt;
            info.height = static_cast<long>(Be16(b, data + 1));
            info.width = static_cast<long>(Be16(b, data + 3));
            return info;
        }
        at += 2 + length;
    }
    return std::nullopt;
}

std::optional<ImageInfo> Gif(std::string_view b) {
    if (b.size() < 10) return std::nullopt;
    return ImageInfo{"gif", "image/gif", static_cast<long>(Le16(b, 6)), static_cast<long>(Le16(b, 8))};
}

std::optional<ImageInfo> Bmp(std::string_view b) {
    if (b.size() < 26) return std::nullopt;
    const std::uint32_t header = Le32(b, 14);
    ImageInfo info{"bmp", "image/bmp"};
    if (header == 12) {  // OS/2 core header: 16-bit sizes, no resolution
        info.width = static_cast<long>(Le16(b, 18));
        info.height = static_cast<long>(Le16(b, 20));
        return info;
    }
    if (header < 40 || b.size() < 46) return std::nullopt;
    info.width = static_cast<long>(static_cast<std::int32_t>(Le32(b, 18)));
    // A negative height means rows stored top-down.
    info.height = std::labs(static_cast<long>(static_cast<std::int32_t>(Le32(b, 22))));
    const double x = static_cast<std::int32_t>(Le32(b, 38));
    const double y = static_cast<std::int32_t>(Le32(b, 42));
    if (x > 0 && y > 0) {
        info.dpiX = x / kInchesPerMeter;
        info.dpiY = y / kInchesPerMeter;
    }
    return info;
}

}  // namespace

long long ImageInfo::WidthEmu() const { return std::llround(width / dpiX * kEmuPerInch); }
long long ImageInfo::HeightEmu() const { return std::llround(height / dpiY * kEmuPerInch); }

std::optional<ImageInfo> ReadImageInfo(std::string_view bytes) {
    std::optional<ImageInfo> info;
    if (bytes.size() >= 8 && bytes.substr(0, 8) == std::string_view("\x89PNG\r\n\x1a\n", 8)) info = Png(bytes);
    else if (bytes.size() >= 3 && bytes.substr(0, 3) == "\xFF\xD8\xFF") info = Jpeg(bytes);
    else if (bytes.size() >= 6 && (bytes.substr(0, 6) == "GIF87a" || bytes.substr(0, 6) == "GIF89a")) info = Gif(bytes);
    else if (bytes.size() >= 2 && bytes.substr(0, 2) == "BM") info = Bmp(bytes);
    if (info && !Sane(*info)) return std::nullopt;
    return info;
}

}  // namespace paperloom::word::fields
