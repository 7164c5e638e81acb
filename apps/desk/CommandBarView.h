#pragma once
// The command bars of the model shown live in one main window: the menu bar's popups as
// menus (the host's own Japanese menus, with what add-ins put into them after the host's
// items) and every visible toolbar docked where its Position says, or floating over the
// window. Captions keep their '&' access keys, BeginGroup becomes a separator, Enabled and
// Visible are applied, and a click runs the control through the model (which loads a
// demand-loaded add-in and raises Click).
//
// Rebuild re-reads everything; the host calls it (deferred) whenever the model says a bar
// changed. Actions and menus are named after the controls' tags, toolbars after their bars.

#include <QList>
#include <QPointer>
#include <QString>
#include <QToolBar>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QAction;
class QMainWindow;
class QMenu;
class QWidget;

namespace paperloom::word {
class CommandBar;
class CommandBarControl;
class CommandBars;
}  // namespace paperloom::word

namespace paperloom::desk {

// What the host shows itself for one built-in bar or menu-bar popup: its caption and its own
// actions (nullptr: a separator).
struct HostItems {
    QString caption;
    QList<QAction*> actions;
    // Runs as the menu opens, so entries can show whether they apply now (undo, redo).
    std::function<void()> aboutToShow = {};
};

class CommandBarView {
public:
    using Execute = std::function<void(const std::shared_ptr<word::CommandBarControl>&)>;

    // `hostMenus` is keyed by the caption of the model's built-in menu-bar popups ("&File"),
    // `hostBars` by the name of its built-in bars ("Standard"). Built-in controls of the model
    // are stand-ins for the host's own and are not shown.
    CommandBarView(QMainWindow& window, word::CommandBars& bars, std::map<std::string, HostItems> hostMenus,
                   std::map<std::string, HostItems> hostBars, Execute execute);

    // The host's items change (recent files, the window list); shown at the next Rebuild.
    void SetHostMenus(std::map<std::string, HostItems> hostMenus) { hostMenus_ = std::move(hostMenus); }
    void Rebuild();

private:
    void FillMenu(QMenu& menu, word::CommandBar& bar, const QList<QAction*>& hostActions);
    void FillToolBar(QToolBar& toolbar, word::CommandBar& bar, const QList<QAction*>& hostActions);
    QAction* MakeAction(const std::shared_ptr<word::CommandBarControl>& control, bool enabled, bool inMenu);

    QMainWindow& window_;
    word::CommandBars& bars_;
    std::map<std::string, HostItems> hostMenus_;
    std::map<std::string, HostItems> hostBars_;
    Execute execute_;
    // Everything one rebuild made; replaced as a whole by the next.
    QPointer<QWidget> generation_;
    std::vector<QPointer<QToolBar>> toolbars_;
};

}  // namespace paperloom::desk
