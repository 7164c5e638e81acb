#pragma once
// The condition that links a detail table's record source to the current header record
// ("ChildKey = value"). The value comes from the database, so it is written as one literal of
// the kind the child key column holds and can never become part of the statement itself.

#include <optional>
#include <string>
#include <string_view>

#include "host/ado/DataTypes.h"
#include "host/ado/Variant.h"

namespace paperloom::run {

// How the child key column compares: as text, as a date, as a number, or as anything else.
enum class KeyKind { Text, Date, Number, Other };

KeyKind KindOfType(host::ado::DataTypeEnum type);
// The kind the header's value suggests, for a child key whose type the schema does not tell.
KeyKind KindOfValue(const host::ado::Variant& value);

// A text literal: in single quotes, each quote inside doubled.
std::string QuotedText(std::string_view text);

// True for a plain number literal: sign, digits, one point, an exponent ("12", "-0.5", "1.5E+20").
bool IsPlainNumber(std::string_view text);

// "childKey=literal". Text is quoted; a date is written as #yyyy/MM/dd[ HH:mm:ss]# only from a
// real date (a date value, or text that reads as one), otherwise quoted as text; a number key
// takes only a number. For other kinds a value that is not a number is quoted as text, so it
// matches nothing instead of changing the statement.
// Nothing when the value can equal no key (text that is not a number for a number key) or
// cannot be written into a statement at all (it holds a NUL character): no child records.
std::optional<std::string> MakeLinkCondition(std::string_view childKey, KeyKind kind,
                                             const host::ado::Variant& parentValue);

}  // namespace paperloom::run
