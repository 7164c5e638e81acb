// Tables: adding, rows that copy the last row's look, deleting rows, cell ranges, columns,
// and cells that merged cells hide.

#include <sstream>
#include <vector>

#include <gtest/gtest.h>

#include "WordTestSupport.h"
#include "host/word/CellText.h"
#include "host/HostError.h"
#include <filesystem>

namespace paperloom::word {
namespace {

using test::MakeDocument;
using test::P;
using test::TableXml;
using test::TextRun;

long ErrorNumber(const std::function<void()>& action) {
    try {
        action();
    } catch (const host::HostError& e) {
        return e.Number();
    }
    return 0;
}

TEST(Tables, AddOverARangeSplitsTheParagraph) {
    auto doc = MakeDocument(P("beforeafter"));
    auto at = doc->Range(6, 6);
    auto tail = doc->Range(6, 11);
    auto table = doc->Tables().Add(at, 2, 3);
    EXPECT_EQ(doc->Tables().Count(), 1);
    EXPECT_EQ(table.Rows().Count(), 2);
    EXPECT_EQ(table.Columns().Count(), 3);
    EXPECT_EQ(doc->Content().Text(), "before\r\r\a\r\a\r\a\r\a\r\a\r\a\r\a\r\aafter\r");
    EXPECT_EQ(tail.Text(), "after");  // the text after the table moved with it
    table.Cell(2, 3).Range().SetText("x");
    EXPECT_EQ(table.Cell(2, 3).Range().Text(), "x\r\a");
    EXPECT_EQ(table.Range().Text(), "\r\a\r\a\r\a\r\a\r\a\r\ax\r\a\r\a");
    EXPECT_EQ(ErrorNumber([&] { doc->Tables().Add(doc->Range(0, 0), 1, 0); }), 6028);
}

TEST(Tables, AddInABlankDocument) {
    // A blank document's only paragraph is empty, and its section properties sit in the body.
    auto doc = Document::Blank();
    auto table = doc->Tables().Add(doc->Range(0, 0), 2, 2);
    EXPECT_EQ(doc->Tables().Count(), 1);
    EXPECT_EQ(table.Rows().Count(), 2);
    EXPECT_EQ(doc->Content().Text(), "\r\a\r\a\r\a\r\a\r\a\r\a\r");

    auto typed = Document::Blank();
    typed->Content().SetText("head");
    auto end = typed->Content().End();
    auto second = typed->Tables().Add(typed->Range(end - 1, end - 1), 1, 3);
    second.Cell(1, 2).Range().SetText("mid");
    EXPECT_EQ(typed->Content().Text(), "head\r\r\amid\r\a\r\a\r\a\r");
    EXPECT_EQ(typed->Tables().Item(1).Cell(1, 2).Range().Text(), "mid\r\a");
}

TEST(Tables, RowsAddCopiesTheLastRowsLookWithoutItsText) {
    const std::string bold = "<w:r><w:rPr><w:b/></w:rPr><w:t>total</w:t></w:r>";
    const std::string shaded = "<w:pPr><w:jc w:val=\"right\"/></w:pPr>" + bold;
    auto doc = MakeDocument(TableXml({{TextRun("h1"), TextRun("h2")}, {shaded, TextRun("9")}}) + P("end"));
    auto table = doc->Tables().Item(1);
    auto end = doc->Range(doc->Content().End() - 4, doc->Content().End() - 1);
    ASSERT_EQ(end.Text(), "end");
    auto row = table.Rows().Add();
    EXPECT_EQ(row.Index(), 3);
    EXPECT_EQ(table.Rows().Count(), 3);
    EXPECT_EQ(row.Range().Text(), "\r\a\r\a\r\a");
    EXPECT_EQ(end.Text(), "end");
    // New text in the new row is bold and right-aligned like the row it copies.
    table.Cell(3, 1).Range().SetText("sum");
    auto cell = table.Node().select_nodes("w:tr")[2].node().child("w:tc");
    EXPECT_STREQ(cell.child("w:p").child("w:pPr").child("w:jc").attribute("w:val").value(), "right");
    EXPECT_TRUE(cell.select_node(".//w:r/w:rPr/w:b"));
    // Adding before a row inserts there.
    table.Cell(1, 1).Range().SetText("first");
    table.Rows().Add(1);
    EXPECT_EQ(table.Cell(2, 1).Range().Text(), "first\r\a");
    EXPECT_EQ(table.Rows().Count(), 4);
}

TEST(Tables, RowsDeleteAndTheLastRowTakesTheTable) {
    auto doc = MakeDocument(TableXml({{TextRun("a")}, {TextRun("b")}, {TextRun("c")}}) + P("z"));
    auto table = doc->Tables().Item(1);
    auto z = doc->Range(doc->Content().End() - 2, doc->Content().End() - 1);
    table.Rows().Item(2).Delete();
    EXPECT_EQ(doc->Content().Text(), "a\r\a\r\ac\r\a\r\az\r");
    EXPECT_EQ(z.Text(), "z");
    table.Rows().Item(1).Delete();
    table.Rows().Item(1).Delete();
    EXPECT_EQ(doc->Tables().Count(), 0);
    EXPECT_EQ(doc->Content().Text(), "z\r");
    EXPECT_EQ(z.Text(), "z");
    EXPECT_EQ(ErrorNumber([&] { table.Rows().Count(); }), 5825);
}

TEST(Tables, CellRangesAndMergedCells) {
    const std::string merged = "<w:tcPr><w:gridSpan w:val=\"2\"/></w:tcPr>";
    auto doc = MakeDocument(
        "<w:tbl><w:tblGrid><w:gridCol/><w:gridCol/></w:tblGrid>"
        "<w:tr><w:tc><w:tcPr><w:gridSpan w:val=\"2\"/></w:tcPr><w:p>" + TextRun("wide") + "</w:p></w:tc></w:tr>"
        "<w:tr><w:tc><w:tcPr><w:vMerge w:val=\"restart\"/></w:tcPr><w:p>" + TextRun("top") + "</w:p></w:tc>"
        "<w:tc><w:p>" + TextRun("r2") + "</w:p></w:tc></w:tr>"
        "<w:tr><w:tc><w:tcPr><w:vMerge/></w:tcPr><w:p/></w:tc><w:tc><w:p>" + TextRun("r3") + "</w:p></w:tc></w:tr>"
        "</w:tbl>" + P(""));
    auto table = doc->Tables().Item(1);
    EXPECT_EQ(table.Columns().Count(), 2);
    EXPECT_EQ(table.Cell(1, 1).Range().Text(), "wide\r\a");
    EXPECT_EQ(ErrorNumber([&] { table.Cell(1, 2); }), 5991);  // hidden by the wide cell
    EXPECT_EQ(ErrorNumber([&] { table.Cell(3, 1); }), 5991);  // hidden by the cell above
    EXPECT_EQ(ErrorNumber([&] { table.Cell(1, 3); }), 5941);
    EXPECT_EQ(ErrorNumber([&] { table.Cell(4, 1); }), 5941);
    EXPECT_EQ(table.Cell(3, 2).Range().Text(), "r3\r\a");
    // Cell ranges follow edits in earlier cells.
    auto r3 = table.Cell(3, 2).Range();
    table.Cell(1, 1).Range().SetText("much wider");
    EXPECT_EQ(r3.Text(), "r3\r\a");
}

TEST(Tables, CellRangesPastNestedTablesAndMarkersBetweenCells) {
    // A cell's place is measured from the cells before it: a nested table's rows and marks
    // count, a bookmark standing between cells does not.
    auto doc = MakeDocument(
        "<w:tbl><w:tblGrid><w:gridCol/><w:gridCol/><w:gridCol/></w:tblGrid><w:tr><w:trPr/><w:tc>" +
        TableXml({{TextRun("n1"), TextRun("n2")}}) + P("p") + "</w:tc>"
        "<w:bookmarkStart w:id=\"1\" w:name=\"between\"/><w:tc><w:p>" + TextRun("ab") + "</w:p></w:tc>"
        "<w:bookmarkEnd w:id=\"1\"/><w:tc><w:p/></w:tc></w:tr></w:tbl>" + P(""));
    auto table = doc->Tables().Item(1);
    auto expectCell = [&](long column, long start, long end, const std::string& text) {
        const auto range = table.Cell(1, column).Range();
        EXPECT_EQ(range.Start(), start) << "cell " << column;
        EXPECT_EQ(range.End(), end) << "cell " << column;
        EXPECT_EQ(range.Text(), text) << "cell " << column;
    };
    // n1 and n2 with their cell marks, the nested row's mark, then "p" and the cell's mark.
    expectCell(1, 0, 9, std::string("n1\r\an2\r\a\r\ap\r\a"));
    expectCell(2, 9, 12, "ab\r\a");
    expectCell(3, 12, 13, "\r\a");
    doc->Range(3, 5).SetText("longer");  // n2 in the nested table
    expectCell(2, 13, 16, "ab\r\a");
    table.Cell(1, 2).Range().SetText("x");
    expectCell(3, 15, 16, "\r\a");
}

TEST(Tables, RangeAndSelectionTables) {
    auto doc = MakeDocument(P("x") + TableXml({{TextRun("a"), TextRun("b")}}) + P("y") +
                            TableXml({{TextRun("c")}}) + P("z"));
    EXPECT_EQ(doc->Tables().Count(), 2);
    EXPECT_EQ(doc->Content().Tables().Count(), 2);
    EXPECT_EQ(doc->Range(0, 1).Tables().Count(), 0);
    auto inSecond = doc->Tables().Item(2).Cell(1, 1).Range();
    EXPECT_EQ(inSecond.Tables().Count(), 1);
    EXPECT_EQ(inSecond.Tables().Item(1).Cell(1, 1).Range().Text(), "c\r\a");
    auto selection = doc->Selection();
    selection.Select(doc->Tables().Item(1).Cell(1, 2).Range());
    EXPECT_EQ(selection.Tables().Count(), 1);
    EXPECT_EQ(selection.Cells().Item(1).ColumnIndex(), 2);
    EXPECT_EQ(selection.Cells().Item(1).RowIndex(), 1);
}

}  // namespace
}  // namespace paperloom::word

