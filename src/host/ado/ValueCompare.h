#pragma once
// Comparisons of field values as the client-side recordset makes them: text without regard to
// ASCII case, numbers by value across integer, floating and exact kinds, dates by instant.

#include <compare>
#include <optional>
#include <string_view>

#include "host/ado/Variant.h"

namespace paperloom::host::ado {

// Order of a field value against a criterion operand; nullopt when the two cannot be compared
// (a Null on either side, or kinds with no common reading).
std::optional<std::weak_ordering> CompareForCriteria(const Variant& field, const Variant& operand);

// Total order used by Sort: Null and Empty first, then numbers, dates, Booleans, texts.
std::weak_ordering CompareForSort(const Variant& a, const Variant& b);

// Text comparison without regard to ASCII letter case.
std::weak_ordering CompareTextNoCase(std::string_view a, std::string_view b) noexcept;

// LIKE matching without regard to ASCII case; '%' and '*' stand for any run of characters.
bool MatchLike(std::string_view text, std::string_view pattern) noexcept;

}  // namespace paperloom::host::ado
