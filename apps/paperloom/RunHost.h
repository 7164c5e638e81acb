#pragma once
// The headless host the commands run in: an application with the run-time add-in connected,
// so a template opened here is bound and filled by the add-in's document-open handling, and
// the add-in's controller reached late-bound, by member name, as any automation client
// reaches it.

#include <filesystem>
#include <memory>
#include <string_view>

#include "host/word/addins/AddInHost.h"
#include "host/word/addins/Dispatch.h"

namespace paperloom::word {
class Document;
}

namespace paperloom::cli {

inline constexpr std::string_view kRunProgId = "OsPLRun.conPLRun";

// The run-time add-in library shipped with this program: $PAPERLOOM_RUN_LIBRARY when set,
// else beside the executable or in ../lib/paperloom, or, for a program run from its build
// folder, where the build put it.
std::filesystem::path BundledRunLibrary();

class RunHost {
public:
    // Registers the bundled add-in in the user's add-in registry when it is not registered
    // (PAPERLOOM_CONFIG_DIR chooses the configuration folder), starts the host and connects
    // the add-in. HostError when the add-in cannot be loaded or connected.
    RunHost();
    // Closes what is open without saving and shuts the host down; errors are dropped here,
    // Close reports them.
    ~RunHost();
    RunHost(const RunHost&) = delete;
    RunHost& operator=(const RunHost&) = delete;

    // Opens the template; the add-in binds it and shows its first record.
    std::shared_ptr<word::Document> OpenTemplate(const std::filesystem::path& path);

    // A member of the controller (Object.Controller), late-bound.
    word::DispValue CallController(std::string_view method, word::DispArgs& args);
    // A member of the add-in's published object itself.
    word::DispValue CallAddIn(std::string_view member, word::DispArgs& args);

    // Closes every document without saving and shuts down.
    void Close();

private:
    word::DispatchPtr Object() const;

    std::unique_ptr<word::AddInHost> host_;
};

}  // namespace paperloom::cli
