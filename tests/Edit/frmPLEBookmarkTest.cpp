// The bookmark manager on a document: the list mirrors the document's bookmarks through adding
// (one entry per name whatever its letter case), renaming by label edit, deleting and jumping;
// errors show the document's description and leave the dialog up; keys move the focus and
// the default button.

#include <gtest/gtest.h>

#include "EditDialogTestSupport.h"
#include "Edit/frmPLEBookmark.h"
#include "common/modPLConst.h"
#include "host/word/Application.h"
#include "host/word/Bookmarks.h"
#include "host/word/Document.h"

namespace paperloom::edit::test {
namespace {

using B = frmPLEBookmark;
using Names = std::vector<std::string>;

class BookmarkTest : public ::testing::Test {
protected:
    void SetUp() override {
        doc = app.Documents().Add();
        doc->Content().InsertAfter("Hello world, bookmarks.");
        doc->Bookmarks().Add("Alpha", doc->Range(0, 5));
        doc->Bookmarks().Add("Beta", doc->Range(6, 11));
    }
    // Opens the manager and runs `script` on it while it is up.
    void Run(std::function<void(B&)> script) {
        bool shown = false;
        harness.forms.bookmark = [&](B& form) {
            shown = true;
            script(form);
        };
        form.DoModal(app);
        EXPECT_TRUE(shown);
    }
    Names DocumentNames() const {
        Names names;
        for (const auto& name : doc->Bookmarks()) names.push_back(name);
        return names;
    }
    void Select(B& f, const std::string& name) {
        for (std::size_t i = 0; i < f.lstBookmark.size(); ++i)
            if (f.lstBookmark[i] == name) f.lstBookmark_Click(static_cast<long>(i));
        ASSERT_EQ(f.SelectedName(), name);
    }

