#include "host/word/Shapes.h"

#include "host/word/detail/DocumentState.h"
#include "host/word/WordError.h"
#include "host/word/detail/WordXml.h"

namespace paperloom::word {
namespace {

// The form of a shape the model reads: the drawing form of an alternate pair.
pugi::xml_node Preferred(pugi::xml_node node) {
    if (xml::Is(node, "mc:AlternateContent")) {
        if (auto choice = node.child("mc:Choice")) return choice.first_child();
        return node.child("mc:Fallback").first_child();
    }
    return node;
}

// The element that describes the shape itself (wps:wsp, wpg:wgp, pic:pic, v:group, v:shape ...).
pugi::xml_node Body(pugi::xml_node node) {
    node = Preferred(node);
    if (xml::Is(node, "w:drawing")) {
        auto frame = node.first_child();  // wp:anchor or wp:inline
        auto data = frame.child("a:graphic").child("a:graphicData");
        return data.first_child();
    }
    if (xml::Is(node, "w:pict")) {
        for (auto child : node.children())
            if (child.type() == pugi::node_element && !xml::Is(child, "v:shapetype")) return child;
    }
    return node;
}

bool IsGroup(pugi::xml_node body) {
    return xml::Is(body, "wpg:wgp") || xml::Is(body, "wpg:grpSp") || xml::Is(body, "v:group");
}

pugi::xml_node TextContent(pugi::xml_node body) {
    if (auto box = body.child("wps:txbx")) return box.child("w:txbxContent");
    if (auto box = body.child("v:textbox")) return box.child("w:txbxContent");
    return {};
}

void CollectGroupItems(const std::shared_ptr<detail::DocumentState>& doc, pugi::xml_node group,
                       const std::string& part, std::vector<Shape>& out) {
    for (auto child : group.children()) {
        if (child.type() != pugi::node_element) continue;
        if (IsGroup(child)) {
            CollectGroupItems(doc, child, part, out);
            continue;
        }
        const std::string_view name = child.name();
        if (name == "wps:wsp" || name == "pic:pic" || name == "wpg:grpSp" ||
            (name.starts_with("v:") && name != "v:shapetype" && name != "v:textbox" &&
             name != "v:imagedata" && name != "v:fill" && name != "v:stroke" && name != "v:path"))
            out.emplace_back(doc, child, part);
    }
}

bool Floating(pugi::xml_node node) {
    auto preferred = Preferred(node);
    if (xml::Is(preferred, "w:drawing")) return static_cast<bool>(preferred.child("wp:anchor"));
    if (xml::Is(preferred, "w:pict")) {
        for (auto child : preferred.children()) {
            const std::string_view style = child.attribute("style").value();
            if (style.find("position:absolute") != std::string_view::npos) return true;
        }
    }
    return false;
}

}  // namespace

bool TextFrame::HasText() const {
    if (!content_) return false;
    doc_->CheckOpen();
    auto& story = doc_->TextBox(content_, part_);
    if (!story.Alive()) throw ObjectDeleted();
    // Every character counts, field marks and codes and hidden text included: a box holding
    // only a field with an empty result still has text.
    return story.Length() > 1;
}

Range TextFrame::TextRange() const {
    if (!content_) throw WordError(errnum::commandNotAvailable, "This shape has no text frame.");
    auto& story = doc_->TextBox(content_, part_);
    if (!story.Alive()) throw ObjectDeleted();
    return Range(detail::MakeRange(doc_, story, 0, story.Length()));
}

const Shape& GroupItems::Item(long index) const {
    if (index < 1 || index > Count()) throw NoSuchMember();
    return items_[static_cast<std::size_t>(index) - 1];
}

const Shape& Shapes::Item(long index) const {
    if (index < 1 || index > Count()) throw NoSuchMember();
    return items_[static_cast<std::size_t>(index) - 1];
}

long Shape::Type() const {
    const auto body = Body(node_);
    if (IsGroup(body)) return msoGroup;
    if (TextContent(body)) return msoTextBox;
    if (xml::Is(body, "pic:pic") || body.child("v:imagedata")) return msoPicture;
    return msoAutoShape;
}

std::string Shape::Name() const {
    auto preferred = Preferred(node_);
    if (xml::Is(preferred, "w:drawing")) return preferred.first_child().child("wp:docPr").attribute("name").value();
    const auto body = Body(node_);
    if (auto cNvPr = body.child("wps:cNvPr")) return cNvPr.attribute("name").value();
    if (auto nv = body.child("pic:nvPicPr").child("pic:cNvPr")) return nv.attribute("name").value();
    return body.attribute("id").value();
}

GroupItems Shape::GroupItems() const {
    const auto body = Body(node_);
    if (!IsGroup(body)) throw WordError(errnum::commandNotAvailable, "This member can only be accessed for a group.");
    std::vector<Shape> items;
    CollectGroupItems(doc_, body, part_, items);
    return word::GroupItems(std::move(items));
}

TextFrame Shape::TextFrame() const { return word::TextFrame(doc_, TextContent(Body(node_)), part_); }

namespace detail {

namespace {

// Properties and text hold no shapes: most of a document's nodes need not be opened (the print
// run asks for the working copy's shapes for every record).
bool HoldsNoShapes(pugi::xml_node node, std::string_view name) {
    return name == "w:t" || name == "w:instrText" || name == "w:fldChar" || name == "w:tblGrid" ||
           xml::IsPropertyElement(node);
}

}  // namespace

Shapes ShapesOf(const std::shared_ptr<DocumentState>& doc, pugi::xml_node root, const std::string& part) {
    std::vector<Shape> shapes;
    std::vector<pugi::xml_node> stack;
    for (auto child = root.last_child(); child; child = child.previous_sibling()) stack.push_back(child);
    while (!stack.empty()) {
        auto node = stack.back();
        stack.pop_back();
        if (node.type() != pugi::node_element) continue;
        const std::string_view name = node.name();
        if (name == "mc:AlternateContent" || name == "w:drawing" || name == "w:pict") {
            if (Floating(node)) shapes.emplace_back(doc, node, part);
            continue;  // shapes inside text boxes belong to those boxes
        }
        if (HoldsNoShapes(node, name)) continue;
        for (auto child = node.last_child(); child; child = child.previous_sibling()) stack.push_back(child);
    }
    return Shapes(std::move(shapes));
}

}  // namespace detail

}  // namespace paperloom::word
