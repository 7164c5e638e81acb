#include "host/word/addins/AddInHost.h"

#include <algorithm>
#include <exception>

#include "host/HostError.h"

namespace paperloom::word {

namespace {

std::string Describe(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const host::HostError& e) {
        return e.Description() + " (" + std::to_string(e.Number()) + ")";
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "unknown error";
    }
}

// Runs one step for one add-in; a failure is kept, not passed on.
template <typename Step>
void Guarded(std::vector<std::string>* errors, const std::string& who, Step&& step) {
    try {
        step();
    } catch (...) {
        if (errors) errors->push_back(who + ": " + Describe(std::current_exception()));
    }
}

}  // namespace

AddInHost::AddInHost(std::shared_ptr<word::Application> application, std::filesystem::path configFolder)
    : application_(std::move(application)),
      configFolder_(std::move(configFolder)),
      clipboard_(std::make_shared<word::Clipboard>()),
      commandBars_(clipboard_),
      registry_(configFolder_ / "addins.xml") {
    if (!application_) application_ = std::make_shared<word::Application>();
    commandBars_.SetActionHandler([this](const std::string& action) { RunAction(action); });
}

AddInHost::~AddInHost() {
    try {
        Shutdown();
    } catch (...) {
        // A destructor cannot report a failed save; hosts that care call Shutdown themselves.
    }
}

void AddInHost::Startup() {
    if (running_) return;
    startupErrors_.clear();
    try {
        commandBars_.Load(CommandBarsFile());
    } catch (...) {
        commandBarsUnreadable_ = true;
        startupErrors_.push_back(Describe(std::current_exception()));
    }
    std::vector<AddInRegistration> registrations;
    Guarded(&startupErrors_, "add-in registry", [&] { registrations = registry_.List(); });
    comAddIns_.Update(registrations);
    running_ = true;
    shutDown_ = false;

    for (const auto& item : comAddIns_) {
        const long behaviour = item->Registration().loadBehavior;
        const bool atStartup = (behaviour & (loadbehavior::connected | loadbehavior::loadAtStartup)) ==
                               (loadbehavior::connected | loadbehavior::loadAtStartup);
        const bool firstTime = (behaviour & loadbehavior::connectFirstTime) != 0;
        if (!atStartup && !firstTime) continue;
        Guarded(&startupErrors_, item->ProgId(), [&] {
            item->ConnectAs(ext_ConnectMode::ext_cm_Startup);
            if (firstTime) {
                // Connected once at start-up; from now on it is loaded when its commands are used.
                auto registration = item->Registration();
                registration.loadBehavior = loadbehavior::connected | loadbehavior::loadOnDemand;
                registry_.Register(registration);
                item->UpdateRegistration(std::move(registration));
            }
        });
    }
    for (const auto& item : comAddIns_)
        Guarded(&startupErrors_, item->ProgId(), [&] { item->NotifyStartupComplete(); });
}

void AddInHost::Shutdown() {
    if (!running_ || shutDown_) return;
    shutDown_ = true;
    for (const auto& item : comAddIns_) Guarded(nullptr, item->ProgId(), [&] { item->NotifyBeginShutdown(); });
    while (!connectionOrder_.empty()) {
        COMAddIn* last = connectionOrder_.back();
        Guarded(nullptr, last->ProgId(), [&] { last->DisconnectAs(ext_DisconnectMode::ext_dm_HostShutdown); });
        // DisconnectAs takes it off the list even when the add-in failed.
        if (!connectionOrder_.empty() && connectionOrder_.back() == last) connectionOrder_.pop_back();
    }
    running_ = false;
    SaveCommandBars();
}

void AddInHost::SaveCommandBars() const {
    const auto file = CommandBarsFile();
    std::error_code ec;
    if (commandBarsUnreadable_ && std::filesystem::exists(file, ec)) {
        // Keep what could not be read for the user instead of writing over it.
        auto aside = file;
        aside += ".bad";
        std::filesystem::rename(file, aside);
        commandBarsUnreadable_ = false;
    }
    std::filesystem::create_directories(configFolder_);
    commandBars_.Save(file);
}

void AddInHost::Connected(COMAddIn& addIn) { connectionOrder_.push_back(&addIn); }

void AddInHost::Disconnected(COMAddIn& addIn) { std::erase(connectionOrder_, &addIn); }

void AddInHost::RunAction(const std::string& onAction) {
    // "!<ProgID>": the button belongs to that add-in, which is connected first when needed.
    if (onAction.size() < 4 || !onAction.starts_with("!<") || !onAction.ends_with(">")) return;
    const auto progId = onAction.substr(2, onAction.size() - 3);
    auto* addIn = comAddIns_.Find(progId);
    if (!addIn) {
        if (const auto registration = registry_.Find(progId)) {
            comAddIns_.Update(registry_.List());
            addIn = comAddIns_.Find(progId);
        }
    }
    if (addIn && !addIn->Connect()) addIn->ConnectAs(ext_ConnectMode::ext_cm_AfterStartup);
}

}  // namespace paperloom::word
