#include "Run/modPLRFunction.h"

#include "host/word/settings/Variables.h"

namespace paperloom::modPLRFunction {

std::shared_ptr<clsPLRDBBind> OpenDocumentBind(run::BindingRegistry& colBinds,
                                               const std::shared_ptr<word::Document>& docTarget) {
    auto binding = std::make_shared<clsPLRDBBind>();
    if (!binding->DBConnect(docTarget)) return nullptr;
    if (!binding->DBOpen()) {
        // Connected but the record source did not open: the connection goes with the binding.
        binding->DBDisconnect();
        return nullptr;
    }
    colBinds.Add(binding);
    return binding;
}

std::shared_ptr<clsPLRDBBind> CloneDocumentBind(run::BindingRegistry& colBinds,
                                                const std::shared_ptr<word::Document>& docTarget,
                                                const std::shared_ptr<word::Document>& docSource) {
    if (!docSource) return nullptr;
    const auto source = colBinds.FindFirst(*docSource);
    if (!source) return nullptr;
    auto clone = source->DBClone(docTarget);
    if (clone) colBinds.Add(clone);
    return clone;
}

void CloseDocumentBind(run::BindingRegistry& colBinds, const word::Document& docTarget) {
    const auto binding = colBinds.RemoveLast(docTarget);
    if (!binding) return;
    binding->DBClose();
    if (!binding->IsClone()) binding->DBDisconnect();
}

std::shared_ptr<clsPLRDBBind> FindDocumentBind(const run::BindingRegistry& colBinds,
                                               const word::Document& docTarget) {
    return colBinds.FindFirst(docTarget);
}

void CopyDocumentVariables(word::Document& docSource, word::Document& docTarget) {
    // Created or overwritten: a target that already has one of the names must not stop the copy
    // halfway.
    word::Variables::CopyAll(docTarget.Package(), docSource.Package());
}

}  // namespace paperloom::modPLRFunction
