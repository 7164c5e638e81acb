#include "host/ui/qt/DialogPlacement.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMainWindow>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace paperloom::ui::qt {

QPoint CentredPosition(QSize dialog, const QRect& area, const QRect& bounds) {
    int x = area.x() + (area.width() - dialog.width()) / 2;
    int y = area.y() + (area.height() - dialog.height()) / 2;
    if (bounds.isValid()) {
        // A dialog larger than the screen keeps its top-left corner visible.
        x = std::max(bounds.left(), std::min(x, bounds.right() + 1 - dialog.width()));
        y = std::max(bounds.top(), std::min(y, bounds.bottom() + 1 - dialog.height()));
    }
    return {x, y};
}

QWidget* DialogOwner() {
    if (QWidget* active = QApplication::activeWindow()) return active;
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (widget->isVisible() && qobject_cast<QMainWindow*>(widget)) return widget;
    return nullptr;
}

void CentreDialog(QWidget& dialog) {
    QWidget* owner = dialog.parentWidget() ? dialog.parentWidget()->window() : nullptr;
    QScreen* screen = owner ? owner->screen() : dialog.screen();
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect work = screen ? screen->availableGeometry() : QRect();
    const QRect area = owner && owner->isVisible() ? owner->frameGeometry() : work;
    if (!dialog.testAttribute(Qt::WA_Resized)) dialog.adjustSize();
    dialog.move(CentredPosition(dialog.frameSize().isValid() ? dialog.frameSize() : dialog.size(), area, work));
}

}  // namespace paperloom::ui::qt
