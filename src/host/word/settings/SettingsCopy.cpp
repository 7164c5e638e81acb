#include "host/word/settings/SettingsCopy.h"

#include <exception>

#include "host/DebugLog.h"
#include "host/word/settings/DocumentDefaults.h"
#include "host/word/settings/DocumentSettings.h"
#include "host/word/settings/PageSetup.h"
#include "host/word/settings/Styles.h"
#include "host/word/settings/Typography.h"
#include "host/word/settings/Variables.h"

namespace paperloom::word {

void CopyPageSetup(docx::Package& destination, docx::Package& source) {
    PageSetup(destination).CopyFrom(PageSetup(source));
}

void CopyDocumentSettings(docx::Package& destination, docx::Package& source,
                          WebOptionsMemory* destinationMemory,
                          const WebOptionsMemory* sourceMemory) {
    WebOptionsMemory scratchDestination;
    WebOptionsMemory scratchSource = sourceMemory ? *sourceMemory : WebOptionsMemory{};
    WebOptions(destination, destinationMemory ? *destinationMemory : scratchDestination)
        .CopyFrom(WebOptions(source, scratchSource));
    DocumentSettings(destination).CopyFrom(DocumentSettings(source));
    Typography(destination).CopyFrom(Typography(source));
}

long CopyUsedStyles(docx::Package& destination, docx::Package& source) {
    if (&destination == &source) return 0;
    long copied = 0;
    try {
        copied = StyleOrganizer(source, destination).CopyAll();
    } catch (const std::exception&) {
        debuglog::Swallowed("SettingsCopy.cpp: CopyUsedStyles");
        // An unreadable styles part has nothing to offer.
    }
    try {
        CopyDocumentDefaults(destination, source);
    } catch (const std::exception&) {
        debuglog::Swallowed("SettingsCopy.cpp: CopyUsedStyles");
    }
    return copied;
}

void CopyDocumentVariables(docx::Package& destination, docx::Package& source) {
    Variables::CopyAll(destination, source);
}

}  // namespace paperloom::word