    EditDialogHarness harness;
    word::Application app;
    std::shared_ptr<word::Document> doc;
    B form;
};

TEST_F(BookmarkTest, ListsTheDocumentsBookmarksAndNothingWithoutADocument) {
    form.txtBookmarkName = "left over";
    Run([&](B& f) {
        EXPECT_TRUE(f.IsShown());
        EXPECT_EQ(f.lstBookmark, (Names{"Alpha", "Beta"}));
        EXPECT_TRUE(f.txtBookmarkName.empty());
        EXPECT_EQ(f.lngSelected, -1);
        EXPECT_STREQ(f.DefaultButton(), "cmdAdd");
    });
    EXPECT_FALSE(form.IsShown());

    doc->Close(word::wdDoNotSaveChanges);
    Run([&](B& f) {
        EXPECT_TRUE(f.lstBookmark.empty());
        // Adding needs a document: its error shows and the dialog stays.
        f.txtBookmarkName = "Gamma";
        f.cmdAdd_Click();
        EXPECT_TRUE(f.IsShown());
        EXPECT_TRUE(f.lstBookmark.empty());
    });
    EXPECT_EQ(harness.TakeShown().size(), 1U);
}

TEST_F(BookmarkTest, AddingAnExistingNameInOtherLettersMovesItAndLeavesOneEntry) {
    Run([&](B& f) {
        f.cmdAdd_Click();  // an empty name adds nothing
        EXPECT_EQ(f.lstBookmark, (Names{"Alpha", "Beta"}));

        doc->Selection().SetRange(13, 22);
        f.txtBookmarkName = "ALPHA";
        f.cmdAdd_Click();
        EXPECT_EQ(f.lstBookmark, (Names{"Beta", "ALPHA"}));
        f.txtBookmarkName = "Gamma";
        f.cmdAdd_Click();
        EXPECT_EQ(f.lstBookmark, (Names{"Beta", "ALPHA", "Gamma"}));
    });
    EXPECT_EQ(DocumentNames().size(), 3U);
    EXPECT_EQ(doc->Bookmarks().Item("alpha").Range().Text(), "bookmarks");
    EXPECT_EQ(doc->Bookmarks().Item("Gamma").Range().Text(), "bookmarks");
    EXPECT_TRUE(harness.TakeShown().empty());
}

TEST_F(BookmarkTest, JumpRenameAndDeleteWithoutASelectedEntryDoNothing) {
    doc->Selection().SetRange(20, 20);
    Run([&](B& f) {
        f.cmdJump_Click();
        f.lstBookmark_DblClick();
        f.lstBookmark_KeyDown(B::KEY_J);
        f.cmdRename_Click();
        f.lstBookmark_KeyDown(B::KEY_F2);
        EXPECT_EQ(f.lngEditingLabel, -1);
        EXPECT_FALSE(f.lstBookmark_AfterLabelEdit(std::string("Other")));
        f.cmdRemove_Click();
        f.lstBookmark_Click(7);  // past the end selects nothing
        f.cmdRemove_Click();
        EXPECT_EQ(f.lstBookmark, (Names{"Alpha", "Beta"}));
    });
    EXPECT_EQ(doc->Selection().Start(), 20);
    EXPECT_EQ(DocumentNames(), (Names{"Alpha", "Beta"}));
    EXPECT_TRUE(harness.TakeShown().empty());
}

TEST_F(BookmarkTest, JumpsToAndDeletesTheSelectedBookmark) {
    Run([&](B& f) {
        Select(f, "Beta");
        f.cmdJump_Click();
        EXPECT_EQ(doc->Selection().Text(), "world");
        Select(f, "Alpha");
        f.lstBookmark_DblClick();
        EXPECT_EQ(doc->Selection().Text(), "Hello");
        f.cmdRemove_Click();
        EXPECT_EQ(f.lstBookmark, (Names{"Beta"}));
        EXPECT_EQ(f.lngSelected, -1);
    });
    EXPECT_EQ(DocumentNames(), (Names{"Beta"}));
}

TEST_F(BookmarkTest, RenamingByLabelEditKeepsTheRangeAndALetterCaseChangeKeepsTheBookmark) {
    Run([&](B& f) {
        Select(f, "Alpha");
        f.cmdRename_Click();
        EXPECT_EQ(f.lngEditingLabel, 0);
        EXPECT_STREQ(f.DefaultButton(), "cmdJump");
        EXPECT_TRUE(f.lstBookmark_AfterLabelEdit(std::string("ALPHA")));
        EXPECT_EQ(f.lstBookmark, (Names{"ALPHA", "Beta"}));

        f.lstBookmark_KeyDown(B::KEY_F2);
        EXPECT_FALSE(f.lstBookmark_AfterLabelEdit(std::nullopt));  // abandoned
        f.cmdRename_Click();
        EXPECT_FALSE(f.lstBookmark_AfterLabelEdit(std::string("ALPHA")));  // unchanged
        f.cmdRename_Click();
        EXPECT_TRUE(f.lstBookmark_AfterLabelEdit(std::string("Greeting")));
        EXPECT_EQ(f.lstBookmark, (Names{"Greeting", "Beta"}));
    });
    EXPECT_EQ(DocumentNames(), (Names{"Beta", "Greeting"}));
    EXPECT_EQ(doc->Bookmarks().Item("Greeting").Range().Text(), "Hello");
    EXPECT_TRUE(harness.TakeShown().empty());
}

TEST_F(BookmarkTest, RenamingToAnotherBookmarksNameLeavesOneEntryForIt) {
    // The other bookmark is moved onto the renamed one's range, so the document has one.
    Run([&](B& f) {
        Select(f, "Beta");
        f.cmdRename_Click();
        EXPECT_TRUE(f.lstBookmark_AfterLabelEdit(std::string("alpha")));
        EXPECT_EQ(f.lstBookmark, (Names{"alpha"}));
        EXPECT_EQ(f.SelectedName(), "alpha");
    });
    EXPECT_EQ(DocumentNames(), (Names{"alpha"}));
    EXPECT_EQ(doc->Bookmarks().Item("ALPHA").Range().Text(), "world");
}

TEST_F(BookmarkTest, ErrorsShowTheDocumentsDescriptionAndKeepTheDialog) {
    Run([&](B& f) {
        f.txtBookmarkName = "1st";
        f.cmdAdd_Click();
        EXPECT_TRUE(f.IsShown());
        EXPECT_EQ(f.lstBookmark, (Names{"Alpha", "Beta"}));

        Select(f, "Alpha");
        f.cmdRename_Click();
        EXPECT_FALSE(f.lstBookmark_AfterLabelEdit(std::string("has space")));
        EXPECT_EQ(f.lstBookmark, (Names{"Alpha", "Beta"}));

        // Deleted behind the dialog's back.
        doc->Bookmarks().Item("Beta").Delete();
        Select(f, "Beta");
        f.cmdJump_Click();
        f.cmdRemove_Click();
        EXPECT_TRUE(f.IsShown());
    });
    EXPECT_EQ(DocumentNames(), (Names{"Alpha"}));
    const auto& shown = harness.messages->Shown();
    ASSERT_EQ(shown.size(), 4U) << harness.log.str();
    for (const auto& box : shown) {
        EXPECT_EQ(box.request.icon, ui::MessageIcon::Critical);
        EXPECT_EQ(box.request.strTitle, modPLConst::EDIT_APP_TITLE);
        // The description alone, not the error report with source and number.
        EXPECT_EQ(box.request.strText.find("エラー("), std::string::npos) << box.request.strText;
    }
    EXPECT_EQ(shown[0].request.strText, shown[1].request.strText) << "both are the bad-name error";
}

TEST_F(BookmarkTest, KeysMoveTheFocusAndTheDefaultButtonAndCloseHides) {
    Run([&](B& f) {
        f.txtBookmarkName_KeyDown(B::KEY_DOWN);
        EXPECT_STREQ(f.DefaultButton(), "cmdJump");
        EXPECT_EQ(f.lngSelected, 0);
        f.lstBookmark_KeyDown(B::KEY_J);
        EXPECT_EQ(doc->Selection().Text(), "Hello");
        f.lstBookmark_Click(1);
        f.lstBookmark_KeyDown(B::KEY_UP);  // not the first entry: the list keeps the focus
        EXPECT_STREQ(f.DefaultButton(), "cmdJump");
        f.lstBookmark_Click(0);
        f.lstBookmark_KeyDown(B::KEY_UP);
        EXPECT_STREQ(f.DefaultButton(), "cmdAdd");
        f.lstBookmark_GotFocus();
        f.cmdClose_Click();
        EXPECT_FALSE(f.IsShown());
        EXPECT_STREQ(f.DefaultButton(), "cmdAdd");
    });
    doc->Bookmarks().Item("Alpha").Delete();
    doc->Bookmarks().Item("Beta").Delete();
    Run([&](B& f) {
        f.txtBookmarkName_KeyDown(B::KEY_DOWN);  // an empty list takes no focus
        EXPECT_STREQ(f.DefaultButton(), "cmdAdd");
    });
}

TEST(BookmarkNames, CompareUpperCasedInAnyScript) {
    EXPECT_TRUE(SameBookmarkName("Table_1", "TABLE_1"));
    EXPECT_TRUE(SameBookmarkName("straße", "STRASSE"));
    EXPECT_TRUE(SameBookmarkName("Ωmega", "ωMEGA"));
    EXPECT_FALSE(SameBookmarkName("表1", "表2"));
}

}  // namespace
}  // namespace paperloom::edit::test
