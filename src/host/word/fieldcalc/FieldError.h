#pragma once
// Why a field could not be computed. A failed field shows a short, visible error text as its
// result (each text starts with "!" so it cannot be mistaken for a value); it never throws out
// of the update of a whole collection.

#include <stdexcept>
#include <string>

namespace paperloom::word::fieldcalc {

enum class FieldErrorKind {
    Syntax,             // the formula cannot be parsed
    ZeroDivide,         // division or MOD by zero
    UndefinedBookmark,  // a name that is neither a function, a cell nor a bookmark
    NotInTable,         // a cell reference in a field outside any table
    CellOutOfRange,     // a cell reference past the table's rows or columns
    NotANumber,         // a bookmark or cell used as a number holds no number
    Overflow,           // the result is not a finite number (too large, or undefined)
    UnknownSwitch,      // an unknown \* argument
    NoPicturePath,      // an INCLUDEPICTURE field without a file name
    Unexpected,         // anything else that went wrong while computing
};

// The result text shown for an error; `detail` (a token, a name) is appended when not empty.
std::string FieldErrorText(FieldErrorKind kind, const std::string& detail = {});

class FieldError : public std::runtime_error {
public:
    FieldError(FieldErrorKind kind, std::string detail = {})
        : std::runtime_error(FieldErrorText(kind, detail)), kind_(kind), detail_(std::move(detail)) {}

    FieldErrorKind Kind() const noexcept { return kind_; }
    const std::string& Detail() const noexcept { return detail_; }

private:
    FieldErrorKind kind_;
    std::string detail_;
};

}  // namespace paperloom::word::fieldcalc
