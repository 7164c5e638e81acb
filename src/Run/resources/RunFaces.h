#pragma once
// The run-time add-in's toolbar faces, bitmaps 101 to 111: 16 x 16 pictures drawn here from
// small character maps. 106 and 109 have 24-bit colour (shaded), the others 16 colours.

#include <cstddef>
#include <vector>

namespace paperloom::run {

// The BMP image of the bitmap resource; empty for numbers outside 101 to 111.
std::vector<std::byte> LoadRunBitmap(long lngBitmap);

}  // namespace paperloom::run
