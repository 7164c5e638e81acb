// Registers the two add-ins for the current user, so a host finds them by ProgID: the
// run-time add-in (connected at every start-up) and the design-time add-in (connected at the
// next start-up, then when one of its commands is used). Also lists and removes registrations.

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include <CLI/CLI.hpp>

#include "../paperloom/InstallLayout.h"
#include "common/modPLConst.h"
#include "host/HostError.h"
#include "host/word/addins/AddInRegistry.h"

#ifndef PAPERLOOM_RUN_LIBRARY_BUILT
#define PAPERLOOM_RUN_LIBRARY_BUILT ""
#endif
#ifndef PAPERLOOM_EDIT_LIBRARY_BUILT
#define PAPERLOOM_EDIT_LIBRARY_BUILT ""
#endif
#ifndef PAPERLOOM_PROGRAM_BUILD_DIR
#define PAPERLOOM_PROGRAM_BUILD_DIR ""
#endif

namespace {

namespace fs = std::filesystem;
using paperloom::word::AddInRegistration;

// The libraries installed with this program (../lib/paperloom), or the build's own when it runs
// from its build folder.
struct DefaultLibraries {
    fs::path run;
    fs::path edit;
};

DefaultLibraries Defaults() {
    using namespace paperloom::cli;
    const fs::path programFolder = ExecutableFolder();
    if (RunsFromBuildFolder(programFolder, PAPERLOOM_PROGRAM_BUILD_DIR))
        return {PAPERLOOM_RUN_LIBRARY_BUILT, PAPERLOOM_EDIT_LIBRARY_BUILT};
    if (programFolder.empty()) return {};
    const fs::path installed = InstalledLibraryFolder(programFolder);
    return {installed / "libOsPLRun.so", installed / "libOsPLEdit.so"};
}

void Print(const AddInRegistration& r) {
    std::cout << r.progId << "\n  name: " << r.friendlyName << "\n  description: " << r.description
              << "\n  library: " << r.libraryPath.string() << "\n  load behaviour: " << r.loadBehavior << "\n";
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Registers the Paperloom add-ins for the current user."};
    const DefaultLibraries defaults = Defaults();
    fs::path runLibrary = defaults.run;
    fs::path editLibrary = defaults.edit;
    bool unregister = false;
    bool list = false;
    app.add_option("--run-library", runLibrary, "path of libOsPLRun.so");
    app.add_option("--edit-library", editLibrary, "path of libOsPLEdit.so (need not exist yet)");
    app.add_flag("--unregister", unregister, "remove both registrations");
    app.add_flag("--list", list, "show the registered add-ins");
    CLI11_PARSE(app, argc, argv);

    try {
        auto registry = paperloom::word::AddInRegistry::ForCurrentUser();
        if (list) {
            for (const auto& entry : registry.List()) Print(entry);
            return EXIT_SUCCESS;
        }
        if (unregister) {
            for (const auto progId : {paperloom::modPLConst::RUN_PROGID, paperloom::modPLConst::EDIT_PROGID})
                std::cout << progId << (registry.Unregister(progId) ? ": removed\n" : ": was not registered\n");
            return EXIT_SUCCESS;
        }
        if (runLibrary.empty() || editLibrary.empty()) {
            std::cerr << "paperloom-register: give --run-library and --edit-library.\n";
            return EXIT_FAILURE;
        }
        std::error_code ec;
        if (!fs::is_regular_file(runLibrary, ec)) {
            std::cerr << "paperloom-register: the run-time add-in " << runLibrary.string() << " does not exist.\n";
            return EXIT_FAILURE;
        }
        // The design-time library may come later; a host reports it missing when it tries to connect it.
        const auto run = paperloom::cli::BundledRunAddInRegistration(fs::absolute(runLibrary).lexically_normal());
        const auto edit = paperloom::cli::BundledEditAddInRegistration(fs::absolute(editLibrary).lexically_normal());
        registry.Register(run);
        registry.Register(edit);
        std::cout << "Registered in " << registry.File().string() << ":\n";
        Print(run);
        Print(edit);
        if (!fs::exists(edit.libraryPath, ec))
            std::cout << "  (" << edit.libraryPath.string() << " does not exist yet)\n";
        return EXIT_SUCCESS;
    } catch (const paperloom::host::HostError& error) {
        std::cerr << "paperloom-register: " << error.Description() << "\n";
    } catch (const std::exception& error) {
        std::cerr << "paperloom-register: " << error.what() << "\n";
    }
    return EXIT_FAILURE;
}
