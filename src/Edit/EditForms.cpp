#include "Edit/EditForms.h"

#include <filesystem>

#include "common/modPLFunction.h"
#include "host/ui/UiServices.h"

namespace paperloom::edit {
namespace {

EditForms*& Installed() {
    static EditForms* forms = nullptr;
    return forms;
}

EditForms*& Loaded() {
    static EditForms* forms = nullptr;
    return forms;
}

}  // namespace

EditForms* CurrentEditForms() {
    if (EditForms* forms = Installed()) return forms;
    ui::FormsService* loader = ui::Forms();
    if (!loader) return nullptr;
    const auto library = std::filesystem::path(modPLFunction::AddInFolder()) / kEditFormsLibrary;
    const auto entry = reinterpret_cast<EditForms* (*)()>(loader->Entry(library, kEditFormsEntry));
    Loaded() = entry();
    return Loaded();
}

EditForms* LoadedEditForms() { return Installed() ? Installed() : Loaded(); }

bool DoModal(clsPLFilterEditor& editor) {
    editor.BeginModal();
    if (EditForms* forms = CurrentEditForms()) forms->ShowFilter(editor);
    return editor.Result();
}

bool DoModal(clsPLSortEditor& editor) {
    editor.BeginModal();
    if (EditForms* forms = CurrentEditForms()) forms->ShowSort(editor);
    return editor.Result();
}

ScopedEditForms::ScopedEditForms(EditForms* forms) : previous_(Installed()) { Installed() = forms; }

ScopedEditForms::~ScopedEditForms() { Installed() = previous_; }

}  // namespace paperloom::edit
