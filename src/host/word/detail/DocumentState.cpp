#include "host/word/detail/DocumentState.h"

#include <algorithm>
#include <atomic>

#include <unicode/unistr.h>

#include "host/word/Constants.h"
#include "host/word/WordError.h"
#include "host/word/detail/WordXml.h"

namespace paperloom::word::detail {
namespace {

constexpr const char* kHeaderType = "application/vnd.openxmlformats-officedocument.wordprocessingml.header+xml";
constexpr const char* kFooterType = "application/vnd.openxmlformats-officedocument.wordprocessingml.footer+xml";

// Namespaces a header or footer part declares so that any copied content stays valid.
constexpr std::pair<const char*, const char*> kPartNamespaces[] = {
    {"xmlns:w", "http://schemas.openxmlformats.org/wordprocessingml/2006/main"},
    {"xmlns:r", "http://schemas.openxmlformats.org/officeDocument/2006/relationships"},
    {"xmlns:wp", "http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing"},
    {"xmlns:a", "http://schemas.openxmlformats.org/drawingml/2006/main"},
    {"xmlns:pic", "http://schemas.openxmlformats.org/drawingml/2006/picture"},
    {"xmlns:mc", "http://schemas.openxmlformats.org/markup-compatibility/2006"},
    {"xmlns:wps", "http://schemas.microsoft.com/office/word/2010/wordprocessingShape"},
    {"xmlns:wpg", "http://schemas.microsoft.com/office/word/2010/wordprocessingGroup"},
    {"xmlns:v", "urn:schemas-microsoft-com:vml"},
    {"xmlns:o", "urn:schemas-microsoft-com:office:office"},
    {"xmlns:w10", "urn:schemas-microsoft-com:office:word"},
};

pugi::xml_node FirstSection(pugi::xml_node body) {
    if (auto inParagraph = body.select_node("w:p/w:pPr/w:sectPr")) return inParagraph.node();
    return body.child("w:sectPr");
}

const char* HeaderFooterType(long index) {
    switch (index) {
    case wdHeaderFooterFirstPage: return "first";
    case wdHeaderFooterEvenPages: return "even";
    default: return "default";
    }
}

}  // namespace

host::HostError RangeData::ObjectDeletedError() { return ObjectDeleted(); }

std::shared_ptr<RangeData> MakeRange(const std::shared_ptr<DocumentState>& doc, Story& story, long start,
                                     long end) {
    auto data = std::make_shared<RangeData>();
    data->doc = doc;
    data->story = &story;
    data->span->start = std::min(start, end);
    data->span->end = std::max(start, end);
    story.Track(data->span);
    return data;
}

std::string FoldCase(std::string_view text) {
    std::string out;
    icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<int32_t>(text.size())))
        .foldCase()
        .toUTF8String(out);
    return out;
}

DocumentState::DocumentState(docx::Package package) : package_(std::move(package)) {
    // One counter for the process: the host and the add-ins share this library.
    static std::atomic<unsigned long> serials{0};
    serial_ = ++serials;
}

std::string DocumentState::ImportedPart(std::string_view bytes) const {
    const auto it = importedParts_.find({std::hash<std::string_view>{}(bytes), bytes.size()});
    if (it == importedParts_.end() || !package_.HasPart(it->second)) return {};
    return it->second;
}

void DocumentState::RememberImportedPart(std::string_view bytes, const std::string& part) {
    importedParts_[{std::hash<std::string_view>{}(bytes), bytes.size()}] = part;
}

std::string DocumentState::RelationshipTo(const std::string& sourcePart, const std::string& type,
                                          const std::string& part) {
    const std::string key = sourcePart + "|" + type + "|" + part;
    if (const auto it = relationships_.find(key); it != relationships_.end()) {
        if (package_.RelationshipById(sourcePart, it->second)) return it->second;
    }
    const auto target = docx::Package::RelativeTarget(sourcePart, part);
    std::string id;
    for (const auto& rel : package_.Relationships(sourcePart))
        if (!rel.external && rel.type == type && docx::Package::ResolveTarget(sourcePart, rel.target) == part) {
            id = rel.id;
            break;
        }
    if (id.empty()) id = package_.AddRelationship(sourcePart, type, target);
    relationships_[key] = id;
    return id;
}

