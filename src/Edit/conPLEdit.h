#pragma once
// The design-time add-in's connection class. Connected by the host, it keeps the host's
// application for its commands and builds its menu and toolbar; every click runs a command on
// the active document. It holds no document state between commands.

#include <memory>

#include "Edit/clsPLECtlEvents.h"
#include "host/word/addins/Extensibility.h"

namespace paperloom {

class conPLEdit final : public word::IDTExtensibility2 {
public:
    conPLEdit() = default;
    ~conPLEdit() override = default;
    conPLEdit(const conPLEdit&) = delete;
    conPLEdit& operator=(const conPLEdit&) = delete;

    // Keeps the application and builds the command bars with their click handlers.
    void OnConnection(word::AddInHost& application, word::ext_ConnectMode connectMode, word::COMAddIn& addInInst,
                      word::CustomArgs& custom) override;
    // The user unloading the add-in (ext_dm_UserClosed) also removes its submenu and toolbar;
    // the host shutting down leaves them for the next start. Everything else is released.
    void OnDisconnection(word::ext_DisconnectMode removeMode, word::CustomArgs& custom) override;
    void OnAddInsUpdate(word::CustomArgs&) override {}
    void OnStartupComplete(word::CustomArgs&) override {}
    void OnBeginShutdown(word::CustomArgs&) override {}

    // The application while connected; null otherwise.
    word::AddInHost* Application() const noexcept { return mApplication; }
    // For tests and hosts: the event receiver while connected.
    clsPLECtlEvents* Events() const noexcept { return mEvents.get(); }

private:
    word::AddInHost* mApplication = nullptr;
    std::unique_ptr<clsPLECtlEvents> mEvents;
};

}  // namespace paperloom
