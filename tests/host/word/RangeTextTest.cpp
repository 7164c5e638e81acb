// Positions, text and the way ranges follow edits.

#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "WordTestSupport.h"
#include "host/HostError.h"
#include "host/word/Document.h"
#include "host/word/detail/WordXml.h"

namespace paperloom::word {
namespace {

using test::MakeDocument;
using test::P;
using test::TextRun;

TEST(RangeText, PositionsCountUtf16UnitsAndMarks) {
    // "日本" is two positions, the emoji (outside the BMP) two, each paragraph mark one.
    auto doc = MakeDocument(P("日本") + P("a\xF0\x9F\x98\x80") + test::TableXml({{"<w:r><w:t>x</w:t></w:r>", ""}}) + "<w:p/>");
    auto content = doc->Content();
    // 2 + 1, 3 + 1, cell x + mark, empty cell mark, row mark, final paragraph mark.
    EXPECT_EQ(content.StoryLength(), 3 + 4 + 2 + 1 + 1 + 1);
    EXPECT_EQ(content.Text(), "日本\ra\xF0\x9F\x98\x80\rx\r\a\r\a\r\a\r");
    EXPECT_EQ(doc->Range(0, 2).Text(), "日本");
    EXPECT_EQ(doc->Range(3, 6).Text(), "a\xF0\x9F\x98\x80");
    EXPECT_EQ(doc->Tables().Item(1).Cell(1, 1).Range().Text(), "x\r\a");
}

TEST(RangeText, FieldsShowTheirResultUnlessCodesAreAsked) {
    auto doc = MakeDocument(
        "<w:p><w:r><w:t>A</w:t></w:r><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
        "<w:r><w:instrText> QUOTE \"x\" </w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
        "<w:r><w:t>x</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r><w:r><w:t>B</w:t></w:r></w:p>"
        "<w:p><w:fldSimple w:instr=\" PAGE \"><w:r><w:t>1</w:t></w:r></w:fldSimple></w:p>");
    auto content = doc->Content();
    EXPECT_EQ(content.Text(), "AxB\r1\r");
    content.TextRetrievalMode().SetIncludeFieldCodes(true);
    EXPECT_EQ(content.Text(), "A\x13 QUOTE \"x\" \x14x\x15" "B\r\x13 PAGE \x14" "1\x15\r");
    // begin + 11 code + separator + result + end around A and B; the simple field the same.
    EXPECT_EQ(content.StoryLength(), 1 + 1 + 11 + 1 + 1 + 1 + 1 + 1 + (1 + 6 + 1 + 1 + 1) + 1);
}

TEST(RangeText, HiddenTextIsLeftOutUnlessAskedOrShown) {
    auto doc = MakeDocument("<w:p>" + test::HiddenRun("secret") + test::TextRun("shown") + "</w:p>");
    auto content = doc->Content();
    EXPECT_EQ(content.Text(), "shown\r");
    auto full = content.Duplicate();
    full.TextRetrievalMode().SetIncludeHiddenText(true);
    EXPECT_EQ(full.Text(), "secretshown\r");
    doc->Windows().Item(1).View().SetShowHiddenText(true);
    EXPECT_EQ(content.Text(), "secretshown\r");
}

TEST(RangeText, SetTextReplacesAndSplitsParagraphs) {
    auto doc = MakeDocument(P("hello world"));
    auto range = doc->Range(6, 11);
    range.SetText("there\rnew line");
    EXPECT_EQ(doc->Content().Text(), "hello there\rnew line\r");
    EXPECT_EQ(range.Start(), 6);
    EXPECT_EQ(range.End(), 20);
    EXPECT_EQ(range.Text(), "there\rnew line");
    // The new paragraph is a real paragraph of the body.
    EXPECT_EQ(doc->State()->Main().Root().select_nodes("w:p").size(), 2u);
}

TEST(RangeText, RangesFollowEditsElsewhere) {
    auto doc = MakeDocument(P("abcdef"));
    auto before = doc->Range(0, 1);
    auto inside = doc->Range(1, 5);
    auto after = doc->Range(5, 6);
    doc->Range(3, 3).InsertBefore("XY");
    EXPECT_EQ(before.Start(), 0);
    EXPECT_EQ(before.End(), 1);
    EXPECT_EQ(inside.Text(), "bcXYde");
    EXPECT_EQ(after.Start(), 7);
    EXPECT_EQ(after.Text(), "f");
    doc->Range(1, 4).Delete();
    EXPECT_EQ(doc->Content().Text(), "aYdef\r");
    EXPECT_EQ(inside.Start(), 1);
    EXPECT_EQ(inside.Text(), "Yde");
    EXPECT_EQ(after.Text(), "f");
}

TEST(RangeText, InsertBeforeAndAfterGrowTheRange) {
    auto doc = MakeDocument(P("mid"));
    auto range = doc->Range(0, 3);
    range.InsertBefore("<");
    range.InsertAfter(">");
    EXPECT_EQ(range.Text(), "<mid>");
    EXPECT_EQ(doc->Content().Text(), "<mid>\r");
    // At the end of the story text lands before the last paragraph mark.
    auto end = doc->Content();
    end.Collapse(wdCollapseEnd);
    end.InsertAfter("!");
    EXPECT_EQ(doc->Content().Text(), "<mid>!\r");
}

TEST(RangeText, NewTextTakesTheFormattingBeforeIt) {
    auto doc = MakeDocument("<w:p><w:r><w:rPr><w:b/></w:rPr><w:t>bold</w:t></w:r></w:p>");
    doc->Range(4, 4).InsertBefore("er");
    auto runs = doc->State()->Main().Root().select_nodes(".//w:r[w:rPr/w:b]");
    std::string bold;
    for (auto r : runs) bold += r.node().child("w:t").text().get();
    EXPECT_EQ(bold, "bolder");
}

TEST(RangeText, DeletingParagraphMarksJoinsParagraphs) {
    auto doc = MakeDocument(P("one") + P("two") + P("three"));
    doc->Range(2, 6).Delete();  // "e\rtw"
    EXPECT_EQ(doc->Content().Text(), "ono\rthree\r");
    // Deleting everything keeps the story's last paragraph mark.
    doc->Content().Delete();
    EXPECT_EQ(doc->Content().Text(), "\r");
    EXPECT_EQ(doc->Content().StoryLength(), 1);
}

TEST(RangeText, DeletingAcrossATableEmptiesCellsButKeepsTheirMarks) {
    auto doc = MakeDocument(test::TableXml({{test::TextRun("ab"), test::TextRun("cd")}}) + P("z"));
    doc->Range(1, 4).Delete();  // "b", cell mark, "c"
    EXPECT_EQ(doc->Content().Text(), "a\r\ad\r\a\r\az\r");
    // A range over the whole table removes it.
    auto table = doc->Tables().Item(1).Range();
    table.Delete();
    EXPECT_EQ(doc->Content().Text(), "z\r");
    EXPECT_EQ(doc->Tables().Count(), 0);
}

TEST(RangeText, BreaksAndCollapse) {
    auto doc = MakeDocument(P("ab"));
    auto range = doc->Range(1, 1);
    range.InsertBreak();
    EXPECT_EQ(doc->Content().Text(), "a\fb\r");
    EXPECT_EQ(range.Text(), "\f");
    range.Collapse(wdCollapseEnd);
    range.InsertBreak(wdSectionBreakNextPage);
    EXPECT_EQ(doc->Content().Text(), "a\f\fb\r");
    EXPECT_EQ(doc->Sections().Count(), 2);
    EXPECT_THROW(range.InsertBreak(99), host::HostError);
}

TEST(RangeText, InRangeIsEqualAndCharacters) {
    auto doc = MakeDocument(P("abc"));
    auto whole = doc->Content();
    auto part = doc->Range(1, 2);
    EXPECT_TRUE(part.InRange(whole));
    EXPECT_FALSE(whole.InRange(part));
    EXPECT_TRUE(part.IsEqual(doc->Range(1, 2)));
    EXPECT_FALSE(part.IsEqual(doc->Range(1, 3)));
    EXPECT_EQ(whole.Characters().Count(), 4);
    EXPECT_EQ(whole.Characters().Item(2).Text(), "b");
    EXPECT_EQ(whole.Characters().Last().Text(), "\r");
    EXPECT_THROW(whole.Characters().Item(5), host::HostError);
    EXPECT_THROW(doc->Range(0, 99), host::HostError);
}

TEST(RangeText, AppendingAtTheEndKeepsEarlierContentAndIndex) {
    auto doc = MakeDocument(P("start"));
    for (int i = 0; i < 200; ++i) {
        auto end = doc->Content();
        end.Collapse(wdCollapseEnd);
        end.InsertAfter("line " + std::to_string(i) + "\r");
    }
    auto content = doc->Content();
    const auto text = content.Text();
    EXPECT_EQ(text.substr(0, 14), "startline 0\rli");
    EXPECT_EQ(doc->Range(5, 11).Text(), "line 0");
    const auto last = text.rfind("line 199");
    ASSERT_NE(last, std::string::npos);
    EXPECT_EQ(doc->Range(static_cast<long>(last), static_cast<long>(last) + 8).Text(), "line 199");
}

}  // namespace
}  // namespace paperloom::word

