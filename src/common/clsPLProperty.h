#pragma once
// Reads and edits property text: Name="Value" entries joined by ", ". The only code that
// parses that text; it keeps no state, so any caller may make an instance where needed.
// (The document-side reads of hidden cell text and document variables join this class once
// the document host is in place.)

#include <string>
#include <string_view>

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
};

}  // namespace paperloom