namespace paperloom::word {
namespace {

// Row lengths are remembered between operations; every edit must keep them true.
TEST(Tables, RememberedRowLengthsFollowEdits) {
    const std::string inner = test::TableXml({{test::TextRun("i1"), test::TextRun("i2")}}) + "<w:p/>";
    auto doc = test::MakeDocument(
        "<w:tbl><w:tblGrid><w:gridCol/><w:gridCol/></w:tblGrid>"
        "<w:tr><w:tc><w:p>" + test::TextRun("a") + "</w:p></w:tc><w:tc>" + inner + "</w:tc></w:tr>"
        "<w:tr><w:tc><w:p>" + test::TextRun("b") + "</w:p></w:tc><w:tc><w:p/></w:tc></w:tr>"
        "<w:tr><w:tc><w:p>" + test::TextRun("c") + "</w:p></w:tc><w:tc><w:p/></w:tc></w:tr></w:tbl>" + test::P("end"));
    auto table = doc->Tables().Item(1);
    EXPECT_EQ(table.Cell(3, 1).Range().Text(), "c\r\a");
    // An edit inside the nested table changes the outer row's length.
    auto nested = table.Tables().Item(1);
    ASSERT_EQ(nested.Cell(1, 1).Range().Text(), "i1\r\a");
    nested.Cell(1, 1).Range().SetText("longer text");
    EXPECT_EQ(table.Cell(3, 1).Range().Text(), "c\r\a");
    EXPECT_EQ(table.Cell(2, 1).Range().Text(), "b\r\a");
    table.Cell(2, 1).Range().SetText("bb\rsecond");
    EXPECT_EQ(table.Cell(2, 1).Range().Text(), "bb\rsecond\r\a");
    table.Rows().Item(1).Delete();
    EXPECT_EQ(table.Cell(1, 1).Range().Text(), "bb\rsecond\r\a");
    table.Rows().Add();
    table.Cell(3, 2).Range().SetText("new");
    EXPECT_EQ(doc->Content().Text(), "bb\rsecond\r\a\r\a\r\ac\r\a\r\a\r\a\r\anew\r\a\r\aend\r");
    // Positions found by walking agree with those found through the remembered lengths.
    const long at = table.Cell(3, 2).Range().Start();
    EXPECT_EQ(doc->Range(at, at + 3).Text(), "new");
    EXPECT_EQ(doc->Range(0, at).Text(), "bb\rsecond\r\a\r\a\r\ac\r\a\r\a\r\a\r\a");
}

// A cell of one plain run takes new text in that run; the table, the story and the ranges
// after it come out as writing the cell's range does. Any other cell or text is left alone.
TEST(Tables, LoneRunTextWrittenInPlaceAsThroughTheCellsRange) {
    const std::string old = "<w:t xml:space=\"preserve\">old</w:t>";
    const auto make = [](const std::string& content) {
        return MakeDocument(TableXml({{TextRun("h"), TextRun("h2")}, {content, TextRun("keep")}}) + P("tail"));
    };
    const auto markup = [](const std::shared_ptr<Document>& doc) {
        std::ostringstream out;
        doc->State()->Main().Root().select_node(".//w:tbl").node().print(out, "", pugi::format_raw);
        return out.str() + doc->Content().Text();
    };
    for (const std::string& content : std::vector<std::string>{
             "<w:r><w:rPr><w:b/></w:rPr>" + old + "</w:r>", "<w:pPr><w:jc w:val=\"right\"/></w:pPr><w:r>" + old + "</w:r>"}) {
        auto inPlace = make(content);
        auto throughRange = make(content);
        auto tail = inPlace->Range(inPlace->Content().End() - 5, inPlace->Content().End() - 1);
        for (const std::string_view text : {"新しい", "x", "longer text"}) {
            EXPECT_TRUE(ReplaceLoneRunText(inPlace->Tables().Item(1), 2, 1, text));
            auto range = throughRange->Tables().Item(1).Cell(2, 1).Range();
            range.SetEnd(range.End() - 1);
            range.SetText(text);
            EXPECT_EQ(markup(inPlace), markup(throughRange)) << content;
            EXPECT_EQ(tail.Text(), "tail");
            EXPECT_EQ(inPlace->Tables().Item(1).Cell(2, 2).Range().Text(), "keep\r\a");
        }
    }
    for (const std::string& content : std::vector<std::string>{
             std::string(), "<w:r>" + old + "</w:r>" + TextRun("more"), "<w:pPr><w:rPr><w:b/></w:rPr></w:pPr><w:r>" + old + "</w:r>",
          "<w:r w:rsidR=\"00A1\">" + old + "</w:r>", "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"}) {
        auto doc = make(content);
        const std::string before = markup(doc);
        EXPECT_FALSE(ReplaceLoneRunText(doc->Tables().Item(1), 2, 1, "new")) << content;
        EXPECT_EQ(markup(doc), before);
    }
    auto doc = make("<w:r>" + old + "</w:r>");
    EXPECT_FALSE(ReplaceLoneRunText(doc->Tables().Item(1), 2, 1, "two\rlines"));
    EXPECT_FALSE(ReplaceLoneRunText(doc->Tables().Item(1), 2, 1, ""));
}

}  // namespace
}  // namespace paperloom::word

