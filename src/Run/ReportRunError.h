#pragma once
// The run-time's error reporter for work outside the commands' own error traps (connection,
// document events): an error is shown only while a menu or toolbar command runs and the
// application is visible; otherwise it is raised again on request or dropped, so a broken
// template opened at start-up shows no message.

#include <exception>

#include "Run/RunState.h"

namespace paperloom::run {

// Nothing for no error or error number 0. blnRaise: raise the error again, unchanged, when it
// is not shown.
void ReportRunError(const RunState& state, std::exception_ptr error, bool blnRaise);

}  // namespace paperloom::run
