#include "Edit/resources/EditFaces.h"

#include <array>
#include <stdexcept>
#include <string_view>

#include "host/word/addins/Bitmap.h"

namespace paperloom::edit {
namespace {

struct Face {
    long number;
    std::array<std::string_view, 16> rows;
};

// Key: '.' button face, k black, w white, g grey, n navy, b blue, r red, G green, y yellow,
// c cyan.
constexpr std::array<Face, 8> kFaces = {{
    // header binding: a database linked to a page
    {101, {"................", "..kkkkkk........", ".kwwwwwwk.......", ".kkwwwwkk.kkkkk.",
          ".kcckkcck.kwwwkk", ".kcccccck.kwwwwk", ".kcccccck.kwkkwk", ".kkcccckk.kwwwwk",
          ".kcckkcck.kwkkwk", ".kcccccck.kwwwwk", ".kkcccckk.kwkkwk", "..kkkkkk..kwwwwk",
          "....n.....kkkkkk", "....nnnnnnn.....", "................", "................"}},
    // header field: a value in a line of text
    {102, {"................", "................", "kkkkkkkkkkkkkkkk", "kwwwwwwwwwwwwwwk",
          "kwwnwwwnwwwwwwwk", "kwnwnwwnnnwwbwwk", "kwnnnwwnwnwwbwwk", "kwnwnwwnnnwwbwwk",
          "kwwwwwwwwwwwwwwk", "kkkkkkkkkkkkkkkk", "................", "................",
          "..kkkk.kkkk.kk..", "................", "................", "................"}},
    // detail insert: a table and a plus
    {103, {"................", "kkkkkkkkkkk.....", "knnnnnnnnnk.....", "kkkkkkkkkkk.....",
          "kwwkwwkwwwk.....", "kkkkkkkkkkk.....", "kwwkwwkwwwk.....", "kkkkkkkkkkk.....",
          "kwwkwwkwwwk.GG..", "kkkkkkkkkkk.GG..", "..........GGGGGG", "..........GGGGGG",
          "............GG..", "............GG..", "................", "................"}},
    // detail properties: a table and a tick
    {104, {"................", "kkkkkkkkkkk.....", "knnnnnnnnnk.....", "kkkkkkkkkkk.....",
          "kwwkwwkwwwk.....", "kkkkkkkkkkk.....", "kwwkwwkwwwk.....", "kkkkkkkkkkk...rr",
          "kwwkwwkwwwk..rr.", "kkkkkkkkkkk.rr..", ".........r.rr...", "..........rr....",
          "..........r.....", "................", "................", "................"}},
    // column properties: a table with one column marked
    {105, {"................", ".kkkkkkkkkkkkk..", ".knnnnnnnnnnnk..", ".kkkkkkkkkkkkk..",
          ".kwwwkyyykwwwk..", ".kkkkkyyykkkkk..", ".kwwwkyyykwwwk..", ".kkkkkyyykkkkk..",
          ".kwwwkyyykwwwk..", ".kkkkkyyykkkkk..", ".kwwwkyyykwwwk..", ".kkkkkkkkkkkkk..",
          "......n.n.......", "......nnn.......", ".......n........", "................"}},
    // statistics: a summation sign
    {106, {"................", "..kkkkkkkkkk....", "..kk......kk....", "...kk.......k...",
          "....kk..........", ".....kk.........", "......kk........", ".......kk.......",
          "......kk........", ".....kk.........", "....kk..........", "...kk.......k...",
          "..kk......kk....", "..kkkkkkkkkk....", "................", "................"}},
    // bookmark: a ribbon in a page
    {110, {"................", "..kkkkkkkkkk....", "..kwwwwkrrkwk...", "..kwwwwkrrkwwk..",
          "..kwkkkkrrkkkk..", "..kwwwwkrrkwwk..", "..kwkkkkrrkkwk..", "..kwwwwkrrkwwk..",
          "..kwkkkrkkrkwk..", "..kwwwwrwwrwwk..", "..kwkkkkkkkkwk..", "..kwwwwwwwwwwk..",
          "..kwkkkkkkkkwk..", "..kwwwwwwwwwwk..", "..kkkkkkkkkkkk..", "................"}},
    // formula: a calculator
    {111, {"................", "...kkkkkkkkkk...", "...kggggggggk...", "...kgGGGGGGgk...",
          "...kgGwwGwGgk...", "...kggggggggk...", "...kwkwkwkrrk...", "...kkkkkkkkkk...",
          "...kwkwkwkrrk...", "...kkkkkkkkkk...", "...kwkwkwkrrk...", "...kkkkkkkkkk...",
          "...kwwwkwkrrk...", "...kkkkkkkkkk...", "................", "................"}},
}};

word::Rgb Colour(char key) {
    switch (key) {
        case '.': return {192, 192, 192};
        case 'k': return {0, 0, 0};
        case 'w': return {255, 255, 255};
        case 'g': return {128, 128, 128};
        case 'n': return {0, 0, 128};
        case 'b': return {0, 0, 255};
        case 'r': return {255, 0, 0};
        case 'G': return {0, 128, 0};
        case 'y': return {255, 255, 0};
        case 'c': return {0, 255, 255};
        default: throw std::logic_error("unknown colour key in a face map");
    }
}

}  // namespace

std::vector<std::byte> LoadEditBitmap(long lngBitmap) {
    for (const auto& face : kFaces) {
        if (face.number != lngBitmap) continue;
        std::vector<word::Rgb> pixels;
        pixels.reserve(16 * 16);
        for (const auto row : face.rows) {
            if (row.size() != 16) throw std::logic_error("a face map row is not 16 wide");
            for (const char key : row) pixels.push_back(Colour(key));
        }
        return word::EncodeBitmap(16, 16, pixels, 4);
    }
    return {};
}

}  // namespace paperloom::edit
