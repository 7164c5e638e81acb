#pragma once
// The application: its open documents, the active one, screen switches and the document
// events. Events are raised synchronously on the caller's thread; handlers may open and
// close documents while they run.

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/word/Document.h"

namespace paperloom::word {

class Application;

class Documents {
public:
    explicit Documents(Application& app) : app_(app) {}
    long Count() const { return static_cast<long>(open_.size()); }
    std::shared_ptr<Document> Item(long index) const;
    // By name (case-insensitive), as the word processor finds "Document1" or "report.docx".
    std::shared_ptr<Document> Item(std::string_view name) const;
    // A new document: blank, or a copy of the content of a template file.
    std::shared_ptr<Document> Add(const std::filesystem::path& templatePath = {}, bool visible = true);
    // Opens a file (an open document of the same path is returned as it is) and raises
    // DocumentOpen.
    std::shared_ptr<Document> Open(const std::filesystem::path& path, bool visible = true);
    auto begin() const { return open_.begin(); }
    auto end() const { return open_.end(); }

private:
    friend class Application;
    Application& app_;
    std::vector<std::shared_ptr<Document>> open_;
    long created_ = 0;
};

class Application {
public:
    using DocumentHandler = std::function<void(const std::shared_ptr<Document>&)>;
    using BeforeCloseHandler = std::function<void(const std::shared_ptr<Document>&, bool& cancel)>;

    Application();
    ~Application();
    Application(const Application&) = delete;
    Application& operator=(const Application&) = delete;

    word::Documents& Documents() { return documents_; }
    // Error 4248 when no document is open.
    std::shared_ptr<Document> ActiveDocument() const;
    word::Selection Selection() const;

    bool ScreenUpdating() const { return screenUpdating_; }
    void SetScreenUpdating(bool on) { screenUpdating_ = on; }
    void ScreenRefresh() {}
    bool Visible() const { return visible_; }
    void SetVisible(bool visible) { visible_ = visible; }

    // Handlers return a cookie for RemoveHandler.
    long OnDocumentOpen(DocumentHandler handler);
    long OnDocumentBeforeClose(BeforeCloseHandler handler);
    void RemoveHandler(long cookie);

private:
    friend class Document;
    friend class word::Documents;
    // Raises DocumentBeforeClose; false when a handler cancelled.
    bool BeforeClose(const std::shared_ptr<Document>& doc);
    void Forget(const Document& doc);
    void Activate(const std::shared_ptr<Document>& doc);
    void Adopt(const std::shared_ptr<Document>& doc, bool visible);

    word::Documents documents_{*this};
    std::weak_ptr<Document> active_;
    bool screenUpdating_ = true;
    bool visible_ = true;
    long nextCookie_ = 1;
    std::vector<std::pair<long, DocumentHandler>> openHandlers_;
    std::vector<std::pair<long, BeforeCloseHandler>> closeHandlers_;
};

}  // namespace paperloom::word
