// Hidden property text in table cells, read and written the way the add-ins do it:
// text retrieval with and without hidden text, find by hidden formatting, insert and hide.

#include <gtest/gtest.h>

#include "WordTestSupport.h"

namespace paperloom::word {
namespace {

using test::HiddenRun;
using test::MakeDocument;
using test::TextRun;
using test::TableXml;

std::string FullText(const Range& range) {
    auto dup = range.Duplicate();
    dup.TextRetrievalMode().SetIncludeHiddenText(true);
    return dup.Text();
}

// The hidden run at the start of a range, followed across paragraph marks.
std::optional<Range> FindHiddenRun(const Range& range) {
    auto result = range.Duplicate();
    result.Find().ClearFormatting();
    result.Find().Font().SetHidden(true);
    result.TextRetrievalMode().SetIncludeHiddenText(true);
    if (!result.Find().Execute()) return std::nullopt;
    const long start = result.Start();
    while (!result.Text().empty() && result.Text().back() == '\r') {
        if (!result.Find().Execute()) break;
    }
    result.SetStart(start);
    return result;
}

TEST(HiddenText, CellHoldingOnlyPropertyText) {
    auto doc = MakeDocument(TableXml({{HiddenRun(R"(DataSource="x", FieldType="1")"), TextRun("v")}}) + "<w:p/>");
    auto cell = doc->Tables().Item(1).Cell(1, 1).Range();
    EXPECT_EQ(cell.Text(), "\r\a");
    EXPECT_EQ(FullText(cell), "DataSource=\"x\", FieldType=\"1\"\r\a");
    EXPECT_EQ(cell.Font().Hidden(), wdUndefined);  // the cell mark is not hidden
    auto found = FindHiddenRun(cell);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->Start(), cell.Start());
    EXPECT_EQ(FullText(*found), "DataSource=\"x\", FieldType=\"1\"");
    EXPECT_EQ(found->Font().Hidden(), wdTrue);
    // With the view showing hidden text the ordinary text includes it.
    doc->Windows().Item(1).View().SetShowHiddenText(true);
    EXPECT_EQ(cell.Text(), FullText(cell));
}

TEST(HiddenText, PropertyTextFollowedByVisibleCaption) {
    auto doc = MakeDocument(TableXml({{HiddenRun(R"(DataField="name")") + TextRun("Name")}}) + "<w:p/>");
    auto cell = doc->Tables().Item(1).Cell(1, 1).Range();
    EXPECT_EQ(cell.Text(), "Name\r\a");
    EXPECT_EQ(FullText(cell), "DataField=\"name\"Name\r\a");
    // The visible run is found by searching for text that is not hidden.
    auto visible = cell.Duplicate();
    visible.Find().ClearFormatting();
    visible.Find().Font().SetHidden(false);
    ASSERT_TRUE(visible.Find().Execute());
    EXPECT_EQ(visible.Text(), "Name\r\a");
    // Replacing the property text keeps it hidden and leaves the caption alone.
    auto props = FindHiddenRun(cell);
    ASSERT_TRUE(props);
    props->SetText(R"(DataField="code")");
    EXPECT_EQ(cell.Text(), "Name\r\a");
    EXPECT_EQ(FullText(cell), "DataField=\"code\"Name\r\a");
}

TEST(HiddenText, FindByHiddenFormattingAcrossParagraphMarks) {
    // Hidden text spanning two paragraphs of a cell (the first mark hidden too), then a caption.
    const std::string cell =
        HiddenRun(R"(A="1")") + "<w:pPr><w:rPr><w:vanish/></w:rPr></w:pPr></w:p><w:p>" + HiddenRun(R"(B="2")") + TextRun("Cap");
    auto doc = MakeDocument(TableXml({{cell}}) + "<w:p/>");
    // The paragraph properties must come first: move them there for this hand-written cell.
    for (auto p : doc->State()->Main().Root().select_nodes(".//w:p[w:pPr]")) {
        auto node = p.node();
        node.prepend_move(node.child("w:pPr"));
    }
    auto range = doc->Tables().Item(1).Cell(1, 1).Range();
    EXPECT_EQ(FullText(range), "A=\"1\"\rB=\"2\"Cap\r\a");
    auto step = range.Duplicate();
    step.Find().ClearFormatting();
    step.Find().Font().SetHidden(true);
    ASSERT_TRUE(step.Find().Execute());
    EXPECT_EQ(FullText(step), "A=\"1\"\r");  // a found stretch ends at a paragraph mark
    ASSERT_TRUE(step.Find().Execute());
    EXPECT_EQ(FullText(step), "B=\"2\"");
    EXPECT_FALSE(step.Find().Execute());  // nothing hidden after it within the cell
    auto whole = FindHiddenRun(range);
    ASSERT_TRUE(whole);
    EXPECT_EQ(FullText(*whole), "A=\"1\"\rB=\"2\"");
}

TEST(HiddenText, InsertHiddenIntoEmptyCellThenAppendVisible) {
    auto doc = MakeDocument(TableXml({{"", ""}}) + "<w:p/>");
    auto cell = doc->Tables().Item(1).Cell(1, 1).Range();
    // Insert at the start and hide what was inserted.
    const std::string props = R"(FieldType="1")";
    auto at = cell.Duplicate();
    at.Collapse(wdCollapseStart);
    at.InsertBefore(props);
    at.SetEnd(at.Start() + static_cast<long>(props.size()));
    at.Font().SetHidden(true);
    EXPECT_EQ(cell.Text(), "\r\a");
    EXPECT_EQ(FullText(cell), props + "\r\a");
    // Append visible text at the end of the content, before the cell mark.
    auto last = cell.Duplicate();
    last.SetStart(last.End() - 1);
    ASSERT_EQ(last.Text(), "\r\a");
    last.Collapse(wdCollapseStart);
    const long p = last.End();
    cell.InsertAfter("Value");
    cell.SetStart(p);
    cell.Font().SetHidden(false);
    auto whole = doc->Tables().Item(1).Cell(1, 1).Range();
    EXPECT_EQ(whole.Text(), "Value\r\a");
    EXPECT_EQ(FullText(whole), props + "Value\r\a");
    // The neighbouring cell is untouched.
    EXPECT_EQ(doc->Tables().Item(1).Cell(1, 2).Range().Text(), "\r\a");
}

TEST(HiddenText, RemovingHiddenRunsFromACopy) {
    auto doc = MakeDocument("<w:p>" + HiddenRun("h1") + TextRun("keep") + HiddenRun("h2") + "</w:p>" + test::P("more"));
    auto range = doc->Content();
    range.Find().ClearFormatting();
    range.Find().Font().SetHidden(true);
    int deleted = 0;
    while (range.Find().Execute()) {
        if (range.Text().empty() || FullText(range)[0] != '\r') {
            range.Delete();
            ++deleted;
        }
    }
    EXPECT_EQ(deleted, 2);
    EXPECT_EQ(FullText(doc->Content()), "keep\rmore\r");
}

TEST(HiddenText, HiddenByCharacterStyle) {
    auto doc = MakeDocument("<w:p><w:r><w:rPr><w:rStyle w:val=\"Secret\"/></w:rPr><w:t>s</w:t></w:r>" + TextRun("v") + "</w:p>");
    auto& package = doc->Package();
    const auto stylesPart = *package.MainRelatedPart(docx::reltype::styles);
    auto style = package.Xml(stylesPart).child("w:styles").append_child("w:style");
    style.append_attribute("w:type") = "character";
    style.append_attribute("w:styleId") = "Secret";
    style.append_child("w:rPr").append_child("w:vanish");
    EXPECT_EQ(doc->Content().Text(), "v\r");
    // Clearing the flag on styled text overrides the style.
    doc->Range(0, 1).Font().SetHidden(false);
    EXPECT_EQ(doc->Content().Text(), "sv\r");
}

}  // namespace
}  // namespace paperloom::word
