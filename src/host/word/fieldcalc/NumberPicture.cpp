#include "host/word/fieldcalc/NumberPicture.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "host/word/fieldcalc/DecimalNumber.h"

namespace paperloom::word::fieldcalc {
namespace {

constexpr std::string_view kYenSign = "\xC2\xA5";

struct PictureItem {
    enum class Kind { Digit, Point, Group, Minus, Plus, Literal };
    Kind kind = Kind::Literal;
    char digit = '0';  // '0', '#' or 'x'
    std::string text;  // literal text
};

struct Section {
    std::vector<PictureItem> items;
    int integerDigits = 0;
    int fractionDigits = 0;
    bool grouping = false;
    bool hasSign = false;
    bool hasPoint = false;
};

std::vector<std::string> SplitSections(std::string_view picture) {
    std::vector<std::string> sections(1);
    bool quoted = false;
    for (char c : picture) {
        if (c == '\'') quoted = !quoted;
        if (c == ';' && !quoted) {
            sections.emplace_back();
            continue;
        }
        sections.back() += c;
    }
    return sections;
}

void AddLiteral(Section& section, std::string_view text) {
    if (!section.items.empty() && section.items.back().kind == PictureItem::Kind::Literal)
        section.items.back().text += text;
    else
        section.items.push_back({PictureItem::Kind::Literal, '0', std::string(text)});
}

// Signs are placeholders only in the positive section; elsewhere the section's text is shown
// for the magnitude and its signs are literal.
Section ParseSection(std::string_view text, bool signsArePlaceholders) {
    Section section;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\'') {
            const auto close = text.find('\'', i + 1);
            const auto end = close == std::string_view::npos ? text.size() : close;
            AddLiteral(section, text.substr(i + 1, end - i - 1));
            i = end;
        } else if (c == '0' || c == '#' || c == 'x' || c == 'X') {
            section.items.push_back({PictureItem::Kind::Digit, c == 'X' ? 'x' : c, {}});
            (section.hasPoint ? section.fractionDigits : section.integerDigits)++;
        } else if (c == '.' && !section.hasPoint) {
            section.hasPoint = true;
            section.items.push_back({PictureItem::Kind::Point, '0', {}});
        } else if (c == ',' && !section.hasPoint && section.integerDigits > 0) {
            section.grouping = true;
            section.items.push_back({PictureItem::Kind::Group, '0', {}});
        } else if ((c == '-' || c == '+') && signsArePlaceholders) {
            section.hasSign = true;
            section.items.push_back({c == '-' ? PictureItem::Kind::Minus : PictureItem::Kind::Plus, '0', {}});
        } else if (c == '\\') {
            AddLiteral(section, kYenSign);
        } else {
            AddLiteral(section, text.substr(i, 1));
        }
    }
    return section;
}

class SectionWriter {
public:
    SectionWriter(const Section& section, const RoundedDecimal& number) : section_(section), number_(number) {}

    std::string Write() const {
        const auto point = std::find_if(section_.items.begin(), section_.items.end(),
                                        [](const PictureItem& item) { return item.kind == PictureItem::Kind::Point; });
        std::string text = IntegerPart(section_.items.begin(), point);
        if (point != section_.items.end()) text += FractionPart(point + 1, section_.items.end());
        return text;
    }

private:
    using Iterator = std::vector<PictureItem>::const_iterator;

    std::string SignText(PictureItem::Kind kind) const {
        if (number_.negative) return "-";
        if (kind == PictureItem::Kind::Plus && !number_.IsZero()) return "+";
        return " ";
    }

    // The integer digits to show: the rounded integer, cut to the places from the leftmost
    // 'x', padded with zeros to the places from the leftmost '0'.
    std::string IntegerDigits(Iterator begin, Iterator end) const {
        std::string digits = number_.integer;
        int position = section_.integerDigits;  // places from here to the point
        int cut = -1;
        int minimum = 0;
        for (Iterator it = begin; it != end; ++it) {
            if (it->kind != PictureItem::Kind::Digit) continue;
            if (it->digit == 'x' && cut < 0) cut = position;
            if (it->digit != '#' && minimum == 0) minimum = position;
            --position;
        }
        if (cut >= 0 && static_cast<int>(digits.size()) > cut) digits = digits.substr(digits.size() - static_cast<std::size_t>(cut));
        if (static_cast<int>(digits.size()) < minimum) digits.insert(0, static_cast<std::size_t>(minimum) - digits.size(), '0');
        return digits;
    }

