#pragma once
// Small helpers the run-time's windows share: a value box that shows whether it is enabled
// the way the dialogs always did (window or button-face background), and messages under the
// add-in's title.

#include <QLineEdit>
#include <QPalette>
#include <QString>

#include <string>
#include <string_view>

#include "common/modPLConst.h"
#include "host/ui/UiServices.h"

namespace paperloom::runforms {

inline QString Q(std::string_view text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }
inline std::string S(const QString& text) { return text.toStdString(); }

inline void SetValueBoxEnabled(QLineEdit& box, bool enabled) {
    box.setEnabled(enabled);
    QPalette palette;  // the window colour of the style
    if (!enabled) palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    box.setPalette(palette);
}

// The title of the boxes the windows show: the add-in's whose forms library this is. Each
// forms library holds its own copy (hidden symbols), so the designer's sets its own title.
inline std::string& MessageTitle() {
    static std::string title(modPLConst::RUN_APP_TITLE);
    return title;
}

inline void ShowMessage(const modPLConst::PLMessage& message) {
    ui::MessageRequest request;
    request.strText = std::string(message.strText);
    request.strTitle = MessageTitle();
    switch (message.icon) {
    case modPLConst::PLMessageIcon::Critical: request.icon = ui::MessageIcon::Critical; break;
    case modPLConst::PLMessageIcon::Exclamation: request.icon = ui::MessageIcon::Exclamation; break;
    case modPLConst::PLMessageIcon::Information: request.icon = ui::MessageIcon::Information; break;
    }
    ui::Messages().Show(request);
}

}  // namespace paperloom::runforms
