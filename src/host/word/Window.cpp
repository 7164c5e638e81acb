#include "host/word/Window.h"

#include "host/word/detail/DocumentState.h"
#include "host/word/WordError.h"

namespace paperloom::word {

bool View::ShowHiddenText() const {
    doc_->CheckOpen();
    return doc_->ShowHiddenText();
}

void View::SetShowHiddenText(bool show) {
    doc_->CheckOpen();
    doc_->SetShowHiddenText(show);
}

bool View::ShowFieldCodes() const {
    doc_->CheckOpen();
    return doc_->ShowFieldCodes();
}

void View::SetShowFieldCodes(bool show) {
    doc_->CheckOpen();
    doc_->SetShowFieldCodes(show);
}

bool Window::Visible() const {
    doc_->CheckOpen();
    return doc_->WindowVisible();
}

void Window::SetVisible(bool visible) {
    doc_->CheckOpen();
    doc_->SetWindowVisible(visible);
}

Window Windows::Item(long index) const {
    doc_->CheckOpen();
    if (index != 1) throw NoSuchMember();
    return Window(doc_);
}

}  // namespace paperloom::word
