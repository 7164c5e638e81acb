#pragma once
// Document-wide options of the settings part: the click-and-type paragraph style, the
// printing switches, and the compatibility options by the platform's WdCompatibility index.

#include <string>
#include <string_view>

#include "host/docx/Package.h"

namespace paperloom::word {

class DocumentSettings {
public:
    explicit DocumentSettings(docx::Package& package) : package_(&package) {}

    // The style's name; the default paragraph style's name when none is set.
    std::string ClickAndTypeParagraphStyle() const;
    // Error 5941 when the document has no style of that name.
    void SetClickAndTypeParagraphStyle(std::string_view styleName);
    bool PrintPostScriptOverText() const;
    void SetPrintPostScriptOverText(bool print);
    bool PrintFormsData() const;
    void SetPrintFormsData(bool print);

    // Compatibility options 1 to 41 (WdCompatibility). An index the file format has no
    // setting for (10, transparent metafiles) or outside 1 to 41 reads False and is not
    // stored.
    bool Compatibility(long index) const;
    void SetCompatibility(long index, bool on);

    // The compat element an index is stored as, or "" when it has none.
    static std::string_view CompatibilityElement(long index);
    static constexpr long kCompatibilityCount = 41;

    // Copies the settings above from `source` in the platform's order (click-and-type style
    // as stored, printing switches, compatibility options 1 to 41 with 26 before 25), and the
    // compatibility mode, without which the options are read against a different layout.
    void CopyFrom(const DocumentSettings& source);

private:
    docx::Package* package_;
};

}  // namespace paperloom::word
