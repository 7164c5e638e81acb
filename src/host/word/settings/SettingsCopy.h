#pragma once
// Copying a document's settings into another document, destination first and source second,
// so that a new document can be made to look like a template before its content is copied.

#include "host/docx/Package.h"
#include "host/word/settings/WebOptions.h"

namespace paperloom::word {

// The first section's page setup, its text columns and line numbering, and the document-wide
// page settings (mirror margins, odd-and-even headers, gutter position, book folding).
void CopyPageSetup(docx::Package& destination, docx::Package& source);

// Web options (the browser level from the memories when both are given), click-and-type
// style and printing switches, compatibility options 1 to 41 and the compatibility mode,
// and the East Asian typography settings, in that order.
void CopyDocumentSettings(docx::Package& destination, docx::Package& source,
                          WebOptionsMemory* destinationMemory = nullptr,
                          const WebOptionsMemory* sourceMemory = nullptr);

// Every style of the source in use (see Styles) into the destination through one organizer,
// and the source's document defaults (default fonts and sizes), which the word processor
// would take from the attached template. Never fails: a style that cannot be copied is
// skipped. Returns the number of styles copied.
long CopyUsedStyles(docx::Package& destination, docx::Package& source);

// Every document variable of the source into the destination: created, or overwritten when
// the destination already has one of that name.
void CopyDocumentVariables(docx::Package& destination, docx::Package& source);

}  // namespace paperloom::word