    // Each placeholder takes one digit counted from the right; the leftmost takes the rest.
    std::string IntegerPart(Iterator begin, Iterator end) const {
        std::string digits = IntegerDigits(begin, end);
        if (section_.integerDigits == 0) {
            // Digits without a placeholder for them go before the point; a picture of
            // literals only shows just its literals.
            if (section_.fractionDigits == 0) digits.clear();
            std::string text;
            for (Iterator it = begin; it != end; ++it) {
                if (it->kind == PictureItem::Kind::Literal) text += it->text;
                if (it->kind == PictureItem::Kind::Minus || it->kind == PictureItem::Kind::Plus) text += SignText(it->kind);
            }
            return text + digits;
        }
        // How many digits each placeholder shows, from the right.
        std::vector<std::size_t> counts;
        std::size_t remaining = digits.size();
        int placeholdersLeft = section_.integerDigits;
        for (Iterator it = end; it != begin;) {
            --it;
            if (it->kind != PictureItem::Kind::Digit) continue;
            --placeholdersLeft;
            const std::size_t take = placeholdersLeft == 0 ? remaining : std::min<std::size_t>(remaining, 1);
            counts.push_back(take);
            remaining -= take;
        }
        std::reverse(counts.begin(), counts.end());
        std::string text;
        std::size_t next = 0;
        std::size_t placeholder = 0;
        for (Iterator it = begin; it != end; ++it) {
            switch (it->kind) {
                case PictureItem::Kind::Digit:
                    for (std::size_t i = 0; i < counts[placeholder]; ++i) {
                        const std::size_t fromRight = digits.size() - next;
                        if (section_.grouping && next > 0 && fromRight % 3 == 0) text += ',';
                        text += digits[next++];
                    }
                    ++placeholder;
                    break;
                case PictureItem::Kind::Literal: text += it->text; break;
                case PictureItem::Kind::Minus:
                case PictureItem::Kind::Plus: text += SignText(it->kind); break;
                case PictureItem::Kind::Group:
                case PictureItem::Kind::Point: break;
            }
        }
        return text;
    }

    std::string FractionPart(Iterator begin, Iterator end) const {
        // Places past the rounding precision (a picture with hundreds of them) show zeros.
        const std::string& digits = number_.fraction;
        const auto digitAt = [&](std::size_t index) { return index < digits.size() ? digits[index] : '0'; };
        const auto places = static_cast<std::size_t>(section_.fractionDigits);
        // '#' drops trailing zeros from the right until a '0' or 'x' placeholder.
        std::size_t shown = places;
        for (Iterator it = end; it != begin && shown > 0;) {
            --it;
            if (it->kind != PictureItem::Kind::Digit) continue;
            if (it->digit != '#' || digitAt(shown - 1) != '0') break;
            --shown;
        }
        std::string text;
        std::size_t index = 0;
        for (Iterator it = begin; it != end; ++it) {
            if (it->kind == PictureItem::Kind::Digit) {
                if (index < shown) text += digitAt(index);
                ++index;
            } else if (it->kind == PictureItem::Kind::Literal) {
                text += it->text;
            } else if (it->kind == PictureItem::Kind::Minus || it->kind == PictureItem::Kind::Plus) {
                text += SignText(it->kind);
            }
        }
        if (shown > 0 || section_.fractionDigits == 0) text.insert(0, ".");
        return text;
    }

    const Section& section_;
    const RoundedDecimal& number_;
};

}  // namespace

std::string FormatNumberPicture(double value, std::string_view picture) {
    if (!std::isfinite(value)) value = 0;
    const std::vector<std::string> sections = SplitSections(picture);

    Section positive = ParseSection(sections[0], true);
    RoundedDecimal rounded = RoundToDecimals(value, positive.fractionDigits);
    if (sections.size() >= 3 && rounded.IsZero() && !sections[2].empty()) {
        const Section zero = ParseSection(sections[2], false);
        rounded = RoundToDecimals(0, zero.fractionDigits);
        return SectionWriter(zero, rounded).Write();
    }
    if (rounded.negative && sections.size() >= 2 && !sections[1].empty()) {
        const Section negative = ParseSection(sections[1], false);
        rounded = RoundToDecimals(-value, negative.fractionDigits);
        return SectionWriter(negative, rounded).Write();
    }
    std::string text = SectionWriter(positive, rounded).Write();
    if (rounded.negative && !positive.hasSign) text.insert(0, "-");
    return text;
}

}  // namespace paperloom::word::fieldcalc
