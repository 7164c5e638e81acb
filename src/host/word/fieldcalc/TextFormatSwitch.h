#pragma once
// The \* switch applied to a result text: Upper, Lower, FirstCap, Caps, SBCHAR (full-width to
// half-width), DBCHAR (half-width to full-width). MERGEFORMAT and CHARFORMAT change no text;
// they tell the document model how to carry formatting over to the new result. Arguments are
// compared without regard to case.

#include <optional>
#include <string>
#include <string_view>

namespace paperloom::word::fieldcalc {

enum class TextFormat { Upper, Lower, FirstCap, Caps, SingleByte, DoubleByte, MergeFormat, CharFormat };

std::optional<TextFormat> TextFormatFromArgument(std::string_view argument);

std::string ApplyTextFormat(std::string_view text, TextFormat format);

}  // namespace paperloom::word::fieldcalc
