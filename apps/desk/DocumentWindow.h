#pragma once
// A main window of the desktop host: one per visible document (or an empty frame when none is
// open), titled with the document's name, with the host's Japanese menus and the model's
// command bars. The document is shown in its design view, edited through the document editor.

#include <QMainWindow>

#include <memory>

#include "CommandBarView.h"

#include "host/word/Window.h"

namespace paperloom::word {
class Document;
}

namespace paperloom::desk::view {
class DocumentView;
}
namespace paperloom::desk::edit {
class DocumentEditor;
class EditActions;
}

namespace paperloom::desk {

class DeskApplication;

class DocumentWindow final : public QMainWindow {
public:
    // `document` may be null: the frame shown while nothing is open.
    DocumentWindow(DeskApplication& desk, std::shared_ptr<word::Document> document);
    ~DocumentWindow() override;

    const std::shared_ptr<word::Document>& Document() const noexcept { return document_; }
    CommandBarView& Bars() noexcept { return *bars_; }
    // Re-reads the document's name; the view draws what changed.
    void Refresh();
    // The host's menus that change while it runs: recent files and the window list.
    void UpdateHostMenus();
    view::DocumentView& View() noexcept { return *docView_; }
    // Null for the empty frame.
    edit::DocumentEditor* Editor() noexcept { return editor_.get(); }

protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    QAction* AddAction(const QString& caption, const QKeySequence& shortcut, std::function<void()> run);
    std::map<std::string, HostItems> HostMenus();

    DeskApplication& desk_;
    std::shared_ptr<word::Document> document_;
    view::DocumentView* docView_ = nullptr;
    std::unique_ptr<edit::DocumentEditor> editor_;
    edit::EditActions* editActions_ = nullptr;  // owned by the window
    std::unique_ptr<CommandBarView> bars_;
    QList<QAction*> file_;
    QList<QAction*> edit_;
    QList<QAction*> view_;
    // The view menu's switches and the setting each shows.
    struct ViewFlag {
        QAction* action;
        bool (word::View::*get)() const;
    };
    std::vector<ViewFlag> viewFlags_;
    QList<QAction*> insert_;
    QList<QAction*> tools_;
    QList<QAction*> windowFixed_;
    QList<QAction*> help_;
    QList<QAction*> standard_;
    QAction* quit_ = nullptr;
    // Recreated by UpdateHostMenus.
    QList<QAction*> recent_;
    QList<QAction*> windowList_;
};

}  // namespace paperloom::desk
