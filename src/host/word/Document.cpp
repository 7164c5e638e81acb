#include "host/word/Document.h"

#include "host/word/Application.h"
#include "host/word/detail/DocumentState.h"
#include "host/word/detail/RangeAccess.h"
#include "host/word/WordError.h"
#include "host/ui/UiServices.h"

#include <stdlib.h>

#include <system_error>

namespace paperloom::word {
Document::Document(std::shared_ptr<detail::DocumentState> state) : state_(std::move(state)) {}

Document::~Document() = default;

std::shared_ptr<Document> Document::Create(docx::Package package, std::string name, std::filesystem::path fullName) {
    auto state = std::make_shared<detail::DocumentState>(std::move(package));
    state->SetFile(std::move(name), std::move(fullName));
    std::shared_ptr<Document> doc(new Document(state));
    state->SetOwner(doc);
    state->Main();  // a package without a readable body fails here, not on first use
    return doc;
}

std::shared_ptr<Document> Document::Open(const std::filesystem::path& path) {
    const auto full = std::filesystem::absolute(path).lexically_normal();
    return Create(docx::Package::Open(full), full.filename().string(), full);
}

std::shared_ptr<Document> Document::Blank(std::string name) {
    return Create(docx::Package::CreateBlank(), std::move(name));
}

std::string Document::Name() const { return state_->Name(); }

std::string Document::Path() const {
    if (state_->FullName().empty()) return {};
    return state_->FullName().parent_path().string();
}

std::string Document::FullName() const {
    return state_->FullName().empty() ? state_->Name() : state_->FullName().string();
}

Range Document::Content() const {
    auto& story = state_->Main();
    return word::Range(detail::MakeRange(state_, story, 0, story.Length()));
}

Range Document::Range(std::optional<long> start, std::optional<long> end) const {
    auto& story = state_->Main();
    const long length = story.Length();
    const long s = start.value_or(0);
    const long e = end.value_or(length);
    if (s < 0 || e < 0 || s > length || e > length)
        throw WordError(errnum::valueOutOfRange, "The value is out of range.");
    return word::Range(detail::MakeRange(state_, story, std::min(s, e), std::max(s, e)));
}

Tables Document::Tables() const {
    auto whole = Content();
    std::vector<Table> tables;
    // Only the story's own tables, found from its top-level blocks.
    auto& story = state_->Main();
    for (auto table : story.Root().select_nodes("w:tbl | w:sdt/w:sdtContent/w:tbl"))
        if (detail::HasRows(table.node())) tables.push_back(detail::TableOf(state_, story, table.node()));
    return word::Tables(detail::RangeAccess::Of(whole), std::move(tables));
}

Bookmarks Document::Bookmarks() const {
    state_->CheckOpen();
    return detail::DocumentBookmarks(state_);
}

Shapes Document::Shapes() const {
    auto& story = state_->Main();
    return detail::ShapesOf(state_, story.Root(), story.Part());
}

Sections Document::Sections() const {
    state_->CheckOpen();
    return word::Sections(state_);
}

Windows Document::Windows() const {
    state_->CheckOpen();
    return word::Windows(state_);
}

Selection Document::Selection() const {
    auto& story = state_->Main();
    if (!selection_ || !selection_->story->Alive()) selection_ = detail::MakeRange(state_, story, 0, 0);
    return word::Selection(selection_);
}

Variables Document::Variables() {
    state_->CheckOpen();
    return word::Variables(state_->Package());
}

PageSetup Document::PageSetup() {
    state_->CheckOpen();
    return word::PageSetup(state_->Package());
}

Styles Document::Styles() {
    state_->CheckOpen();
    return word::Styles(state_->Package());
}

WebOptions Document::WebOptions() {
    state_->CheckOpen();
    return word::WebOptions(state_->Package(), webOptions_);
}

DocumentSettings Document::Settings() {
    state_->CheckOpen();
    return DocumentSettings(state_->Package());
}

Typography Document::Typography() {
    state_->CheckOpen();
    return word::Typography(state_->Package());
}

bool Document::Compatibility(long index) { return Settings().Compatibility(index); }

void Document::SetCompatibility(long index, bool on) { Settings().SetCompatibility(index, on); }

void Document::Save() {
    state_->CheckOpen();
    if (state_->FullName().empty())
        throw WordError(errnum::commandNotAvailable, "The document has not been saved yet; use SaveAs.");
    SaveAs(state_->FullName());
}

void Document::SaveAs(const std::filesystem::path& path) {
    state_->CheckOpen();
    state_->SyncTextBoxCopies();
    const auto full = std::filesystem::absolute(path).lexically_normal();
    state_->Package().Save(full);
    state_->SetFile(full.filename().string(), full);
    state_->SetSaved(true);
}

unsigned long Document::Revision() const { return state_->Revision(); }

bool Document::Saved() const { return state_->Saved(); }
void Document::SetSaved(bool saved) { state_->SetSaved(saved); }

void Document::Close(long saveChanges) {
    state_->CheckOpen();
    if (saveChanges == wdSaveChanges && !state_->Saved()) Save();
    if (auto* app = state_->Application()) {
        if (!app->BeforeClose(shared_from_this())) return;
        app->Forget(*this);
    }
    state_->MarkClosed();
}

bool Document::Closed() const { return state_->Closed(); }

void Document::Activate() {
    state_->CheckOpen();
    if (auto* app = state_->Application()) app->Activate(shared_from_this());
}

void Document::PrintOut() {
    state_->CheckOpen();
    // The service prints files: a private copy is saved for it, leaving the document's own
    // file, name and saved state alone.
    std::string folder = (std::filesystem::temp_directory_path() / "paperloom-printout-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr)
        throw WordError(errnum::commandFailed, "The document could not be printed: no temporary folder for its copy.");
    struct RemoveFolder {
        std::filesystem::path path;
        ~RemoveFolder() {
            std::error_code ignored;
            std::filesystem::remove_all(path, ignored);
        }
    } const cleanup{folder};
    const auto copy = cleanup.path / "print.docx";
    try {
        state_->SyncTextBoxCopies();
        state_->Package().Save(copy);
        ui::Printing().PrintDocument(copy, state_->Name());
    } catch (const host::HostError& error) {
        throw WordError(errnum::commandFailed, "The document " + state_->Name() + " could not be printed. " + error.Description());
    } catch (const std::exception& error) {
        throw WordError(errnum::commandFailed, "The document " + state_->Name() + " could not be printed. " + error.what());
    }
}

docx::Package& Document::Package() {
    state_->CheckOpen();
    // Whoever reads or saves the package directly sees text boxes in both forms alike.
    state_->SyncTextBoxCopies();
    return state_->Package();
}

Application* Document::Application() const { return state_->Application(); }

}  // namespace paperloom::word
