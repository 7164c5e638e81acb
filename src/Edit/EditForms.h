#pragma once
// The windows of the designer's dialogs. They live in the add-in's forms library
// (libOsPLEditForms.so beside the add-in), which is loaded only when the host shows windows;
// the dialogs' logic is in the models handed to them, so a window only shows a model and
// reports edits and clicks to it. Each Show returns when the user closes the dialog.

#include "common/clsPLFilterEditor.h"
#include "common/clsPLSortEditor.h"

namespace paperloom {
class clsPLEBindForm;
class frmPLEDetailInsert;
class frmPLEHeadField;
class frmPLEDetailProp;
class frmPLEDetailColProp;
class frmPLEBreak;
class frmPLEStatistics;
class frmPLECalculator;
class frmPLEBookmark;
struct frmPLAboutBox;
}  // namespace paperloom

namespace paperloom::edit {

class ConnectionEditor;
class DataLinkEditor;

class EditForms {
public:
    virtual ~EditForms() = default;
    // The data bind dialog (also page 1 of the detail insert wizard).
    virtual void ShowDBBind(clsPLEBindForm& form) = 0;
    // Page 2 of the detail insert wizard.
    virtual void ShowDetailInsert(frmPLEDetailInsert& form) = 0;
    // The dialogs below close as cancelled unless the forms show them (forms made for one
    // command, such as the command line's, answer only the dialogs that command opens).
    // The header field, detail properties, column properties and row break dialogs.
    virtual void ShowHeadField(frmPLEHeadField&) {}
    virtual void ShowDetailProp(frmPLEDetailProp&) {}
    virtual void ShowDetailColProp(frmPLEDetailColProp&) {}
    virtual void ShowBreak(frmPLEBreak&) {}
    // The statistics field dialog, the calculator and the bookmark manager; the about box.
    virtual void ShowStatistics(frmPLEStatistics&) {}
    virtual void ShowCalculator(frmPLECalculator&) {}
    virtual void ShowBookmark(frmPLEBookmark&) {}
    virtual void ShowAbout(const frmPLAboutBox&) {}
    // BeginModal has been called; OK and Cancel set the result through the model.
    virtual void ShowFilter(clsPLFilterEditor& form) = 0;
    virtual void ShowSort(clsPLSortEditor& form) = 0;
    // The bind dialog's outside components: the connection string editor and the data link
    // file chooser, shown over the dialog that is open.
    virtual void ShowConnectionEditor(ConnectionEditor& editor) = 0;
    virtual void ShowDataLinkEditor(DataLinkEditor& editor) = 0;
    // Destroys every window made so far (the next Show makes it anew).
    virtual void Unload() = 0;
};

inline constexpr const char* kEditFormsLibrary = "libOsPLEditForms.so";
// extern "C" EditForms* PaperloomEditForms(): the library's one instance, kept for the process.
inline constexpr const char* kEditFormsEntry = "PaperloomEditForms";

// The forms to show: the ones a test installed, else those of the forms library when the host
// loads forms libraries; nullptr for a headless host (dialogs then close as cancelled).
EditForms* CurrentEditForms();
// The same without loading anything: nullptr when no forms were shown yet.
EditForms* LoadedEditForms();

// Shows the filter or sort editor (result and dirty reset first); the result of OK. Closes as
// cancelled without windows.
bool DoModal(clsPLFilterEditor& editor);
bool DoModal(clsPLSortEditor& editor);

// Installs forms for the lifetime of the object (tests, hosts that bring their own).
class ScopedEditForms {
public:
    explicit ScopedEditForms(EditForms* forms);
    ~ScopedEditForms();
    ScopedEditForms(const ScopedEditForms&) = delete;
    ScopedEditForms& operator=(const ScopedEditForms&) = delete;

private:
    EditForms* previous_;
};

}  // namespace paperloom::edit
