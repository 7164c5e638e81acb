#pragma once
// A double written out exactly as decimal digits, so that rounding works on the digits a
// reader sees (0.055 rounds to 0.06) instead of on the binary value behind them.

#include <string>

namespace paperloom::word::fieldcalc {

struct RoundedDecimal {
    bool negative = false;     // only when some digit is not zero
    std::string integer;       // no leading zeros; empty for zero
    std::string fraction;      // exactly the requested number of digits

    bool IsZero() const;
};

// The value's shortest round-trip digits, rounded half away from zero to `decimals` places.
// The value must be finite.
RoundedDecimal RoundToDecimals(double value, int decimals);

// The default text of a computed number: at most 15 significant digits, no exponent, no
// trailing zeros ("0.3" for 0.1 + 0.2, "1234567" for 1234567.0).
std::string FormatGeneralNumber(double value);

}  // namespace paperloom::word::fieldcalc
