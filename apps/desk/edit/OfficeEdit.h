#pragma once
// Editing a document in the office suite, for layout work the design view does not offer: the
// document is saved (after asking) so the suite sees what the window shows, the suite is started
// on the file, and the file is watched. When the suite saves it, the document is read again
// into the same window (the same document object, so add-ins keep it); while the window holds
// changes of its own, the user is asked first, and a "no" keeps the window's document.
//
// Saving in the window also changes the file: a file whose parts are those the document holds
// is not read again. The logic runs without a window; the questions are hooks.

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "host/word/Snapshot.h"

namespace paperloom::word {
class Document;
}

namespace paperloom::desk::edit {

class OfficeEdit final : public QObject {
public:
    struct Hooks {
        // Starts the office suite on the file without waiting for it; an error text, or ""
        // when it started.
        std::function<std::string(const std::filesystem::path&)> launch = LaunchOfficeSuite;
        // The document has changes its file does not hold (or no file yet): save first? A
        // "no" cancels.
        std::function<bool(const word::Document&)> askSaveFirst;
        // Saves the document, asking for a file name when it has none; false when not saved.
        std::function<bool(const std::shared_ptr<word::Document>&)> save;
        // The file changed on disk while the window holds unsaved changes: read it anyway?
        std::function<bool(const word::Document&)> askReload;
        std::function<void(const std::string&)> showError;
        // After the document was read again from its file.
        std::function<void()> reloaded;
    };

    enum class Outcome { Unchanged, Reloaded, Kept, Unreadable };

    OfficeEdit(std::shared_ptr<word::Document> document, Hooks hooks, QObject* parent = nullptr);

    // Saves first where needed, starts the suite and watches the file. False when the user
    // cancelled or the suite could not be started (the error is shown).
    bool Start();
    bool Watching() const { return !file_.empty(); }
    const std::filesystem::path& File() const noexcept { return file_; }
    // How long the file must stay still after a change before it is read (the suite writes
    // in several steps).
    void SetSettleTime(int milliseconds) { settle_.setInterval(milliseconds); }

    // Reads the file again when its parts differ from the document's. The watcher calls it
    // once the file has settled; a file that cannot be read yet (half written) is tried again
    // at its next change.
    Outcome FileChanged();

    // The suite's program, started with the file; an error text when it cannot open windows
    // here (not installed, or installed for rendering only).
    static std::string LaunchOfficeSuite(const std::filesystem::path& file);

private:
    void Watch();

    std::shared_ptr<word::Document> document_;
    Hooks hooks_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
    std::filesystem::path file_;
    // The file's contents the user chose not to read: not asked about again.
    std::optional<word::DocumentSnapshot> declined_;
};

}  // namespace paperloom::desk::edit
