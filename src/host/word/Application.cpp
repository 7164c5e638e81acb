#include "host/word/Application.h"

#include <algorithm>

#include "host/word/detail/DocumentState.h"
#include "host/word/WordError.h"

namespace paperloom::word {

// --- Documents -----------------------------------------------------------------------------

std::shared_ptr<Document> Documents::Item(long index) const {
    if (index < 1 || index > Count()) throw NoSuchMember();
    return open_[static_cast<std::size_t>(index) - 1];
}

std::shared_ptr<Document> Documents::Item(std::string_view name) const {
    const auto folded = detail::FoldCase(name);
    for (const auto& doc : open_)
        if (detail::FoldCase(doc->Name()) == folded || detail::FoldCase(doc->FullName()) == folded) return doc;
    throw NoSuchMember();
}

std::shared_ptr<Document> Documents::Add(const std::filesystem::path& templatePath, bool visible) {
    const std::string name = "Document" + std::to_string(++created_);
    std::shared_ptr<Document> doc;
    if (templatePath.empty()) {
        doc = Document::Blank(name);
    } else {
        auto package = docx::Package::Open(templatePath);
        // A document made from a template is a document, whatever its template was saved as.
        const auto main = package.MainDocumentPart();
        if (package.ContentType(main).find("template.main+xml") != std::string::npos)
            package.SetPartBytes(main, package.PartBytes(main),
                                 "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml");
        doc = Document::Create(std::move(package), name);
    }
    doc->state_->SetSaved(true);
    app_.Adopt(doc, visible);
    return doc;
}

std::shared_ptr<Document> Documents::Open(const std::filesystem::path& path, bool visible) {
    const auto full = std::filesystem::absolute(path).lexically_normal();
    for (const auto& doc : open_)
        if (doc->state_->FullName() == full) return doc;
    auto doc = Document::Open(full);
    app_.Adopt(doc, visible);
    // Handlers run after the document is in the collection, as in the word processor.
    const auto handlers = app_.openHandlers_;
    for (const auto& [cookie, handler] : handlers) handler(doc);
    return doc;
}

// --- Application ---------------------------------------------------------------------------

Application::Application() = default;

Application::~Application() {
    for (const auto& doc : documents_.open_) {
        doc->state_->SetApplication(nullptr);
        doc->state_->MarkClosed();
    }
}

void Application::Adopt(const std::shared_ptr<Document>& doc, bool visible) {
    doc->state_->SetApplication(this);
    doc->state_->SetWindowVisible(visible);
    documents_.open_.push_back(doc);
    if (visible || active_.expired()) active_ = doc;
}

std::shared_ptr<Document> Application::ActiveDocument() const {
    auto doc = active_.lock();
    if (!doc || doc->Closed())
        throw WordError(4248, "This command is not available because no document is open.");
    return doc;
}

Selection Application::Selection() const { return ActiveDocument()->Selection(); }

long Application::OnDocumentOpen(DocumentHandler handler) {
    openHandlers_.emplace_back(nextCookie_, std::move(handler));
    return nextCookie_++;
}

long Application::OnDocumentBeforeClose(BeforeCloseHandler handler) {
    closeHandlers_.emplace_back(nextCookie_, std::move(handler));
    return nextCookie_++;
}

void Application::RemoveHandler(long cookie) {
    std::erase_if(openHandlers_, [&](const auto& h) { return h.first == cookie; });
    std::erase_if(closeHandlers_, [&](const auto& h) { return h.first == cookie; });
}

bool Application::BeforeClose(const std::shared_ptr<Document>& doc) {
    const auto handlers = closeHandlers_;
    for (const auto& [cookie, handler] : handlers) {
        bool cancel = false;
        handler(doc, cancel);
        if (cancel) return false;
    }
    return true;
}

void Application::Forget(const Document& doc) {
    std::erase_if(documents_.open_, [&](const auto& d) { return d.get() == &doc; });
    if (auto active = active_.lock(); !active || active.get() == &doc) {
        active_.reset();
        for (auto it = documents_.open_.rbegin(); it != documents_.open_.rend(); ++it)
            if ((*it)->state_->WindowVisible()) {
                active_ = *it;
                break;
            }
    }
    doc.state_->SetApplication(nullptr);
}

void Application::Activate(const std::shared_ptr<Document>& doc) { active_ = doc; }

}  // namespace paperloom::word
