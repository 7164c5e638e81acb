#include "host/word/StreamedSave.h"

#include <string>
#include <utility>
#include <vector>

#include "host/docx/AtomicFile.h"
#include "host/docx/XmlCodec.h"
#include "host/docx/ZipStream.h"
#include "host/word/Document.h"
#include "host/word/detail/DocumentState.h"

namespace paperloom::word {

struct StreamedSave::Impl {
    std::shared_ptr<Document> document;
    docx::AtomicFileWriter file;
    docx::zip::DeflatedSpill spill;
    std::string mainPart;

    Impl(std::shared_ptr<Document> doc, const std::filesystem::path& target)
        : document(std::move(doc)), file(std::filesystem::absolute(target)), spill(std::filesystem::absolute(target)) {}
};

StreamedSave::StreamedSave(std::shared_ptr<Document> document, const std::filesystem::path& target)
    : impl_(std::make_unique<Impl>(std::move(document), target)) {
    impl_->mainPart = impl_->document->State()->Package().MainDocumentPart();
}

StreamedSave::~StreamedSave() = default;

void StreamedSave::Flush() {
    detail::DocumentState& state = *impl_->document->State();
    state.CheckOpen();
    // Text boxes copied in take their legacy copies along before they leave.
    state.SyncTextBoxCopies();
    detail::Story& story = state.Main();
    pugi::xml_node body = story.Root();

    std::size_t blocks = 0;
    for (pugi::xml_node child : body.children())
        if (child.type() == pugi::node_element) ++blocks;
    if (blocks <= kBlocksKept) return;

    // Every node up to the first kept block, printed as the part's serialiser prints them.
    std::size_t leaving = blocks - kBlocksKept;
    std::vector<pugi::xml_node> out;
    for (pugi::xml_node child = body.first_child(); child; child = child.next_sibling()) {
        if (child.type() == pugi::node_element) {
            if (leaving == 0) break;
            --leaving;
        }
        out.push_back(child);
    }
    std::string text;
    docx::xml::Xml10Writer writer(text);
    for (const pugi::xml_node node : out) {
        node.print(writer, "", pugi::format_raw | pugi::format_no_declaration, pugi::encoding_utf8);
        writer.Finish();
    }
    for (const pugi::xml_node node : out) {
        state.WrittenOut(node);
        body.remove_child(node);
    }
    // Positions are measured again from the blocks left.
    story.Rebind(body);
    impl_->spill.Append(std::move(text));
}

void StreamedSave::Commit() {
    detail::DocumentState& state = *impl_->document->State();
    state.CheckOpen();
    state.SyncTextBoxCopies();
    state.Package().SaveWithSpill(impl_->file, impl_->mainPart, state.Main().Root(), impl_->spill);
}

}  // namespace paperloom::word
