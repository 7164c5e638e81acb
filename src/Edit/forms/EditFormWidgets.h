#pragma once
// Helpers the designer's windows share: boxes that show whether they are enabled the way the
// dialogs always did (window or button-face background), a combo box that fills its list as
// it drops down, and the CR LF line breaks the models keep in multi-line text.

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QString>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

#include "Edit/clsPLEFormatForm.h"
#include "FormWidgets.h"

namespace paperloom::editforms {

using runforms::Q;
using runforms::S;

inline void SetBoxEnabled(QWidget& box, bool enabled) {
    box.setEnabled(enabled);
    QPalette palette;  // the window colour of the style
    if (!enabled) palette.setColor(QPalette::Base, palette.color(QPalette::Button));
    box.setPalette(palette);
}

inline QPushButton* Button(QWidget* parent, const char* name, const char* caption) {
    auto* button = new QPushButton(Q(caption), parent);
    button->setObjectName(name);
    button->setAutoDefault(false);
    return button;
}

// The OK (default) and キャンセル buttons at the right of a row; the caller connects them.
struct OkCancelRow {
    QPushButton* cmdOK;
    QPushButton* cmdCancel;
    QHBoxLayout* row;
};
inline OkCancelRow OkCancelButtons(QWidget* dialog) {
    OkCancelRow buttons{Button(dialog, "cmdOK", "OK"), Button(dialog, "cmdCancel", "キャンセル"), new QHBoxLayout};
    buttons.cmdOK->setDefault(true);
    buttons.row->addStretch();
    buttons.row->addWidget(buttons.cmdOK);
    buttons.row->addWidget(buttons.cmdCancel);
    return buttons;
}

inline QLabel* Label(QWidget* parent, const char* name, const char* caption, QWidget* buddy) {
    auto* label = new QLabel(Q(caption), parent);
    label->setObjectName(name);
    label->setBuddy(buddy);
    return label;
}

// A combo box named as its control, wide enough for `characters` characters; typed texts are
// not added to its list.
inline QComboBox* NamedCombo(QWidget* parent, const char* name, bool editable, int characters) {
    auto* box = new QComboBox(parent);
    box->setObjectName(name);
    box->setEditable(editable);
    box->setInsertPolicy(QComboBox::NoInsert);
    box->setMinimumContentsLength(characters);
    return box;
}

// Asks its owner for the list just before it shows it.
class DropDownCombo final : public QComboBox {
public:
    DropDownCombo(QWidget* parent, const char* name, bool editable) : QComboBox(parent) {
        setObjectName(name);
        setEditable(editable);
        setInsertPolicy(QComboBox::NoInsert);
    }
    std::function<void()> beforeDropDown;
    void showPopup() override {
        if (beforeDropDown) beforeDropDown();
        QComboBox::showPopup();
    }
};

// Replaces the list and shows `text` without raising the box's change signals.
inline void SetComboList(QComboBox& box, const std::vector<std::string>& items, const std::string& text) {
    const QSignalBlocker quiet(box);
    box.clear();
    for (const auto& item : items) box.addItem(Q(item));
    if (box.isEditable()) {
        box.setEditText(Q(text));
    } else {
        box.setCurrentIndex(box.findText(Q(text)));
    }
}

// The format type and picture boxes as the model's FormatBoxes hold them.
inline void ShowFormatBoxes(QComboBox& cboFormatType, QComboBox& cboFormat, const FormatBoxes& boxes,
                            bool blnTypeEnabled) {
    {
        const QSignalBlocker quiet(cboFormatType);
        cboFormatType.clear();
        for (const auto& caption : boxes.cboFormatTypeList) cboFormatType.addItem(Q(caption));
        cboFormatType.setCurrentIndex(boxes.cboFormatTypeIndex);
    }
    SetBoxEnabled(cboFormatType, blnTypeEnabled);
    SetComboList(cboFormat, boxes.cboFormatList, boxes.cboFormat);
    SetBoxEnabled(cboFormat, boxes.cboFormatEnabled);
}

inline QString FromCrLf(const std::string& text) { return Q(text).replace(QStringLiteral("\r\n"), QStringLiteral("\n")); }
inline std::string ToCrLf(const QString& text) {
    QString copy = text;
    return S(copy.replace(QStringLiteral("\n"), QStringLiteral("\r\n")));
}

}  // namespace paperloom::editforms
