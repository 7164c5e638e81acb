#pragma once
// The run-time's bindings, one per open document, in the order they were registered. The
// registry owns them; callers that hold one (a command, the controller) share it, so a
// binding removed while a command still uses it stays valid until that command lets go.

#include <memory>
#include <vector>

#include "Run/clsPLRDBBind.h"
#include "host/word/Document.h"

namespace paperloom::run {

class BindingRegistry {
public:
    void Add(std::shared_ptr<clsPLRDBBind> binding);
    // First binding in registration order that belongs to the document; nullptr when none.
    std::shared_ptr<clsPLRDBBind> FindFirst(const word::Document& document) const;
    // Removes and returns the binding of the document that was registered last; nullptr when none.
    std::shared_ptr<clsPLRDBBind> RemoveLast(const word::Document& document);
    long Count() const noexcept { return static_cast<long>(bindings_.size()); }
    const std::vector<std::shared_ptr<clsPLRDBBind>>& Items() const noexcept { return bindings_; }
    // Drops every binding (the add-in disconnecting).
    void Clear() noexcept { bindings_.clear(); }

private:
    // Index of the matching binding searched from the front or the back; -1 when none.
    long IndexOf(const word::Document& document, bool fromLast) const;

    std::vector<std::shared_ptr<clsPLRDBBind>> bindings_;
};

}  // namespace paperloom::run
