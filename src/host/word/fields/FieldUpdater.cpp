#include "host/word/fields/FieldUpdater.h"

#include <optional>
#include <variant>

#include "host/word/fields/DocumentFormulaContext.h"
#include "host/word/fields/FieldEdit.h"
#include "host/word/fields/InlinePicture.h"

namespace paperloom::word::fields {

namespace {

// Deeper nesting than this is left as it stands: a hostile file must not exhaust the stack.
constexpr int kMaxDepth = 32;

}  // namespace

FieldUpdater::FieldUpdater(std::shared_ptr<word::detail::DocumentState> doc) : doc_(std::move(doc)) {}

bool FieldUpdater::Update(const word::detail::RangeData& span) {
    const auto field = Locate(span);
    return UpdateAt(span.Live(), field.begin, 0);
}

bool FieldUpdater::UpdateNested(word::detail::Story& story, const std::shared_ptr<word::detail::TrackedSpan>& outer,
                                bool inCode, int depth) {
    bool ok = true;
    for (std::size_t index = 0;; ++index) {
        // Each update moves what follows it: the outer field is found again every time.
        const auto field = FirstFieldIn(story, outer->start, outer->end);
        if (!field) break;
        const long from = inCode ? field->CodeStart() : field->ResultStart();
        const long to = inCode ? field->CodeEnd() : field->ResultEnd();
        const auto children = ChildFields(story, from, to);
        if (index >= children.size()) break;
        ok = UpdateAt(story, children[index].begin, depth + 1) && ok;
    }
    return ok;
}

bool FieldUpdater::UpdateAt(word::detail::Story& story, long begin, int depth) {
    if (depth > kMaxDepth) return true;
    const auto field = FirstFieldIn(story, begin, begin + 1);
    if (!field) return true;
    return UpdateAt(story, *field, depth);
}

bool FieldUpdater::UpdateAt(word::detail::Story& story, FieldMarks found, int depth) {
    if (depth > kMaxDepth) return true;
    std::optional<FieldMarks> field = found;
    const auto tracked = word::detail::MakeRange(doc_, story, field->begin, field->end + 1);
    bool ok = true;
    // Renaming code runs moves nothing: without fields nested in the code the marks stand.
    if (NormaliseCodeRuns(story, *field)) {
        ok = UpdateNested(story, tracked->span, true, depth);
        field = Locate(*tracked);
    }

    // The atom at the begin is the begin mark itself.
    pugi::xml_node beginNode = field->beginMark;
    if (!beginNode) {
        const auto beginAtom = story.AtomAt(field->begin);
        if (beginAtom) beginNode = beginAtom->node;
    }
    const DocumentFormulaContext context(doc_, story, beginNode);
    const auto result = computer_.Compute(EffectiveCode(story, *field), context);
    if (result.kind == fieldcalc::FieldResult::Kind::Keep) {
        // The result stays; fields shown in it are brought up to date.
        return UpdateNested(story, tracked->span, false, depth) && ok;
    }

    field = EnsureSeparator(story, *field);
    // The result looks like the code's first character, or with \* MERGEFORMAT like the old
    // result's first character.
    pugi::xml_document holder;
    pugi::xml_node look;
    if (result.mergeFormat && field->ResultEnd() > field->ResultStart())
        look = CopyFormattingAt(story, field->ResultStart(), holder);
    else if (field->CodeEnd() > field->CodeStart())
        look = CopyFormattingOfCode(story, *field, holder);
    else
        look = CopyFormattingOfBegin(story, *field, holder);

    std::string text = result.text;
    bool failed = result.kind == fieldcalc::FieldResult::Kind::Error;
    if (result.kind == fieldcalc::FieldResult::Kind::Picture && result.picture) {
        auto picture = BuildPicture(*doc_, story, *result.picture, look);
        if (auto* built = std::get_if<PictureFragment>(&picture)) {
            WriteResultFragment(story, *field, built->fragment);
            doc_->Changed();
            return ok;
        }
        text = std::get<std::string>(picture);
        failed = true;
    }
    WriteResult(story, *field, text, look);
    doc_->Changed();
    return ok && !failed;
}

}  // namespace paperloom::word::fields
