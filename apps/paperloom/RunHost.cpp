#include "RunHost.h"

#include "CliError.h"

#include "host/HostError.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "host/word/addins/AddInRegistry.h"
#include "host/word/addins/COMAddIns.h"

#include <unistd.h>

#include <fmt/format.h>

#include <array>
#include <cstdlib>

#ifndef PAPERLOOM_RUN_LIBRARY_BUILT
#define PAPERLOOM_RUN_LIBRARY_BUILT ""
#endif

namespace paperloom::cli {
namespace {

namespace fs = std::filesystem;

constexpr const char* kLibraryName = "libOsPLRun.so";

fs::path ExecutableFolder() {
    std::array<char, 4096> buffer{};
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return {};
    return fs::path(std::string(buffer.data(), static_cast<std::size_t>(n))).parent_path();
}

}  // namespace

fs::path BundledRunLibrary() {
    if (const char* given = std::getenv("PAPERLOOM_RUN_LIBRARY"); given && *given) return fs::absolute(given);
    std::error_code ec;
    if (const fs::path folder = ExecutableFolder(); !folder.empty()) {
        for (const fs::path& candidate : {folder / kLibraryName, folder / ".." / "lib" / "paperloom" / kLibraryName})
            if (fs::is_regular_file(candidate, ec)) return fs::canonical(candidate, ec);
    }
    if (const fs::path built = PAPERLOOM_RUN_LIBRARY_BUILT; !built.empty() && fs::is_regular_file(built, ec)) return built;
    throw CliError(fmt::format("The run-time add-in library {} was not found beside the program or in its lib "
                               "folder; set PAPERLOOM_RUN_LIBRARY to its path.",
                               kLibraryName));
}

RunHost::RunHost() {
    word::AddInRegistration registration;
    registration.progId = std::string(kRunProgId);
    registration.libraryPath = BundledRunLibrary();
    registration.friendlyName = "Paperloom 実行";
    registration.description = "ｱﾄﾞｲﾝ ﾌﾟﾛｼﾞｪｸﾄ ﾃﾝﾌﾟﾚｰﾄ";
    registration.loadBehavior = word::loadbehavior::connected | word::loadbehavior::loadAtStartup;

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
