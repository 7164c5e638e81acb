// Updating fields: QUOTE with switches, formulas over real table cells and bookmarked tables,
// nested fields inside-out, visible error results, fields left as they are, and formatting.

#include <gtest/gtest.h>

#include "FieldTestSupport.h"
#include "host/word/fields/Field.h"

namespace paperloom::word {
namespace {

using test::FieldParagraph;
using test::FieldRuns;
using test::MakeDocument;
using test::P;
using test::TableXml;
using test::TextRun;

std::string ResultOf(const std::shared_ptr<Document>& doc, long index) {
    return FieldsOf(*doc).Item(index).Result().Text();
}

TEST(FieldUpdate, QuoteWithSwitches) {
    auto doc = MakeDocument(FieldParagraph("quote \"hello world\" \\* Upper", "") +
                            FieldParagraph("QUOTE 1234.5 \\# \"#,##0.00\"", "x") +
                            FieldParagraph("quote \"2024/03/05\" \\@ \"yyyy年M月d日\"", "x") +
                            FieldParagraph("quote plain words", "x") + FieldParagraph("quote \"\"", "gone"));
    EXPECT_EQ(FieldsOf(*doc).Update(), 0);
    EXPECT_EQ(ResultOf(doc, 1), "HELLO WORLD");
    EXPECT_EQ(ResultOf(doc, 2), "1,234.50");
    EXPECT_EQ(ResultOf(doc, 3), "2024年3月5日");
    EXPECT_EQ(ResultOf(doc, 4), "plain words");
    EXPECT_EQ(ResultOf(doc, 5), "");
    EXPECT_EQ(doc->Content().Text(), "HELLO WORLD\r1,234.50\r2024年3月5日\rplain words\r\r");
}

// A detail table: a heading row, amounts in column B from row 2, totals in the last row.
std::string AmountTable(const std::string& lastRowB) {
    return TableXml({{TextRun("Item"), TextRun("Amount"), TextRun("Tax")},
                     {TextRun("a"), TextRun("100"), TextRun("10")},
                     {TextRun("b"), TextRun("200"), TextRun("20")},
                     {TextRun("c"), TextRun("300"), TextRun("30")},
                     {TextRun("d"), TextRun("400"), TextRun("40")},
                     {TextRun("e"), TextRun("500"), TextRun("50")},
                     {TextRun("Total"), lastRowB, ""}});
}

TEST(FieldUpdate, FormulasOverTheCellsOfTheirOwnTable) {
    auto doc = MakeDocument(AmountTable(FieldRuns("=SUM(b3:b7)", "0")) + P(""));
    auto fields = FieldsOf(*doc);
    EXPECT_EQ(fields.Update(), 0);
    EXPECT_EQ(ResultOf(doc, 1), "1400");

    auto field = fields.Item(1);
    field.Code().SetText("=SUM(ABOVE) \\# \"#,##0\"");
    EXPECT_TRUE(field.Update());
    EXPECT_EQ(field.Result().Text(), "1,500");
    field.Code().SetText("=AVERAGE(B2:B6)+MAX(c2:c6)");
    field.Update();
    EXPECT_EQ(field.Result().Text(), "350");

    // Editing a cell changes what the next update computes.
    doc->Tables().Item(1).Cell(2, 2).Range().SetText("1100");
    field.Code().SetText("=SUM(ABOVE)");
    field.Update();
    EXPECT_EQ(field.Result().Text(), "2500");

    // Rows coming and going move what a reference and ABOVE read: the table's rows are read
    // anew, not as they were when first counted.
    auto rows = doc->Tables().Item(1).Rows();
    rows.Add(2);  // an empty row before "a"
    doc->Tables().Item(1).Cell(2, 2).Range().SetText("7");
    field.Update();
    EXPECT_EQ(field.Result().Text(), "2507");
    field.Code().SetText("=B2+B3");
    field.Update();
    EXPECT_EQ(field.Result().Text(), "1107");
    rows.Item(3).Delete();  // "a" with its 1100
    field.Update();
    EXPECT_EQ(field.Result().Text(), "207");
    field.Code().SetText("=SUM(ABOVE)");
    field.Update();
    EXPECT_EQ(field.Result().Text(), "1407");
}

TEST(FieldUpdate, FormulasOverABookmarkedTableFromOutside) {
    auto doc = MakeDocument(AmountTable("") + FieldParagraph("=SUM( Detail1 c:c )", "0") +
                            FieldParagraph("=SUM(Detail1 b2:b3) \\# \"#,##0.0\"", "0") +
                            FieldParagraph("=SUM(b2:b3)", "0") + FieldParagraph("=SUM(Nowhere c:c)", "0"));
    doc->Bookmarks().Add("Detail1", doc->Tables().Item(1).Range());
    auto fields = FieldsOf(*doc);
    ASSERT_EQ(fields.Count(), 4);
    EXPECT_EQ(fields.Update(), 3);  // the first failing field
    EXPECT_EQ(ResultOf(doc, 1), "150");
    EXPECT_EQ(ResultOf(doc, 2), "300.0");
    // Cell references outside a table and unknown bookmarks show errors, and the rest computes.
    EXPECT_EQ(ResultOf(doc, 3).substr(0, 1), "!");
    EXPECT_EQ(ResultOf(doc, 4).substr(0, 1), "!");
}

TEST(FieldUpdate, BookmarkValuesInFormulas) {
    auto doc = MakeDocument("<w:p><w:bookmarkStart w:id=\"0\" w:name=\"Rate\"/>" + TextRun("0.25") +
                            "<w:bookmarkEnd w:id=\"0\"/></w:p>" + FieldParagraph("=Rate*400", "0"));
    EXPECT_EQ(FieldsOf(*doc).Update(), 0);
    EXPECT_EQ(ResultOf(doc, 1), "100");
}

TEST(FieldUpdate, NestedFieldsAreComputedInsideOut) {
    // QUOTE "total { = 2 * { QUOTE 21 } }" -> total 42
    const std::string inner = FieldRuns("QUOTE 21", "old");
    const std::string middle = "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>= 2 * </w:instrText></w:r>" +
                               inner + "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>?</w:t></w:r>"
                               "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
    auto doc = MakeDocument("<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>QUOTE \"total "
                            "</w:instrText></w:r>" + middle +
                            "<w:r><w:instrText>\"</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                            "<w:r><w:t>stale</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>");
    auto fields = FieldsOf(*doc);
    ASSERT_EQ(fields.Count(), 3);
    EXPECT_EQ(fields.Update(), 0);
    EXPECT_EQ(fields.Item(3).Result().Text(), "21");
    EXPECT_EQ(fields.Item(2).Result().Text(), "42");
    EXPECT_EQ(fields.Item(1).Result().Text(), "total 42");
    // The codes themselves are unchanged.
    EXPECT_EQ(fields.Item(3).Code().Text(), "QUOTE 21");
}

TEST(FieldUpdate, OtherFieldsKeepTheirResult) {
    auto doc = MakeDocument(FieldParagraph("PAGE", "7") + FieldParagraph("MERGEFIELD Name", "«Name»") +
                            FieldParagraph("DATE \\@ \"yyyy\"", "1999"));
    EXPECT_EQ(FieldsOf(*doc).Update(), 0);
    EXPECT_EQ(doc->Content().Text(), "7\r«Name»\r1999\r");
    EXPECT_TRUE(doc->Saved());
}

TEST(FieldUpdate, ErrorsShowInTheDocumentAndNeverStopTheCollection) {
    auto doc = MakeDocument(FieldParagraph("=1/0", "1") + FieldParagraph("= 2 +", "1") +
                            FieldParagraph("quote x \\* Bogus", "1") + FieldParagraph("INCLUDEPICTURE", "1") +
                            FieldParagraph("=3", "1") + "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                            "<w:r><w:instrText>=4</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>");
    auto fields = FieldsOf(*doc);
    EXPECT_EQ(fields.Update(), 1);
    for (long i = 1; i <= 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(ResultOf(doc, i).substr(0, 1), "!");
        EXPECT_FALSE(fields.Item(i).Update());
    }
    EXPECT_EQ(ResultOf(doc, 5), "3");
    // A field without a result gets one.
    EXPECT_EQ(ResultOf(doc, 6), "4");
    EXPECT_FALSE(doc->Saved());
}

TEST(FieldUpdate, ResultFormattingFollowsTheCodeOrWithMergeFormatTheOldResult) {
    const std::string bold = "<w:rPr><w:b/></w:rPr>";
    const std::string italic = "<w:rPr><w:i/></w:rPr>";
    auto doc = MakeDocument("<w:p>" + FieldRuns("QUOTE plain", "old", italic, bold) + "</w:p><w:p>" +
                            FieldRuns("QUOTE kept \\* MERGEFORMAT", "old", italic, bold) + "</w:p>");
    EXPECT_EQ(FieldsOf(*doc).Update(), 0);
    const auto root = doc->State()->Main().Root();
    auto resultRun = [&](const char* text) {
        for (auto t : root.select_nodes(".//w:t"))
            if (std::string_view(t.node().text().get()) == text) return t.node().parent();
        return pugi::xml_node();
    };
    const auto plain = resultRun("plain");
    ASSERT_TRUE(plain);
    EXPECT_TRUE(plain.child("w:rPr").child("w:i"));
    EXPECT_FALSE(plain.child("w:rPr").child("w:b"));
    const auto kept = resultRun("kept");
    ASSERT_TRUE(kept);
    EXPECT_TRUE(kept.child("w:rPr").child("w:b"));
    EXPECT_FALSE(kept.child("w:rPr").child("w:i"));
}

TEST(FieldUpdate, MultiParagraphResultIsReplacedWhole) {
    auto doc = MakeDocument("<w:p>" + TextRun("x") + "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                            "<w:r><w:instrText>QUOTE one</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                            "<w:r><w:t>line1</w:t></w:r></w:p><w:p><w:r><w:t>line2</w:t></w:r>"
                            "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>" + TextRun("y") + "</w:p>");
    EXPECT_EQ(FieldsOf(*doc).Update(), 0);
    EXPECT_EQ(doc->Content().Text(), "xoney\r");
}

}  // namespace
}  // namespace paperloom::word

namespace paperloom::word {
namespace {

// Hostile nesting: a field inside the code of a field, forty deep (past the depth the update follows).
TEST(FieldUpdate, DeeplyNestedFieldsDoNotExhaustTheStack) {
    std::string xml = "<w:p>";
    const int depth = 40;
    for (int i = 0; i < depth; ++i)
        xml += "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>QUOTE a</w:instrText></w:r>";
    for (int i = 0; i < depth; ++i)
        xml += "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:t>r</w:t></w:r>"
               "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
    auto doc = test::MakeDocument(xml + "</w:p>");
    auto fields = FieldsOf(*doc);
    EXPECT_EQ(fields.Count(), depth);
    EXPECT_NO_THROW(fields.Update());
    EXPECT_EQ(fields.Item(1).Result().Text().substr(0, 2), "aa");
}

}  // namespace
}  // namespace paperloom::word