namespace paperloom::word {
namespace {

// Accepting every deleted row can leave a table with no rows: it holds no position.
TEST(Tables, RowlessTablesAreSkipped) {
    const std::string rowless = "<w:tbl><w:tblPr/><w:tblGrid><w:gridCol w:w=\"2000\"/></w:tblGrid></w:tbl>";
    auto doc = MakeDocument(P("a") + rowless + TableXml({{TextRun("b")}}) + "<w:tbl/>" + P("c"));
    ASSERT_EQ(doc->Tables().Count(), 1);
    EXPECT_EQ(doc->Tables().Item(1).Cell(1, 1).Range().Text(), "b\r\a");
    EXPECT_EQ(doc->Content().Text(), "a\rb\r\a\r\ac\r");
    auto outer = MakeDocument(TableXml({{TextRun("x") + "</w:p>" + rowless + "<w:p>"}}) + P("y"));
    EXPECT_EQ(outer->Tables().Item(1).Tables().Count(), 0);
}

// Corpus documents whose tables sit among tracked changes, anchored floating tables and
// right-to-left text: every table enumerates and reads.
TEST(Tables, CorpusTablesEnumerate) {
    const std::filesystem::path good = std::filesystem::path(PAPERLOOM_SHARED_DIR) / "corpus" / "good";
    if (!std::filesystem::exists(good)) GTEST_SKIP() << "no shared corpus";
    int walked = 0;
    for (const char* name : {"open-xml-powertools__RP001-Tracked-Revisions-01-Accepted.docx",
                             "open-xml-powertools__RP001-Tracked-Revisions-02-Accepted.docx",
                             "open-xml-powertools__RP051-Arabic-Rejected.docx"}) {
        const auto path = good / name;
        if (!std::filesystem::exists(path)) continue;
        SCOPED_TRACE(name);
        auto doc = Document::Open(path);
        const auto tables = doc->Tables();
        EXPECT_GT(tables.Count(), 0);
        const auto whole = doc->Content().Text();
        for (long i = 1; i <= tables.Count(); ++i) {
            auto table = tables.Item(i);
            const auto text = table.Range().Text();
            EXPECT_NE(whole.find(text), std::string::npos);
            EXPECT_GT(table.Rows().Count(), 0);
            EXPECT_NO_THROW(table.Cell(1, 1).Range().Text());
        }
        ++walked;
    }
    if (walked == 0) GTEST_SKIP() << "corpus files absent";
}

}  // namespace
}  // namespace paperloom::word
