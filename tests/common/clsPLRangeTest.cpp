// clsPLRange on table cells with and without hidden property text, and the copies into
// another document.

#include <gtest/gtest.h>

#include "CommonTestSupport.h"
#include "common/clsPLRange.h"
#include "host/word/Document.h"
#include "host/word/fields/Field.h"

namespace paperloom {
namespace {

using test::DocumentWithTable;
using test::FullText;

class RangeEdits : public ::testing::Test {
protected:
    word::Range Cell(long row, long column) const { return doc_->Tables().Item(1).Cell(row, column).Range(); }

    std::shared_ptr<word::Document> doc_ = DocumentWithTable(2, 2);
    clsPLRange range_;
};

TEST_F(RangeEdits, InsertBeforeHiddenTextIntoAnEmptyCellShowsNothing) {
    range_.InsertBeforeHiddenText(R"(DataField="品名", FieldType="1")", Cell(1, 1));
    EXPECT_EQ(Cell(1, 1).Text(), "\r\a");
    EXPECT_EQ(FullText(Cell(1, 1)), "DataField=\"品名\", FieldType=\"1\"\r\a");
    // Only the inserted characters are hidden: the neighbouring cell is untouched.
    EXPECT_EQ(FullText(Cell(1, 2)), "\r\a");
    // Inserting before existing visible text keeps that text visible.
    Cell(2, 1).SetText("見出し");
    range_.InsertBeforeHiddenText(R"(A="1")", Cell(2, 1));
    EXPECT_EQ(Cell(2, 1).Text(), "見出し\r\a");
    EXPECT_EQ(FullText(Cell(2, 1)), "A=\"1\"見出し\r\a");
}

TEST_F(RangeEdits, AppendTextGoesAfterHiddenTextAndBeforeTheCellMark) {
    range_.InsertBeforeHiddenText(R"(A="1")", Cell(1, 1));
    auto target = Cell(1, 1);
    range_.AppendText("売上", target);
    EXPECT_EQ(Cell(1, 1).Text(), "売上\r\a");
    EXPECT_EQ(FullText(Cell(1, 1)), "A=\"1\"売上\r\a");
    // The target now covers exactly the appended text (two characters).
    EXPECT_EQ(target.Text(), "売上");
    EXPECT_EQ(target.End() - target.Start(), 2);
    // Appending again extends the visible text; the hidden text stays in front.
    auto again = Cell(1, 1);
    range_.AppendText("合計", again);
    EXPECT_EQ(Cell(1, 1).Text(), "売上合計\r\a");
    EXPECT_EQ(FullText(Cell(1, 1)), "A=\"1\"売上合計\r\a");
    EXPECT_EQ(FullText(Cell(1, 2)), "\r\a");
}

TEST_F(RangeEdits, AppendTextToARangeWithoutClosingMarkAddsAtItsEnd) {
    Cell(1, 1).SetText("abc");
    auto inner = Cell(1, 1);
    inner.SetEnd(inner.Start() + 2);  // "ab"
    range_.AppendText("X", inner);
    EXPECT_EQ(Cell(1, 1).Text(), "abXc\r\a");
    EXPECT_EQ(inner.Text(), "X");
}

TEST_F(RangeEdits, ClearNotHiddenTextRemovesTheCaptionOnly) {
    Cell(1, 1).SetText("Caption");
    range_.InsertBeforeHiddenText(R"(A="1")", Cell(1, 1));
    range_.ClearNotHiddenText(Cell(1, 1));
    EXPECT_EQ(Cell(1, 1).Text(), "\r\a");
    EXPECT_EQ(FullText(Cell(1, 1)), "A=\"1\"\r\a");
    // A cell without hidden text is emptied, and the table keeps its shape.
    Cell(2, 2).SetText("値");
    range_.ClearNotHiddenText(Cell(2, 2));
    EXPECT_EQ(Cell(2, 2).Text(), "\r\a");
    EXPECT_EQ(doc_->Tables().Item(1).Rows().Count(), 2);
    EXPECT_EQ(doc_->Tables().Item(1).Columns().Count(), 2);
    // An empty cell stays as it is.
    range_.ClearNotHiddenText(Cell(1, 2));
    EXPECT_EQ(FullText(Cell(1, 2)), "\r\a");
}

TEST_F(RangeEdits, ClearNotHiddenTextLeavesACellWhoseVisibleContentStartsWithAParagraphMark) {
    Cell(1, 1).SetText("\rsecond");
    range_.InsertBeforeHiddenText(R"(A="1")", Cell(1, 1));
    const std::string before = FullText(Cell(1, 1));
    range_.ClearNotHiddenText(Cell(1, 1));
    EXPECT_EQ(FullText(Cell(1, 1)), before);
}

class Copies : public ::testing::Test {
protected:
    std::shared_ptr<word::Document> source_ = word::Document::Blank("Source");
    std::shared_ptr<word::Document> destination_ = word::Document::Blank("Destination");
    clsPLRange range_;
};

TEST_F(Copies, CopyRangeAlwaysRemovesTheCopysLastCharacter) {
    source_->Content().SetText("Header text");
    destination_->Content().SetText("Start");
    // Source content "Header text\r": its final paragraph mark is the character removed.
    range_.CopyRange(destination_->Content(), source_->Content());
    const std::string once = destination_->Content().Text();
    EXPECT_NE(once.find("Header text"), std::string::npos);
    // A source that does not end with a paragraph mark still loses its last character.
    auto partial = source_->Range(0, 6);  // "Header"
    const long before = destination_->Content().StoryLength();
    range_.CopyRange(destination_->Content(), partial);
    EXPECT_EQ(destination_->Content().StoryLength() - before, 5);
    EXPECT_NE(destination_->Content().Text().find("Heade"), std::string::npos);
    EXPECT_EQ(destination_->Content().Text().find("Header\r"), std::string::npos);
    // An empty source removes nothing of the destination.
    const std::string full = destination_->Content().Text();
    range_.CopyRange(destination_->Content(), source_->Range(0, 0));
    EXPECT_EQ(destination_->Content().Text(), full);
}

TEST_F(Copies, AppendRangeToPrintDocDropsHiddenTextAndTheTrailingMark) {
    source_ = test::DocumentWithTable(1, 2);
    auto table = source_->Tables().Item(1);
    table.Cell(1, 1).Range().SetText("品名");
    range_.InsertBeforeHiddenText(R"(DataField="name")", table.Cell(1, 1).Range());
    range_.InsertBeforeHiddenText(R"(FieldType="1")", table.Cell(1, 2).Range());
    auto after = source_->Content();
    after.Collapse(word::wdCollapseEnd);
    const long sourceLength = source_->Content().StoryLength();

    range_.AppendRangeToPrintDoc(destination_->Content(), source_->Content(), 1);
    const std::string printed = FullText(destination_->Content());
    EXPECT_EQ(printed.find("DataField"), std::string::npos);
    EXPECT_EQ(printed.find("FieldType"), std::string::npos);
    EXPECT_NE(printed.find("品名"), std::string::npos);
    EXPECT_EQ(destination_->Tables().Count(), 1);
    // The source is left as it was.
    EXPECT_EQ(source_->Content().StoryLength(), sourceLength);
    EXPECT_NE(FullText(source_->Content()).find("DataField"), std::string::npos);
}

TEST_F(Copies, AppendRangeToPrintDocTwiceKeepsBothCopies) {
    source_->Content().SetText("Record");
    range_.AppendRangeToPrintDoc(destination_->Content(), source_->Content(), 1);
    range_.AppendRangeToPrintDoc(destination_->Content(), source_->Content(), 2);
    const std::string text = destination_->Content().Text();
    const auto first = text.find("Record");
    ASSERT_NE(first, std::string::npos);
    EXPECT_NE(text.find("Record", first + 1), std::string::npos);
}

// Runs of a complex field: begin, code, separator, result, end.
std::string FieldRuns(const std::string& code, const std::string& result, const std::string& resultRPr = {}) {
    auto mark = [](const char* kind) { return std::string("<w:r><w:fldChar w:fldCharType=\"") + kind + "\"/></w:r>"; };
    return mark("begin") + "<w:r><w:instrText xml:space=\"preserve\">" + code + "</w:instrText></w:r>" +
           mark("separate") + "<w:r>" + resultRPr + "<w:t xml:space=\"preserve\">" + result + "</w:t></w:r>" +
           mark("end");
}

TEST_F(Copies, AppendRangeToPrintDocFreezesFieldsButKeepsPictureCodes) {
    const std::string nested = "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                               "<w:r><w:instrText xml:space=\"preserve\">QUOTE </w:instrText></w:r>" +
                               FieldRuns("= 1+1", "2") +
                               "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                               "<w:r><w:t>Outer2</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
    source_ = test::DocumentWithBody(
        "<w:p><w:r><w:t xml:space=\"preserve\">Name: </w:t></w:r>" +
        FieldRuns("quote \"DataField\" 品名", "Widget", "<w:rPr><w:b/></w:rPr>") + "</w:p>" +
        "<w:p>" + FieldRuns(R"(IncludePicture "PictureField" 写真 \d)", "") + "</w:p>" +
        "<w:p>" + nested + "</w:p><w:p>" + FieldRuns("= 2*3", "6") + "</w:p>");
    ASSERT_EQ(word::FieldsOf(source_->Content()).Count(), 5);
    auto selection = destination_->Selection();
    const long selectionStart = selection.Start();

    range_.AppendRangeToPrintDoc(destination_->Content(), source_->Content(), 1);

    const word::Fields left = word::FieldsOf(destination_->Content());
    ASSERT_EQ(left.Count(), 1);
    EXPECT_EQ(left.Item(1).Type(), word::wdFieldIncludePicture);
    EXPECT_EQ(left.Item(1).Code().Text(), word::FieldsOf(source_->Content()).Item(2).Code().Text());
    const std::string text = destination_->Content().Text();
    EXPECT_NE(text.find("Name: Widget\r"), std::string::npos) << text;
    EXPECT_NE(text.find("Outer2\r"), std::string::npos) << text;
    EXPECT_NE(text.find("6"), std::string::npos) << text;
    EXPECT_EQ(text.find("2Outer2"), std::string::npos) << "a nested result left behind: " << text;
    // The frozen result keeps its formatting: bold survives in the saved document part.
    const auto at = text.find("Widget");
    auto widget = destination_->Content();
    widget.SetRange(static_cast<long>(at), static_cast<long>(at) + 6);
    EXPECT_EQ(widget.Text(), "Widget");
    EXPECT_NE(destination_->Package().PartBytes("word/document.xml").find("<w:b/>"), std::string::npos);
    EXPECT_EQ(destination_->Selection().Start(), selectionStart);
    // The source keeps its fields.
    EXPECT_EQ(word::FieldsOf(source_->Content()).Count(), 5);
}

// The body of a document as saved, for comparing two ways of building it.
std::string BodyXml(word::Document& document) {
    const std::string xml = document.Package().PartBytes("word/document.xml");
    return xml.substr(xml.find("<w:body>"));
}

// Plain fields are turned into their results as the copy is made: the document must come out
// as replacing each field of a finished copy by a copy of its result makes it.
TEST_F(Copies, FieldsShownAsTheCopyIsMadeMatchFieldsReplacedOneByOne) {
    const std::string bold = "<w:rPr><w:b/></w:rPr>";
    const std::string twoRuns = "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>"
                                "<w:r><w:instrText>quote </w:instrText><w:instrText>Total</w:instrText></w:r>"
                                "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                                "<w:r><w:t>12</w:t><w:tab/></w:r><w:r>" + bold + "<w:t>JPY</w:t></w:r>"
                                "<w:r><w:fldChar w:fldCharType=\"end\"/></w:r>";
    const std::string plain =
        "<w:p><w:pPr><w:jc w:val=\"right\"/></w:pPr><w:r><w:t xml:space=\"preserve\">No. </w:t></w:r>" +
        FieldRuns("quote Number", "INV-1", bold) + "<w:r><w:t xml:space=\"preserve\"> / </w:t></w:r>" + twoRuns +
        "</w:p><w:tbl><w:tblGrid><w:gridCol w:w=\"2000\"/></w:tblGrid><w:tr><w:tc><w:p>" +
        FieldRuns("quote Item", "Pen") + "<w:r><w:t>!</w:t></w:r></w:p></w:tc></w:tr></w:tbl><w:p>" +
        "<w:r><w:fldChar w:fldCharType=\"begin\"/></w:r><w:r><w:instrText>quote</w:instrText></w:r>"
        "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>";
    // What the copy is not sure to get right is left to the replacing: a bookmark beside a
    // field, a picture field, a field nested in another.
    const std::string bookmarked = "<w:p><w:bookmarkStart w:id=\"1\" w:name=\"at\"/>" + FieldRuns("quote A", "a") +
                                   "<w:bookmarkEnd w:id=\"1\"/></w:p>";
    const std::string picture = "<w:p>" + FieldRuns("INCLUDEPICTURE \"x.png\"", "") + "</w:p>";
    const std::string nested = "<w:p><w:r><w:fldChar w:fldCharType=\"begin\"/></w:r>" +
                               FieldRuns("= 1", "1") + "<w:r><w:fldChar w:fldCharType=\"separate\"/></w:r>"
                               "<w:r><w:t>1</w:t></w:r><w:r><w:fldChar w:fldCharType=\"end\"/></w:r></w:p>";
    for (const auto& [body, shown] : {std::pair{plain, true}, std::pair{plain + bookmarked, false},
                                      std::pair{picture + plain, false}, std::pair{plain + nested, false}}) {
        source_ = test::DocumentWithBody(body);
        const auto shownCopy = word::Document::Blank("Shown");
        auto at = shownCopy->Content();
        at.Collapse(word::wdCollapseEnd);
        EXPECT_EQ(at.SetFormattedTextAsResults(source_->Content()), shown) << body;

        const auto replaced = word::Document::Blank("Replaced");
        auto copy = replaced->Content();
        copy.Collapse(word::wdCollapseEnd);
        copy.SetFormattedText(source_->Content());
        if (shown) {
            const auto from = word::FieldsOf(source_->Content());
            const auto to = word::FieldsOf(copy);
            ASSERT_EQ(from.Count(), to.Count());
            for (long i = 1; i <= from.Count(); ++i) to.Item(i).Range().SetFormattedText(from.Item(i).Result());
            EXPECT_EQ(word::FieldsOf(shownCopy->Content()).Count(), 0);
        } else {
            // Not shown: the copy is the plain formatted copy, fields and all.
            EXPECT_EQ(word::FieldsOf(shownCopy->Content()).Count(), word::FieldsOf(source_->Content()).Count());
        }
        EXPECT_EQ(BodyXml(*shownCopy), BodyXml(*replaced)) << body;
    }
    // Only a whole story's copy is done this way: a part of one may cut a field.
    source_ = test::DocumentWithBody(plain);
    auto part = source_->Content();
    part.SetEnd(part.End() - 1);
    auto at = destination_->Content();
    at.Collapse(word::wdCollapseEnd);
    EXPECT_FALSE(at.SetFormattedTextAsResults(part));
}

}  // namespace
}  // namespace paperloom
