#pragma once
// An open document: its stories, collections, settings, window and selection, and saving.
//
// Documents are shared (std::shared_ptr<Document>): the application's Documents collection,
// events and the add-ins hold the same object. After Close every handle into the document
// raises error 5825.

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "host/docx/Package.h"
#include "host/word/Bookmarks.h"
#include "host/word/Range.h"
#include "host/word/Sections.h"
#include "host/word/Selection.h"
#include "host/word/Shapes.h"
#include "host/word/Snapshot.h"
#include "host/word/Table.h"
#include "host/word/Window.h"
#include "host/word/settings/DocumentSettings.h"
#include "host/word/settings/PageSetup.h"
#include "host/word/settings/Styles.h"
#include "host/word/settings/Typography.h"
#include "host/word/settings/Variables.h"
#include "host/word/settings/WebOptions.h"

namespace paperloom::word {

class Application;

class Document : public std::enable_shared_from_this<Document> {
public:
    // A document over a package, outside any application (the application opens documents
    // through its Documents collection).
    static std::shared_ptr<Document> Create(docx::Package package, std::string name,
                                            std::filesystem::path fullName = {});
    static std::shared_ptr<Document> Open(const std::filesystem::path& path);
    static std::shared_ptr<Document> Blank(std::string name = "Document1");

    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;
    ~Document();

    std::string Name() const;
    // The folder the document was opened from or saved to; "" for a new document.
    std::string Path() const;
    std::string FullName() const;

    word::Range Content() const;
    // A range of the main story; without arguments the whole story.
    word::Range Range(std::optional<long> start = std::nullopt, std::optional<long> end = std::nullopt) const;
    word::Tables Tables() const;
    word::Bookmarks Bookmarks() const;
    word::Shapes Shapes() const;
    word::Sections Sections() const;
    word::Windows Windows() const;
    word::Selection Selection() const;

    word::Variables Variables();
    word::PageSetup PageSetup();
    word::Styles Styles();
    word::WebOptions WebOptions();
    word::DocumentSettings Settings();
    // East Asian typography (the document serves as its own attached template).
    word::Typography Typography();
    // What the web options remember beyond the file, for copying settings between documents.
    WebOptionsMemory& WebOptionsState() { return webOptions_; }
    bool Compatibility(long index);
    void SetCompatibility(long index, bool on);

    void Save();
    void SaveAs(const std::filesystem::path& path);
    bool Saved() const;
    void SetSaved(bool saved);
    // Grows with every edit made through the model, saved or not: a view compares it to know
    // whether the document changed since it last drew it.
    unsigned long Revision() const;
    // Closes, without saving unless wdSaveChanges is given. Raises the application's
    // DocumentBeforeClose first; a handler can cancel, and then the document stays open.
    void Close(long saveChanges = wdDoNotSaveChanges);
    bool Closed() const;
    void Activate();
    // Prints the document as it stands, saved or not, with the platform's print service (the
    // spooler's default printer, or the print folder where one is configured). Failures raise
    // error 4198 with the reason.
    void PrintOut();

    // The document's package, for settings and parts the model does not cover. The parts the
    // stories live in (main document, headers, footers) must not be replaced through it while
    // the document is open: the model holds their trees.
    docx::Package& Package();
    // Every part of the document as it stands, for undo; parts equal to those of `previous`
    // share its bytes.
    DocumentSnapshot Snapshot(const DocumentSnapshot* previous = nullptr) const;
    // Puts every part back exactly as the snapshot holds it. Ranges in the main text, headers
    // and footers (the selection too) stay, kept within the restored text; text-box ranges
    // and field handles taken before no longer work.
    void Restore(const DocumentSnapshot& snapshot);
    word::Application* Application() const;

    const std::shared_ptr<detail::DocumentState>& State() const { return state_; }

private:
    friend class Application;
    friend class Documents;
    explicit Document(std::shared_ptr<detail::DocumentState> state);

    std::shared_ptr<detail::DocumentState> state_;
    mutable std::shared_ptr<detail::RangeData> selection_;
    WebOptionsMemory webOptions_;
};

}  // namespace paperloom::word
