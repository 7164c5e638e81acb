#pragma once
// Where dialogs go: owned by the active window of the host, and centred as the system asks
// (over their owner, or on the screen's work area when there is none).

#include <QPoint>
#include <QRect>
#include <QSize>

class QWidget;

namespace paperloom::ui::qt {

// The top-left corner that centres `dialog` over `area`, kept inside `bounds` where it fits.
QPoint CentredPosition(QSize dialog, const QRect& area, const QRect& bounds);

// The window dialogs belong to: the application's active window, else the first visible
// top-level main window; nullptr when there is none.
QWidget* DialogOwner();

// Moves a dialog (sized already) to the centre of its parent window, or of the work area of
// the screen it is on when it has none.
void CentreDialog(QWidget& dialog);

}  // namespace paperloom::ui::qt
