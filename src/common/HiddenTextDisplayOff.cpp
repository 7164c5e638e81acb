#include "common/HiddenTextDisplayOff.h"

#include "host/DebugLog.h"
#include "host/word/Document.h"

namespace paperloom {

HiddenTextDisplayOff::HiddenTextDisplayOff(word::Document& document)
    : document_(document), wasShown_(document.Windows().Item(1).View().ShowHiddenText()) {
    if (wasShown_) {
        document_.Windows().Item(1).View().SetShowHiddenText(false);
    }
}

HiddenTextDisplayOff::~HiddenTextDisplayOff() {
    if (!wasShown_) {
        return;
    }
    try {
        document_.Windows().Item(1).View().SetShowHiddenText(true);
    } catch (...) {
        debuglog::Swallowed("HiddenTextDisplayOff.cpp: HiddenTextDisplayOff::~HiddenTextDisplayOff");
        // A document closed meanwhile has no view to restore; nothing is lost.
    }
}

}  // namespace paperloom
