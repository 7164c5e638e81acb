#pragma once
// Small helpers the run-time's windows share: a value box that shows whether it is enabled
// the way the dialogs always did (window or button-face background), and messages under the
// add-in's title.

#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QString>

#include <string>
#include <string_view>

#include "common/modPLConst.h"
#include "host/ui/UiServices.h"
#include "host/ui/qt/DialogPlacement.h"

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

// Each window is made on first use over its model and kept (hidden) until Unload; a new model
// object (the add-in connected again) gets a new window. Windows belong to the host's window
// and go with it, so they are watched, not owned.
template <typename Form>
void Destroy(QPointer<Form>& slot) {
    delete slot.data();
    slot.clear();
}

template <typename Form, typename Model>
Form& FormFor(QPointer<Form>& slot, Model& model) {
    if (!slot || slot->Model() != &model) {
        Destroy(slot);
        slot = new Form(model, ui::qt::DialogOwner());
    }
    return *slot;
}

}  // namespace paperloom::runforms
