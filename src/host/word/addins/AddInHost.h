#pragma once
// An application together with what add-ins reach through it: its command bars, its COM
// add-in list, the clipboard and the user's add-in registry. The host starts it (command bars
// read back, start-up add-ins connected) and shuts it down (add-ins disconnected as the host
// closing, command bars saved). The application itself knows nothing of add-ins.

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "host/word/Application.h"
#include "host/word/addins/AddInRegistry.h"
#include "host/word/addins/COMAddIns.h"
#include "host/word/addins/Clipboard.h"
#include "host/word/addins/CommandBars.h"

namespace paperloom::word {

class AddInHost {
public:
    // `configFolder` holds addins.xml and commandbars.xml (default: UserConfigFolder()).
    explicit AddInHost(std::shared_ptr<word::Application> application = std::make_shared<word::Application>(),
                       std::filesystem::path configFolder = UserConfigFolder());
    // Shuts down when that was not done.
    ~AddInHost();
    AddInHost(const AddInHost&) = delete;
    AddInHost& operator=(const AddInHost&) = delete;

    word::Application& Application() noexcept { return *application_; }
    const std::shared_ptr<word::Application>& SharedApplication() const noexcept { return application_; }
    word::CommandBars& CommandBars() noexcept { return commandBars_; }
    word::COMAddIns& COMAddIns() noexcept { return comAddIns_; }
    word::Clipboard& Clipboard() noexcept { return *clipboard_; }
    AddInRegistry& Registry() noexcept { return registry_; }
    const std::filesystem::path& ConfigFolder() const noexcept { return configFolder_; }
    std::filesystem::path CommandBarsFile() const { return configFolder_ / "commandbars.xml"; }

    // Reads the saved command bars and the registry, connects the add-ins of load behaviour 3
    // (and 16, once: it becomes 9 after connecting), then tells the connected ones start-up is
    // complete. An add-in that fails to connect stays disconnected; its error is kept in
    // StartupErrors and start-up goes on. A command-bar file that cannot be read is reported
    // there too, and set aside (renamed to .bad) at the next save instead of being lost.
    void Startup();
    // Tells connected add-ins the host is closing, disconnects them (last connected first)
    // with ext_dm_HostShutdown, and saves the command bars. Errors of single add-ins are
    // dropped; a failing save raises.
    void Shutdown();
    bool Running() const noexcept { return running_; }
    const std::vector<std::string>& StartupErrors() const noexcept { return startupErrors_; }

    // Saves the command bars now.
    void SaveCommandBars() const;

private:
    friend class COMAddIn;
    // Connection order, so shutdown goes last-connected-first.
    void Connected(COMAddIn& addIn);
    void Disconnected(COMAddIn& addIn);
    void RunAction(const std::string& onAction);

    std::shared_ptr<word::Application> application_;
    std::filesystem::path configFolder_;
    std::shared_ptr<word::Clipboard> clipboard_;
    word::CommandBars commandBars_;
    AddInRegistry registry_;
    word::COMAddIns comAddIns_{*this};
    std::vector<COMAddIn*> connectionOrder_;
    std::vector<std::string> startupErrors_;
    mutable bool commandBarsUnreadable_ = false;
    bool running_ = false;
    bool shutDown_ = false;
};

}  // namespace paperloom::word
