#include "host/word/fieldcalc/DateTimeValue.h"

#include <chrono>
#include <cmath>
#include <string>

#include "host/AsciiText.h"

namespace paperloom::word::fieldcalc {
namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::sys_days;
using std::chrono::year;
using std::chrono::year_month_day;

class Reader {
public:
    explicit Reader(std::string_view text) : text_(text) {}

    std::optional<int> Number(std::size_t minDigits, std::size_t maxDigits) {
        std::size_t count = 0;
        int value = 0;
        while (position_ < text_.size() && count < maxDigits && text_[position_] >= '0' && text_[position_] <= '9') {
            value = value * 10 + (text_[position_++] - '0');
            ++count;
        }
        if (count < minDigits) return std::nullopt;
        return value;
    }
    bool Accept(char c) {
        if (position_ < text_.size() && text_[position_] == c) {
            ++position_;
            return true;
        }
        return false;
    }
    void SkipBlanks() {
        while (position_ < text_.size() && (text_[position_] == ' ' || text_[position_] == '\t')) ++position_;
    }
    bool AtEnd() const { return position_ == text_.size(); }
    std::size_t Position() const { return position_; }
    void Reset(std::size_t position) { position_ = position; }

private:
    std::string_view text_;
    std::size_t position_ = 0;
};

bool ReadTime(Reader& reader, DateTimeValue& value) {
    const auto hour = reader.Number(1, 2);
    if (!hour || !reader.Accept(':')) return false;
    const auto minute = reader.Number(2, 2);
    if (!minute) return false;
    std::optional<int> second = 0;
    if (reader.Accept(':')) second = reader.Number(2, 2);
    if (!second || *hour > 23 || *minute > 59 || *second > 59) return false;
    value.hour = *hour;
    value.minute = *minute;
    value.second = *second;
    return true;
}

}  // namespace

std::optional<DateTimeValue> ParseDateTimeText(std::string_view text) {
    text = text::Trim(text, text::kBlanks);
    Reader reader(text);
    DateTimeValue value;

    // A time alone.
    if (ReadTime(reader, value) && reader.AtEnd()) return value;
    reader.Reset(0);
    value = DateTimeValue{};

    const auto y = reader.Number(4, 4);
    if (!y) return std::nullopt;
    char separator = 0;
    if (reader.Accept('/')) separator = '/';
    else if (reader.Accept('-')) separator = '-';
    else return std::nullopt;
    const auto m = reader.Number(1, 2);
    if (!m || !reader.Accept(separator)) return std::nullopt;
    const auto d = reader.Number(1, 2);
    if (!d) return std::nullopt;
    const year_month_day date{year{*y}, month{static_cast<unsigned>(*m)}, day{static_cast<unsigned>(*d)}};
    if (!date.ok()) return std::nullopt;
    value.year = *y;
    value.month = *m;
    value.day = *d;
    if (reader.AtEnd()) return value;
    if (!reader.Accept('T')) {
        const std::size_t before = reader.Position();
        reader.SkipBlanks();
        if (reader.Position() == before) return std::nullopt;
    }
    if (!ReadTime(reader, value) || !reader.AtEnd()) return std::nullopt;
    return value;
}

std::optional<DateTimeValue> DateTimeFromSerial(double serial) {
    if (!std::isfinite(serial) || serial < -657434.0 || serial > 2958465.99999) return std::nullopt;  // years 100..9999
    double days = std::floor(serial);
    long long seconds = std::llround((serial - days) * 86400.0);
    if (seconds >= 86400) {
        seconds -= 86400;
        days += 1;
    }
    const sys_days base = sys_days{year{1899} / 12 / 30};
    const year_month_day date{base + std::chrono::days{static_cast<long long>(days)}};
    DateTimeValue value;
    value.year = static_cast<int>(date.year());
    value.month = static_cast<int>(static_cast<unsigned>(date.month()));
    value.day = static_cast<int>(static_cast<unsigned>(date.day()));
    value.hour = static_cast<int>(seconds / 3600);
    value.minute = static_cast<int>(seconds / 60 % 60);
    value.second = static_cast<int>(seconds % 60);
    return value;
}

int DayOfWeek(const DateTimeValue& value) {
    const sys_days days{year{value.year} / month{static_cast<unsigned>(value.month)} / day{static_cast<unsigned>(value.day)}};
    return static_cast<int>(std::chrono::weekday{days}.c_encoding());
}

}  // namespace paperloom::word::fieldcalc
