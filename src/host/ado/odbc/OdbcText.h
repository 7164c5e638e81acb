#pragma once
// UTF-8 <-> SQLWCHAR (UTF-16) conversion for the driver manager's wide entry points. The wide
// calls are used throughout because they carry Japanese text unchanged through every driver,
// whatever the driver manager's narrow code page.

#include <sql.h>
#include <sqlext.h>

#include <string>
#include <string_view>

namespace paperloom::host::ado::odbc {

using WideString = std::basic_string<SQLWCHAR>;

// Throws HostError when `utf8` is not valid UTF-8: a statement must not be sent half-mangled.
WideString ToWide(std::string_view utf8);

// Text coming back from a driver is never rejected: broken surrogates become U+FFFD.
std::string FromWide(const SQLWCHAR* text, std::size_t length);
inline std::string FromWide(const WideString& text) { return FromWide(text.data(), text.size()); }

}  // namespace paperloom::host::ado::odbc
