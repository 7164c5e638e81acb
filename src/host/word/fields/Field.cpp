#include "host/word/fields/Field.h"

#include <array>
#include <exception>
#include <utility>

#include "host/DebugLog.h"
#include "host/word/Document.h"
#include "host/word/detail/DocumentState.h"
#include "host/word/detail/RangeAccess.h"
#include "host/word/Selection.h"
#include "host/word/WordError.h"
#include "host/word/fieldcalc/FieldCode.h"
#include "host/word/fields/FieldEdit.h"
#include "host/word/fields/FieldUpdater.h"

namespace paperloom::word {

using fields::FieldMarks;

namespace {

// The keyword that starts the code of a field added by type.
std::string_view KeywordOf(long type) {
    static constexpr std::array<std::pair<long, std::string_view>, 14> kKeywords{{
        {34, "="}, {35, "QUOTE"}, {67, "INCLUDEPICTURE"}, {59, "MERGEFIELD"}, {64, "DOCVARIABLE"},
        {33, "PAGE"}, {26, "NUMPAGES"}, {31, "DATE"}, {32, "TIME"}, {3, "REF"},
        {7, "IF"}, {12, "SEQ"}, {88, "HYPERLINK"}, {13, "TOC"},
    }};
    for (const auto& [number, keyword] : kKeywords)
        if (number == type) return keyword;
    throw WordError(errnum::badParameter, "The field type is not supported.");
}

std::shared_ptr<detail::RangeData> SpanOf(const detail::RangeData& within, const FieldMarks& field) {
    return detail::MakeRange(within.doc, within.Live(), field.begin, field.end + 1);
}

word::Range PartRange(const detail::RangeData& within, long start, long end, bool codes) {
    auto data = detail::MakeRange(within.doc, within.Live(), start, end);
    // A code is never shown, so hiding it changes nothing: it reads whole.
    data->includeFieldCodes = codes;
    data->includeHidden = codes;
    return word::Range(data);
}

}  // namespace

// --- Field ----------------------------------------------------------------------------------

struct Field::FoundMarks {
    std::optional<FieldMarks> marks;
    const detail::Story* story = nullptr;
    unsigned long stamp = 0;
};

Field::Field(std::shared_ptr<detail::RangeData> span)
    : span_(std::move(span)), found_(std::make_shared<FoundMarks>()) {}

Field::Field(std::shared_ptr<detail::RangeData> where, std::shared_ptr<detail::MarkAnchor> begin,
             const FieldMarks& found)
    : span_(std::move(where)), begin_(std::move(begin)), found_(std::make_shared<FoundMarks>()) {
    found_->marks = found;
    found_->marks->depth = 0;
    found_->story = span_->story;
    found_->stamp = span_->story->EditStamp();
}

FieldMarks Field::Find() const {
    auto& story = span_->Live();
    // An anchored mark that left the tree is gone, whatever was found before.
    if (begin_ && !begin_->alive) throw ObjectDeleted();
    auto& found = *found_;
    if (found.marks && found.story == &story && found.stamp == story.EditStamp() &&
        (!begin_ || found.marks->beginMark == begin_->node))
        return *found.marks;
    found.marks = Walk();
    found.story = &story;
    found.stamp = story.EditStamp();
    return *found.marks;
}

FieldMarks Field::Walk() const {
    if (!begin_) return fields::Locate(*span_);
    auto& story = span_->Live();
    if (!begin_->alive) throw ObjectDeleted();
    const auto at = story.PositionOf(begin_->node);
    if (!at) throw ObjectDeleted();
    auto found = fields::FieldsStartingIn(story, *at, *at + 1);
    if (found.empty() || found.front().begin != *at) throw ObjectDeleted();
    found.front().depth = 0;
    return found.front();
}

const std::shared_ptr<detail::RangeData>& Field::Data() const {
    if (begin_ && begin_->alive) {
        const auto field = Find();
        span_->span->start = field.begin;
        span_->span->end = field.end + 1;
    }
    return span_;
}

const std::shared_ptr<detail::RangeData>& detail::RangeAccess::Of(const Field& field) { return field.Data(); }

long Field::Type() const {
    const auto field = Find();
    return static_cast<long>(fieldcalc::FieldCode::Parse(fields::RawCode(span_->Live(), field)).Type());
}

word::Range Field::Code() const {
    const auto field = Find();
    return PartRange(*span_, field.CodeStart(), field.CodeEnd(), true);
}

word::Range Field::Result() const {
    const auto field = Find();
    auto result = PartRange(*span_, field.ResultStart(), field.ResultEnd(), false);
    // A field in another field's code still shows its own result.
    if (const auto first = span_->Live().AtomAt(field.ResultStart()))
        detail::RangeAccess::Of(result)->enclosingFields = first->fieldDepth;
    return result;
}

word::Range Field::Range() const {
    const auto field = Find();
    return PartRange(*span_, field.begin, field.end + 1, false);
}

void Field::SetCode(std::string_view code) {
    fields::WriteCode(span_->Live(), Find(), code);
    span_->doc->Changed();
}

void Field::SetResult(std::string_view text) {
    auto& story = span_->Live();
    const auto field = fields::EnsureSeparator(story, Find());
    pugi::xml_document holder;
    const auto look = fields::CopyFormattingAt(
        story, field.ResultEnd() > field.ResultStart() ? field.ResultStart() : field.begin, holder);
    fields::WriteResult(story, field, text, look);
    span_->doc->Changed();
}

bool Field::Update() {
    span_->doc->CheckOpen();
    if (!begin_) return fields::FieldUpdater(span_->doc).Update(*span_);
    return fields::FieldUpdater(span_->doc).Update(span_->Live(), Find());
}

void Field::Delete() {
    const auto field = Find();
    span_->Live().Delete(field.begin, field.end + 1);
    span_->doc->Changed();
}

void Field::Select() {
    const auto owner = span_->doc->Owner();
    if (!owner) throw ObjectDeleted();
    owner->Selection().Select(Range());
}

// --- Fields ---------------------------------------------------------------------------------

Field Fields::Item(long index) const {
    if (index < 1 || index > Count()) throw NoSuchMember();
    return items_[static_cast<std::size_t>(index) - 1];
}

Field Fields::Add(const word::Range& range, long type, std::string_view text, bool preserveFormatting) {
    const auto& data = *detail::RangeAccess::Of(range);
    auto& story = data.Live();
    std::string code;
    if (type != wdFieldEmpty) {
        code = KeywordOf(type);
        if (!text.empty()) code += " ";
    }
    code += text;
    // Keeping the formatting across updates is itself a switch of the code.
    if (preserveFormatting && type != wdFieldEmpty) code += " \\* MERGEFORMAT";

    pugi::xml_document holder;
    const long start = data.span->start;
    const auto look = fields::CopyFormattingAt(story, start, holder);
    story.Delete(data.span->start, data.span->end);
    const long pos = story.ClampInsert(data.span->start);

    detail::Fragment fragment;
    fragment.openTail = true;
    auto p = fragment.root.append_child("w:p");
    auto mark = [&](const char* kind) {
        auto run = p.append_child("w:r");
        if (look) run.append_copy(look);
        run.append_child("w:fldChar").append_attribute("w:fldCharType") = kind;
    };
    mark("begin");
    if (!code.empty()) {
        auto run = p.append_child("w:r");
        if (look) run.append_copy(look);
        auto instr = run.append_child("w:instrText");
        instr.append_attribute("xml:space") = "preserve";
        instr.text().set(code.c_str());
    }
    mark("separate");
    mark("end");
    const long length = story.InsertFragment(pos, fragment);
    data.doc->Changed();

    Field field(detail::MakeRange(data.doc, story, pos, pos + length));
    if (!code.empty()) field.Update();
    return field;
}

long Fields::Update() {
    long firstError = 0;
    for (std::size_t i = 0; i < items_.size(); ++i) {
        // Nested fields are computed by the field around them.
        if (depths_[i] > 0) continue;
        bool ok = false;
        try {
            ok = items_[i].Update();
        } catch (const std::exception&) {
            debuglog::Swallowed("Field.cpp: Fields::Update");
            ok = false;  // a field removed by an earlier update, or a document edit that failed
        }
        if (!ok && firstError == 0) firstError = static_cast<long>(i) + 1;
    }
    return firstError;
}

// --- entry points ---------------------------------------------------------------------------

Fields FieldsOf(const word::Range& range) {
    const auto& data = detail::RangeAccess::Of(range);
    auto& story = data->Live();
    const auto marks = fields::FieldsStartingIn(story, data->span->start, std::max(data->span->end, data->span->start + 1));
    std::vector<Field> items;
    std::vector<int> depths;
    const long point = data->span->start;
    const bool collapsed = data->span->end == point;
    // Found by their begin marks: many fields cost nothing per edit.
    const auto field = [&](const FieldMarks& one) {
        if (!one.beginMark) return Field(SpanOf(*data, one));
        auto where = std::make_shared<detail::RangeData>();
        where->doc = data->doc;
        where->story = &story;
        where->span->start = one.begin;
        where->span->end = one.end + 1;
        return Field(std::move(where), data->doc->Anchor(one.beginMark), one);
    };
    for (const auto& found : marks) {
        // A collapsed range reads as the point it stands at: only a field starting there.
        if (collapsed && found.begin != point) continue;
        items.push_back(field(found));
        depths.push_back(found.depth);
    }
    if (collapsed && items.empty()) {
        // An insertion point inside a field stands for that field (the innermost one).
        if (const auto inside = fields::FieldAround(story, point)) {
            items.push_back(field(*inside));
            depths.push_back(0);
        }
    }
    return Fields(data, std::move(items), std::move(depths));
}

Fields FieldsOf(const Document& document) { return FieldsOf(document.Content()); }

Fields FieldsOf(const Selection& selection) { return FieldsOf(selection.Range()); }

void InsertFormula(Selection& selection, std::string formula, std::string numberFormat) {
    if (formula.empty()) formula = "=SUM(ABOVE)";
    if (formula.front() != '=') formula.insert(formula.begin(), '=');
    std::string code = formula;
    if (!numberFormat.empty()) code += " \\# \"" + numberFormat + "\"";
    const auto where = selection.Range();
    Fields fields(detail::RangeAccess::Of(where), {}, {});
    const auto field = fields.Add(where, wdFieldEmpty, code);
    const long after = field.Range().End();
    selection.SetRange(after, after);
}

}  // namespace paperloom::word
