#pragma once
// Process-wide state of the loaded run-time add-in, shared by its classes: the application it
// works in, the binding registry, and whether a menu or toolbar command is running (errors of
// the document events are shown only then).

#include <memory>

#include "Run/BindingRegistry.h"
#include "host/word/Application.h"

namespace paperloom::run {

struct RunState {
    std::shared_ptr<word::Application> application;
    BindingRegistry registry;
    bool gblnInCommand = false;
};

}  // namespace paperloom::run
