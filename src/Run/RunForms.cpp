#include "Run/RunForms.h"

#include <filesystem>

#include "common/modPLFunction.h"
#include "host/ui/UiServices.h"

namespace paperloom::run {
namespace {

RunForms*& Installed() {
    static RunForms* forms = nullptr;
    return forms;
}

RunForms*& Loaded() {
    static RunForms* forms = nullptr;
    return forms;
}

}  // namespace

RunForms* CurrentRunForms() {
    if (RunForms* forms = Installed()) return forms;
    ui::FormsService* loader = ui::Forms();
    if (!loader) return nullptr;
    const auto library = std::filesystem::path(modPLFunction::AddInFolder()) / kRunFormsLibrary;
    const auto entry = reinterpret_cast<RunForms* (*)()>(loader->Entry(library, kRunFormsEntry));
    Loaded() = entry();
    return Loaded();
}

RunForms* LoadedRunForms() { return Installed() ? Installed() : Loaded(); }

ScopedRunForms::ScopedRunForms(RunForms* forms) : previous_(Installed()) { Installed() = forms; }

ScopedRunForms::~ScopedRunForms() { Installed() = previous_; }

}  // namespace paperloom::run
