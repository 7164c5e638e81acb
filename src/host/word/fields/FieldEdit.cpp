#include "host/word/fields/FieldEdit.h"

#include <algorithm>
#include <vector>

#include "host/word/WordError.h"
#include "host/word/detail/WordXml.h"

namespace paperloom::word::fields {

using word::detail::Atom;
using word::detail::AtomKind;

FieldMarks Locate(const word::detail::RangeData& span) {
    auto& story = span.Live();
    // The span's end stays right after the end mark (text inserted there goes after the
    // field), while its start takes in what is inserted right before the field: the field
    // is the one whose end mark closes the span.
    const long start = span.span->start;
    const long end = span.span->end;
    for (const auto& field : FieldsStartingIn(story, start, end))
        if (field.end == end - 1) return field;
    throw ObjectDeleted();
}

std::string RawCode(word::detail::Story& story, const FieldMarks& field) {
    return story.Text(field.CodeStart(), field.CodeEnd(), {true, true});
}

std::string EffectiveCode(word::detail::Story& story, const FieldMarks& field) {
    std::string code;
    // Per open field: whether we are in its code. The field itself is the first entry.
    std::vector<bool> inCode{true};
    story.Visit(field.CodeStart(), field.CodeEnd(), [&](const Atom& atom) {
        if (atom.length == 0 || atom.start < field.CodeStart()) return true;
        if (atom.start >= field.CodeEnd()) return false;
        switch (atom.kind) {
            case AtomKind::FieldBegin: inCode.push_back(true); return true;
            case AtomKind::FieldSeparator: if (inCode.size() > 1) inCode.back() = false; return true;
            case AtomKind::FieldEnd: if (inCode.size() > 1) inCode.pop_back(); return true;
            default: break;
        }
        // Text counts when it is this field's own code or a nested field's shown result.
        for (std::size_t i = 1; i < inCode.size(); ++i)
            if (inCode[i]) return true;
        if (atom.kind == AtomKind::Text) {
            const long from = std::max(field.CodeStart(), atom.start) - atom.start;
            const long to = std::min(field.CodeEnd(), atom.start + atom.length) - atom.start;
            const std::string_view text = atom.text;
            const auto a = xml::Utf8Offset(text, from);
            const auto b = xml::Utf8Offset(text, to);
            code.append(text.substr(a, b - a));
        } else if (atom.kind == AtomKind::Char || atom.kind == AtomKind::ParagraphMark) {
            code.push_back(' ');
        }
        return true;
    });
    return code;
}

FieldMarks EnsureSeparator(word::detail::Story& story, const FieldMarks& field) {
    if (field.separator) return field;
    word::detail::Fragment fragment;
    fragment.openTail = true;
    auto run = fragment.root.append_child("w:p").append_child("w:r");
    run.append_child("w:fldChar").append_attribute("w:fldCharType") = "separate";
    story.InsertFragment(field.end, fragment);
    FieldMarks result = field;
    result.separator = field.end;
    result.end = field.end + 1;
    return result;
}

namespace {

bool SameXml(pugi::xml_node a, pugi::xml_node b) {
    if (a.type() != b.type() || std::string_view(a.name()) != b.name() || std::string_view(a.value()) != b.value())
        return false;
    auto x = a.first_attribute();
    auto y = b.first_attribute();
    for (; x && y; x = x.next_attribute(), y = y.next_attribute())
        if (std::string_view(x.name()) != y.name() || std::string_view(x.value()) != y.value()) return false;
    if (x || y) return false;
    auto c = a.first_child();
    auto d = b.first_child();
    for (; c && d; c = c.next_sibling(), d = d.next_sibling())
        if (!SameXml(c, d)) return false;
    return !c && !d;
}

pugi::xml_node NextElement(pugi::xml_node node) {
    auto next = node.next_sibling();
    while (next && next.type() != pugi::node_element) next = next.next_sibling();
    return next;
}

// The w:instrText of a code that is one run exactly as WriteCode writes it with `look`, between
// the begin mark's run and the run of the separator or end mark: such a code can take new text
// in place. Codes are written again and again (set for a record, then put back), and the
// paragraph need not be split and measured for that.
pugi::xml_node WrittenCodeText(const FieldMarks& field, pugi::xml_node look) {
    if (!field.beginMark || field.beginMark.next_sibling() || field.CodeEnd() <= field.CodeStart()) return {};
    const auto run = NextElement(field.beginMark.parent());
    if (!xml::Is(run, "w:r") || run.first_attribute()) return {};
    auto child = run.first_child();
    const auto rPr = xml::Is(child, "w:rPr") ? child : pugi::xml_node{};
    if (static_cast<bool>(rPr) != static_cast<bool>(look) || (rPr && !SameXml(rPr, look))) return {};
    const auto instr = rPr ? rPr.next_sibling() : child;
    if (!xml::Is(instr, "w:instrText") || instr.next_sibling()) return {};
    const auto space = instr.first_attribute();
    if (!space || std::string_view(space.name()) != "xml:space" || std::string_view(space.value()) != "preserve" ||
        space.next_attribute())
        return {};
    const auto text = instr.first_child();
    if (!text || text.type() != pugi::node_pcdata || text.next_sibling()) return {};
    if (xml::Utf16Length(text.value()) != field.CodeEnd() - field.CodeStart()) return {};
    const auto after = NextElement(run);
    if (!xml::Is(after, "w:r") || !after.child("w:fldChar")) return {};
    return instr;
}

}  // namespace

void WriteCode(word::detail::Story& story, const FieldMarks& field, std::string_view code) {
    pugi::xml_document holder;
    const auto look = CopyFormattingOfBegin(story, field, holder);
    if (!code.empty()) {
        if (const auto instr = WrittenCodeText(field, look)) {
            std::string text(code);
            for (auto& c : text)
                if (c == '\r' || c == '\n' || c == '\a' || c == '\f' || c == '\v') c = ' ';
            story.ReplaceNodeText(instr, field.CodeStart(), field.CodeEnd() - field.CodeStart(), text);
            return;
        }
    }
    story.Delete(field.CodeStart(), field.CodeEnd());
    if (code.empty()) return;
    word::detail::Fragment fragment;
    fragment.openTail = true;
    auto run = fragment.root.append_child("w:p").append_child("w:r");
    if (look) run.append_copy(look);
    auto instr = run.append_child("w:instrText");
    instr.append_attribute("xml:space") = "preserve";
    // Codes are one line: breaks would split the code into paragraphs.
    std::string text(code);
    for (auto& c : text)
        if (c == '\r' || c == '\n' || c == '\a' || c == '\f' || c == '\v') c = ' ';
    xml::SetText(instr, text);
    story.InsertFragment(field.CodeStart(), fragment);
}

namespace {

pugi::xml_node CopyFormatting(pugi::xml_node rPr, pugi::xml_document& holder) {
    if (!rPr) return {};
    auto copy = holder.append_copy(rPr);
    copy.set_name("w:rPr");
    // Revision marks belong to the old text, not to a new result.
    for (const char* name : {"w:ins", "w:del", "w:moveFrom", "w:moveTo", "w:rPrChange"})
        while (auto n = copy.child(name)) copy.remove_child(n);
    return copy;
}

// The run of the code's first character when the code starts with the run right after the
// begin mark's (the mark the last child of its run): the atom there is its instruction text.
pugi::xml_node FirstCodeRun(const FieldMarks& field) {
    if (!field.beginMark || field.CodeEnd() <= field.CodeStart()) return {};
    for (auto after = field.beginMark.next_sibling(); after; after = after.next_sibling())
        if (after.type() == pugi::node_element) return {};
    const auto run = NextElement(field.beginMark.parent());
    if (!xml::Is(run, "w:r")) return {};
    auto child = run.first_child();
    while (child && (child.type() != pugi::node_element || xml::Is(child, "w:rPr"))) child = child.next_sibling();
    if (!xml::Is(child, "w:instrText") || *child.text().get() == '\0') return {};
    return run;
}

}  // namespace

pugi::xml_node CopyFormattingAt(word::detail::Story& story, long pos, pugi::xml_document& holder) {
    return CopyFormatting(story.FormattingAt(pos), holder);
}

// The atom at a field's begin is its begin mark: its run's properties are those there.
pugi::xml_node CopyFormattingOfBegin(word::detail::Story& story, const FieldMarks& field, pugi::xml_document& holder) {
    if (!field.beginMark) return CopyFormattingAt(story, field.begin, holder);
    return CopyFormatting(field.beginMark.parent().child("w:rPr"), holder);
}

pugi::xml_node CopyFormattingOfCode(word::detail::Story& story, const FieldMarks& field, pugi::xml_document& holder) {
    if (const auto run = FirstCodeRun(field)) return CopyFormatting(run.child("w:rPr"), holder);
    return CopyFormattingAt(story, field.CodeStart(), holder);
}

namespace {

bool IsMarkRun(pugi::xml_node run, std::string_view type) {
    if (!xml::Is(run, "w:r")) return false;
    auto child = run.first_child();
    if (xml::Is(child, "w:rPr")) child = child.next_sibling();
    return xml::Is(child, "w:fldChar") && !child.next_sibling() && type == child.attribute("w:fldCharType").value();
}

// The w:t of a result that is one run exactly as WriteResult writes `text` with `look` (text
// without breaks, tabs or marks), in a field whose code is one run: the result can take new
// text in place. Header fields are updated for every record.
pugi::xml_node WrittenResultText(const FieldMarks& field, std::string_view text, pugi::xml_node look) {
    if (!look || text.empty() || !xml::IsPlainRunText(text)) return {};
    if (!field.beginMark || field.beginMark.next_sibling() || !field.separator) return {};
    if (field.CodeEnd() <= field.CodeStart() || field.ResultEnd() <= field.ResultStart()) return {};
    const auto codeRun = NextElement(field.beginMark.parent());
    if (!xml::Is(codeRun, "w:r")) return {};
    auto code = codeRun.first_child();
    if (xml::Is(code, "w:rPr")) code = code.next_sibling();
    if (!xml::Is(code, "w:instrText") || code.next_sibling() ||
        xml::Utf16Length(code.text().get()) != field.CodeEnd() - field.CodeStart())
        return {};
    const auto separator = NextElement(codeRun);
    const auto run = NextElement(separator);
    if (!IsMarkRun(separator, "separate") || !xml::Is(run, "w:r") || run.first_attribute()) return {};
    const auto rPr = run.first_child();
    if (!xml::Is(rPr, "w:rPr") || !SameXml(rPr, look)) return {};
    const auto t = rPr.next_sibling();
    if (!xml::Is(t, "w:t") || t.next_sibling()) return {};
    const auto space = t.first_attribute();
    if (!space || std::string_view(space.name()) != "xml:space" || std::string_view(space.value()) != "preserve" ||
        space.next_attribute())
        return {};
    const auto value = t.first_child();
    if (!value || value.type() != pugi::node_pcdata || value.next_sibling()) return {};
    if (xml::Utf16Length(value.value()) != field.ResultEnd() - field.ResultStart()) return {};
    if (!IsMarkRun(NextElement(run), "end")) return {};
    return t;
}

}  // namespace

void WriteResult(word::detail::Story& story, const FieldMarks& field, std::string_view text, pugi::xml_node look) {
    if (const auto t = WrittenResultText(field, text, look)) {
        story.ReplaceNodeText(t, field.ResultStart(), field.ResultEnd() - field.ResultStart(), text);
        return;
    }
    story.Delete(field.ResultStart(), field.ResultEnd());
    if (text.empty()) return;
    story.InsertText(field.ResultStart(), text, look);
}

void WriteResultFragment(word::detail::Story& story, const FieldMarks& field, word::detail::Fragment& fragment) {
    story.Delete(field.ResultStart(), field.ResultEnd());
    story.InsertFragment(field.ResultStart(), fragment);
}

}  // namespace paperloom::word::fields
