#include "CommandBarView.h"

#include <QAction>
#include <QEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QToolButton>
#include <QWidget>

#include <map>
#include <optional>

#include "FaceIcons.h"
#include "host/word/addins/CommandBars.h"

namespace paperloom::desk {
namespace {

namespace cbr = word::cbr;

Qt::ToolBarArea AreaOf(long position) {
    switch (position) {
        case cbr::barLeft:
            return Qt::LeftToolBarArea;
        case cbr::barRight:
            return Qt::RightToolBarArea;
        case cbr::barBottom:
            return Qt::BottomToolBarArea;
        default:
            // A floating bar is laid out at the top too: that is where it docks when the user
            // drags it onto the window.
            return Qt::TopToolBarArea;
    }
}

// Floats a toolbar the way Qt does when the user tears one off (a frameless tool window the
// main window's layout keeps its place for), and shows it over the window whenever the window
// shows, hiding it with the window.
class FloatingToolBar final : public QObject {
public:
    FloatingToolBar(QToolBar& toolbar, QMainWindow& window, std::optional<QPoint> at, int order)
        : QObject(&toolbar), toolbar_(toolbar), window_(window), at_(at), order_(order) {
        toolbar_.setWindowFlags(Qt::Tool | Qt::FramelessWindowHint);
        toolbar_.adjustSize();
        window_.installEventFilter(this);
        if (window_.isVisible()) Show();
    }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == &window_ && event->type() == QEvent::Show) Show();
        if (watched == &window_ && event->type() == QEvent::Hide) toolbar_.hide();
        return false;
    }

private:
    void Show() {
        if (!at_) {
            // Below the menus near the window's corner, each further bar a step down and right
            // so none covers another.
            const int step = 28 * order_;
            at_ = window_.mapToGlobal(QPoint(24 + step, window_.menuBar()->height() + 24 + step));
        }
        if (!placed_) toolbar_.move(*at_);
        placed_ = true;
        toolbar_.show();
    }

    QToolBar& toolbar_;
    QMainWindow& window_;
    std::optional<QPoint> at_;
    int order_;
    bool placed_ = false;
};

QString ToQ(const std::string& text) { return QString::fromStdString(text); }

// Qt draws a separator before an item as the model's BeginGroup does, but never first.
template <typename Container>
void SeparatorIfGroup(Container& container, bool beginGroup) {
    if (beginGroup && !container.actions().isEmpty() && !container.actions().last()->isSeparator())
        container.addSeparator();
}

}  // namespace

CommandBarView::CommandBarView(QMainWindow& window, word::CommandBars& bars, std::map<std::string, HostItems> hostMenus,
                               std::map<std::string, HostItems> hostBars, Execute execute)
    : window_(window),
      bars_(bars),
      hostMenus_(std::move(hostMenus)),
      hostBars_(std::move(hostBars)),
      execute_(std::move(execute)) {}

QAction* CommandBarView::MakeAction(const std::shared_ptr<word::CommandBarControl>& control, bool enabled,
                                    bool inMenu) {
    auto* action = new QAction(ToQ(control->Caption()), generation_);  // owned by the generation
    action->setObjectName(ToQ(control->Tag()));
    action->setEnabled(enabled && control->Enabled());
    action->setToolTip(WithoutAccessKeys(ToQ(control->TooltipText())));
    action->setIcon(FaceIcon(*control));
    action->setIconVisibleInMenu(inMenu);
    std::weak_ptr<word::CommandBarControl> weak = control;
    QObject::connect(action, &QAction::triggered, generation_, [this, weak] {
        if (const auto alive = weak.lock(); alive && !alive->Deleted()) execute_(alive);
    });
    return action;
}

void CommandBarView::FillMenu(QMenu& menu, word::CommandBar& bar, const QList<QAction*>& hostActions) {
    for (QAction* action : hostActions) {
        if (action)
            menu.addAction(action);
        else
            menu.addSeparator();
    }
    bool first = true;
    for (const auto& control : bar.Controls()) {
        if (control->BuiltIn() || !control->Visible()) continue;
        // What add-ins add follows the host's own items as a group of its own.
        SeparatorIfGroup(menu, control->BeginGroup() || (first && !hostActions.isEmpty()));
        first = false;
        if (control->Type() == cbr::controlPopup) {
            auto* sub = new QMenu(ToQ(control->Caption()), generation_);  // owned by the generation
            sub->setObjectName(ToQ(control->Tag()));
            FillMenu(*sub, *control->CommandBar(), {});
            sub->menuAction()->setObjectName(ToQ(control->Tag()));
            sub->setEnabled(bar.Enabled() && control->Enabled());
            menu.addMenu(sub);
        } else {
            menu.addAction(MakeAction(control, bar.Enabled(), true));
        }
    }
}