namespace paperloom::word {
namespace {

// Edits in the middle leave the rest of the story unmeasured; the story's end must still hold.
TEST(RangeText, EndOfStoryHoldsAfterEditsInTheMiddle) {
    auto doc = MakeDocument(P("one") + P("two") + test::TableXml({{test::TextRun("c")}}) + P("three"));
    auto two = doc->Range(4, 7);
    two.SetText("2");
    // A range reaching past the last paragraph mark deletes up to it, never the mark.
    auto tail = doc->Range(doc->Content().End() - 6, doc->Content().End());
    two.SetText("TWO");
    EXPECT_EQ(tail.Text(), "three\r");
    tail.Delete();
    EXPECT_EQ(doc->Content().Text(), "one\rTWO\rc\r\a\r\a\r");
    // Text given for the position past the end lands before the last mark.
    two.SetText("");
    const long end = doc->Content().End();
    doc->Range(end, end).SetText("x");
    EXPECT_EQ(doc->Content().Text(), "one\r\rc\r\a\r\ax\r");
    two.SetText("y");
    doc->Range(0, doc->Content().End()).Delete();
    EXPECT_EQ(doc->Content().Text(), "\r");
}

TEST(RangeText, DeeplyNestedContentIsAnErrorNotACrash) {
    const auto nestedParagraph = [](int depth) {
        std::string nested;
        for (int i = 0; i < depth; ++i) nested += "<w:hyperlink>";
        nested += test::TextRun("deep");
        for (int i = 0; i < depth; ++i) nested += "</w:hyperlink>";
        return "<w:p>" + nested + "</w:p>";
    };
    // Deeper than the package takes: refused when the part is read.
    EXPECT_THROW(test::MakeDocument(test::P("ok") + nestedParagraph(2000)), host::HostError);
    // Taken by the package, but deeper than the text walk goes.
    auto doc = test::MakeDocument(test::P("ok") + nestedParagraph(300));
    EXPECT_THROW(doc->Content().Text(), host::HostError);
    EXPECT_THROW(doc->Tables().Count(), host::HostError);
}

TEST(RangeText, Utf16LengthCountsEveryByteMixOfLongText) {
    // Long text is counted eight bytes at a time: every sequence length at every offset of a
    // chunk, and chunk ends that cut a sequence, must give what a byte-by-byte count gives.
    const std::vector<std::string> pieces = {"a", "\xC3\xA9", "\xE6\x97\xA5", "\xF0\x9F\x98\x80"};
    const std::vector<long> units = {1, 1, 1, 2};
    for (std::size_t lead = 0; lead < 9; ++lead) {
        std::string text(lead, 'x');
        long expected = static_cast<long>(lead);
        for (int i = 0; i < 40; ++i) {
            const auto k = static_cast<std::size_t>((i * 7 + static_cast<int>(lead)) % 4);
            text += pieces[k];
            expected += units[k];
            EXPECT_EQ(xml::Utf16Length(text), expected) << "lead " << lead << ", piece " << i;
        }
    }
}

TEST(RangeText, SelectionReplacesWhatIsSelected) {
    auto source = test::MakeDocument("<w:p><w:r><w:rPr><w:i/></w:rPr><w:t>italic</w:t></w:r></w:p>");
    auto doc = test::MakeDocument(test::P("one two three"));
    auto selection = doc->Selection();
    selection.SetRange(4, 7);
    selection.SetFormattedText(source->Range(0, 6));
    EXPECT_EQ(doc->Content().Text(), "one italic three\r");
    EXPECT_EQ(selection.Text(), "italic");
    EXPECT_TRUE(doc->State()->Main().Root().select_node(".//w:r[w:rPr/w:i]/w:t[.='italic']"));
    selection.SetText("2");
    EXPECT_EQ(doc->Content().Text(), "one 2 three\r");
}

}  // namespace
}  // namespace paperloom::word

