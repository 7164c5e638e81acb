#include "host/word/detail/FormattedCopy.h"

#include <algorithm>
#include <functional>
#include <map>
#include <set>

#include "host/docx/XmlCodec.h"
#include "host/word/detail/WordXml.h"

namespace paperloom::word::detail {
namespace {

constexpr const char* kNumberingType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.numbering+xml";

// "word/media/image12.png" -> stem "word/media/image", extension "png".
std::pair<std::string, std::string> StemAndExtension(const std::string& part) {
    const auto dot = part.rfind('.');
    const auto slash = part.rfind('/');
    std::string stem = dot == std::string::npos || (slash != std::string::npos && dot < slash) ? part : part.substr(0, dot);
    const std::string ext = stem.size() < part.size() ? part.substr(stem.size() + 1) : "";
    while (!stem.empty() && std::isdigit(static_cast<unsigned char>(stem.back()))) stem.pop_back();
    return {stem, ext};
}

// `references`: the copy's attributes of the relationships namespace, in document order.
void CopyRelationships(const std::vector<pugi::xml_attribute>& references, DocumentState& source,
                       const std::string& sourcePart, DocumentState& target, const std::string& targetPart) {
    auto& from = source.Package();
    auto& to = target.Package();
    std::map<std::string, std::string> newIds;
    for (auto attr : references) {
        const std::string id = attr.value();
        auto known = newIds.find(id);
        if (known == newIds.end()) {
            const auto rel = from.RelationshipById(sourcePart, id);
            if (!rel) continue;
            std::string newId;
            if (rel->external) {
                newId = to.AddRelationship(targetPart, rel->type, rel->target, true);
            } else {
                const auto part = docx::Package::ResolveTarget(sourcePart, rel->target);
                if (!from.HasPart(part)) continue;
                std::string targetName = part;
                if (&source != &target) {
                    // A picture is read where it lies: it is copied only when the target
                    // does not have it yet, not once for every copy made of its range.
                    std::string serialised;
                    const auto stored = from.StoredBytes(part);
                    const std::string_view bytes = stored ? *stored : (serialised = from.PartBytes(part));
                    targetName = target.ImportedPart(bytes);
                    if (targetName.empty()) {
                        const auto [stem, ext] = StemAndExtension(part);
                        targetName = to.UniquePartName(stem, ext);
                        to.SetPartBytes(targetName, std::string(bytes), from.ContentType(part));
                        target.RememberImportedPart(bytes, targetName);
                    }
                }
                newId = target.RelationshipTo(targetPart, rel->type, targetName);
            }
            known = newIds.emplace(id, newId).first;
        }
        attr.set_value(known->second.c_str());
    }
}

pugi::xml_node StylesRoot(docx::Package& package) {
    const auto part = package.MainRelatedPart(docx::reltype::styles);
    if (!part) return {};
    return package.Xml(*part).child("w:styles");
}

pugi::xml_node StyleById(pugi::xml_node styles, const std::string& id) {
    for (auto style : styles.children("w:style"))
        if (id == style.attribute("w:styleId").value()) return style;
    return {};
}

// What a copy's preparation works on, gathered in one pass over the copy.
struct CopyMarks {
    std::vector<std::string_view> prefixes;          // namespace prefixes of names and attributes
    std::vector<pugi::xml_attribute> relationships;  // r:id, r:embed ...
    std::vector<pugi::xml_node> styleReferences;  // w:pStyle, w:rStyle, w:tblStyle, w:numStyleLink, w:styleLink
    std::vector<pugi::xml_node> numberings;       // w:numId inside w:numPr
    std::vector<pugi::xml_node> bookmarkStarts;
    std::vector<pugi::xml_node> bookmarkEnds;
    std::vector<pugi::xml_node> drawings;         // wp:docPr
    std::vector<pugi::xml_node> fieldMarks;       // w:fldChar
};

// One pass over the copy in document order. Paragraph ids go first (they must stay unique in
// the document the copy goes to), so their prefix is not declared for them. Names and
// attributes are read only for a copy into another part (`names`).
CopyMarks MarksOf(pugi::xml_node root, bool names) {
    CopyMarks marks;
    const auto note = [&](std::string_view name) {
        const std::string_view prefix = docx::xml::PrefixOf(name);
        if (!prefix.empty() && prefix != "xmlns" && prefix != "xml" &&
            std::find(marks.prefixes.begin(), marks.prefixes.end(), prefix) == marks.prefixes.end())
            marks.prefixes.push_back(prefix);
    };
    std::vector<pugi::xml_node> stack{root};
    while (!stack.empty()) {
        auto node = stack.back();
        stack.pop_back();
        for (auto child = node.last_child(); child; child = child.previous_sibling())
            if (child.type() == pugi::node_element) stack.push_back(child);
        const std::string_view name = node.name();
        if (name == "w:p") {
            node.remove_attribute("w14:paraId");
            node.remove_attribute("w14:textId");
        } else if (name == "w:pStyle" || name == "w:rStyle" || name == "w:tblStyle" || name == "w:numStyleLink" ||
                   name == "w:styleLink") {
            marks.styleReferences.push_back(node);
        } else if (name == "w:numId" && xml::Is(node.parent(), "w:numPr")) {
            marks.numberings.push_back(node);
        } else if (name == "w:bookmarkStart") {
            marks.bookmarkStarts.push_back(node);
        } else if (name == "w:bookmarkEnd") {
            marks.bookmarkEnds.push_back(node);
        } else if (name == "wp:docPr") {
            marks.drawings.push_back(node);
        } else if (name == "w:fldChar") {
            marks.fieldMarks.push_back(node);
        }
        if (!names) continue;
        note(name);
        for (auto attr = node.first_attribute(); attr; attr = attr.next_attribute()) {
            const std::string_view attrName = attr.name();
            note(attrName);
            if (attrName.starts_with("r:")) marks.relationships.push_back(attr);
        }
    }
    return marks;
}

void CopyStyles(const std::vector<pugi::xml_node>& references, DocumentState& source, DocumentState& target) {
    std::vector<std::string> wanted;
    for (auto node : references) wanted.emplace_back(node.attribute("w:val").value());
    // Finding the styles parts goes through the relationships: not for a copy without styles.
    if (wanted.empty()) return;
    auto from = StylesRoot(source.Package());
    auto to = StylesRoot(target.Package());
    if (!from || !to) return;
    std::set<std::string> done;
    while (!wanted.empty()) {
        const auto id = wanted.back();
        wanted.pop_back();
        if (id.empty() || !done.insert(id).second) continue;
        if (target.KnowsStyle(id) || StyleById(to, id)) {
            target.NoteStyle(id);
            continue;
        }
        const auto style = StyleById(from, id);
        if (!style) continue;
        to.append_copy(style);
        target.NoteStyle(id);
        for (const char* link : {"w:basedOn", "w:next", "w:link"})
            if (auto n = style.child(link)) wanted.emplace_back(n.attribute("w:val").value());
    }
}

pugi::xml_node NumberingRoot(docx::Package& package, bool create) {
    if (const auto part = package.MainRelatedPart(docx::reltype::numbering))
        return package.Xml(*part).child("w:numbering");
    if (!create) return {};
    const auto main = package.MainDocumentPart();
    const std::string part = "word/numbering.xml";
    auto& tree = package.AddXmlPart(part, kNumberingType);
    auto root = tree.append_child("w:numbering");
    root.append_attribute("xmlns:w") = "http://schemas.openxmlformats.org/wordprocessingml/2006/main";
    package.AddRelationship(main, docx::reltype::numbering, docx::Package::RelativeTarget(main, part));
    return root;
}

void CopyNumbering(const std::vector<pugi::xml_node>& uses, DocumentState& source, DocumentState& target) {
    if (uses.empty()) return;
    auto from = NumberingRoot(source.Package(), false);
    if (!from) return;
    pugi::xml_node to;
    for (auto use : uses) {
        const std::string numId = use.attribute("w:val").value();
        if (numId.empty() || numId == "0") continue;
        auto mapped = target.ImportedNumbering(source.Serial(), numId);
        if (mapped.empty()) {
            pugi::xml_node num;
            for (auto n : from.children("w:num"))
                if (numId == n.attribute("w:numId").value()) num = n;
            if (!num) continue;
            pugi::xml_node abstract;
            const std::string abstractId = num.child("w:abstractNumId").attribute("w:val").value();
            for (auto a : from.children("w:abstractNum"))
                if (abstractId == a.attribute("w:abstractNumId").value()) abstract = a;
            if (!to) to = NumberingRoot(target.Package(), true);
            long maxAbstract = -1;
            long maxNum = 0;
            pugi::xml_node firstNum;
            pugi::xml_node lastNum;
            for (auto child : to.children()) {
                if (xml::Is(child, "w:abstractNum"))
                    maxAbstract = std::max(maxAbstract, static_cast<long>(child.attribute("w:abstractNumId").as_int()));
                if (xml::Is(child, "w:num")) {
                    maxNum = std::max(maxNum, static_cast<long>(child.attribute("w:numId").as_int()));
                    if (!firstNum) firstNum = child;
                    lastNum = child;
                }
            }
            const std::string newAbstract = std::to_string(maxAbstract + 1);
            mapped = std::to_string(maxNum + 1);
            if (abstract) {
                auto copy = firstNum ? to.insert_copy_before(abstract, firstNum) : to.append_copy(abstract);
                copy.attribute("w:abstractNumId").set_value(newAbstract.c_str());
                if (auto nsid = copy.child("w:nsid")) copy.remove_child(nsid);
            }
            auto copy = lastNum ? to.insert_copy_after(num, lastNum) : to.append_copy(num);
            copy.attribute("w:numId").set_value(mapped.c_str());
            if (auto ref = copy.child("w:abstractNumId")) ref.attribute("w:val").set_value(newAbstract.c_str());
            target.RememberNumbering(source.Serial(), numId, mapped);
        }
        use.attribute("w:val").set_value(mapped.c_str());
    }
}

// Bookmarks whose name the target already has (or that lost one end) are dropped.
void FitBookmarks(const CopyMarks& marks, DocumentState& target) {
    std::map<std::string, pugi::xml_node> starts;
    std::map<std::string, pugi::xml_node> ends;
    for (auto node : marks.bookmarkStarts) starts[node.attribute("w:id").value()] = node;
    for (auto node : marks.bookmarkEnds) ends[node.attribute("w:id").value()] = node;
    for (auto& [id, start] : starts) {
        const auto end = ends.find(id);
        const auto folded = FoldCase(start.attribute("w:name").value());
        const bool keep = end != ends.end() && !target.BookmarkNameUsed(folded);
        if (!keep) {
            start.parent().remove_child(start);
            if (end != ends.end()) {
                end->second.parent().remove_child(end->second);
                ends.erase(end);
            }
            continue;
        }
        const std::string newId = std::to_string(target.NextBookmarkId());
        start.attribute("w:id").set_value(newId.c_str());
        end->second.attribute("w:id").set_value(newId.c_str());
        target.BookmarkNameAdded(folded);
        ends.erase(end);
    }
    for (auto& [id, end] : ends) end.parent().remove_child(end);
}

// Every namespace prefix the copy uses must be declared by the part it goes into.
void DeclareNamespaces(std::vector<std::string_view> prefixes, DocumentState& source, const std::string& sourcePart,
                       DocumentState& target, const std::string& targetPart) {
    auto from = source.Package().Xml(sourcePart).document_element();
    auto to = target.Package().Xml(targetPart).document_element();
    std::sort(prefixes.begin(), prefixes.end());
    for (const auto prefix : prefixes) {
        const std::string decl = "xmlns:" + std::string(prefix);
        if (to.attribute(decl.c_str())) continue;
        if (auto uri = from.attribute(decl.c_str())) to.append_attribute(decl.c_str()) = uri.value();
    }
}

// What a run of a paragraph holding fields is to them.
enum class RunRole { Text, Begin, Separator, End, Code, Other };

// A run holding one field mark, only codes, or only text, tabs and breaks (each of which takes
// a position: a run of none would move where an edit splits the paragraph).
RunRole RoleOf(pugi::xml_node run) {
    int marks = 0;
    int codes = 0;
    int texts = 0;
    RunRole mark = RunRole::Other;
    for (auto child = run.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) return RunRole::Other;
        const std::string_view name = child.name();
        if (name == "w:rPr") continue;
        if (name == "w:fldChar") {
            const std::string_view type = child.attribute("w:fldCharType").value();
            mark = type == "begin"       ? RunRole::Begin
                   : type == "separate" ? RunRole::Separator
                   : type == "end"      ? RunRole::End
                                        : RunRole::Other;
            ++marks;
        } else if (name == "w:instrText") {
            ++codes;
        } else if ((name == "w:t" && *child.text().get() != '\0') || name == "w:tab" || name == "w:br" ||
                   name == "w:cr") {
            ++texts;
        } else {
            return RunRole::Other;
        }
    }
    if (marks == 1 && codes == 0 && texts == 0) return mark;
    if (marks == 0 && codes > 0 && texts == 0) return RunRole::Code;
    if (marks == 0 && codes == 0 && texts > 0) return RunRole::Text;
    return RunRole::Other;
}

bool NamesPictureField(std::string_view code) {
    constexpr std::string_view kPicture = "includepicture";
    if (code.size() < kPicture.size()) return false;
    for (std::size_t i = 0; i + kPicture.size() <= code.size(); ++i) {
        std::size_t k = 0;
        while (k < kPicture.size() && (code[i + k] | 0x20) == kPicture[k]) ++k;
        if (k == kPicture.size()) return true;
    }
    return false;
}

// The runs that make up the fields of a paragraph (marks and codes), added to `out`; false when
// the paragraph holds anything but plain runs and plain fields.
bool FieldRunsOf(pugi::xml_node paragraph, std::vector<pugi::xml_node>& out) {
    enum class State { Outside, Code, Result } state = State::Outside;
    std::string code;
    for (auto child = paragraph.first_child(); child; child = child.next_sibling()) {
        if (child.type() != pugi::node_element) return false;
        const std::string_view name = child.name();
        if (name == "w:pPr") continue;
        if (name != "w:r") return false;
        const auto role = RoleOf(child);
        switch (state) {
        case State::Outside:
            if (role == RunRole::Text) continue;
            if (role != RunRole::Begin) return false;
            state = State::Code;
            code.clear();
            break;
        case State::Code:
            if (role == RunRole::Code) {
                for (auto instr = child.child("w:instrText"); instr; instr = instr.next_sibling("w:instrText"))
                    code += instr.text().get();
            } else if (role != RunRole::Separator || NamesPictureField(code)) {
                return false;
            } else {
                state = State::Result;
            }
            break;
        case State::Result:
            if (role == RunRole::Text) continue;
            if (role != RunRole::End) return false;
            state = State::Outside;
            break;
        }
        out.push_back(child);
    }
    return state == State::Outside;
}

}  // namespace

