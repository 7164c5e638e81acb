#pragma once
// ODBC connection-string attributes: keyword=value pairs separated by ";", where a value may be
// wrapped in braces ("}}" inside stands for one brace) to carry ";" and other specials.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace paperloom::host::ado::odbc {

using ConnectionAttribute = std::pair<std::string, std::string>;

// Keywords as written (trimmed), values unwrapped. Empty segments are skipped.
std::vector<ConnectionAttribute> ParseConnectionString(std::string_view text);

// The value of `keyword` (compared without regard to ASCII case), if present.
std::optional<std::string> FindAttribute(std::string_view text, std::string_view keyword);

// Wraps a value in braces when it would otherwise end or confuse the attribute.
std::string QuoteAttributeValue(std::string_view value);

// Appends UID and PWD from the separate user name and password when they are given and the
// string does not name them already; the string's own values win.
std::string WithCredentials(std::string_view connectionString, std::string_view user,
                            std::string_view password);

}  // namespace paperloom::host::ado::odbc
