#pragma once
// East Asian typography settings of a document (kerning of punctuation, character spacing
// control, line breaking rules), kept in the settings part. The platform reaches them through
// the document's attached template; here the document is its own template.

#include <string>
#include <string_view>

#include "host/docx/Package.h"

namespace paperloom::word {

enum WdJustificationMode : long {
    wdJustificationModeExpand = 0,
    wdJustificationModeCompress = 1,
    wdJustificationModeCompressKana = 2
};

enum WdFarEastLineBreakLevel : long {
    wdFarEastLineBreakLevelNormal = 0,
    wdFarEastLineBreakLevelStrict = 1,
    wdFarEastLineBreakLevelCustom = 2
};

class Typography {
public:
    explicit Typography(docx::Package& package) : package_(&package) {}

    // Kerning of half-width Latin characters and punctuation.
    bool KerningByAlgorithm() const;
    void SetKerningByAlgorithm(bool kern);
    WdJustificationMode JustificationMode() const;
    void SetJustificationMode(WdJustificationMode mode);
    // Custom when the document carries its own sets of characters, strict when it asks for
    // the strict sets, else normal. Choosing custom without sets writes the normal Japanese
    // sets as the starting point.
    WdFarEastLineBreakLevel FarEastLineBreakLevel() const;
    void SetFarEastLineBreakLevel(WdFarEastLineBreakLevel level);
    // The custom sets: characters a line may not start with, and may not end with.
    std::string NoLineBreakBefore() const;
    void SetNoLineBreakBefore(std::string_view characters);
    std::string NoLineBreakAfter() const;
    void SetNoLineBreakAfter(std::string_view characters);

    // All of the above, exactly as the source stores them.
    void CopyFrom(const Typography& source);

private:
    docx::Package* package_;
};

}  // namespace paperloom::word
