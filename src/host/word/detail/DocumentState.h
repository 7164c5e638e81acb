#pragma once
// The shared internal state of one open document: its package, its stories, and the
// document-wide bookkeeping the handles (Range, Table, Bookmark, Shape ...) reach through it.

#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "host/docx/Package.h"
#include "host/word/detail/Story.h"

namespace paperloom::word {
class Document;
class Application;
}

namespace paperloom::word::detail {

// A mark followed by its node rather than by its position (a field's begin mark): it is found
// however much text comes and goes around it, without any bookkeeping per edit, and it is dead
// once its node leaves the document.
struct MarkAnchor {
    pugi::xml_node node;
    bool alive = true;
};

class DocumentState : public StoryHost, public std::enable_shared_from_this<DocumentState> {
public:
    explicit DocumentState(docx::Package package);
    ~DocumentState() override;

    docx::Package& Package() { return package_; }
    void CheckOpen() const;

    Story& Main();
    // The story of a header or footer of the first section; created on demand when `create`.
    Story* HeaderFooter(bool footer, long index, bool create);
    // The story of a text box's contents (the drawing form's w:txbxContent), with the
    // legacy copy it mirrors on save, if any.
    Story& TextBox(pugi::xml_node content, const std::string& part);
    // Brings every legacy copy of an edited text box up to date.
    void SyncTextBoxCopies();
    // After the package's parts were put back as a snapshot held them (undo): the main story
    // and the headers and footers follow the new trees, keeping their ranges; text-box
    // stories, anchors and every other cache of nodes or names are dropped.
    void PartsRestored();

    bool StyleHidden(std::string_view styleId) override;
    void BeforeRemove(pugi::xml_node subtree) override;
    // A subtree of the main story written out to the file while the document is still being
    // built (a streamed print document) and now leaving the tree: it is forgotten as a removal
    // is, but its bookmark names and ids and its drawing ids stay taken, so what is added later
    // is named as it would be with the subtree still there.
    void WrittenOut(pugi::xml_node subtree);

    // Bookmark names in use (case-folded), kept current by the model's edits.
    bool BookmarkNameUsed(const std::string& folded);
    void BookmarkNameAdded(const std::string& folded);
    void BookmarkNameRemoved(const std::string& folded);
    long NextBookmarkId();
    // The anchor of a mark node (one per node, shared while in use).
    std::shared_ptr<MarkAnchor> Anchor(pugi::xml_node node);
    unsigned NextDrawingId();

    // Bookkeeping of formatted copies, so that repeated copies share what they brought in.
    unsigned long Serial() const { return serial_; }
    std::string ImportedPart(std::string_view bytes) const;
    void RememberImportedPart(std::string_view bytes, const std::string& part);
    std::string RelationshipTo(const std::string& sourcePart, const std::string& type, const std::string& part);
    bool KnowsStyle(const std::string& id) const { return knownStyles_.contains(id); }
    void NoteStyle(const std::string& id) { knownStyles_.insert(id); }
    std::string ImportedNumbering(unsigned long sourceSerial, const std::string& numId) const;
    void RememberNumbering(unsigned long sourceSerial, const std::string& numId, const std::string& mapped);

    // The document's own state, as its handles and the application see it.
    bool Closed() const { return closed_; }
    void MarkClosed() { closed_ = true; }
    bool Saved() const { return saved_; }
    void SetSaved(bool saved) { saved_ = saved; }
    // Every edit through a handle: the document has changes to save.
    void Changed() {
        saved_ = false;
        ++revision_;
    }
    // Counts the edits made through handles, so that a view can tell whether to draw again.
    unsigned long Revision() const { return revision_; }
    bool ShowFieldCodes() const { return showFieldCodes_; }
    void SetShowFieldCodes(bool show) { showFieldCodes_ = show; }
    bool ShowHiddenText() const { return showHiddenText_; }
    void SetShowHiddenText(bool show) { showHiddenText_ = show; }
    bool WindowVisible() const { return windowVisible_; }
    void SetWindowVisible(bool visible) { windowVisible_ = visible; }
    const std::string& Name() const { return name_; }
    // Where the document was opened from or last saved to; empty for a new document.
    const std::filesystem::path& FullName() const { return fullName_; }
    void SetFile(std::string name, std::filesystem::path fullName) {
        name_ = std::move(name);
        fullName_ = std::move(fullName);
    }
    std::shared_ptr<word::Document> Owner() const { return owner_.lock(); }
    void SetOwner(const std::shared_ptr<word::Document>& owner) { owner_ = owner; }
    // The application whose collection holds the document, if any.
    word::Application* Application() const { return application_; }
    void SetApplication(word::Application* application) { application_ = application; }

private:
    void ScanBookmarks();
    void Forget(pugi::xml_node subtree, bool writtenOut);

    docx::Package package_;
    std::unique_ptr<Story> main_;
    std::map<std::string, std::unique_ptr<Story>> headerFooters_;
    std::map<const void*, std::unique_ptr<Story>> textBoxes_;
    // The legacy form of a text box: its copy of the contents, or the fallback that has none.
    struct Mirror {
        pugi::xml_node content;
        pugi::xml_node unmatchedFallback;
    };
    std::map<const void*, Mirror> mirrors_;
    std::vector<std::unique_ptr<Story>> retired_;  // killed stories stay for their ranges
    std::map<std::string, bool, std::less<>> hiddenStyles_;
    std::optional<std::multiset<std::string>> bookmarkNames_;
    long nextBookmarkId_ = -1;
    unsigned long serial_;
    std::map<std::pair<std::size_t, std::size_t>, std::string> importedParts_;  // hash, size
    std::map<std::string, std::string> relationships_;  // source|type|part -> id
    std::set<std::string> knownStyles_;
    std::map<std::pair<unsigned long, std::string>, std::string> importedNumbering_;
    unsigned nextDrawingId_ = 0;
    // Taken by subtrees written out before the names or ids were first counted.
    std::vector<std::string> writtenOutBookmarks_;
    long writtenOutBookmarkId_ = 0;
    unsigned writtenOutDrawingId_ = 0;
    std::unordered_map<const void*, std::weak_ptr<MarkAnchor>> anchors_;
    std::size_t anchorsAfterSweep_ = 0;
    bool closed_ = false;
    bool saved_ = true;
    bool showHiddenText_ = false;
    bool showFieldCodes_ = false;
    unsigned long revision_ = 0;
    bool windowVisible_ = true;
    std::string name_;
    std::filesystem::path fullName_;
    std::weak_ptr<word::Document> owner_;
    word::Application* application_ = nullptr;
};

// What a Range handle holds: the live span and the range's own settings.
struct RangeData {
    std::shared_ptr<DocumentState> doc;
    Story* story = nullptr;
    std::shared_ptr<TrackedSpan> span = std::make_shared<TrackedSpan>();
    bool includeHidden = false;
    bool includeFieldCodes = false;
    int enclosingFields = 0;  // see TextOptions
    int tableDepth = 0;  // for a table's span: 1 for a table in the story, 2 nested once ...
    // Find criteria (formatting only).
    std::optional<bool> findHidden;
    std::string findText;

    Story& Live() const {
        doc->CheckOpen();
        if (!story->Alive()) throw ObjectDeletedError();
        return *story;
    }
    static host::HostError ObjectDeletedError();
};

std::shared_ptr<RangeData> MakeRange(const std::shared_ptr<DocumentState>& doc, Story& story, long start,
                                     long end);

// Case folding for names compared without regard to case (bookmarks).
std::string FoldCase(std::string_view text);

}  // namespace paperloom::word::detail
