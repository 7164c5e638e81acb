#include "host/ado/ValueCompare.h"

#include <cstdint>

namespace paperloom::host::ado {
namespace {

char Fold(char c) noexcept { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

std::weak_ordering FromPartial(std::partial_ordering p) noexcept {
    if (p == std::partial_ordering::less) return std::weak_ordering::less;
    if (p == std::partial_ordering::greater) return std::weak_ordering::greater;
    return std::weak_ordering::equivalent;  // equal, or NaN against anything
}

bool IsNumberKind(VariantKind k) noexcept {
    return k == VariantKind::Integer || k == VariantKind::Double || k == VariantKind::Decimal ||
           k == VariantKind::Boolean;
}

// Numbers compare exactly where both sides allow it, by double otherwise.
std::weak_ordering CompareNumbers(const Variant& a, const Variant& b) {
    if (auto ai = a.Get<std::int64_t>()) {
        if (auto bi = b.Get<std::int64_t>()) return *ai <=> *bi;
    }
    if (auto ad = a.Get<Decimal>()) {
        if (auto bd = b.Get<Decimal>()) return *ad <=> *bd;
        if (auto bi = b.Get<std::int64_t>()) return *ad <=> Decimal::FromInteger(*bi);
    }
    if (auto ai = a.Get<std::int64_t>()) {
        if (auto bd = b.Get<Decimal>()) return Decimal::FromInteger(*ai) <=> *bd;
    }
    return FromPartial(a.AsDouble() <=> b.AsDouble());
}

int SortClass(VariantKind k) noexcept {
    switch (k) {
        case VariantKind::Empty:
        case VariantKind::Null: return 0;
        case VariantKind::Integer:
        case VariantKind::Double:
        case VariantKind::Decimal: return 1;
        case VariantKind::DateTime: return 2;
        case VariantKind::Boolean: return 3;
        case VariantKind::String: return 4;
    }
    return 5;
}

}  // namespace

std::weak_ordering CompareTextNoCase(std::string_view a, std::string_view b) noexcept {
    const std::size_t n = a.size() < b.size() ? a.size() : b.size();
    for (std::size_t i = 0; i < n; ++i) {
        const auto ca = static_cast<unsigned char>(Fold(a[i]));
        const auto cb = static_cast<unsigned char>(Fold(b[i]));
        if (ca != cb) return ca <=> cb;
    }
    return a.size() <=> b.size();
}

bool MatchLike(std::string_view text, std::string_view pattern) noexcept {
    // Greedy matching with one back-tracking point: linear for patterns of literal runs.
    std::size_t t = 0;
    std::size_t p = 0;
    std::size_t starP = std::string_view::npos;
    std::size_t starT = 0;
    while (t < text.size()) {
        if (p < pattern.size() && (pattern[p] == '%' || pattern[p] == '*')) {
            starP = p++;
            starT = t;
        } else if (p < pattern.size() && Fold(pattern[p]) == Fold(text[t])) {
            ++p;
            ++t;
        } else if (starP != std::string_view::npos) {
            p = starP + 1;
            t = ++starT;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && (pattern[p] == '%' || pattern[p] == '*')) ++p;
    return p == pattern.size();
}

std::optional<std::weak_ordering> CompareForCriteria(const Variant& field, const Variant& operand) {
    const VariantKind fk = field.Kind();
    const VariantKind ok = operand.Kind();
    if (fk == VariantKind::Null || ok == VariantKind::Null) return std::nullopt;
    if (IsNumberKind(fk) && IsNumberKind(ok)) return CompareNumbers(field, operand);
    if (fk == VariantKind::DateTime || ok == VariantKind::DateTime) {
        const Variant& other = fk == VariantKind::DateTime ? operand : field;
        std::optional<DateTime> otherDate;
        if (other.Kind() == VariantKind::DateTime) {
            otherDate = other.AsDateTime();
        } else if (auto s = other.Get<std::string>()) {
            otherDate = ParseDateText(*s);
        } else if (IsNumberKind(other.Kind())) {
            otherDate = DateTime::FromSerial(other.AsDouble());
        }
        if (!otherDate) return std::nullopt;
        if (fk == VariantKind::DateTime) return field.AsDateTime() <=> *otherDate;
        return *otherDate <=> operand.AsDateTime();
    }
    if (IsNumberKind(fk) && ok == VariantKind::String) {
        if (auto d = ParseNumericText(operand.AsString())) return FromPartial(field.AsDouble() <=> *d);
        return CompareTextNoCase(CStr(field), operand.AsString());
    }
    if (fk == VariantKind::String && IsNumberKind(ok)) {
        if (auto d = ParseNumericText(field.AsString())) return FromPartial(*d <=> operand.AsDouble());
        return CompareTextNoCase(field.AsString(), CStr(operand));
    }
    return CompareTextNoCase(ToDisplayText(field), ToDisplayText(operand));
}

std::weak_ordering CompareForSort(const Variant& a, const Variant& b) {
    const int ca = SortClass(a.Kind());
    const int cb = SortClass(b.Kind());
    if (ca != cb) return ca <=> cb;
    switch (ca) {
        case 0: return std::weak_ordering::equivalent;
        case 1: return CompareNumbers(a, b);
        case 2: return a.AsDateTime() <=> b.AsDateTime();
        case 3: return a.AsBoolean() <=> b.AsBoolean();
        default: return CompareTextNoCase(a.AsString(), b.AsString());
    }
}

}  // namespace paperloom::host::ado
