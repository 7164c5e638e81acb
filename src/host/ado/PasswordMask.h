#pragma once
// Passwords hidden in any text that is shown: error descriptions, reports, message boxes.

#include <initializer_list>
#include <string>
#include <string_view>

namespace paperloom::host::ado {

inline constexpr std::string_view kMaskedPassword = "********";

// `text` with the value of every PWD= and Password= key (any case; plain, {braced} with "}}"
// inside, or quoted with ' or " and doubled quotes inside) replaced by kMaskedPassword, and
// every occurrence of the `knownPasswords` (the ones given beside a connection string)
// replaced too. A known password shorter than four characters is replaced only where it
// stands alone, so that a one-letter password does not garble the rest of the message.
std::string MaskPasswords(std::string_view text, std::initializer_list<std::string_view> knownPasswords = {});

}  // namespace paperloom::host::ado
