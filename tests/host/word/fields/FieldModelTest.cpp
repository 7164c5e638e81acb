// Fields of a document: enumeration (complex, simple, nested), code and result ranges, adding,
// deleting, selecting, and the write-back of a code after an update.

#include <sstream>

#include <gtest/gtest.h>

#include "FieldTestSupport.h"
#include "host/HostError.h"
#include "host/word/detail/RangeAccess.h"
#include "host/word/fields/Field.h"

namespace paperloom::word {
namespace {

using test::FieldParagraph;
using test::FieldRuns;
using test::MakeDocument;
using test::P;
using test::TextRun;

TEST(FieldModel, EnumeratesComplexSimpleAndNestedFieldsInTextOrder) {
    auto doc = MakeDocument("<w:p>" + TextRun("A") + FieldRuns(" QUOTE \"one\" ", "one") + TextRun("B") +
                            "</w:p><w:p><w:fldSimple w:instr=\" PAGE \"><w:r><w:t>7</w:t></w:r></w:fldSimple></w:p>"
                            "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>QUOTE \"x</w:instrText></w:r>" +
                            FieldRuns("= 1+1", "2") +
                            "<w:r><w:instrText>\"</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                            "<w:r><w:t>x2</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>");
    auto fields = FieldsOf(*doc);
    ASSERT_EQ(fields.Count(), 4);
    EXPECT_EQ(fields.Item(1).Type(), wdFieldQuote);
    EXPECT_EQ(fields.Item(2).Type(), 33);  // PAGE, from a simple field
    EXPECT_EQ(fields.Item(3).Type(), wdFieldQuote);
    EXPECT_EQ(fields.Item(4).Type(), wdFieldFormula);  // nested inside the third
    EXPECT_EQ(fields.Item(1).Code().Text(), " QUOTE \"one\" ");
    EXPECT_EQ(fields.Item(1).Result().Text(), "one");
    EXPECT_EQ(fields.Item(2).Result().Text(), "7");
    EXPECT_EQ(doc->Range(0, fields.Item(3).Range().Start()).Text(), "AoneB\r7\r");
    // The whole field runs from its begin mark to past its end mark.
    EXPECT_EQ(fields.Item(1).Range().Start(), 1);
    EXPECT_EQ(fields.Item(1).Range().End(), 1 + 1 + 13 + 1 + 3 + 1);
    EXPECT_THROW(fields.Item(0), host::HostError);
    EXPECT_THROW(fields.Item(5), host::HostError);

    // Fields of a range: only those that begin in it.
    auto second = doc->Range(fields.Item(2).Range().Start(), fields.Item(2).Range().End());
    EXPECT_EQ(FieldsOf(second).Count(), 1);
    EXPECT_EQ(FieldsOf(doc->Range(0, 1)).Count(), 0);
}

TEST(FieldModel, UnbalancedMarksAreNoFields) {
    auto doc = MakeDocument("<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>QUOTE "
                            "x</w:instrText></w:r></w:p><w:p><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>" +
                            FieldParagraph("QUOTE y", "y"));
    // The first begin is closed by the stray end: one field spanning paragraphs, plus the last.
    auto fields = FieldsOf(*doc);
    ASSERT_EQ(fields.Count(), 2);
    EXPECT_EQ(fields.Update(), 0);
    EXPECT_EQ(fields.Item(2).Result().Text(), "y");

    auto lonely = MakeDocument("<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>" + TextRun("open") + "</w:p>");
    EXPECT_EQ(FieldsOf(*lonely).Count(), 0);
}

TEST(FieldModel, CodeWrittenBackAfterUpdateKeepsTheResultAcrossSaveAndReopen) {
    test::TempFolder folder;
    auto doc = MakeDocument(FieldParagraph("quote DataField Price \\# \"#,##0\"", "Price"));
    auto field = FieldsOf(*doc).Item(1);
    const std::string designCode = field.Code().Text();

    // The way the add-ins do it: set the code range's text, update, put the old code back.
    field.Code().SetText("= 1234567 \\# \"#,##0\"");
    EXPECT_TRUE(field.Update());
    EXPECT_EQ(field.Result().Text(), "1,234,567");
    field.Code().SetText(designCode);
    EXPECT_EQ(field.Code().Text(), designCode);
    EXPECT_EQ(field.Result().Text(), "1,234,567");
    EXPECT_EQ(doc->Content().Text(), "1,234,567\r");

    doc->SaveAs(folder.Path() / "back.docx");
    auto reopened = Document::Open(folder.Path() / "back.docx");
    auto again = FieldsOf(*reopened);
    ASSERT_EQ(again.Count(), 1);
    EXPECT_EQ(again.Item(1).Code().Text(), designCode);
    EXPECT_EQ(again.Item(1).Result().Text(), "1,234,567");
    EXPECT_EQ(again.Item(1).Type(), wdFieldQuote);
}

TEST(FieldModel, SetCodeStoresInstructionRuns) {
    auto doc = MakeDocument(FieldParagraph("QUOTE a", "a"));
    auto field = FieldsOf(*doc).Item(1);
    field.SetCode("QUOTE \"new\r\nline\"");
    EXPECT_EQ(field.Code().Text(), "QUOTE \"new  line\"");  // a code is one line
    const auto root = doc->State()->Main().Root();
    ASSERT_EQ(root.select_nodes(".//w:t").size(), 1u);
    EXPECT_STREQ(root.select_node(".//w:t").node().text().get(), "a");
    EXPECT_EQ(root.select_nodes(".//w:instrText").size(), 1u);
    // Text the range model wrote into the code becomes instruction text on update.
    field.Code().SetText("QUOTE z");
    field.Update();
    EXPECT_EQ(field.Result().Text(), "z");
    for (auto node : root.select_nodes(".//w:t")) EXPECT_STRNE(node.node().text().get(), "QUOTE z");
}

// The run-time puts a design-time code back through the code range: it must stay code on disk.
TEST(FieldModel, TextSetThroughTheCodeRangeIsSavedAsInstruction) {
    test::TempFolder folder;
    auto doc = MakeDocument(FieldParagraph("QUOTE a", "a") + "<w:p>" + TextRun("x") +
                            "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                            "<w:r><w:t>old</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>");
    auto fields = FieldsOf(*doc);
    ASSERT_EQ(fields.Count(), 2);
    fields.Item(1).Code().SetText("quote DataField Name");
    fields.Item(2).Code().SetText("QUOTE \"b\"");  // an empty code gets its first text
    auto first = fields.Item(1).Code();
    first.InsertAfter(" \\* Upper");  // text added at the end of a code joins it
    EXPECT_EQ(doc->Content().Text(), "a\rxold\r");

    const auto path = folder.Path() / "code.docx";
    doc->SaveAs(path);
    const auto xml = docx::Package::Open(path).PartBytes("word/document.xml");
    EXPECT_NE(xml.find("<w:instrText xml:space=\"preserve\">quote DataField Name</w:instrText>"), std::string::npos);
    EXPECT_NE(xml.find("<w:instrText xml:space=\"preserve\">QUOTE \"b\"</w:instrText>"), std::string::npos);
    EXPECT_EQ(xml.find("<w:t xml:space=\"preserve\">quote"), std::string::npos);
    EXPECT_EQ(xml.find("Upper</w:t>"), std::string::npos);

    auto reopened = Document::Open(path);
    auto again = FieldsOf(*reopened);
    ASSERT_EQ(again.Count(), 2);
    EXPECT_EQ(again.Item(1).Code().Text(), "quote DataField Name \\* Upper");
    EXPECT_EQ(again.Item(2).Code().Text(), "QUOTE \"b\"");
    EXPECT_EQ(again.Item(2).Type(), wdFieldQuote);
    EXPECT_EQ(reopened->Content().Text(), "a\rxold\r");
    // Text typed right after a field's end is ordinary text again.
    reopened->Range(again.Item(2).Range().End(), again.Item(2).Range().End()).InsertAfter("tail");
    EXPECT_EQ(reopened->Content().Text(), "a\rxoldtail\r");
}

// A field in another field's code is part of that code, result and all; a field in a result
// shows its own result.
TEST(FieldModel, NestedFieldResultsInACodeAreCode) {
    const std::string nestedInCode =
        "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>QUOTE \"x</w:instrText></w:r>" +
        FieldRuns("= 1+1", "2") +
        "<w:r><w:instrText>\"</w:instrText></w:r><w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
        "<w:r><w:t>x2</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
    auto doc = MakeDocument("<w:p>" + nestedInCode + "</w:p>");
    EXPECT_EQ(doc->Content().Text(), "x2\r");
    auto fields = FieldsOf(*doc);
    ASSERT_EQ(fields.Count(), 2);
    EXPECT_EQ(fields.Item(1).Result().Text(), "x2");
    EXPECT_EQ(fields.Item(2).Result().Text(), "2");  // its own result still reads
    fields.Item(2).Result().InsertAfter("0");  // result text, though inside the outer code
    EXPECT_FALSE(doc->State()->Main().Root().select_node(".//w:instrText[.='0']"));
    EXPECT_EQ(fields.Item(2).Result().Text(), "20");
    EXPECT_EQ(fields.Item(1).Code().Text(), "QUOTE \"x\x13= 1+1\x14" "20\x15\"");
    auto found = doc->Content();
    found.Find().SetText("2");
    ASSERT_TRUE(found.Find().Execute());
    EXPECT_EQ(found.Start(), fields.Item(1).Result().Start() + 1);  // the visible "2", not the code's

    // Nested deeper, inside an outer field's result: that result still shows.
    const std::string outer = "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>QUOTE y</w:instrText></w:r>"
                              "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>";
    auto deep = MakeDocument("<w:p>" + outer + nestedInCode + TextRun("!") +
                             "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>" + TextRun("z") + "</w:p>");
    EXPECT_EQ(deep->Content().Text(), "x2!z\r");
}

TEST(FieldModel, HiddenFieldsReadTheirWholeCode) {
    auto doc = MakeDocument("<w:p>" + FieldRuns("quote DataField Name", "Name", "<w:rPr><w:vanish/></w:rPr>") + "</w:p>");
    auto field = FieldsOf(*doc).Item(1);
    EXPECT_EQ(field.Code().Text(), "quote DataField Name");
    EXPECT_EQ(field.Result().Text(), "");  // the result is hidden like any text
    EXPECT_EQ(field.Type(), wdFieldQuote);
}

TEST(FieldModel, SetResultKeepsTheCode) {
    auto doc = MakeDocument(FieldParagraph("PAGE", "1"));
    auto field = FieldsOf(*doc).Item(1);
    field.SetResult("12");
    EXPECT_EQ(field.Result().Text(), "12");
    EXPECT_EQ(field.Code().Text(), "PAGE");
    EXPECT_EQ(doc->Content().Text(), "12\r");
}

TEST(FieldModel, AddReplacesTheRangeAndComputesAGivenCode) {
    auto doc = MakeDocument(P("Hello world"));
    auto fields = FieldsOf(*doc);
    // An empty field, then its code set as the designer does.
    auto field = fields.Add(doc->Range(6, 11));
    EXPECT_EQ(field.Type(), wdFieldEmpty);
    EXPECT_EQ(doc->Content().Text(), "Hello \r");
    field.Code().SetText("quote \"there\"");
    EXPECT_TRUE(field.Update());
    EXPECT_EQ(doc->Content().Text(), "Hello there\r");

    auto typed = fields.Add(doc->Range(0, 0), wdFieldFormula, "6*7");
    EXPECT_EQ(typed.Code().Text(), "= 6*7");
    EXPECT_EQ(typed.Result().Text(), "42");
    EXPECT_EQ(doc->Content().Text(), "42Hello there\r");
    EXPECT_EQ(FieldsOf(*doc).Count(), 2);
    EXPECT_THROW(fields.Add(doc->Range(0, 0), 9999), host::HostError);
}

TEST(FieldModel, AddIntoATableCellAndWithPreservedFormatting) {
    auto doc = MakeDocument(test::TableXml({{TextRun("old"), TextRun("keep")}}));
    auto cell = doc->Tables().Item(1).Cell(1, 1).Range();
    auto field = FieldsOf(cell).Add(cell, wdFieldQuote, "\"new\"", true);
    EXPECT_EQ(field.Code().Text(), "QUOTE \"new\" \\* MERGEFORMAT");
    EXPECT_EQ(doc->Tables().Item(1).Cell(1, 1).Range().Text(), "new\r\a");
    EXPECT_EQ(doc->Tables().Item(1).Cell(1, 2).Range().Text(), "keep\r\a");
    EXPECT_EQ(doc->Tables().Item(1).Rows().Count(), 1);
}

TEST(FieldModel, DeleteRemovesTheWholeFieldAndLaterHandlesFail) {
    auto doc = MakeDocument("<w:p>" + TextRun("a") + FieldRuns("QUOTE b", "b") + TextRun("c") + "</w:p>");
    auto field = FieldsOf(*doc).Item(1);
    field.Delete();
    EXPECT_EQ(doc->Content().Text(), "ac\r");
    EXPECT_EQ(FieldsOf(*doc).Count(), 0);
    EXPECT_THROW(field.Result(), host::HostError);
    EXPECT_THROW(field.Update(), host::HostError);
}

TEST(FieldModel, SelectCoversTheFieldAndSelectionFieldsFindIt) {
    auto doc = MakeDocument("<w:p>" + TextRun("ab") + FieldRuns("QUOTE x", "x") + "</w:p>");
    auto field = FieldsOf(*doc).Item(1);
    field.Select();
    auto selection = doc->Selection();
    EXPECT_EQ(selection.Start(), 2);
    EXPECT_EQ(selection.End(), field.Range().End());
    ASSERT_EQ(FieldsOf(selection).Count(), 1);
    // An insertion point inside a field finds that field; one beside it finds none.
    auto inside = doc->Selection();
    inside.SetRange(field.Result().Start(), field.Result().Start());
    ASSERT_EQ(FieldsOf(inside).Count(), 1);
    EXPECT_EQ(FieldsOf(inside).Item(1).Code().Text(), "QUOTE x");
    EXPECT_EQ(FieldsOf(doc->Range(1, 1)).Count(), 0);
    field.Select();
    // Replacing the selection by the result's text turns the field into plain text.
    selection.SetText(field.Result().Text());
    EXPECT_EQ(FieldsOf(*doc).Count(), 0);
    EXPECT_EQ(doc->Content().Text(), "abx\r");
}

TEST(FieldModel, HandlesFollowEditsBeforeTheField) {
    auto doc = MakeDocument("<w:p>" + TextRun("ab") + FieldRuns("QUOTE x", "x") + "</w:p>");
    auto field = FieldsOf(*doc).Item(1);
    doc->Range(0, 0).InsertBefore("123");
    EXPECT_EQ(field.Range().Start(), 5);
    field.SetCode("QUOTE moved");
    field.Update();
    EXPECT_EQ(doc->Content().Text(), "123abmoved\r");

    // A field added right before it, and text added right after it, leave the handle on it.
    FieldsOf(*doc).Add(doc->Range(field.Range().Start(), field.Range().Start()), wdFieldQuote, "first");
    field.Range().InsertAfter("!");
    EXPECT_EQ(field.Code().Text(), "QUOTE moved");
    EXPECT_EQ(field.Result().Text(), "moved");
    EXPECT_EQ(doc->Content().Text(), "123abfirstmoved!\r");
}

// A handle keeps where its marks stood until the story changes: edits made through ranges,
// not through the handle, inside the field or before it, must be seen by its next step.
TEST(FieldModel, HandlesSeeRangeEditsInsideAndBeforeTheField) {
    auto doc = MakeDocument("<w:p>" + TextRun("ab") + FieldRuns("QUOTE x", "x") + TextRun("c") + "</w:p>");
    auto field = FieldsOf(*doc).Item(1);
    auto copy = field;  // copies of a handle see the same field
    EXPECT_EQ(field.Result().Text(), "x");
    const auto result = field.Result();
    doc->Range(result.End(), result.End()).InsertBefore("yz");
    EXPECT_EQ(copy.Result().Text(), "xyz");
    EXPECT_EQ(field.Range().End(), 2 + 1 + 7 + 1 + 3 + 1);
    doc->Range(field.Code().Start(), field.Code().Start() + 6).Delete();
    EXPECT_EQ(copy.Code().Text(), "x");
    doc->Range(0, 2).Delete();
    EXPECT_EQ(field.Range().Start(), 0);
    EXPECT_EQ(field.Result().Text(), "xyz");
    doc->Range(field.Range().Start(), field.Range().End()).Font().SetBold(true);
    field.SetCode("QUOTE \"new\"");
    EXPECT_TRUE(copy.Update());
    EXPECT_EQ(doc->Content().Text(), "newc\r");
}

TEST(FieldModel, FieldsInHeadersAndTextBoxes) {
    auto doc = MakeDocument(P("body") +
                            "<w:p><w:r><w:drawing><wp:anchor><wp:docPr id=\"1\" name=\"Box\"/><a:graphic><a:graphicData "
                            "uri=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\"><wps:wsp>"
                            "<wps:spPr/><wps:txbx><w:txbxContent>" +
                            FieldParagraph("QUOTE \"in box\"", "old") +
                            "</w:txbxContent></wps:txbx><wps:bodyPr/></wps:wsp></a:graphicData></a:graphic>"
                            "</wp:anchor></w:drawing></w:r></w:p>");
    auto box = doc->Shapes().Item(1).TextFrame().ContainingRange();
    auto boxFields = FieldsOf(box);
    ASSERT_EQ(boxFields.Count(), 1);
    EXPECT_EQ(boxFields.Update(), 0);
    EXPECT_EQ(box.Text(), "in box\r");
    EXPECT_EQ(FieldsOf(*doc).Count(), 0);  // the document's fields are the main story's

    auto header = doc->Sections().Item(1).Headers().Item(1).Range();
    FieldsOf(header).Add(header, wdFieldQuote, "\"Title\"");
    EXPECT_EQ(doc->Sections().Item(1).Headers().Item(1).Range().Text(), "Title\r");
}

TEST(FieldModel, InsertFormulaStoresFormulaAndQuotedPicture) {
    auto doc = MakeDocument(test::TableXml({{TextRun("1000")}, {TextRun("500")}, {""}}));
    auto cell = doc->Tables().Item(1).Cell(3, 1).Range();
    auto selection = doc->Selection();
    selection.SetRange(cell.Start(), cell.Start());
    InsertFormula(selection, "=SUM(ABOVE)", "#,##0");
    auto fields = FieldsOf(*doc);
    ASSERT_EQ(fields.Count(), 1);
    EXPECT_EQ(fields.Item(1).Code().Text(), "=SUM(ABOVE) \\# \"#,##0\"");
    EXPECT_EQ(fields.Item(1).Type(), wdFieldFormula);
    EXPECT_EQ(fields.Item(1).Result().Text(), "1,500");
    EXPECT_EQ(selection.Start(), fields.Item(1).Range().End());
    EXPECT_EQ(selection.End(), selection.Start());

    // Without a picture only the formula is stored; a missing "=" is supplied.
    selection.SetRange(0, 0);
    InsertFormula(selection, "2*3", "");
    EXPECT_EQ(FieldsOf(*doc).Item(1).Code().Text(), "=2*3");
}

// The handles of a collection are found by their begin marks: they follow any edit, and a
// field that leaves the document, however it goes, fails from then on, even once new fields
// have taken the place of the old ones.
TEST(FieldModel, CollectionHandlesFollowEditsAndFailOnceTheirFieldGoes) {
    auto doc = MakeDocument(FieldParagraph("QUOTE one", "one") + FieldParagraph("QUOTE two", "two") +
                            "<w:p>" + TextRun("x") + FieldRuns("QUOTE three", "three") + TextRun("y") + "</w:p>" +
                            test::TableXml({{FieldRuns("QUOTE cell", "cell")}, {TextRun("plain")}}) +
                            FieldParagraph("QUOTE four", "four"));
    auto fields = FieldsOf(*doc);
    ASSERT_EQ(fields.Count(), 5);
    doc->Range(0, 0).InsertBefore("lead ");
    EXPECT_EQ(fields.Item(1).Range().Start(), 5);
    EXPECT_EQ(detail::RangeAccess::Of(fields.Item(1))->span->start, 5);  // the handle's span is brought up to date
    EXPECT_EQ(detail::RangeAccess::Of(fields.Item(1))->span->end, fields.Item(1).Range().End());

    const auto mark = doc->State()->Main().AtomAt(fields.Item(2).Range().Start());
    ASSERT_TRUE(mark && mark->kind == detail::AtomKind::FieldBegin);
    const auto anchor = doc->State()->Anchor(mark->node);
    doc->Range(fields.Item(2).Range().Start(), fields.Item(2).Range().End() + 1).Delete();  // with its paragraph
    EXPECT_FALSE(anchor->alive);  // known dead before its storage can serve another node
    const auto three = fields.Item(3).Range();
    doc->Range(three.Start() - 1, three.End() + 1).Delete();  // with the text around it
    doc->Tables().Item(1).Rows().Item(1).Delete();
    for (int i = 0; i < 20; ++i)  // new fields, whose marks may take the storage of the old ones
        FieldsOf(*doc).Add(doc->Range(0, 0), wdFieldQuote, "\"new\"");
    for (long gone : {2, 3, 4}) {
        EXPECT_THROW(fields.Item(gone).Code(), host::HostError) << gone;
        EXPECT_THROW(fields.Item(gone).SetCode("QUOTE back"), host::HostError) << gone;
    }
    EXPECT_EQ(fields.Item(1).Code().Text(), "QUOTE one");
    EXPECT_EQ(fields.Item(5).Code().Text(), "QUOTE four");
    fields.Item(5).SetCode("QUOTE \"changed\"");
    // Updating all skips the fields that went, and reports the first of them.
    EXPECT_EQ(fields.Update(), 2);
    EXPECT_EQ(fields.Item(5).Result().Text(), "changed");
    EXPECT_EQ(fields.Item(1).Result().Text(), "one");
    EXPECT_EQ(FieldsOf(*doc).Count(), 22);

    // A whole table with its fields goes.
    auto again = MakeDocument(P("a") + test::TableXml({{FieldRuns("QUOTE t", "t")}}) + P("b"));
    auto inTable = FieldsOf(*again).Item(1);
    again->Tables().Item(1).Delete();
    EXPECT_THROW(inTable.Result(), host::HostError);
}

}  // namespace
}  // namespace paperloom::word

namespace paperloom::word {
namespace {

std::string TableMarkup(const std::shared_ptr<Document>& doc) {
    std::ostringstream out;
    doc->State()->Main().Root().select_node(".//w:tbl").node().print(out, "", pugi::format_raw);
    return out.str();
}

// A code written over and over (a record's code, then the design-time one back) and the
// result of every update take the place of the last in their runs: the positions after them,
// the cell and row lengths and the tree must come out as writing them once does.
TEST(FieldModel, CodesWrittenAgainKeepTheStoryAndTreeInStep) {
    const auto make = [](const std::string& fieldRuns) {
        return test::MakeDocument(test::P("a") +
                                  test::TableXml({{test::TextRun("x") + fieldRuns + test::TextRun("y"), test::TextRun("keep")},
                                                  {test::TextRun("r2"), test::TextRun("c2")}}) +
                                  test::P("tail"));
    };
    const std::string bold = "<w:rPr><w:b/></w:rPr>";
    auto doc = make(test::FieldRuns("QUOTE a", "a", bold));
    auto field = FieldsOf(*doc).Item(1);
    const std::string initial = doc->Content().Text();
    const auto shownAt = initial.find("xay");
    ASSERT_NE(shownAt, std::string::npos);
    const long tailStart = doc->Content().End() - 5;  // "tail" and the last paragraph mark
    auto tail = doc->Range(tailStart, tailStart + 4);
    const std::vector<std::pair<std::string, std::string>> codes{
        {"QUOTE \"長い値です\"", "長い値です"}, {"=1", "1"}, {"QUOTE \"b\r\nc\"", "b  c"}, {"QUOTE \"\"", ""}, {"QUOTE a", "a"}};
    for (const auto& [code, result] : codes) {
        field.SetCode(code);
        std::string shown = code;
        for (auto& c : shown)
            if (c == '\r' || c == '\n') c = ' ';
        EXPECT_EQ(field.Code().Text(), shown);
        EXPECT_TRUE(field.Update()) << code;
        EXPECT_EQ(field.Result().Text(), result);
        EXPECT_EQ(tail.Text(), "tail") << code;
        auto table = doc->Tables().Item(1);
        EXPECT_EQ(table.Cell(1, 1).Range().Text(), "x" + result + "y\r\a");
        EXPECT_EQ(table.Cell(1, 2).Range().Text(), "keep\r\a");
        EXPECT_EQ(table.Cell(2, 2).Range().Text(), "c2\r\a");
        EXPECT_EQ(doc->Content().Text(), initial.substr(0, shownAt + 1) + result + initial.substr(shownAt + 2));
        EXPECT_EQ(doc->State()->Main().Root().select_nodes(".//w:instrText").size(), 1u);
    }
    // A code in two runs and a result without xml:space are written the long way: the tree is
    // the same.
    auto once = make("<w:r>" + bold + "<w:fldChar w:fldCharType=\"begin\"/></w:r><w:r>" + bold +
                     "<w:instrText>QUOTE </w:instrText></w:r><w:r>" + bold + "<w:instrText>b</w:instrText></w:r><w:r>" +
                     bold + "<w:fldChar w:fldCharType=\"separate\"/></w:r><w:r>" + bold + "<w:t>b</w:t></w:r><w:r>" +
                     bold + "<w:fldChar w:fldCharType=\"end\"/></w:r>");
    auto onceField = FieldsOf(*once).Item(1);
    onceField.SetCode("QUOTE a");
    EXPECT_TRUE(onceField.Update());
    EXPECT_EQ(TableMarkup(once), TableMarkup(doc));
}

}  // namespace
}  // namespace paperloom::word
