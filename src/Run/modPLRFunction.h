#pragma once
// The run-time's binding routines over the add-in's binding registry: bind a document, clone a
// binding for another document, unbind, look up, and copy document variables between documents.

#include <memory>

#include "Run/BindingRegistry.h"
#include "Run/clsPLRDBBind.h"
#include "host/word/Document.h"

namespace paperloom::modPLRFunction {

// Connects and opens the document's header binding and registers it. nullptr, with nothing
// registered, when the document has no usable header settings or its database or record
// source cannot be opened.
std::shared_ptr<clsPLRDBBind> OpenDocumentBind(run::BindingRegistry& colBinds,
                                               const std::shared_ptr<word::Document>& docTarget);

// Registers a clone of the source document's binding for the target document; nullptr when
// the source has no open binding.
std::shared_ptr<clsPLRDBBind> CloneDocumentBind(run::BindingRegistry& colBinds,
                                                const std::shared_ptr<word::Document>& docTarget,
                                                const std::shared_ptr<word::Document>& docSource);

// Unregisters the document's binding (the last registered one), closes its record source and,
// unless it is a clone, its connection. Nothing happens when the document has no binding.
void CloseDocumentBind(run::BindingRegistry& colBinds, const word::Document& docTarget);

// The document's binding (the first registered one); nullptr when there is none.
std::shared_ptr<clsPLRDBBind> FindDocumentBind(const run::BindingRegistry& colBinds,
                                               const word::Document& docTarget);

// Every variable of the source document into the target document, created or overwritten.
void CopyDocumentVariables(word::Document& docSource, word::Document& docTarget);

}  // namespace paperloom::modPLRFunction
