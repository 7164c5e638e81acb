#include "host/word/fieldcalc/DateTimePicture.h"

#include <unicode/calendar.h>
#include <unicode/dtfmtsym.h>
#include <unicode/smpdtfmt.h>
#include <unicode/locid.h>
#include <unicode/timezone.h>
#include <unicode/unistr.h>

#include <chrono>
#include <map>
#include <memory>

#include <fmt/format.h>

#include "host/AsciiText.h"

namespace paperloom::word::fieldcalc {
namespace {

struct JapaneseEra {
    std::string name;
    int year = 0;
};

std::string ToUtf8(const icu::UnicodeString& text) {
    std::string out;
    text.toUTF8String(out);
    return out;
}

// One calendar and era formatter per thread: ICU calendars are not safe to share while set.
JapaneseEra EraOf(const DateTimeValue& value) {
    thread_local std::unique_ptr<icu::Calendar> calendar;
    thread_local std::unique_ptr<icu::SimpleDateFormat> eraFormat;
    UErrorCode status = U_ZERO_ERROR;
    const icu::Locale japanese("ja_JP@calendar=japanese");
    if (!calendar || !eraFormat) {
        calendar.reset(icu::Calendar::createInstance(icu::TimeZone::getGMT()->clone(), japanese, status));
        eraFormat = std::make_unique<icu::SimpleDateFormat>(icu::UnicodeString(u"GGGG"), japanese, status);
        if (U_FAILURE(status) || !calendar) {
            calendar.reset();
            eraFormat.reset();
            return {"", value.year};
        }
        eraFormat->setTimeZone(*icu::TimeZone::getGMT());
    }

    using namespace std::chrono;
    const sys_days days{year{value.year} / month{static_cast<unsigned>(value.month)} / day{static_cast<unsigned>(value.day)}};
    // Noon, so that no time-zone rule can move the date.
    const UDate date = static_cast<UDate>(days.time_since_epoch().count()) * U_MILLIS_PER_DAY + U_MILLIS_PER_HOUR * 12;
    calendar->setTime(date, status);
    const int eraYear = calendar->get(UCAL_YEAR, status);
    if (U_FAILURE(status)) return {"", value.year};
    icu::UnicodeString name;
    eraFormat->format(date, name);
    return {ToUtf8(name), eraYear};
}

// Symbols are costly to load; a print run formats thousands of dates.
const icu::DateFormatSymbols* SymbolsFor(const std::string& locale) {
    thread_local std::map<std::string, std::unique_ptr<icu::DateFormatSymbols>> cache;
    auto& slot = cache[locale];
    if (!slot) {
        UErrorCode status = U_ZERO_ERROR;
        slot = std::make_unique<icu::DateFormatSymbols>(icu::Locale(locale.c_str()), status);
        if (U_FAILURE(status)) slot.reset();
    }
    return slot.get();
}

std::string LocaleName(const std::string& locale, bool weekday, int index, bool full) {
    const icu::DateFormatSymbols* found = SymbolsFor(locale);
    if (found == nullptr) return {};
    const icu::DateFormatSymbols& symbols = *found;
    int32_t count = 0;
    const auto width = full ? icu::DateFormatSymbols::WIDE : icu::DateFormatSymbols::ABBREVIATED;
    const icu::UnicodeString* names = weekday
        ? symbols.getWeekdays(count, icu::DateFormatSymbols::FORMAT, width)
        : symbols.getMonths(count, icu::DateFormatSymbols::FORMAT, width);
    if (names == nullptr || index < 0 || index >= count) return {};
    return ToUtf8(names[index]);
}

std::string FirstLetter(const std::string& text) {
    const icu::UnicodeString unicode = icu::UnicodeString::fromUTF8(text);
    if (unicode.isEmpty()) return {};
    return ToUtf8(icu::UnicodeString(unicode.char32At(0)));
}

std::string Number(int value, std::size_t width) {
    return width >= 2 ? fmt::format("{:02}", value) : fmt::format("{}", value);
}

}  // namespace

std::string FormatDateTimePicture(const DateTimeValue& value, std::string_view picture, const std::string& locale) {
    std::string out;
    std::size_t i = 0;
    while (i < picture.size()) {
        const char c = picture[i];
        if (c == '\'') {
            const auto close = picture.find('\'', i + 1);
            const auto end = close == std::string_view::npos ? picture.size() : close;
            out += picture.substr(i + 1, end - i - 1);
            i = end + 1;
            continue;
        }
        if (text::StartsWithNoCase(picture.substr(i), "am/pm")) {
            const bool upper = picture[i] == 'A';
            const bool morning = value.hour < 12;
            out += upper ? (morning ? "AM" : "PM") : (morning ? "am" : "pm");
            i += 5;
            continue;
        }
        std::size_t run = 1;
        while (i + run < picture.size() && picture[i + run] == c) ++run;
        switch (c) {
            case 'y':
            case 'Y':
                out += run >= 3 ? fmt::format("{:04}", value.year) : fmt::format("{:02}", ((value.year % 100) + 100) % 100);
                break;
            case 'M':
                if (run >= 3) out += LocaleName(locale, false, value.month - 1, run >= 4);
                else out += Number(value.month, run);
                break;
            case 'd':
                if (run >= 3) out += LocaleName(locale, true, DayOfWeek(value) + 1, run >= 4);
                else out += Number(value.day, run);
                break;
            case 'h': out += Number(value.hour % 12 == 0 ? 12 : value.hour % 12, run); break;
            case 'H': out += Number(value.hour, run); break;
            case 'm': out += Number(value.minute, run); break;
            case 's': out += Number(value.second, run); break;
            case 'g': {
                const std::string name = EraOf(value).name;
                out += run == 1 ? FirstLetter(name) : name;
                break;
            }
            case 'e': out += Number(EraOf(value).year, run); break;
            default: out.append(picture.substr(i, run)); break;
        }
        i += run;
    }
    return out;
}

}  // namespace paperloom::word::fieldcalc
