#pragma once
// The windows of the run-time's dialogs. They live in the add-in's forms library
// (libOsPLRunForms.so beside the add-in), which is loaded only when the host shows windows;
// the dialogs' logic is in the models handed to them, so a window only shows a model and
// reports clicks to it. Each Show returns when the user closes the dialog.

#include "common/clsPLFilterEditor.h"
#include "common/clsPLSortEditor.h"
#include "common/frmPLAboutBox.h"

namespace paperloom {
class frmPLRMove;
class frmPLRFind;
class frmPLROption;
}  // namespace paperloom

namespace paperloom::run {

class RunForms {
public:
    virtual ~RunForms() = default;
    virtual void ShowMove(frmPLRMove& form) = 0;
    virtual void ShowFind(frmPLRFind& form) = 0;
    virtual void ShowOption(frmPLROption& form) = 0;
    // BeginModal has been called; OK and Cancel set the result through the model.
    virtual void ShowFilter(clsPLFilterEditor& form) = 0;
    virtual void ShowSort(clsPLSortEditor& form) = 0;
    virtual void ShowAbout(const frmPLAboutBox& form) = 0;
    // Destroys every window made so far (the next Show makes it anew).
    virtual void Unload() = 0;
};

inline constexpr const char* kRunFormsLibrary = "libOsPLRunForms.so";
// extern "C" RunForms* PaperloomRunForms(): the library's one instance, kept for the process.
inline constexpr const char* kRunFormsEntry = "PaperloomRunForms";

// The forms to show: the ones a test installed, else those of the forms library when the host
// loads forms libraries; nullptr for a headless host (dialogs then close as cancelled).
RunForms* CurrentRunForms();
// The same without loading anything: nullptr when no forms were shown yet.
RunForms* LoadedRunForms();

// Installs forms for the lifetime of the object (tests, hosts that bring their own).
class ScopedRunForms {
public:
    explicit ScopedRunForms(RunForms* forms);
    ~ScopedRunForms();
    ScopedRunForms(const ScopedRunForms&) = delete;
    ScopedRunForms& operator=(const ScopedRunForms&) = delete;

private:
    RunForms* previous_;
};

}  // namespace paperloom::run
