#include "Run/resources/RunFaces.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string_view>

#include "host/word/addins/Bitmap.h"

namespace paperloom::run {

namespace {

using Map = std::array<std::string_view, 16>;

struct Face {
    long number;
    int bitsPerPixel;
    Map rows;
};

// Key: '.' button face, k black, w white, g grey, n navy, b blue, r red, m maroon, G green,
// y yellow, o olive, t teal, c cyan; S a shade that darkens downwards (24-bit faces only).
constexpr std::array<Face, 11> kFaces = {{
    {101, 4, {"................", ".kkkkkkkkkkkk...", ".kwwwkwwwkwwk...", ".kkkkkkkkkkkk...",
              ".kwwwkwwwkwwk...", ".kkkkkkkkkkkk...", ".kwwwkwwwkwwk...", ".kkkkkkkkkkkk...",
              ".kwwwkwwwkwwGG..", ".kkkkkkkkkkGG...", "..........GG....", "...GG....GG.....",
              "....GG..GG......", ".....GGGG.......", "......GG........", "................"}},
    {102, 4, {"................", "....kkkkkkkk....", "....kwwwwwwk....", "....kwkkkkwk....",
              "....kwwwwwwk....", "..kkkkkkkkkkkk..", ".kggggggggggggk.", ".kgggggggggGggk.",
              ".kggggggggggggk.", ".kkkkkkkkkkkkkk.", "..kwwwwrrwwwk...", "..kwwwrrrwwwk...",
              "..kwwwwrrwwwk...", "..kwwwwrrwwwk...", "..kkkkkkkkkkk...", "................"}},
    {103, 4, {"......kkkkkkkk..", "....kkkkkkkkwk..", "..kkkkkkkkwkwk..", "..kwwwwwwkwkwk..",
              "..kwkkkkwkwkk...", "..kwwwwwwkkk....", "kkkkkkkkkkkkkk..", "kggggggggggggk..",
              "kggggggggggGgk..", "kggggggggggggk..", "kkkkkkkkkkkkkk..", ".kwwwwwwwwwk....",
              ".kwkkkkkkkwk....", ".kwwwwwwwwwk....", ".kkkkkkkkkkk....", "................"}},
    {104, 4, {"................", "..kkkkkkkkk.....", "..kwwwwwwwkk....", "..kwwwwwwwkwk...",
              "..kwkkkkwwkkkk..", "..kwwwwwwwwwwk..", "..kwkkkkkkkkwk..", "..kwwwwwwwwwwk..",
              "..kwkkkkkkkkwk..", "..kwwwwwwwwwwk..", "..kwkkkkkkkkwk..", "..kwwwwwwwwwwk..",
              "..kwwwwwwwbbwk..", "..kwwwwwwwbbwk..", "..kkkkkkkkkkkk..", "................"}},
    {105, 4, {"......kkkkkkkk..", "......kwwwwwwk..", "....kkkkkkkkwk..", "....kwwwwwwkwk..",
              "..kkkkkkkkwkwk..", "..kwwwwwwkwkwk..", "..kwkkkkwkwkwk..", "..kwwwwwwkwkwk..",
              "..kwkkkkwkwkwk..", "..kwwwwwwkwkkk..", "..kwkkkkwkwk....", "..kwwwwwwkkk....",
              "..kwkkkkwk......", "..kwwwwwwk......", "..kkkkkkkk......", "................"}},
    {106, 24, {"................", ".kkkkkkkkkkkkkk.", ".kSSSSSSSSSSSSk.", "..kSSSSSSSSSSk..",
               "...kSSSSSSSSk...", "....kSSSSSSk....", ".....kSSSSk.....", "......kSSk......",
               "......kSSk......", "......kSSk......", "......kSSk......", "......kSSk......",
               "......kSSkk.....", "......kSSSk.....", "......kkkkk.....", "................"}},
    {107, 4, {"................", "....kkkk........", "...kwwwwk.......", "..kwwccwwk......",
              "..kwcwwwwk......", "..kwwwwwwk......", "..kwwwwwwk......", "...kwwwwk.......",
              "....kkkkkk......", ".........kk.....", "..........kk....", "...........kk...",
              "............kk..", ".............k..", "................", "................"}},
    {108, 4, {"................", "..kkkkkkkkkkkk..", "..kwwwwwwwwwwk..", "..kkkkkkkkkkkk..",
              "..kwwwwwwwwwwk..", "..kkkkkkkkkkkk..", "........n.......", "........nn......",
              "..nnnnnnnnnn....", "..nnnnnnnnnnn...", "..nnnnnnnnnn....", "........nn......",
              "........n.......", "..kkkkkkkkkkkk..", "..kyyyyyyyyyyk..", "..kkkkkkkkkkkk.."}},
    {109, 24, {"................", "..SS.......k....", ".S..S.....kkk...", ".SSSS....kkkkk..",
               ".S..S......k....", ".S..S......k....", "...........k....", "...........k....",
               ".SSSS......k....", "....S......k....", "...S.......k....", "..S......kkkkk..",
               ".S........kkk...", ".SSSS......k....", "................", "................"}},
    {110, 4, {"................", "......kkkk......", "...kk.kggk.kk...", "...kgkkggkkgk...",
              "....kggggggk....", "..kkggkkkkggkk..", "..kgggk..kgggk..", "..kggk....kggk..",
              "..kggk....kggk..", "..kgggk..kgggk..", "..kkggkkkkggkk..", "....kggggggk....",
              "...kgkkggkkgk...", "...kk.kggk.kk...", "......kkkk......", "................"}},
    {111, 4, {"................", "..kkkkkkkkk.....", "..kwwwwwwwkk....", "..kwkkkkwwkwk...",
              "..kwwwwwwwkkkk..", "..kwkkkkkkkkwk..", "..kwwwwwwwwwwk..", "..kwkkkkkkkwGG..",
              "..kwwwwwwwwGGk..", "..kwkkkkkkGGwk..", "..kwwGwwwGGwwk..", "..kwwGGwGGwwwk..",
              "..kwwwGGGwwwwk..", "..kwwwwGwwwwwk..", "..kkkkkkkkkkkk..", "................"}},
}};

word::Rgb Colour(char key, int row) {
    switch (key) {
        case '.': return {192, 192, 192};
        case 'k': return {0, 0, 0};
        case 'w': return {255, 255, 255};
        case 'g': return {128, 128, 128};
        case 'n': return {0, 0, 128};
        case 'b': return {0, 0, 255};
        case 'r': return {255, 0, 0};
        case 'm': return {128, 0, 0};
        case 'G': return {0, 128, 0};
        case 'y': return {255, 255, 0};
        case 'o': return {128, 128, 0};
        case 't': return {0, 128, 128};
        case 'c': return {0, 255, 255};
        case 'S': {
            const auto step = static_cast<std::uint8_t>(row * 9);
            return {static_cast<std::uint8_t>(250 - step), static_cast<std::uint8_t>(170 - step / 2),
                    static_cast<std::uint8_t>(40 + step / 3)};
        }
        default: throw std::logic_error("unknown colour key in a face map");
    }
}

}  // namespace

std::vector<std::byte> LoadRunBitmap(long lngBitmap) {
    for (const auto& face : kFaces) {
        if (face.number != lngBitmap) continue;
        std::vector<word::Rgb> pixels;
        pixels.reserve(16 * 16);
        for (int y = 0; y < 16; ++y) {
            const auto row = face.rows[static_cast<std::size_t>(y)];
            if (row.size() != 16) throw std::logic_error("a face map row is not 16 wide");
            for (const char key : row) pixels.push_back(Colour(key, y));
        }
        return word::EncodeBitmap(16, 16, pixels, face.bitsPerPixel);
    }
    return {};
}

}  // namespace paperloom::run
