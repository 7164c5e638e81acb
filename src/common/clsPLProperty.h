#pragma once
// Reads and edits property text: Name="Value" entries joined by ", ", and reads it from the
// hidden text at the start of table cells; reads and deletes document variables. The only
// code that parses that text; it keeps no state, so any caller may make an instance where
// needed.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace paperloom::word {
class Document;
class Range;
class Table;
}  // namespace paperloom::word

namespace paperloom {

class clsPLProperty {
public:
    // Value of strPropName, or strDefaultVlaue when the key is absent, its entry unterminated
    // or its value not enclosed in double quotes, or either input empty. "Format" is read back with
    // doubled backslashes halved.
    std::string GetPropertyFromText(std::string_view strSource, std::string_view strPropName,
                                    std::string_view strDefaultVlaue) const;

    // Sets the entry in place, or appends it after ", ". An empty key leaves the text as it is.
    // "Format" is stored with every backslash doubled. A value holding a double quote would
    // damage every entry behind it, so it is refused with a HostError (number 5).
    void SetPropertyToText(std::string& strDestination, std::string_view strPropName,
                           std::string_view strPropValue) const;

    // Removes the first entry with exactly that key, with its separator.
    void DeletePropertyFromText(std::string& strDestination, std::string_view strPropName) const;

    // Removes every entry whose key ends with strPropName (the break-row keys of all columns).
    void DeletePropertiesFromText(std::string& strDestination, std::string_view strPropName) const;

    // True when the range's first paragraph begins with hidden text; szResult receives that
    // hidden property text. The document's view must not display hidden text meanwhile
    // (HiddenTextDisplayOff); otherwise the range reads as holding none.
    bool GetProperties(const word::Range& rangeTarget, std::string& szResult) const;

    // True when the range holds hidden text; rangeResult then covers the first hidden run
    // (followed across hidden paragraph marks). Setting its text replaces the property text in
    // place and keeps it hidden.
    bool GetProperties2(const word::Range& rangeTarget, std::optional<word::Range>& rangeResult) const;

    // Property text of the detail table (cell 1,1), "" when there is none. The view's display
    // of hidden text is switched off for the read and restored afterwards, also on error.
    std::string GetDetailProperties(const word::Table& tblTarget, word::Document& docTarget) const;

    // The number of table columns; strColumnProperties[c - 1] receives the property text of
    // cell (1, c), or "". Display of hidden text as for GetDetailProperties.
    long GetColumnProperties(const word::Table& tblTarget, word::Document& docTarget,
                             std::vector<std::string>& strColumnProperties) const;

    // Value of the document variable, or strDefaultValue when it is missing or unreadable.
    std::string GetDocVariable(std::string_view strName, word::Document& docTarget,
                               std::string_view strDefaultValue) const;

    // Deletes the variable; a missing variable, or one that cannot be deleted, is no error.
    void DeleteDocVariable(std::string_view strName, word::Document& docTarget) const;
};

}  // namespace paperloom
