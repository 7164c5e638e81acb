#pragma once
// Image files for the picture tests, built byte by byte.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>

namespace paperloom::word::test {

// A valid 30 x 20 red PNG at 150 dpi (pHYs 5906 pixels per metre).
inline std::string RedPng() {
    static const unsigned char bytes[] = {
        0x89, 0x50, 0x4e, 0x47, 0x0d, 0x0a, 0x1a, 0x0a, 0x00, 0x00, 0x00, 0x0d, 0x49, 0x48, 0x44, 0x52, 0x00, 0x00,
        0x00, 0x1e, 0x00, 0x00, 0x00, 0x14, 0x08, 0x02, 0x00, 0x00, 0x00, 0x15, 0xc9, 0x1a, 0x93, 0x00, 0x00, 0x00,
        0x09, 0x70, 0x48, 0x59, 0x73, 0x00, 0x00, 0x17, 0x12, 0x00, 0x00, 0x17, 0x12, 0x01, 0x67, 0x9f, 0xd2, 0x52,
        0x00, 0x00, 0x00, 0x1f, 0x49, 0x44, 0x41, 0x54, 0x78, 0xda, 0x63, 0xf8, 0xcf, 0xc0, 0x40, 0x23, 0xc4, 0x30,
        0x6a, 0xf4, 0xa8, 0xd1, 0xa3, 0x46, 0x8f, 0x1a, 0x3d, 0x6a, 0xf4, 0xa8, 0xd1, 0x43, 0xd1, 0x68, 0x00, 0x54,
        0x95, 0x55, 0xc7, 0x8d, 0x78, 0x31, 0xb8, 0x00, 0x00, 0x00, 0x00, 0x49, 0x45, 0x4e, 0x44, 0xae, 0x42, 0x60,
        0x82};
    return std::string(reinterpret_cast<const char*>(bytes), sizeof bytes);
}

inline std::string Bytes(std::initializer_list<int> values) {
    std::string out;
    for (const int v : values) out.push_back(static_cast<char>(v));
    return out;
}

inline std::string Le16(int v) { return Bytes({v & 0xff, (v >> 8) & 0xff}); }
inline std::string Le32(std::int64_t v) {
    return Bytes({static_cast<int>(v & 0xff), static_cast<int>((v >> 8) & 0xff), static_cast<int>((v >> 16) & 0xff),
                  static_cast<int>((v >> 24) & 0xff)});
}
inline std::string Be16(int v) { return Bytes({(v >> 8) & 0xff, v & 0xff}); }

// JPEG headers up to the frame header: JFIF density (units 1 dpi, 2 per cm), then SOF0.
inline std::string JpegHeader(int width, int height, int units, int density) {
    std::string b = Bytes({0xFF, 0xD8, 0xFF, 0xE0}) + Be16(16) + std::string("JFIF\0", 5) + Bytes({1, 1, units}) +
                    Be16(density) + Be16(density) + Bytes({0, 0});
    b += Bytes({0xFF, 0xDB}) + Be16(4) + Bytes({0, 0});  // a segment to skip
    b += Bytes({0xFF, 0xC0}) + Be16(17) + Bytes({8}) + Be16(height) + Be16(width) + Bytes({3});
    b += std::string(9, '\0');
    return b;
}

inline std::string GifHeader(int width, int height) { return "GIF89a" + Le16(width) + Le16(height) + Bytes({0, 0, 0}); }

inline std::string BmpHeader(int width, int height, int pixelsPerMetre) {
    return "BM" + Le32(0) + Le32(0) + Le32(54) + Le32(40) + Le32(width) + Le32(height) + Le16(1) + Le16(24) + Le32(0) +
           Le32(0) + Le32(pixelsPerMetre) + Le32(pixelsPerMetre) + Le32(0) + Le32(0);
}

inline void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

}  // namespace paperloom::word::test
