// The design-time commands behind the menu and toolbar: each runs inside one frame that reports
// any error through the shared error box. Toolbar handlers call the menu handler of their
// command. The header field, detail and column properties, statistics, formula, bookmark and
// about commands come with their dialogs; until then their buttons do nothing.

#include "Edit/EditCommands.h"
#include "Edit/clsPLECtlEvents.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/DebugLog.h"

namespace paperloom {

using C = clsPLECtlEvents;

namespace {

// The formula and bookmark commands report an error by its description alone.
void ShowErrorDescription() {
    if (const auto error = modPLFunction::ErrorToReport(std::current_exception()))
        modPLFunction::ShowCriticalMessage(error->Description(), modPLConst::EDIT_APP_TITLE);
}

}  // namespace

template <typename Body>
void C::RunCommand(Body&& body) noexcept {
    try {
        edit::EditCommands commands(mApplication, Dialogs());
        body(commands);
    } catch (...) {
        try {
            modPLFunction::ShowErrorMessage(modPLConst::EDIT_APP_TITLE, std::current_exception());
        } catch (...) {
            // A box that cannot be shown must not take the host down with it.
            debuglog::Swallowed("clsPLECtlEventsCommands.cpp: RunCommand (error box)");
        }
    }
}

void C::mctlMenuHeadBindEvts_Click(const Control&, bool&) {
    RunCommand([](edit::EditCommands& commands) { commands.HeadBind(); });
}

void C::mctlMenuHeadFieldEvts_Click(const Control&, bool&) {
    RunCommand([](edit::EditCommands& commands) { commands.HeadField(); });
}

void C::mctlMenuDetailInsertEvts_Click(const Control&, bool&) {
    RunCommand([](edit::EditCommands& commands) { commands.DetailInsert(); });
}

void C::mctlMenuDetailPropEvts_Click(const Control&, bool&) {
    RunCommand([](edit::EditCommands& commands) { commands.DetailProp(); });
}

void C::mctlMenuDetailColPropEvts_Click(const Control&, bool&) {
    RunCommand([](edit::EditCommands& commands) { commands.DetailColProp(); });
}

void C::mctlMenuStatisticsEvts_Click(const Control&, bool&) {
    RunCommand([](edit::EditCommands& commands) { commands.Statistics(); });
}

void C::mctlMenuBookmarkEvts_Click(const Control& ctrl, bool& cancelDefault) {
    mctlToolEditBookmarkEvts_Click(ctrl, cancelDefault);
}

void C::mctlMenuCalculatorEvts_Click(const Control& ctrl, bool& cancelDefault) {
    mctlToolEditCalculatorEvts_Click(ctrl, cancelDefault);
}

void C::mctlMenuEditHelpEvts_Click(const Control&, bool&) {
    RunCommand([](edit::EditCommands&) { modPLFunction::ShowHelpFile(modPLConst::HELP_FILE); });
}

void C::mctlMenuEditAboutEvts_Click(const Control&, bool&) {
    RunCommand([](edit::EditCommands& commands) { commands.About(); });
}

void C::mctlToolHeadBindEvts_Click(const Control& ctrl, bool& cancelDefault) {
    mctlMenuHeadBindEvts_Click(ctrl, cancelDefault);
}

void C::mctlToolHeadFieldEvts_Click(const Control& ctrl, bool& cancelDefault) {
    mctlMenuHeadFieldEvts_Click(ctrl, cancelDefault);
}

void C::mctlToolDetailInsertEvts_Click(const Control& ctrl, bool& cancelDefault) {
    mctlMenuDetailInsertEvts_Click(ctrl, cancelDefault);
}

void C::mctlToolDetailPropEvts_Click(const Control& ctrl, bool& cancelDefault) {
    mctlMenuDetailPropEvts_Click(ctrl, cancelDefault);
}

void C::mctlToolDetailColPropEvts_Click(const Control& ctrl, bool& cancelDefault) {
    mctlMenuDetailColPropEvts_Click(ctrl, cancelDefault);
}

void C::mctlToolStatisticsEvts_Click(const Control& ctrl, bool& cancelDefault) {
    mctlMenuStatisticsEvts_Click(ctrl, cancelDefault);
}

void C::mctlToolEditBookmarkEvts_Click(const Control&, bool&) {
    RunCommand([](edit::EditCommands& commands) {
        try {
            commands.Bookmarks();
        } catch (...) {
            ShowErrorDescription();
        }
    });
}

void C::mctlToolEditCalculatorEvts_Click(const Control&, bool&) {
    RunCommand([](edit::EditCommands& commands) {
        try {
            commands.Formula();
        } catch (...) {
            ShowErrorDescription();
        }
    });
}

void C::mctlToolEditHelpEvts_Click(const Control& ctrl, bool& cancelDefault) {
    mctlMenuEditHelpEvts_Click(ctrl, cancelDefault);
}

}  // namespace paperloom
