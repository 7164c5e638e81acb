#pragma once
// The two facts about picture fields that the designer and the run-time share.

#include <string_view>

namespace paperloom::modPLPictureField {

// Token 0 of a template picture field and the first word of the code built at fill time.
inline constexpr std::string_view PICTURE_FIELD_TYPE = "IncludePicture";
// Token position of the record-source field name: after "IncludePicture" and "PictureField".
inline constexpr long PICTURE_DATA_INDEX = 2;

inline std::string_view GetPictureFieldType() {
    return PICTURE_FIELD_TYPE;
}

inline long GetPictureDataIndex() {
    return PICTURE_DATA_INDEX;
}

}  // namespace paperloom::modPLPictureField
