#pragma once
// The document's default formatting from the styles part (w:docDefaults and the default
// paragraph style), as far as page layout needs it.

#include "host/docx/Package.h"

namespace paperloom::word {

// The font size in points of text in the default paragraph style: that style's own size,
// else the document defaults' size, else 10 points (the schema's default).
double DefaultFontSize(docx::Package& package);

// Replaces the destination's w:docDefaults with the source's (removes it when the source
// has none). Used when a document is to look like another one.
void CopyDocumentDefaults(docx::Package& destination, docx::Package& source);

}  // namespace paperloom::word
