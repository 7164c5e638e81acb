#include "Run/BindingRegistry.h"

#include <utility>

namespace paperloom::run {

void BindingRegistry::Add(std::shared_ptr<clsPLRDBBind> binding) {
    if (binding) bindings_.push_back(std::move(binding));
}

long BindingRegistry::IndexOf(const word::Document& document, bool fromLast) const {
    const long count = Count();
    // A binding that holds this very document wins. Matching by name alone would let two
    // documents of the same file name (from different folders) act on each other's records.
    for (long i = 0; i < count; ++i) {
        const long index = fromLast ? count - 1 - i : i;
        if (bindings_[static_cast<std::size_t>(index)]->TargetDocument().get() == &document) return index;
    }
    // Otherwise the first binding (from the chosen end) whose document has the same name.
    const std::string name = document.Name();
    for (long i = 0; i < count; ++i) {
        const long index = fromLast ? count - 1 - i : i;
        if (bindings_[static_cast<std::size_t>(index)]->GetDocumentName() == name) return index;
    }
    return -1;
}

std::shared_ptr<clsPLRDBBind> BindingRegistry::FindFirst(const word::Document& document) const {
    const long index = IndexOf(document, false);
    return index < 0 ? nullptr : bindings_[static_cast<std::size_t>(index)];
}

std::shared_ptr<clsPLRDBBind> BindingRegistry::RemoveLast(const word::Document& document) {
    const long index = IndexOf(document, true);
    if (index < 0) return nullptr;
    auto binding = std::move(bindings_[static_cast<std::size_t>(index)]);
    bindings_.erase(bindings_.begin() + index);
    return binding;
}

}  // namespace paperloom::run
