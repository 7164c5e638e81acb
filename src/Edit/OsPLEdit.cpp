// The design-time add-in library's entry point: the host creates the add-in object through it.

#include <memory>

#include "Edit/conPLEdit.h"
#include "common/modPLConst.h"
#include "host/DebugLog.h"
#include "host/word/addins/AddInRegistry.h"
#include "host/word/addins/Extensibility.h"

extern "C" __attribute__((visibility("default"))) int PaperloomCreateAddIn(
    unsigned abiVersion, const char* progId, std::shared_ptr<paperloom::word::IDTExtensibility2>* addIn) noexcept {
    if (!addIn || !progId || abiVersion != paperloom::word::kAddInAbiVersion) return 1;
    if (!paperloom::word::SameProgId(progId, paperloom::modPLConst::EDIT_PROGID)) return 2;
    try {
        *addIn = std::make_shared<paperloom::conPLEdit>();
        return 0;
    } catch (...) {
        paperloom::debuglog::Swallowed("OsPLEdit.cpp: PaperloomCreateAddIn");
        return 3;
    }
}