bool ShowFieldResults(Fragment& fragment, const std::vector<pugi::xml_node>& fieldMarks) {
    std::vector<pugi::xml_node> paragraphs;
    std::vector<pugi::xml_node> fieldRuns;
    for (auto mark : fieldMarks) {
        const auto paragraph = mark.parent().parent();
        if (!xml::Is(mark.parent(), "w:r") || !xml::Is(paragraph, "w:p")) return false;
        if (std::find(paragraphs.begin(), paragraphs.end(), paragraph) != paragraphs.end()) continue;
        // Text boxes and containers are left to the slower way that knows them.
        for (auto up = paragraph.parent(); up != fragment.root; up = up.parent())
            if (!up || !(xml::Is(up, "w:tc") || xml::Is(up, "w:tr") || xml::Is(up, "w:tbl"))) return false;
        if (!FieldRunsOf(paragraph, fieldRuns)) return false;
        paragraphs.push_back(paragraph);
    }
    for (auto run : fieldRuns) run.parent().remove_child(run);
    return true;
}

void PrepareFragment(Fragment& fragment, DocumentState& source, const std::string& sourcePart,
                     DocumentState& target, const std::string& targetPart,
                     std::vector<pugi::xml_node>* fieldMarks) {
    const bool otherPart = sourcePart != targetPart || &source != &target;
    // Drawings are found before bookmarks that cannot come along leave the copy (their nodes
    // are gone then): no second pass over the copy for them.
    auto marks = MarksOf(fragment.root, otherPart);
    if (otherPart) {
        DeclareNamespaces(std::move(marks.prefixes), source, sourcePart, target, targetPart);
        CopyRelationships(marks.relationships, source, sourcePart, target, targetPart);
    }
    if (&source != &target) {
        CopyStyles(marks.styleReferences, source, target);
        CopyNumbering(marks.numberings, source, target);
    }
    FitBookmarks(marks, target);
    for (auto node : marks.drawings)
        if (auto id = node.attribute("id")) id.set_value(target.NextDrawingId());
    if (fieldMarks) *fieldMarks = std::move(marks.fieldMarks);
}

}  // namespace paperloom::word::detail
