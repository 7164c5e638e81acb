#pragma once
// A desktop host over a scratch configuration folder, with the test add-ins registered.

#include <QAction>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QToolBar>

#include <memory>
#include <string>

#include "DeskApplication.h"
#include "DocumentWindow.h"
#include "host/ui/QtTestSupport.h"
#include "host/word/addins/AddInRegistry.h"
#include "support/TestFiles.h"

namespace paperloom::test {

inline void RegisterDeskAddIn(word::AddInRegistry& registry, const std::string& progId, long loadBehavior) {
    word::AddInRegistration registration;
    registration.progId = progId;
    registration.libraryPath = PAPERLOOM_DESK_TEST_ADDIN;
    registration.friendlyName = progId == "Paperloom.DeskTestAddIn" ? "テスト アドイン" : "デマンド アドイン";
    registration.loadBehavior = loadBehavior;
    registry.Register(registration);
}

// The menu of the window's menu bar with that object name ("&Tools" for ツール).
inline QMenu* MenuNamed(QMainWindow& window, const QString& name) {
    for (QAction* action : window.menuBar()->actions())
        if (action->menu() && action->menu()->objectName() == name) return action->menu();
    return nullptr;
}

// The action a control's tag names, in the window's current menus and toolbars.
inline QAction* ActionNamed(QWidget& within, const QString& name) { return within.findChild<QAction*>(name); }

// Lets deferred command-bar rebuilds and repaints run.
inline void Settle() {
    for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

}  // namespace paperloom::test
