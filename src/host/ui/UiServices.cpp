#include "host/ui/UiServices.h"

#include "host/ui/HeadlessServices.h"
#include "host/ui/PrintOfficeService.h"

#include <unistd.h>

#include <iostream>
#include <mutex>

namespace paperloom::ui {
namespace {

struct Store {
    std::mutex mutex;
    UiServices current = MakeHeadlessServices();
};

Store& TheStore() {
    static Store store;
    return store;
}

}  // namespace

UiServices MakeHeadlessServices() {
    return {std::make_shared<HeadlessMessageService>(std::cerr), std::make_shared<HeadlessHelpService>(std::cerr),
            std::make_shared<HeadlessProgressService>(std::cerr, ::isatty(STDERR_FILENO) == 1),
            std::make_shared<HeadlessScreenService>(),
            std::make_shared<OfficePrintService>(PrintOptionsFromEnvironment())};
}

UiServices InstallServices(UiServices services) {
    Store& store = TheStore();
    const std::lock_guard lock(store.mutex);
    UiServices previous = store.current;
    if (services.messages) store.current.messages = std::move(services.messages);
    if (services.help) store.current.help = std::move(services.help);
    if (services.progress) store.current.progress = std::move(services.progress);
    if (services.screen) store.current.screen = std::move(services.screen);
    if (services.print) store.current.print = std::move(services.print);
    if (services.forms) store.current.forms = std::move(services.forms);
    return previous;
}

void ResetServices() {
    InstallServices(MakeHeadlessServices());
    RemoveForms();
}

MessageService& Messages() {
    Store& store = TheStore();
    const std::lock_guard lock(store.mutex);
    return *store.current.messages;
}

HelpService& Help() {
    Store& store = TheStore();
    const std::lock_guard lock(store.mutex);
    return *store.current.help;
}

ProgressService& Progress() {
    Store& store = TheStore();
    const std::lock_guard lock(store.mutex);
    return *store.current.progress;
}

ScreenService& Screen() {
    Store& store = TheStore();
    const std::lock_guard lock(store.mutex);
    return *store.current.screen;
}

PrintService& Printing() {
    Store& store = TheStore();
    const std::lock_guard lock(store.mutex);
    return *store.current.print;
}

FormsService* Forms() {
    Store& store = TheStore();
    const std::lock_guard lock(store.mutex);
    return store.current.forms.get();
}

void RemoveForms() {
    Store& store = TheStore();
    const std::lock_guard lock(store.mutex);
    store.current.forms.reset();
}

}  // namespace paperloom::ui