std::string DocumentState::ImportedNumbering(unsigned long sourceSerial, const std::string& numId) const {
    const auto it = importedNumbering_.find({sourceSerial, numId});
    return it == importedNumbering_.end() ? std::string() : it->second;
}

void DocumentState::RememberNumbering(unsigned long sourceSerial, const std::string& numId,
                                      const std::string& mapped) {
    importedNumbering_[{sourceSerial, numId}] = mapped;
}

DocumentState::~DocumentState() = default;

void DocumentState::CheckOpen() const {
    if (closed_) throw ObjectDeleted();
}

Story& DocumentState::Main() {
    CheckOpen();
    if (!main_) {
        const auto part = package_.MainDocumentPart();
        auto body = package_.Xml(part).child("w:document").child("w:body");
        if (!body) throw WordError(errnum::commandNotAvailable, "The document has no body.");
        main_ = std::make_unique<Story>(*this, part, body, wdMainTextStory);
    }
    return *main_;
}

Story* DocumentState::HeaderFooter(bool footer, long index, bool create) {
    auto& mainStory = Main();
    auto section = FirstSection(mainStory.Root());
    const char* refName = footer ? "w:footerReference" : "w:headerReference";
    const char* type = HeaderFooterType(index);
    std::string part;
    for (auto ref : section.children(refName)) {
        if (std::string_view(ref.attribute("w:type").value()) != type) continue;
        if (auto rel = package_.RelationshipById(mainStory.Part(), ref.attribute("r:id").value()))
            part = docx::Package::ResolveTarget(mainStory.Part(), rel->target);
    }
    if (part.empty() || !package_.HasPart(part)) {
        if (!create) return nullptr;
        if (!section) section = mainStory.Root().append_child("w:sectPr");
        part = package_.UniquePartName(footer ? "word/footer" : "word/header", "xml");
        // The new part comes with its declaration.
        auto& tree = package_.AddXmlPart(part, footer ? kFooterType : kHeaderType);
        auto root = tree.append_child(footer ? "w:ftr" : "w:hdr");
        for (const auto& [attr, uri] : kPartNamespaces) root.append_attribute(attr) = uri;
        root.append_child("w:p");
        const auto id = package_.AddRelationship(
            mainStory.Part(), footer ? docx::reltype::footer : docx::reltype::header,
            docx::Package::RelativeTarget(mainStory.Part(), part));
        // References come first in a section's properties.
        pugi::xml_node ref;
        if (auto firstOther = section.first_child()) ref = section.insert_child_before(refName, firstOther);
        else ref = section.append_child(refName);
        ref.append_attribute("w:type") = type;
        ref.append_attribute("r:id") = id.c_str();
    }
    auto& story = headerFooters_[part];
    if (!story) {
        auto& tree = package_.Xml(part);
        auto root = tree.document_element();
        story = std::make_unique<Story>(*this, part, root,
                                        footer ? wdPrimaryFooterStory : wdPrimaryHeaderStory);
    }
    return story.get();
}

Story& DocumentState::TextBox(pugi::xml_node content, const std::string& part) {
    CheckOpen();
    auto& story = textBoxes_[content.internal_object()];
    if (!story) {
        story = std::make_unique<Story>(*this, part, content, wdTextFrameStory);
        // The drawing form inside mc:Choice: its legacy copy in mc:Fallback is the same box.
        pugi::xml_node choice;
        pugi::xml_node alternate;
        for (auto n = content.parent(); n; n = n.parent()) {
            if (xml::Is(n, "mc:Choice")) choice = n;
            if (xml::Is(n, "mc:AlternateContent")) {
                alternate = n;
                break;
            }
        }
        if (choice && alternate) {
            std::size_t index = 0;
            for (auto box : choice.select_nodes(".//w:txbxContent")) {
                if (box.node() == content) break;
                ++index;
            }
            const auto fallback = alternate.child("mc:Fallback");
            const auto copies = fallback.select_nodes(".//w:txbxContent");
            // A legacy form without the matching box cannot follow the edits: it goes then.
            if (index < copies.size()) mirrors_[content.internal_object()] = {copies[index].node(), {}};
            else if (fallback) mirrors_[content.internal_object()] = {{}, fallback};
        }
    }
    return *story;
}

