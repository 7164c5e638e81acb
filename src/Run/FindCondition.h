#pragma once
// The condition the find dialog (and `paperloom find --field`) searches with: one comparison
// on one header field, its value written by the field's kind so the record source compares
// like with like. Text is matched anywhere in the field; a blank search looks for Null.

#include <string>
#include <string_view>

namespace paperloom::run {

struct FindCondition {
    std::string strCondition;  // "" when the input cannot be searched for
    std::string_view strMessage;  // then: the message that says why
    bool Ok() const { return strMessage.empty(); }
};

// intFieldKind: clsPLRDBBind::GetFieldType of the field (0 unknown field or type, 2 number,
// 7 date, 8 text, 11 Boolean, 12 variant). With blnBlank the value is not looked at:
// field=NULL. Numbers and Booleans are written plain, dates between '#', text as
// field LIKE '%value%' with quotes in the value doubled; a variant is plain when the value
// reads as a number and not as a date, else text. A value that cannot stand where its kind
// puts it (a number field given text, a date with '#' in it) is refused with MSG_BAD_VALUE,
// an unknown field with MSG_BAD_FIELD.
FindCondition BuildFindCondition(std::string_view strDataField, int intFieldKind, std::string_view strValue,
                                 bool blnBlank);

// The text pattern alone: '%value%' with quotes doubled.
std::string QuoteLikePattern(std::string_view strValue);

}  // namespace paperloom::run
