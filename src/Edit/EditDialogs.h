#pragma once
// The designer's dialogs, made on first use and kept (hidden between uses) until the add-in's
// command class terminates. The commands preset them, run them and read their answers.

#include "Edit/clsPLEBindForm.h"
#include "Edit/frmPLEBreak.h"
#include "Edit/frmPLEDetailColProp.h"
#include "Edit/frmPLEDetailInsert.h"
#include "Edit/frmPLEDetailProp.h"
#include "Edit/frmPLEHeadField.h"
#include "Edit/frmPLEStatistics.h"
#include "Edit/frmPLECalculator.h"
#include "Edit/frmPLEBookmark.h"
#include "common/frmPLAboutBox.h"

namespace paperloom::edit {

struct EditDialogs {
    clsPLEBindForm frmPLEDBBind;
    paperloom::frmPLEDetailInsert frmPLEDetailInsert;
    paperloom::frmPLEBreak frmPLEBreak;
    paperloom::frmPLEDetailColProp frmPLEDetailColProp{frmPLEBreak};  // its break button opens frmPLEBreak
    paperloom::frmPLEDetailProp frmPLEDetailProp;
    paperloom::frmPLEHeadField frmPLEHeadField;
    paperloom::frmPLEStatistics frmPLEStatistics;
    paperloom::frmPLECalculator frmPLECalculator;
    paperloom::frmPLEBookmark frmPLEBookmark;
    paperloom::frmPLAboutBox frmPLAboutBox;

    // Takes every window of the designer off the screen (the forms library destroys them
    // together); errors are dropped.
    static void Unload() noexcept;
};

}  // namespace paperloom::edit
