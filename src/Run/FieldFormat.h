#pragma once
// Turning one database value into the field code that shows it in the requested format, and
// formatting numbers for table cells without a field. Shared by the header fill and the
// detail fill.

#include <string>
#include <string_view>
#include <vector>

#include "common/SettingTypes.h"
#include "host/ado/Variant.h"

namespace paperloom::run {

// A value's text as a document can hold it: a NUL, which would cut everything after it, is
// written as U+FFFD.
std::string ShownText(std::string_view text);

// The first of the tokens from index 2 on that is a format switch ("\#", "\@" or "\*");
// "" when there is none.
std::string GetFormatType(const std::vector<std::string>& straryCodeTokens);

// The format switch that suits a database type code: "\#" for numbers, "\@" for dates and
// times, "\*" for texts, "" for every other type.
std::string GetFormatTypeFromDBType(int intDBType);

// The replacement field code for one value: "=" and the value for "\#" when the value is a
// number (a text that is no plain number, such as "6*7", is quoted instead and never computed;
// an expression column keeps its formula); a QUOTE code with the value in double quotes for
// "\@" and "\*"; without a switch by field type (expression formula, picture include, other
// quoted text). A Null or Empty value gives "quote" (shows nothing). Header fields and break
// rows that are no column pass ColumnFieldType::None.
std::string GetFormatTypeHeadCode(std::string_view strFormatType, const host::ado::Variant& vntValue,
                                  settingtypes::ColumnFieldType fieldType);

// The number text formatted by one of the pictures "#,##0", "#,##0.00", "0", "0%", "0.00",
// "0.00%" (a leading "=" of the value is ignored); "" for any other picture, which the
// caller leaves to a field.
std::string FieldFormatToText(std::string_view strFormat, std::string_view sValue);

}  // namespace paperloom::run