void DocumentState::SyncTextBoxCopies() {
    for (auto& [key, story] : textBoxes_) {
        if (!story->Alive() || !story->Edited()) continue;
        const auto mirror = mirrors_.find(key);
        if (mirror != mirrors_.end()) {
            if (auto target = mirror->second.content) {
                while (auto child = target.first_child()) target.remove_child(child);
                for (auto child : story->Root().children()) target.append_copy(child);
            } else if (const auto stale = mirror->second.unmatchedFallback; stale && stale.parent()) {
                // Other boxes of the same shape may have their copies in it.
                const auto inside = [&](pugi::xml_node node) {
                    for (; node; node = node.parent())
                        if (node == stale) return true;
                    return false;
                };
                for (auto& [other, legacy] : mirrors_) {
                    if (inside(legacy.content)) legacy.content = {};
                    if (inside(legacy.unmatchedFallback)) legacy.unmatchedFallback = {};
                }
                BeforeRemove(stale);
                stale.parent().remove_child(stale);
            }
        }
        story->ClearEdited();
    }
}

void DocumentState::PartsRestored() {
    CheckOpen();
    // The stories hold other content now: views that drew them draw again.
    ++revision_;
    for (auto& [key, story] : textBoxes_) {
        story->Kill();
        retired_.push_back(std::move(story));
    }
    textBoxes_.clear();
    mirrors_.clear();
    for (auto& [key, weak] : anchors_)
        if (const auto anchor = weak.lock()) anchor->alive = false;
    anchors_.clear();
    anchorsAfterSweep_ = 0;
    if (main_) {
        const auto part = package_.MainDocumentPart();
        main_->Rebind(package_.Xml(part).child("w:document").child("w:body"));
    }
    for (auto it = headerFooters_.begin(); it != headerFooters_.end();) {
        if (package_.HasPart(it->first)) {
            it->second->Rebind(package_.Xml(it->first).document_element());
            ++it;
        } else {
            it->second->Kill();
            retired_.push_back(std::move(it->second));
            it = headerFooters_.erase(it);
        }
    }
    hiddenStyles_.clear();
    bookmarkNames_.reset();
    nextBookmarkId_ = -1;
    importedParts_.clear();
    relationships_.clear();
    knownStyles_.clear();
    importedNumbering_.clear();
    nextDrawingId_ = 0;
    Changed();
}

bool DocumentState::StyleHidden(std::string_view styleId) {
    if (styleId.empty()) return false;
    if (const auto it = hiddenStyles_.find(styleId); it != hiddenStyles_.end()) return it->second;
    bool hidden = false;
    if (const auto part = package_.MainRelatedPart(docx::reltype::styles)) {
        const auto styles = package_.Xml(*part).child("w:styles");
        std::string id(styleId);
        for (int depth = 0; depth < 16 && !id.empty(); ++depth) {
            pugi::xml_node style;
            for (auto s : styles.children("w:style"))
                if (id == s.attribute("w:styleId").value()) {
                    style = s;
                    break;
                }
            if (!style) break;
            const int vanish = xml::OnOff(style.child("w:rPr").child("w:vanish"));
            if (vanish >= 0) {
                hidden = vanish == 1;
                break;
            }
            id = style.child("w:basedOn").attribute("w:val").value();
        }
    }
    hiddenStyles_.emplace(std::string(styleId), hidden);
    return hidden;
}

void DocumentState::BeforeRemove(pugi::xml_node subtree) { Forget(subtree, false); }

void DocumentState::WrittenOut(pugi::xml_node subtree) { Forget(subtree, true); }

