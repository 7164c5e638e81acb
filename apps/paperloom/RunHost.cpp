#include "RunHost.h"

#include "CliError.h"
#include "InstallLayout.h"

#include "host/HostError.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "host/word/addins/AddInRegistry.h"
#include "host/word/addins/COMAddIns.h"

#include <fmt/format.h>

#include <cstdlib>

#ifndef PAPERLOOM_RUN_LIBRARY_BUILT
#define PAPERLOOM_RUN_LIBRARY_BUILT ""
#endif
#ifndef PAPERLOOM_PROGRAM_BUILD_DIR
#define PAPERLOOM_PROGRAM_BUILD_DIR ""
#endif

namespace paperloom::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLibraryName = "libOsPLRun.so";

}  // namespace

fs::path BundledRunLibrary() {
    if (const char* given = std::getenv("PAPERLOOM_RUN_LIBRARY"); given && *given) return fs::absolute(given);
    const fs::path programFolder = ExecutableFolder();
    if (auto found =
            FindBundledLibrary(kLibraryName, programFolder, PAPERLOOM_PROGRAM_BUILD_DIR, PAPERLOOM_RUN_LIBRARY_BUILT))
        return *found;
    throw CliError(fmt::format("The run-time add-in library {} was not found beside the program or in {}; set "
                               "PAPERLOOM_RUN_LIBRARY to its path.",
                               kLibraryName, InstalledLibraryFolder(programFolder).string()));
}

RunHost::RunHost() {
    const word::AddInRegistration registration = BundledRunAddInRegistration(BundledRunLibrary());

    const fs::path config = word::UserConfigFolder();
    std::error_code ec;
    fs::create_directories(config, ec);
    if (!fs::is_directory(config, ec))
        throw CliError(fmt::format("The configuration folder {} cannot be created.", config.string()));

    host_ = std::make_unique<word::AddInHost>(std::make_shared<word::Application>(), config);
    word::EnsureRegistered(host_->Registry(), registration);
    host_->Startup();
    // A user may have registered it not to load at start-up; this program needs it all the same.
    word::COMAddIn& addIn = host_->COMAddIns().Item(kRunProgId);
    if (!addIn.Connect()) addIn.SetConnect(true);
    if (!Object()) throw CliError("The run-time add-in connected but published no object to drive it.");
}

RunHost::~RunHost() {
    try {
        Close();
    } catch (...) {
        // Reported by Close when the caller calls it; a destructor only tidies up.
    }
}

std::shared_ptr<word::Document> RunHost::OpenTemplate(const fs::path& path) {
    return host_->Application().Documents().Open(fs::absolute(path));
}

word::DispatchPtr RunHost::Object() const {
    return host_->COMAddIns().Item(kRunProgId).Object();
}

word::DispValue RunHost::CallController(std::string_view method, word::DispArgs& args) {
    word::DispValue controller = word::Invoke(Object(), "Controller");
    return word::Invoke(controller.AsDispatch(), method, args);
}

word::DispValue RunHost::CallAddIn(std::string_view member, word::DispArgs& args) {
    return word::Invoke(Object(), member, args);
}

void RunHost::Close() {
    if (!host_ || !host_->Running()) return;
    auto& documents = host_->Application().Documents();
    while (documents.Count() > 0) {
        const long before = documents.Count();
        documents.Item(before)->Close(word::wdDoNotSaveChanges);
        if (documents.Count() == before) break;  // a handler kept it open; shutdown ends it
    }
    host_->Shutdown();
}

}  // namespace paperloom::cli