namespace paperloom::word {
namespace {

TEST(RangeText, HiddenFlagOverParagraphsAndMixedText) {
    auto doc = test::MakeDocument(test::P("one") + test::P("two") + test::P("three"));
    auto middle = doc->Range(4, 8);  // "two" and its mark
    EXPECT_EQ(middle.Font().Hidden(), wdFalse);
    middle.Font().SetHidden(true);
    EXPECT_EQ(middle.Font().Hidden(), wdTrue);
    EXPECT_EQ(doc->Content().Font().Hidden(), wdUndefined);
    EXPECT_EQ(doc->Content().Text(), "one\rthree\r");
    // Part of a run: the run is split and only the part is hidden.
    doc->Range(1, 2).Font().SetHidden(true);
    EXPECT_EQ(doc->Content().Text(), "oe\rthree\r");
    auto all = doc->Content();
    all.TextRetrievalMode().SetIncludeHiddenText(true);
    EXPECT_EQ(all.Text(), "one\rtwo\rthree\r");
    doc->Content().Font().SetHidden(false);
    EXPECT_EQ(doc->Content().Text(), "one\rtwo\rthree\r");
}

TEST(RangeText, FindTextAcrossRuns) {
    auto doc = test::MakeDocument("<w:p>" + test::TextRun("Tot") + test::TextRun("al: 10") + "</w:p>" + test::P("Total: 20"));
    auto range = doc->Content();
    range.Find().SetText("Total");
    ASSERT_TRUE(range.Find().Execute());
    EXPECT_EQ(range.Start(), 0);
    EXPECT_EQ(range.Text(), "Total");
    ASSERT_TRUE(range.Find().Execute());
    EXPECT_EQ(range.Start(), 10);
    EXPECT_FALSE(range.Find().Execute());
}

std::string TableMarkup(const std::shared_ptr<Document>& doc) {
    std::ostringstream out;
    doc->State()->Main().Root().select_node(".//w:tbl").node().print(out, "", pugi::format_raw);
    return out.str();
}

// What writing `texts` one after another over the first `length` characters of a table's
// first cell (holding `content`) leaves: the table's markup, the story's text, and what the
// ranges and cells after the write read.
std::vector<std::string> WrittenOver(const std::string& content, long length, const std::vector<std::string>& texts) {
    auto doc = MakeDocument(test::TableXml({{content, TextRun("keep")}, {TextRun("r2"), TextRun("c2")}}) + P("tail"));
    const long tailStart = doc->Content().End() - 5;
    auto tail = doc->Range(tailStart, tailStart + 4);
    auto table = doc->Tables().Item(1);
    std::vector<std::string> seen;
    for (const auto& text : texts) {
        const long start = table.Cell(1, 1).Range().Start();
        auto range = doc->Range(start, start + length);
        range.SetText(text);
        length = range.End() - range.Start();
        seen.push_back(TableMarkup(doc));
        seen.push_back(doc->Content().Text());
        seen.push_back(tail.Text() + "|" + table.Cell(1, 2).Range().Text() + "|" + table.Rows().Item(2).Range().Text());
    }
    return seen;
}

// Text written over a paragraph's first run takes the run's place when the run is as an
// insert would write it, and plain text at a paragraph's end is appended as a run of its own:
// the tree, the positions after it and the remembered cell and row lengths must come out as
// deleting and inserting leaves them. A run with an attribute, and text carrying a cell mark
// (which is dropped), take the long way.
TEST(RangeText, TextWrittenInPlaceLeavesWhatTheLongWayLeaves) {
    const std::string old = "<w:t xml:space=\"preserve\">old</w:t>";
    const auto run = [&](const std::string& properties) { return "<w:r>" + properties + old + "</w:r>"; };
    const std::vector<std::string> contents{
        run("<w:rPr><w:b/></w:rPr>"),
        run(""),
        "<w:pPr><w:rPr><w:i/></w:rPr></w:pPr>" + run(""),  // the new text takes the mark's look
        run("<w:rPr><w:vanish/></w:rPr>") + TextRun("shown"),
        run("") + "<w:r><w:rPr><w:b/></w:rPr><w:t>next</w:t></w:r>",  // and here the next run's
        // New text goes before the bookmark that starts where it goes.
        "<w:bookmarkStart w:id=\"1\" w:name=\"m\"/>" + run("") + TextRun("next") + "<w:bookmarkEnd w:id=\"1\"/>",
        run("<w:rPr><w:b/><w:rPrChange w:id=\"2\" w:author=\"a\"><w:rPr/></w:rPrChange></w:rPr>"),
        run("") + "<w:r><w:tab/></w:r>",
    };
    const std::vector<std::string> texts{"新しい値", "2", "third"};
    for (const auto& content : contents) {
        std::string longWay = content;
        longWay.replace(longWay.find("<w:r>"), 5, "<w:r w:rsidR=\"00A1\">");
        EXPECT_EQ(WrittenOver(content, 3, texts), WrittenOver(longWay, 3, texts)) << content;
    }
    // Into an empty paragraph, whose mark's look (without its revision marks) the text takes.
    const std::string empty = "<w:pPr><w:rPr><w:b/><w:ins w:id=\"3\" w:author=\"a\"/></w:rPr></w:pPr>";
    EXPECT_EQ(WrittenOver(empty, 0, {"new", "2"}), WrittenOver(empty, 0, {"n\aew", "2"}));
    EXPECT_EQ(WrittenOver("", 0, {"new", "2"}), WrittenOver("", 0, {"n\aew", "2"}));
}

}  // namespace
}  // namespace paperloom::word
