// Bookmarks: the word processor's name rules, adding, moving, copying, deleting, and
// bookmarks that move with the text.

#include <gtest/gtest.h>

#include "WordTestSupport.h"
#include "host/HostError.h"

namespace paperloom::word {
namespace {

using test::MakeDocument;
using test::P;

TEST(Bookmarks, NameRules) {
    for (const char* good : {"a", "Detail1", "tbl_Detail", "明細表", "x23456789012345678901234567890123456789"})
        EXPECT_TRUE(Bookmarks::IsValidName(good)) << good;
    for (const char* bad : {"", "1abc", "_hidden", "has space", "a-b", "a.b",
                            "x2345678901234567890123456789012345678901"})
        EXPECT_FALSE(Bookmarks::IsValidName(bad)) << bad;
    auto doc = MakeDocument(P("text"));
    try {
        doc->Bookmarks().Add("bad name", doc->Range(0, 1));
        FAIL() << "a bad name was accepted";
    } catch (const host::HostError& e) {
        EXPECT_EQ(e.Number(), 5828);
    }
    EXPECT_EQ(doc->Bookmarks().Count(), 0);
}

TEST(Bookmarks, AddExistsRangeAndMovesWithText) {
    auto doc = MakeDocument(P("hello world"));
    auto mark = doc->Bookmarks().Add("Target", doc->Range(6, 11));
    EXPECT_TRUE(doc->Bookmarks().Exists("target"));  // names ignore case
    EXPECT_FALSE(doc->Bookmarks().Exists("other"));
    EXPECT_EQ(mark.Range().Text(), "world");
    doc->Range(0, 0).InsertBefore("say ");
    EXPECT_EQ(doc->Bookmarks().Item("TARGET").Range().Text(), "world");
    EXPECT_EQ(mark.Start(), 10);
    // An empty bookmark keeps its place.
    auto point = doc->Bookmarks().Add("Point", doc->Range(3, 3));
    EXPECT_TRUE(point.Empty());
    EXPECT_EQ(point.Start(), 3);
    EXPECT_EQ(doc->Bookmarks().Count(), 2);
    EXPECT_EQ(doc->Bookmarks().Item(1).Name(), "Point");  // alphabetical
    EXPECT_THROW(doc->Bookmarks().Item("missing"), host::HostError);
}

TEST(Bookmarks, AddingAnExistingNameMovesIt) {
    auto doc = MakeDocument(P("one two"));
    doc->Bookmarks().Add("Mark", doc->Range(0, 3));
    doc->Bookmarks().Add("mark", doc->Range(4, 7));
    EXPECT_EQ(doc->Bookmarks().Count(), 1);
    EXPECT_EQ(doc->Bookmarks().Item("Mark").Range().Text(), "two");
}

TEST(Bookmarks, CopyAndDelete) {
    auto doc = MakeDocument(P("abc") + test::TableXml({{test::TextRun("cell")}}) + P(""));
    auto table = doc->Bookmarks().Add("tblDetail", doc->Tables().Item(1).Range());
    EXPECT_EQ(table.Range().Text(), "cell\r\a\r\a");
    auto copy = table.Copy("tblCopy");
    EXPECT_EQ(copy.Range().Start(), table.Range().Start());
    EXPECT_EQ(copy.Range().End(), table.Range().End());
    EXPECT_EQ(doc->Tables().Item(1).Range().Bookmarks().Count(), 2);
    table.Delete();
    EXPECT_FALSE(doc->Bookmarks().Exists("tblDetail"));
    EXPECT_TRUE(doc->Bookmarks().Exists("tblCopy"));
    EXPECT_THROW(table.Range(), host::HostError);
    // Deleting the table removes the bookmarks inside it with it.
    doc->Tables().Item(1).Delete();
    EXPECT_FALSE(doc->Bookmarks().Exists("tblCopy"));
}

TEST(Bookmarks, SelectionGoesToABookmark) {
    auto doc = MakeDocument(P("first") + P("second"));
    doc->Bookmarks().Add("Second", doc->Range(6, 12));
    auto selection = doc->Selection();
    selection.GoTo(wdGoToBookmark, 0, 0, "second");
    EXPECT_EQ(selection.Start(), 6);
    EXPECT_EQ(selection.Text(), "second");
    EXPECT_EQ(selection.Bookmarks().Count(), 1);
    EXPECT_THROW(selection.GoTo(wdGoToBookmark, 0, 0, "none"), host::HostError);
}

// A table that ends the body has no paragraph after it: the bookmark's end then sits at the
// body's level, after the table, and must still be found there.
TEST(Bookmarks, OverATableThatEndsTheBody) {
    test::TempFolder folder;
    const auto path = folder.Path() / "last-table.docx";
    {
        auto doc = MakeDocument(P("abc") + test::TableXml({{test::TextRun("a"), test::TextRun("b")}, {test::TextRun("c"), test::TextRun("d")}}));
        const auto table = doc->Tables().Item(1).Range();
        auto mark = doc->Bookmarks().Add("tblLast", table);
        EXPECT_EQ(mark.Range().Text(), "a\r\ab\r\a\r\ac\r\ad\r\a\r\a");
        doc->Bookmarks().Add("Word", doc->Range(0, 3));
        EXPECT_EQ(doc->Bookmarks().Item("tblLast").Range().Start(), table.Start());
        EXPECT_EQ(doc->Bookmarks().Item("tblLast").Range().End(), table.End());
        EXPECT_EQ(doc->Bookmarks().Item("tblLast").Range().Tables().Count(), 1);
        doc->SaveAs(path);
    }
    auto reopened = Document::Open(path);
    const auto range = reopened->Bookmarks().Item("tblLast").Range();
    EXPECT_EQ(range.Start(), 4);
    EXPECT_EQ(range.End(), reopened->Content().End());
    EXPECT_EQ(range.Tables().Item(1).Cell(2, 2).Range().Text(), "d\r\a");
    // The body's own end is still reached after the marker was found.
    reopened->Bookmarks().Add("Again", range);
    EXPECT_EQ(reopened->Bookmarks().Item("Again").Range().End(), range.End());
}

}  // namespace
}  // namespace paperloom::word
