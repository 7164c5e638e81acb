// The run-time add-in library's entry point: the host creates the add-in object through it.

#include <cctype>
#include <memory>
#include <string_view>

#include "Run/conPLRun.h"
#include "common/modPLConst.h"
#include "host/word/addins/Extensibility.h"

namespace {
bool SameProgId(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}
}  // namespace

extern "C" __attribute__((visibility("default"))) int PaperloomCreateAddIn(
    unsigned abiVersion, const char* progId, std::shared_ptr<paperloom::word::IDTExtensibility2>* addIn) noexcept {
    if (!addIn || !progId || abiVersion != paperloom::word::kAddInAbiVersion) return 1;
    if (!SameProgId(progId, paperloom::modPLConst::RUN_PROGID)) return 2;
    try {
        *addIn = std::make_shared<paperloom::conPLRun>();
        return 0;
    } catch (...) {
        return 3;
    }
}
