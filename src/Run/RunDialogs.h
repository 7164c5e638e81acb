#pragma once
// The run-time's dialogs, made on first use and kept (hidden between uses) until the add-in's
// command class terminates: move, find, options, the filter and sort editors and the about box.

#include "Run/OsPLRController.h"
#include "Run/RunState.h"
#include "Run/frmPLRFind.h"
#include "Run/frmPLRMove.h"
#include "Run/frmPLROption.h"
#include "common/clsPLFilterEditor.h"
#include "common/clsPLSortEditor.h"
#include "common/frmPLAboutBox.h"

namespace paperloom::run {

struct RunDialogs {
    RunDialogs(RunState& state, OsPLRController& controller) : frmPLRMove(state, controller), frmPLRFind(state, controller) {}

    paperloom::frmPLRMove frmPLRMove;
    paperloom::frmPLRFind frmPLRFind;
    paperloom::frmPLROption frmPLROption;
    clsPLFilterEditor frmPLFilter;
    clsPLSortEditor frmPLSort;
    paperloom::frmPLAboutBox frmPLAboutBox;

    // Shows the filter or sort editor (result and dirty reset first); the result of OK.
    static bool DoModal(clsPLFilterEditor& editor);
    static bool DoModal(clsPLSortEditor& editor);
    static void ShowAbout(const paperloom::frmPLAboutBox& about);
    // Takes every window off the screen (in the order progress, filter, find, move, options,
    // sort, about: the forms library destroys them together) and drops the bindings.
    void Unload() noexcept;
};

}  // namespace paperloom::run
