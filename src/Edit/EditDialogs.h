#pragma once
// The designer's dialogs, made on first use and kept (hidden between uses) until the add-in's
// command class terminates. The commands preset them, run them and read their answers.

#include "Edit/clsPLEBindForm.h"
#include "Edit/frmPLEDetailInsert.h"
#include "Edit/frmPLEHeadField.h"
#include "Edit/frmPLEStatistics.h"
#include "Edit/frmPLECalculator.h"

namespace paperloom::edit {

struct EditDialogs {
    clsPLEBindForm frmPLEDBBind;
    paperloom::frmPLEDetailInsert frmPLEDetailInsert;
    paperloom::frmPLEHeadField frmPLEHeadField;
    paperloom::frmPLEStatistics frmPLEStatistics;
    paperloom::frmPLECalculator frmPLECalculator;

    // Takes every window of the designer off the screen (the forms library destroys them
    // together); errors are dropped.
    static void Unload() noexcept;
};

}  // namespace paperloom::edit