void CommandBarView::FillToolBar(QToolBar& toolbar, word::CommandBar& bar, const QList<QAction*>& hostActions) {
    for (QAction* action : hostActions) {
        if (action)
            toolbar.addAction(action);
        else
            toolbar.addSeparator();
    }
    for (const auto& control : bar.Controls()) {
        if (control->BuiltIn() || !control->Visible()) continue;
        SeparatorIfGroup(toolbar, control->BeginGroup());
        if (control->Type() == cbr::controlPopup) {
            auto* sub = new QMenu(ToQ(control->Caption()), generation_);  // owned by the generation
            sub->setObjectName(ToQ(control->Tag()));
            FillMenu(*sub, *control->CommandBar(), {});
            sub->menuAction()->setObjectName(ToQ(control->Tag()));
            toolbar.addAction(sub->menuAction());
            if (auto* button = qobject_cast<QToolButton*>(toolbar.widgetForAction(sub->menuAction())))
                button->setPopupMode(QToolButton::InstantPopup);
            continue;
        }
        QAction* action = MakeAction(control, bar.Enabled(), false);
        toolbar.addAction(action);
        auto* button = qobject_cast<QToolButton*>(toolbar.widgetForAction(action));
        if (!button) continue;
        const long style = control->Style();
        const bool hasFace = !action->icon().isNull();
        if (style == cbr::buttonCaption || (!hasFace && style != cbr::buttonIconAndCaption))
            button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        else if (style == cbr::buttonIconAndCaption)
            button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
        else
            button->setToolButtonStyle(Qt::ToolButtonIconOnly);
    }
}

void CommandBarView::Rebuild() {
    window_.menuBar()->clear();
    std::map<std::string, QPoint> floatingAt;
    for (const auto& toolbar : toolbars_) {
        if (!toolbar) continue;
        // A floating bar stays where it is (the user may have moved it).
        if (toolbar->isFloating() && toolbar->isVisible()) floatingAt[toolbar->objectName().toStdString()] = toolbar->pos();
        window_.removeToolBar(toolbar);
        toolbar->deleteLater();
    }
    toolbars_.clear();
    // The old generation may be what is running this very moment (a click's handler).
    if (generation_) generation_->deleteLater();
    generation_ = new QWidget(&window_);  // owned by the window
    generation_->setObjectName("commandBarGeneration");
    generation_->hide();

    int floating = 0;
    for (const auto& bar : bars_) {
        if (bar->Type() == cbr::barTypeMenuBar) {
            for (const auto& popup : bar->Controls()) {
                if (!popup->Visible()) continue;
                const auto host = hostMenus_.find(popup->Caption());
                const bool builtIn = popup->BuiltIn();
                if (builtIn && host == hostMenus_.end()) continue;
                if (popup->Type() != cbr::controlPopup) {
                    window_.menuBar()->addAction(MakeAction(popup, bar->Enabled(), true));
                    continue;
                }
                const QString caption = builtIn ? host->second.caption : ToQ(popup->Caption());
                auto* menu = new QMenu(caption, generation_);  // owned by the generation
                menu->setObjectName(builtIn ? QString::fromStdString(popup->Caption()) : ToQ(popup->Tag()));
                FillMenu(*menu, *popup->CommandBar(), builtIn ? host->second.actions : QList<QAction*>{});
                menu->setEnabled(bar->Enabled() && popup->Enabled());
                if (builtIn && host->second.aboutToShow)
                    QObject::connect(menu, &QMenu::aboutToShow, menu, host->second.aboutToShow);
                if (!menu->actions().isEmpty()) window_.menuBar()->addMenu(menu);
            }
            continue;
        }
        if (bar->Type() != cbr::barTypeNormal || !bar->Visible()) continue;
        const auto host = hostBars_.find(bar->Name());
        if (bar->BuiltIn() && host == hostBars_.end()) continue;
        const QString title = bar->BuiltIn() ? host->second.caption : ToQ(bar->Name());
        auto* toolbar = new QToolBar(title, &window_);  // owned by the window
        toolbar->setObjectName(ToQ(bar->Name()));
        toolbar->setIconSize(QSize(16, 16));
        FillToolBar(*toolbar, *bar, bar->BuiltIn() ? host->second.actions : QList<QAction*>{});
        if (toolbar->actions().isEmpty()) {
            toolbar->deleteLater();
            continue;
        }
        window_.addToolBar(AreaOf(bar->Position()), toolbar);
        if (bar->Position() == cbr::barFloating) {
            const auto at = floatingAt.find(bar->Name());
            new FloatingToolBar(*toolbar, window_,  // owned by the toolbar
                                at == floatingAt.end() ? std::nullopt : std::optional<QPoint>(at->second), floating++);
        }
        toolbars_.emplace_back(toolbar);
    }
}

}  // namespace paperloom::desk
