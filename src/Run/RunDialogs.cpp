#include "Run/RunDialogs.h"

#include "Run/RunForms.h"
#include "host/DebugLog.h"

namespace paperloom::run {

bool RunDialogs::DoModal(clsPLFilterEditor& editor) {
    editor.BeginModal();
    if (RunForms* forms = CurrentRunForms()) forms->ShowFilter(editor);
    return editor.Result();
}

bool RunDialogs::DoModal(clsPLSortEditor& editor) {
    editor.BeginModal();
    if (RunForms* forms = CurrentRunForms()) forms->ShowSort(editor);
    return editor.Result();
}

void RunDialogs::ShowAbout(const paperloom::frmPLAboutBox& about) {
    if (RunForms* forms = CurrentRunForms()) forms->ShowAbout(about);
}

void RunDialogs::Unload() noexcept {
    try {
        if (RunForms* forms = LoadedRunForms()) forms->Unload();
    } catch (...) {
        // Unloading goes on with what is left.
        debuglog::Swallowed("RunDialogs.cpp: RunDialogs::Unload");
    }
    frmPLRFind.Unload();
    frmPLRMove.Unload();
}

}  // namespace paperloom::run