void DocumentState::Forget(pugi::xml_node subtree, bool writtenOut) {
    std::vector<pugi::xml_node> stack{subtree};
    while (!stack.empty()) {
        auto node = stack.back();
        stack.pop_back();
        const std::string_view name = node.name();
        if (name == "w:txbxContent") {
            const auto it = textBoxes_.find(node.internal_object());
            if (it != textBoxes_.end()) {
                it->second->Kill();
                retired_.push_back(std::move(it->second));
                textBoxes_.erase(it);
            }
            mirrors_.erase(node.internal_object());
        } else if (name == "w:bookmarkStart") {
            if (!writtenOut) {
                if (bookmarkNames_) BookmarkNameRemoved(FoldCase(node.attribute("w:name").value()));
            } else if (!bookmarkNames_) {
                writtenOutBookmarks_.push_back(FoldCase(node.attribute("w:name").value()));
                writtenOutBookmarkId_ = std::max(writtenOutBookmarkId_, static_cast<long>(std::clamp(
                                                    node.attribute("w:id").as_llong(), 0LL, 0x7FFFFFFFLL)));
            }
        } else if (writtenOut && nextDrawingId_ == 0 && name == "wp:docPr") {
            writtenOutDrawingId_ = std::max(writtenOutDrawingId_, node.attribute("id").as_uint());
        } else if (name == "w:fldChar" && !anchors_.empty()) {
            // Before the node's storage can be reused by another node.
            if (const auto it = anchors_.find(node.internal_object()); it != anchors_.end()) {
                if (const auto anchor = it->second.lock()) anchor->alive = false;
                anchors_.erase(it);
            }
        }
        // Sibling to sibling: every node of every block written out passes here.
        for (auto child = node.first_child(); child; child = child.next_sibling())
            if (child.type() == pugi::node_element) stack.push_back(child);
    }
}

std::shared_ptr<MarkAnchor> DocumentState::Anchor(pugi::xml_node node) {
    auto& slot = anchors_[node.internal_object()];
    if (auto anchor = slot.lock()) return anchor;
    auto anchor = std::make_shared<MarkAnchor>();
    anchor->node = node;
    slot = anchor;
    // Anchors no handle holds any more go now and then, so the map follows the handles.
    if (anchors_.size() > 2 * anchorsAfterSweep_ + 64) {
        std::erase_if(anchors_, [](const auto& entry) { return entry.second.expired(); });
        anchorsAfterSweep_ = anchors_.size();
    }
    return anchor;
}

void DocumentState::ScanBookmarks() {
    bookmarkNames_.emplace();
    for (const auto& part : package_.PartNames()) {
        const bool story = part == package_.MainDocumentPart() ||
                           (part.starts_with("word/header") || part.starts_with("word/footer"));
        if (!story || !part.ends_with(".xml")) continue;
        for (auto start : package_.Xml(part).select_nodes("//w:bookmarkStart")) {
            bookmarkNames_->insert(FoldCase(start.node().attribute("w:name").value()));
            nextBookmarkId_ = std::max(nextBookmarkId_, start.node().attribute("w:id").as_llong() > 0
                                                            ? static_cast<long>(start.node().attribute("w:id").as_llong())
                                                            : 0L);
        }
    }
    for (auto& name : writtenOutBookmarks_) bookmarkNames_->insert(std::move(name));
    writtenOutBookmarks_.clear();
    nextBookmarkId_ = std::max(nextBookmarkId_, writtenOutBookmarkId_);
    nextBookmarkId_ = std::max(nextBookmarkId_ + 1, 1L);
}

bool DocumentState::BookmarkNameUsed(const std::string& folded) {
    if (!bookmarkNames_) ScanBookmarks();
    return bookmarkNames_->contains(folded);
}

void DocumentState::BookmarkNameAdded(const std::string& folded) {
    if (!bookmarkNames_) ScanBookmarks();
    bookmarkNames_->insert(folded);
}

void DocumentState::BookmarkNameRemoved(const std::string& folded) {
    if (!bookmarkNames_) return;
    if (const auto it = bookmarkNames_->find(folded); it != bookmarkNames_->end()) bookmarkNames_->erase(it);
}

long DocumentState::NextBookmarkId() {
    if (!bookmarkNames_) ScanBookmarks();
    return nextBookmarkId_++;
}

unsigned DocumentState::NextDrawingId() {
    if (nextDrawingId_ == 0) {
        unsigned highest = writtenOutDrawingId_;
        for (auto id : Main().Root().select_nodes(".//wp:docPr/@id"))
            highest = std::max(highest, id.attribute().as_uint());
        nextDrawingId_ = highest + 1;
    }
    return nextDrawingId_++;
}

}  // namespace paperloom::word::detail
