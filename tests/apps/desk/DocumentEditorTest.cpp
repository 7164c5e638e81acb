// The document editor against the object model: a random sequence of typing (Japanese too),
// deleting, formatting and tables done through the editor and done directly through Range
// gives the same parts after every step; undo after each step gives back the exact parts
// before it and redo those after it, and so does undoing the whole sequence and redoing it.

#include <cstdint>
#include <cstdlib>
#include <algorithm>
#include <map>
#include <random>

#include <gtest/gtest.h>

#include "edit/DocumentEditor.h"
#include "edit/EditClipboard.h"
#include "edit/UndoStack.h"
#include "host/HostError.h"
#include "host/word/WordTestSupport.h"
#include "host/word/addins/Clipboard.h"

namespace paperloom::desk::edit {
namespace {

using word::wdTrue;

using Parts = std::map<std::string, std::string>;

Parts PartsOf(const std::shared_ptr<word::Document>& doc) {
    Parts parts;
    for (const auto& name : doc->Package().PartNames()) parts[name] = doc->Package().PartBytes(name);
    return parts;
}

// Where two sets of parts first differ, readably.
std::string Difference(const Parts& a, const Parts& b) {
    for (const auto& [name, bytes] : a) {
        const auto other = b.find(name);
        if (other == b.end()) return "only on the left: " + name;
        if (other->second == bytes) continue;
        const auto at = std::mismatch(bytes.begin(), bytes.end(), other->second.begin(), other->second.end());
        const auto offset = static_cast<std::size_t>(at.first - bytes.begin());
        const auto from = offset > 120 ? offset - 120 : 0;
        return name + " at " + std::to_string(offset) + ":\n  " + bytes.substr(from, 240) + "\n  " +
               other->second.substr(from, 240);
    }
    return a.size() == b.size() ? std::string() : "parts only on the right";
}

#define EXPECT_SAME_PARTS(a, b)                  \
    do {                                         \
        const auto difference = Difference(a, b); \
        ASSERT_TRUE(difference.empty()) << difference; \
    } while (false)

// Longer runs on demand, as the model's random edit tests take them.
long FromEnvironment(const char* name, long fallback) {
    const char* text = std::getenv(name);
    const long value = text ? std::strtol(text, nullptr, 10) : 0;
    return value > 0 ? value : fallback;
}

std::string StartBody() {
    namespace t = word::test;
    const std::string field = R"(<w:r><w:fldChar w:fldCharType="begin"/></w:r>)"
                              R"(<w:r><w:instrText xml:space="preserve"> QUOTE "v" </w:instrText></w:r>)"
                              R"(<w:r><w:fldChar w:fldCharType="separate"/></w:r><w:r><w:t>v</w:t></w:r>)"
                              R"(<w:r><w:fldChar w:fldCharType="end"/></w:r>)";
    return t::P("請求書 Invoice") + t::TableXml({{t::TextRun("a1"), t::TextRun("b1")}, {t::TextRun("a2"), t::TextRun("")}}) +
           "<w:p>" + t::TextRun("see ") + t::HiddenRun("secret") + field + t::TextRun(" end") + "</w:p>" + t::P("最後");
}

// What the reference does for Backspace and Delete at a caret, written out with ranges: marks
// of cells, rows and fields are passed over, a character beyond the basic plane goes whole.
long ReferenceDelete(word::Document& doc, long pos, bool forward) {
    const long length = doc.Content().StoryLength();
    if (forward ? pos >= length - 1 : pos <= 0) return pos;
    auto one = doc.Range(forward ? pos : pos - 1, forward ? pos + 1 : pos);
    one.TextRetrievalMode().SetIncludeHiddenText(true);
    one.TextRetrievalMode().SetIncludeFieldCodes(true);
    const auto text = one.Text();
    if (text.find('\a') != std::string::npos || text == "\x13" || text == "\x14" || text == "\x15")
        return forward ? pos + 1 : pos - 1;
    auto two = doc.Range(forward ? pos : std::max(0L, pos - 2), forward ? std::min(length, pos + 2) : pos);
    two.TextRetrievalMode().SetIncludeHiddenText(true);
    two.TextRetrievalMode().SetIncludeFieldCodes(true);
    const auto pair = two.Text();
    auto doomed = (pair.size() == 4 && static_cast<unsigned char>(pair[0]) >= 0xF0) ? two : one;
    const long start = doomed.Start();
    doomed.Delete();
    return start;
}

void Differential(std::uint32_t seed, int steps) {
    auto viaEditor = word::test::MakeDocument(StartBody());
    auto viaRange = word::test::MakeDocument(StartBody());
    DocumentEditor editor(viaEditor);
    std::mt19937 random(seed);
    const auto pick = [&](long low, long high) { return std::uniform_int_distribution<long>(low, high)(random); };
    const std::vector<std::string> texts = {"x", "日本語の文字", "two words", "line\rbreak", "😀", "ｶﾀｶﾅ", "\t"};

    std::vector<Parts> history{PartsOf(viaEditor)};
    EXPECT_SAME_PARTS(history.back(), PartsOf(viaRange));
    for (int step = 0; step < steps; ++step) {
        const long length = viaRange->Content().StoryLength();
        const long start = pick(0, length - 1);
        const long end = pick(0, 2) == 0 ? start : std::min(length - 1, start + pick(1, 8));
        viaEditor->Selection().SetRange(start, end);
        editor.SelectionMoved();  // as the view tells it
        const auto op = pick(0, 9);
        SCOPED_TRACE(testing::Message() << "seed " << seed << " step " << step << " op " << op << " at " << start
                                        << "-" << end);
        long caret = -1;  // where the reference leaves the caret
        bool editorFailed = false;
        bool referenceFailed = false;
        const auto both = [&](const std::function<void()>& edit, const std::function<void()>& reference) {
            try {
                edit();
            } catch (const host::HostError&) {
                editorFailed = true;
            }
            try {
                reference();
            } catch (const host::HostError&) {
                referenceFailed = true;
            }
        };
        const std::size_t undoBefore = editor.Undos().Steps();
        switch (op) {
        case 0:
        case 1: {
            const auto& text = texts[static_cast<std::size_t>(pick(0, static_cast<long>(texts.size()) - 1))];
            both([&] { editor.TypeText(text); },
                 [&] {
                     auto r = viaRange->Range(start, end);
                     r.SetText(text);
                     caret = r.End();
                 });
            break;
        }
        case 2:
            both([&] { editor.NewParagraph(); },
                 [&] {
                     auto r = viaRange->Range(start, end);
                     r.SetText("\r");
                     caret = r.End();
                 });
            break;
        case 3:
        case 4: {
            const bool forward = op == 4;
            both([&] { forward ? editor.DeleteForward() : editor.Backspace(); },
                 [&] {
                     if (start != end) {
                         auto r = viaRange->Range(start, end);
                         r.Delete();
                         caret = r.Start();
                     } else {
                         caret = ReferenceDelete(*viaRange, start, forward);
                     }
                 });
            break;
        }
        case 5: {
            const auto which = pick(0, 2);
            both([&] { which == 0 ? editor.ToggleBold() : which == 1 ? editor.ToggleItalic() : editor.ToggleUnderline(); },
                 [&] {
                     if (start == end) return;  // waits for typing: nothing changes yet
                     auto f = viaRange->Range(start, end).Font();
                     if (which == 0) f.SetBold(f.Bold() != wdTrue);
                     else if (which == 1) f.SetItalic(f.Italic() != wdTrue);
                     // On unless every character has it (a mixed selection reads wdUndefined).
                     else f.SetUnderline(f.Underline() == word::wdUnderlineSingle ? word::wdUnderlineNone : word::wdUnderlineSingle);
                 });
            caret = end;
            if (start != end) caret = -2;  // the selection stays
            break;
        }
        case 6: {
            const auto which = pick(0, 2);
            const float size = static_cast<float>(pick(16, 40)) / 2.0f;
            both([&] {
                     if (which == 0) editor.SetFontName("Liberation Serif");
                     else if (which == 1) editor.SetFontNameFarEast("IPAexMincho");
                     else editor.SetFontSize(size);
                 },
                 [&] {
                     if (start == end) return;
                     auto f = viaRange->Range(start, end).Font();
                     if (which == 0) f.SetName("Liberation Serif");
                     else if (which == 1) f.SetNameFarEast("IPAexMincho");
                     else f.SetSize(size);
                 });
            caret = start == end ? end : -2;
            break;
        }
        case 7: {
            const long alignment = pick(0, 4);
            both([&] { editor.SetAlignment(alignment); },
                 [&] { viaRange->Range(start, end).ParagraphFormat().SetAlignment(alignment); });
            caret = -2;
            break;
        }
        case 8: {
            const long rows = pick(1, 3);
            const long columns = pick(1, 4);
            both([&] { editor.InsertTable(rows, columns); },
                 [&] {
                     auto r = viaRange->Range(start, end);
                     caret = r.Tables().Add(r, rows, columns).Cell(1, 1).Range().Start();
                 });
            break;
        }
        default: {
            // Bold asked for at a caret goes with the text typed next there.
            viaEditor->Selection().SetRange(start, start);
            both([&] {
                     editor.ToggleBold();
                     editor.TypeText("太字");
                 },
                 [&] {
                     const bool was = viaRange->Range(start, start).Font().Bold() == wdTrue;
                     auto r = viaRange->Range(start, start);
                     r.SetText("太字");
                     r.Font().SetBold(!was);
                     caret = r.End();
                 });
        }
        }
        ASSERT_EQ(editorFailed, referenceFailed);
        const auto after = PartsOf(viaEditor);
        EXPECT_SAME_PARTS(after, PartsOf(viaRange));
        if (!editorFailed && caret >= 0) {
            EXPECT_EQ(viaEditor->Selection().Start(), caret);
            EXPECT_EQ(viaEditor->Selection().End(), caret);
        }
        if (after == history.back()) {
            EXPECT_EQ(editor.Undos().Steps(), undoBefore);  // no change, no step
            continue;
        }
        ASSERT_EQ(editor.Undos().Steps(), undoBefore + 1);
        editor.Undo();
        EXPECT_SAME_PARTS(PartsOf(viaEditor), history.back());
        ASSERT_TRUE(editor.CanRedo());
        editor.Redo();
        EXPECT_SAME_PARTS(PartsOf(viaEditor), after);
        EXPECT_FALSE(editor.CanRedo());
        history.push_back(after);
    }
    // The whole way back and forward again.
    for (auto it = history.rbegin() + 1; it != history.rend(); ++it) {
        ASSERT_TRUE(editor.CanUndo());
        editor.Undo();
        EXPECT_SAME_PARTS(PartsOf(viaEditor), *it);
    }
    EXPECT_FALSE(editor.CanUndo());
    for (auto it = history.begin() + 1; it != history.end(); ++it) {
        editor.Redo();
        EXPECT_SAME_PARTS(PartsOf(viaEditor), *it);
    }
    EXPECT_SAME_PARTS(PartsOf(viaEditor), PartsOf(viaRange));
}

TEST(DocumentEditorTest, EditorAndRangeAgreeAndUndoGivesBackEveryStepExactly) {
    const int steps = static_cast<int>(FromEnvironment("PAPERLOOM_RANDOM_EDITS", 80));
    const long seeds = FromEnvironment("PAPERLOOM_RANDOM_EDIT_SEEDS", 3);
    for (long i = 0; i < seeds; ++i) Differential(20261208u + static_cast<std::uint32_t>(i), steps);
}

TEST(DocumentEditorTest, GroupIsOneStepAndFailedChangeStaysUndoable) {
    auto doc = word::test::MakeDocument(word::test::P("text"));
    DocumentEditor editor(doc);
    int notified = 0;
    editor.SetChangedHandler([&] { ++notified; });
    const auto start = PartsOf(doc);
    {
        UndoGroup command(editor);
        editor.TypeText("A");
        {
            UndoGroup inner(editor);  // joins the outer one
            editor.NewParagraph();
            doc->Variables().Add("bound", "True");
        }
        EXPECT_FALSE(editor.CanUndo());  // not while the group is open
        editor.ToggleBold();
    }
    EXPECT_EQ(editor.Undos().Steps(), 1u);
    const auto done = PartsOf(doc);
    editor.Undo();
    EXPECT_EQ(PartsOf(doc), start);
    editor.Redo();
    EXPECT_EQ(PartsOf(doc), done);

    { UndoGroup nothing(editor); }
    EXPECT_EQ(editor.Undos().Steps(), 1u);

    // A change that fails half way: what it did can be undone.
    EXPECT_THROW(editor.Edit([&] {
        doc->Content().InsertAfter("half");
        throw host::HostError(1, "test", "failed");
    }),
                 host::HostError);
    EXPECT_EQ(editor.Undos().Steps(), 2u);
    editor.Undo();
    EXPECT_EQ(PartsOf(doc), done);
    EXPECT_GT(notified, 3);

    // Edits outside the editor are not undone by its next undo.
    doc->Content().InsertAfter("outside");
    const auto outside = PartsOf(doc);
    doc->Selection().SetRange(0, 0);
    editor.TypeText("z");
    editor.Undo();
    EXPECT_EQ(PartsOf(doc), outside);
}

TEST(DocumentEditorTest, ClipboardPastesFormattedWithinAndPlainFromOutside) {
    word::Clipboard desktop;
    auto shared = std::make_shared<EditClipboard>(desktop);
    auto from = word::test::MakeDocument(word::test::P("plain bold") + word::test::P("次の段落"));
    auto to = word::test::MakeDocument(word::test::P(""), "Test2");
    DocumentEditor source(from, shared);
    DocumentEditor target(to, shared);
    from->Range(6, 10).Font().SetBold(true);

    from->Selection().SetRange(0, 15);
    source.Copy();
    EXPECT_EQ(desktop.Text(), "plain bold\n次の段落");
    target.Paste();
    EXPECT_EQ(to->Content().Text(), "plain bold\r次の段落\r");
    EXPECT_EQ(to->Range(6, 10).Font().Bold(), wdTrue);
    EXPECT_EQ(to->Selection().Start(), 15);

    // Another program's text replaces ours: it pastes plain, lines as paragraphs.
    desktop.SetText("from\r\noutside\x07");
    target.Paste();
    EXPECT_EQ(to->Content().Text(), "plain bold\r次の段落from\routside\r");

    // Cut is one step; undo brings the text back.
    from->Selection().SetRange(0, 6);
    source.Cut();
    EXPECT_EQ(from->Content().Text(), "bold\r次の段落\r");
    EXPECT_EQ(desktop.Text(), "plain ");
    source.Undo();
    EXPECT_EQ(from->Content().Text(), "plain bold\r次の段落\r");
}

TEST(DocumentEditorTest, HistoryForgetsOldestStepsBeyondItsLimits) {
    auto doc = word::test::MakeDocument(word::test::P("text"));
    UndoStack stack(doc, {.maxSteps = 5, .maxBytes = 1u << 30});
    for (int i = 0; i < 8; ++i) stack.Record([&] { doc->Content().InsertAfter("x"); });
    EXPECT_EQ(stack.Steps(), 5u);
    // Parts no step changed are held once, however many steps there are.
    const auto settings = doc->Package().PartBytes(*doc->Package().MainRelatedPart(docx::reltype::styles)).size();
    EXPECT_LT(stack.Bytes(), 6 * doc->Package().PartBytes("word/document.xml").size() + 2 * settings +
                                 doc->Snapshot().BytesNotIn(nullptr));
    while (stack.CanUndo()) stack.Undo();
    EXPECT_EQ(doc->Content().Text(), "textxxx\r");
}

}  // namespace
}  // namespace paperloom::desk::edit
