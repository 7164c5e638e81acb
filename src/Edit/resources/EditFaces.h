#pragma once
// The design-time add-in's toolbar faces, bitmaps 101 to 106, 110 and 111: 16 x 16 pictures in
// 16 colours, drawn here from small character maps.

#include <cstddef>
#include <vector>

namespace paperloom::edit {

// The BMP image of the bitmap resource; empty for any other number.
std::vector<std::byte> LoadEditBitmap(long lngBitmap);

}  // namespace paperloom::edit
