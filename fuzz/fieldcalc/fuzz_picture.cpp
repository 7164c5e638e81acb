// Number, date-time and text pictures, and the general switches of QUOTE codes. The first
// byte chooses what is fuzzed, the next eight give a number, the rest is the picture or code.

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

#include "host/word/fieldcalc/DateTimePicture.h"
#include "host/word/fieldcalc/DateTimeValue.h"
#include "host/word/fieldcalc/FieldCode.h"
#include "host/word/fieldcalc/FieldComputer.h"
#include "host/word/fieldcalc/NumberPicture.h"
#include "host/word/fieldcalc/TextFormatSwitch.h"

using namespace paperloom::word::fieldcalc;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 9) return 0;
    const std::uint8_t mode = data[0];
    double number = 0;
    std::memcpy(&number, data + 1, sizeof number);
    const std::string text(reinterpret_cast<const char*>(data + 9), size - 9);

    switch (mode % 5) {
        case 0:
            (void)FormatNumberPicture(number, text);
            break;
        case 1:
            if (const auto date = DateTimeFromSerial(number)) (void)FormatDateTimePicture(*date, text);
            break;
        case 2:
            if (const auto date = ParseDateTimeText(text)) (void)FormatDateTimePicture(*date, "gggee年MM月dd日 dddd hh:mm:ss am/pm");
            break;
        case 3:
            (void)ApplyTextFormat(text, static_cast<TextFormat>((mode / 5) % 6));
            break;
        default: {
            (void)FieldCode::Parse(text).QuotedText();
            (void)FieldComputer{}.Compute(text);
            break;
        }
    }
    return 0;
}
