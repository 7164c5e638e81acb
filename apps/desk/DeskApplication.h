#pragma once
// The desktop host: the application model with its add-ins, one window per visible document,
// and what the user does to documents (new, open, save, save as, close, print, quit).
//
// - Hidden documents (working copies, print documents being built) get no window.
// - ActiveDocument follows the window that has the focus.
// - The model's DocumentOpen and DocumentBeforeClose are raised by opening and closing;
//   DocumentChange (the active document changed) and WindowActivate are raised here.
// - Command-bar changes rebuild every window's menus and toolbars once the current event is
//   done; document changes repaint only while ScreenUpdating is on, and what was deferred is
//   shown as soon as it is switched on again.

#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "RecentFiles.h"
#include "host/word/addins/AddInHost.h"

class QWidget;

namespace paperloom::word {
class CommandBarControl;
class Document;
}  // namespace paperloom::word

namespace paperloom::desk {

namespace edit {
class EditClipboard;
}
class DocumentWindow;

class DeskApplication {
public:
    // Asks for a file name: the owner window and the name suggested; nothing when cancelled.
    using FileChooser = std::function<std::optional<std::filesystem::path>(QWidget* owner, const std::string& suggested)>;
    using DocumentHandler = std::function<void(const std::shared_ptr<word::Document>&)>;

    // `configFolder` holds the add-in registry, the command bars and the recent files.
    explicit DeskApplication(std::filesystem::path configFolder);
    ~DeskApplication();
    DeskApplication(const DeskApplication&) = delete;
    DeskApplication& operator=(const DeskApplication&) = delete;

    // Reads the command bars, connects the start-up add-ins and shows the first window.
    // Add-ins that failed are reported in one message.
    void Start();

    word::AddInHost& Host() noexcept { return host_; }
    word::Application& Application() noexcept { return host_.Application(); }
    RecentFiles& Recent() noexcept { return recent_; }
    // What cut and copy leave for paste, shared by every window's editor.
    const std::shared_ptr<edit::EditClipboard>& SharedClipboard() const noexcept { return clipboard_; }
    std::vector<DocumentWindow*> Windows() const;
    DocumentWindow* WindowOf(const word::Document& document) const;

    // The file choosers (dialogs by default; tests give their own).
    void SetOpenChooser(FileChooser chooser) { openChooser_ = std::move(chooser); }
    void SetSaveAsChooser(FileChooser chooser) { saveAsChooser_ = std::move(chooser); }

    // Failures are shown in a message box and give nullptr or false.
    std::shared_ptr<word::Document> New();
    std::shared_ptr<word::Document> Open(const std::filesystem::path& file);
    std::shared_ptr<word::Document> OpenWithChooser();
    // A document never saved goes to SaveAs.
    bool Save(const std::shared_ptr<word::Document>& document);
    // Only to a file the user chose: a name the host completed with ".docx" is asked about
    // before an existing file of that name is replaced; a file open in another window is refused.
    bool SaveAs(const std::shared_ptr<word::Document>& document);
    // Asks about unsaved changes (yes: save, no: drop them, cancel: keep it open); false when
    // the document stays open.
    bool Close(const std::shared_ptr<word::Document>& document);
    bool CloseWindow(DocumentWindow& window);
    // Closes every visible document (asking as Close does), then shuts the add-ins down as
    // the host closing. False when the user cancelled.
    bool Quit();
    bool Quitting() const noexcept { return quit_; }

    void Print(const std::shared_ptr<word::Document>& document);
    void PrintPreview(const std::shared_ptr<word::Document>& document);
    void ShowComAddIns();
    void About();
    void ActivateNext(DocumentWindow* from);

    // A click on a command-bar control. Whatever the command does to the active document is
    // one undo step there.
    void Execute(const std::shared_ptr<word::CommandBarControl>& control);
    // Windows for visible documents, none for hidden or closed ones.
    void SyncWindows();
    // Shows the documents' current text, or defers it while ScreenUpdating is off.
    void RequestRefresh();
    // Applies pending command-bar changes now instead of at the next turn of the event loop.
    void RebuildBars();
    void WindowActivated(DocumentWindow& window);

    long OnDocumentChange(std::function<void()> handler);
    long OnWindowActivate(DocumentHandler handler);

private:
    bool SaveTo(const std::shared_ptr<word::Document>& document, const std::filesystem::path& file);
    void ShowError(const std::string& text);
    void CheckDeferredRefresh();
    std::shared_ptr<word::Document> ActiveOrNull();

    word::AddInHost host_;
    std::shared_ptr<edit::EditClipboard> clipboard_;
    RecentFiles recent_;
    FileChooser openChooser_;
    FileChooser saveAsChooser_;
    std::vector<std::unique_ptr<DocumentWindow>> windows_;
    std::weak_ptr<word::Document> lastActive_;
    QTimer deferredRefresh_;
    bool barsDirty_ = false;
    bool refreshPending_ = false;
    bool quit_ = false;
    long nextCookie_ = 1;
    std::vector<std::pair<long, std::function<void()>>> changeHandlers_;
    std::vector<std::pair<long, DocumentHandler>> activateHandlers_;
};

}  // namespace paperloom::desk
