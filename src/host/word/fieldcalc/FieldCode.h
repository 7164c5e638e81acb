#pragma once
// A field code split into its type, arguments and switches, as the word processor reads it:
// blanks separate tokens, a double-quoted argument may hold blanks (inside it \" is a quote and
// \\ a backslash), a backslash outside quotes starts a switch, and the first word names the
// field type (compared without regard to case; "=" may be written straight before the formula).

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace paperloom::word::fieldcalc {

// Field type numbers of the object model.
enum class FieldType : int {
    Empty = -1,
    Unknown = 0,
    Ref = 3,
    If = 7,
    Seq = 12,
    Toc = 13,
    NumPages = 26,
    Date = 31,
    Time = 32,
    Page = 33,
    Formula = 34,
    Quote = 35,
    MergeField = 59,
    DocVariable = 64,
    IncludePicture = 67,
    Hyperlink = 88,
};

// The type number for a field's first word ("quote", "=", "IncludePicture", ...).
FieldType FieldTypeFromName(std::string_view name);

struct FieldToken {
    enum class Kind { Word, Quoted, Switch };
    Kind kind = Kind::Word;
    std::string text;        // unescaped text; for a switch its name, e.g. "\#" or "\d"
    std::size_t begin = 0;   // span in the code, quotes included
    std::size_t end = 0;
};

struct FieldSwitch {
    std::string name;                     // "\#", "\@", "\*", "\d", ...; letters as written
    std::optional<std::string> argument;  // the token that follows, if it is not a switch
};

class FieldCode {
public:
    static FieldCode Parse(std::string_view code);

    FieldType Type() const noexcept { return type_; }
    const std::string& TypeName() const noexcept { return typeName_; }
    const std::vector<FieldToken>& Tokens() const noexcept { return tokens_; }

    // The tokens between the type name and the first switch.
    const std::vector<FieldToken>& Arguments() const noexcept { return arguments_; }
    const std::vector<FieldSwitch>& Switches() const noexcept { return switches_; }

    // The code text between the type name and the first switch, trimmed (a formula's text).
    const std::string& ArgumentText() const noexcept { return argumentText_; }

    // The text a QUOTE field shows: its quoted text, or its words joined by one blank. A
    // quoted value that itself holds unescaped quotes is shown as written between the outer
    // quotes, so the value's own quotes survive.
    std::string QuotedText() const;

    bool HasSwitch(std::string_view name) const;

private:
    std::string code_;
    FieldType type_ = FieldType::Empty;
    std::string typeName_;
    std::vector<FieldToken> tokens_;
    std::vector<FieldToken> arguments_;
    std::vector<FieldSwitch> switches_;
    std::string argumentText_;
};

// Splits a code into tokens (exposed for the fuzz target and the tests).
std::vector<FieldToken> TokenizeFieldCode(std::string_view code);

}  // namespace paperloom::word::fieldcalc
