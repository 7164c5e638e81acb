#pragma once
// The platform services of the process. A host installs its implementations once at start-up
// (a desktop host its windows, the command line the headless set); until then, and after
// Reset, the headless services writing to standard error are current.
//
// paperloom_ui is a shared library so that the add-ins and their host, whichever loads them,
// all see the one set installed.

#include <memory>

#include "host/ui/FormsService.h"
#include "host/ui/HelpService.h"
#include "host/ui/MessageService.h"
#include "host/ui/PrintService.h"
#include "host/ui/ProgressService.h"
#include "host/ui/ScreenService.h"

namespace paperloom::ui {

struct UiServices {
    std::shared_ptr<MessageService> messages;
    std::shared_ptr<HelpService> help;
    std::shared_ptr<ProgressService> progress;
    std::shared_ptr<ScreenService> screen;
    // Last and defaulted, so sets written before printing existed still compile cleanly.
    std::shared_ptr<PrintService> print = nullptr;
    // Only a host that shows windows has one (the headless set does not).
    std::shared_ptr<FormsService> forms = nullptr;
};

// The headless set over standard error; printing through the office suite, into the print
// folder PAPERLOOM_PRINT_DIR names where it is set.
UiServices MakeHeadlessServices();

// Replaces the current services; a member left empty keeps the current one. Returns the set
// that was current before.
UiServices InstallServices(UiServices services);
// Back to the headless set.
void ResetServices();

// The current services; never null.
MessageService& Messages();
HelpService& Help();
ProgressService& Progress();
ScreenService& Screen();
PrintService& Printing();
// The forms loader of a host that shows windows; nullptr for the headless set.
FormsService* Forms();
// Back to no forms loader (a set installed later without one keeps the current one).
void RemoveForms();

// Installs a set for the lifetime of the object and puts the previous one back after it.
class ScopedServices {
public:
    explicit ScopedServices(UiServices services) : previous_(InstallServices(std::move(services))) {}
    ~ScopedServices() { InstallServices(std::move(previous_)); }
    ScopedServices(const ScopedServices&) = delete;
    ScopedServices& operator=(const ScopedServices&) = delete;

private:
    UiServices previous_;
};

}  // namespace paperloom::ui
