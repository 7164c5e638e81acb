// paperloom-desk [FILE.docx ...]: the desktop host. Opens each file in a window of its own,
// with the add-ins of the user's registry connected as their load behaviour says.

#include <QApplication>
#include <QIcon>

#include <cstdlib>
#include <filesystem>

#include "../paperloom/InstallLayout.h"
#include "DeskApplication.h"
#include "host/ui/UiServices.h"
#include "host/ui/qt/QtServices.h"
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

// The run-time add-in shipped with the program is registered on first use, as the command
// line does; a user's own registration (or unloading it) is left alone.
void RegisterBundledRunAddIn(paperloom::word::AddInRegistry& registry) {
    fs::path library;
    if (const char* given = std::getenv("PAPERLOOM_RUN_LIBRARY"); given && *given) {
        library = fs::absolute(given);
    } else if (auto found = paperloom::cli::FindBundledLibrary("libOsPLRun.so", paperloom::cli::ExecutableFolder(),
                                                               PAPERLOOM_PROGRAM_BUILD_DIR, PAPERLOOM_RUN_LIBRARY_BUILT)) {
        library = *found;
    } else {
        return;
    }
    const auto registration = paperloom::cli::BundledRunAddInRegistration(library);
    if (registry.Find(registration.progId)) return;
    registry.Register(registration);
}

// The same for the design-time add-in shipped with the program.
void RegisterBundledEditAddIn(paperloom::word::AddInRegistry& registry) {
    fs::path library;
    if (const char* given = std::getenv("PAPERLOOM_EDIT_LIBRARY"); given && *given) {
        library = fs::absolute(given);
    } else if (auto found = paperloom::cli::FindBundledLibrary("libOsPLEdit.so", paperloom::cli::ExecutableFolder(),
                                                               PAPERLOOM_PROGRAM_BUILD_DIR, PAPERLOOM_EDIT_LIBRARY_BUILT)) {
        library = *found;
    } else {
        return;
    }
    const auto registration = paperloom::cli::BundledEditAddInRegistration(library);
    if (registry.Find(registration.progId)) return;
    registry.Register(registration);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setApplicationName("Paperloom");
    QApplication::setWindowIcon(QIcon::fromTheme("paperloom"));
    // Built-in toolbar faces come from the icon theme; a bare X session names none.
    if (QIcon::themeName().isEmpty() || QIcon::themeName() == "hicolor") QIcon::setThemeName("Adwaita");

    const paperloom::ui::ScopedServices services(paperloom::ui::qt::MakeDesktopServices());
    const fs::path config = paperloom::word::UserConfigFolder();
    std::error_code ec;
    fs::create_directories(config, ec);

    paperloom::desk::DeskApplication desk(config);
    try {
        RegisterBundledRunAddIn(desk.Host().Registry());
        RegisterBundledEditAddIn(desk.Host().Registry());
    } catch (...) {
        // Without a writable registry the host still runs, with the add-ins it has.
    }
    desk.Start();
    for (const QString& file : QApplication::arguments().mid(1)) desk.Open(fs::path(file.toStdString()));
    QApplication::setQuitOnLastWindowClosed(false);
    return QApplication::exec();
}
