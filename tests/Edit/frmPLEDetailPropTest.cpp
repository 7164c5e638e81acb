// The detail properties dialog: presets from a table that has no data source of its own, the
// change and cleared flags of both tabs, the bookmark typed or picked, the child key's list
// from tab 0, the tab it opens on, and the editors' captions for a detail.

#include <gtest/gtest.h>

#include "EditDialogTestSupport.h"
#include "Edit/EditCommands.h"
#include "Edit/EditDialogs.h"
#include "Edit/frmPLEDetailProp.h"
#include "common/clsPLProperty.h"
#include "common/clsPLRange.h"
#include "host/word/Application.h"
#include "host/word/Bookmarks.h"
#include "host/word/Document.h"
#include "host/word/Table.h"
#include "host/word/addins/AddInHost.h"
#include "support/TestFiles.h"

namespace paperloom::edit::test {
namespace {

using paperloom::test::RunSqlite;
using paperloom::test::ScratchFolder;

class DetailPropTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunSqlite(folder.File("shop.db"),
                  "CREATE TABLE orders (id INTEGER, shop TEXT, qty INTEGER);"
                  "CREATE TABLE lines (order_id INTEGER, item TEXT, price REAL);");
        document = host.Application().Documents().Add();
    }
    std::string Shop() const { return "Provider=SQLite;Data Source=" + folder.File("shop.db").string(); }
    // The header bound to orders as the clerk; a two-column table bookmarked "Lines" whose
    // first cell carries `properties` (none when empty), with the caret in its second row.
    word::Table MakeTable(const std::string& properties) {
        auto variables = document->Variables();
        for (const auto& [name, value] :
             std::map<std::string, std::string>{{"DataSourceType", "2"}, {"DataSource", Shop()},
                                                {"UserName", "clerk"},    {"Password", "head-pw"},
                                                {"RecordSourceType", "2"}, {"RecordSource", "orders"}})
            variables.SetValue(name, value);
        const auto table = document->Tables().Add(document->Content(), 3, 2);
        document->Bookmarks().Add("Lines", table.Range());
        if (!properties.empty()) clsPLRange().InsertBeforeHiddenText(properties, table.Cell(1, 1).Range());
        auto caret = table.Cell(2, 1).Range();
        caret.SetRange(caret.Start(), caret.Start());
        document->Selection().Select(caret);
        return table;
    }
    void DetailProp() { EditCommands(host, dialogs).DetailProp(); }

    ScratchFolder folder;
    EditDialogHarness harness;
    word::AddInHost host{std::make_shared<word::Application>(), folder.Path()};
    EditDialogs dialogs;
    std::shared_ptr<word::Document> document;
};

TEST_F(DetailPropTest, ATableWithoutADataSourceOpensOnTheHeadersDataSourceAndCredentials) {
    // The table names its own user but no data source and no password.
    MakeTable("UserName=\"lineclerk\", RecordSourceType=\"2\", RecordSource=\"lines\", RSWhere=\"price > 1\", "
              "ParentKey=\"id\", ChildKey=\"order_id\", ColumnHeaders=\"False\", AutoAdjustRowCount=\"True\"");
    bool shown = false;
    harness.forms.detailProp = [&](frmPLEDetailProp& form) {
        shown = true;
        EXPECT_EQ(form.GetDataSourceType(), 2);
        EXPECT_EQ(form.GetDataSource(), Shop());
        EXPECT_EQ(form.Bind().txtUserName, "lineclerk");  // the table's own, where it has one
        EXPECT_EQ(form.Bind().txtPassword, "head-pw");
        EXPECT_FALSE(form.Bind().IsHeader());
        EXPECT_EQ(form.GetRecordSource(), "lines");
        EXPECT_EQ(form.GetRSWhere(), "price > 1");
        EXPECT_EQ(form.cboParentKey, "id");
        EXPECT_EQ(form.cboParentKeyList, (std::vector<std::string>{"id", "shop", "qty"}));
        EXPECT_EQ(form.cboChildKey, "order_id");
        EXPECT_FALSE(form.chkColumnHeaders);
        EXPECT_TRUE(form.chkAutoAdjustRowCount);
        EXPECT_EQ(form.cboBookmarkList, (std::vector<std::string>{"Lines"}));
        EXPECT_EQ(form.cboBookmark, "Lines");
        EXPECT_EQ(form.tabDetailProp, frmPLEDetailProp::TAB_BIND);
        EXPECT_FALSE(form.IsDirty()) << "presets are no change";
        form.cmdCancel_Click();
    };
    DetailProp();
    EXPECT_TRUE(shown);
}

TEST_F(DetailPropTest, EitherTabMakesItDirtyAndOnlyAnEmptiedDialogAtTheDefaultsCountsAsCleared) {
    MakeTable("");
    auto& form = dialogs.frmPLEDetailProp;
    std::vector<std::pair<bool, bool>> flags;  // IsDirty, bind part dirty
    harness.forms.detailProp = [&](frmPLEDetailProp& f) {
        flags.emplace_back(f.IsDirty(), f.Bind().IsDirty());
        f.chkColumnHeaders = false;  // one check box, nothing else
        f.Control_Change();
        flags.emplace_back(f.IsDirty(), f.Bind().IsDirty());
        EXPECT_TRUE(f.cmdOK_Click());
    };
    form.Init(document, folder.Path().string());
    form.SetDataSource("2", Shop());
    form.SetRecordSource("2", "lines", "", "");
    EXPECT_TRUE(form.DoModal());
    EXPECT_EQ(flags, (std::vector<std::pair<bool, bool>>{{false, false}, {true, false}}));

    // Cleared: no source, no keys, no credentials, and the options as a table without them
    // reads them; deleting the keys then keeps what the dialog shows.
    form.Init(document, folder.Path().string());
    EXPECT_TRUE(form.IsCleared());
    form.chkColumnHeaders = false;
    EXPECT_FALSE(form.IsCleared());
    form.chkColumnHeaders = true;
    form.chkAutoAdjustRowCount = true;
    EXPECT_FALSE(form.IsCleared());
    form.chkAutoAdjustRowCount = false;
    form.cboChildKey = "order_id";
    EXPECT_FALSE(form.IsCleared());
    form.cboChildKey.clear();
    form.Bind().txtPassword = "x";
    EXPECT_FALSE(form.IsCleared());
}

TEST_F(DetailPropTest, ATypedBookmarkIsAddedOverTheTableAndAPickedOneAddsNothing) {
    const auto table = MakeTable("RecordSourceType=\"2\", RecordSource=\"lines\"");
    // A bookmark inside the table is listed too; picking it must not stretch it over the table.
    document->Bookmarks().Add("Head", table.Cell(1, 2).Range());
    harness.forms.detailProp = [](frmPLEDetailProp& form) {
        EXPECT_EQ(form.cboBookmarkList.size(), 2u);
        form.tabDetailProp = frmPLEDetailProp::TAB_GENERAL;
        form.cboBookmark = "Head";  // picked from the list
        form.chkAutoAdjustRowCount = true;
        form.Control_Change();
        EXPECT_TRUE(form.cmdOK_Click());
    };
    // Where the bookmark lies in its cell (the settings grow in the cell before it).
    const auto inCell = [&] {
        const auto marked = document->Bookmarks().Item("Head").Range();
        const long cell = table.Cell(1, 2).Range().Start();
        return std::pair{marked.Start() - cell, marked.End() - cell};
    };
    const auto before = inCell();
    DetailProp();
    EXPECT_EQ(document->Bookmarks().Count(), 2);
    EXPECT_EQ(inCell(), before);
    document->Bookmarks().Item("Head").Delete();

    harness.forms.detailProp = [](frmPLEDetailProp& form) {
        form.cboBookmark = "Lines2";
        form.Control_Change();
        EXPECT_TRUE(form.cmdOK_Click());
    };
    DetailProp();
    ASSERT_EQ(document->Bookmarks().Count(), 2);
    for (const char* name : {"Lines", "Lines2"}) {
        const auto marked = document->Bookmarks().Item(name).Range();
        EXPECT_EQ(marked.Start(), table.Range().Start()) << name;
        EXPECT_EQ(marked.End(), table.Range().End()) << name;
    }

    // A name the document refuses keeps the dialog open on tab 1 with the document's reason,
    // before anything is written.
    const std::string settings = clsPLProperty().GetDetailProperties(table, *document);
    harness.TakeShown();
    harness.forms.detailProp = [&](frmPLEDetailProp& form) {
        EXPECT_EQ(form.tabDetailProp, frmPLEDetailProp::TAB_BIND);  // every showing starts on tab 0
        form.cboBookmark = "1 bad";
        form.chkColumnHeaders = false;
        form.Control_Change();
        EXPECT_FALSE(form.cmdOK_Click());
        EXPECT_EQ(form.tabDetailProp, frmPLEDetailProp::TAB_GENERAL);
        form.cmdCancel_Click();
    };
    DetailProp();
    EXPECT_EQ(harness.TakeShown().size(), 1u);
    EXPECT_EQ(document->Bookmarks().Count(), 2);
    EXPECT_EQ(clsPLProperty().GetDetailProperties(table, *document), settings);
}

TEST_F(DetailPropTest, EveryShowingStartsOnTabZeroAndReinitialisesWhenTheCallerDidNot) {
    auto& form = dialogs.frmPLEDetailProp;
    form.Init(document, folder.Path().string());
    form.cboParentKey = "id";
    int showings = 0;
    harness.forms.detailProp = [&](frmPLEDetailProp& f) {
        ++showings;
        EXPECT_EQ(f.tabDetailProp, frmPLEDetailProp::TAB_BIND);
        f.tabDetailProp = frmPLEDetailProp::TAB_GENERAL;
        f.cmdCancel_Click();
    };
    EXPECT_FALSE(form.DoModal());
    EXPECT_EQ(form.cboParentKey, "id") << "the caller's presets after its own Init stay";
    EXPECT_FALSE(form.DoModal());  // no Init in between: the dialog resets itself
    EXPECT_EQ(showings, 2);
    EXPECT_EQ(form.cboParentKey, "");
}

TEST_F(DetailPropTest, TheChildKeyListComesFromTabZeroAndTheEditorsAreTitledForADetail) {
    auto& form = dialogs.frmPLEDetailProp;
    form.Init(document, folder.Path().string());
    form.cboChildKey = "typed";
    form.cboChildKey_DropDown();  // nothing entered on tab 0 yet
    EXPECT_TRUE(form.cboChildKeyList.empty());
    form.SetDataSource("2", Shop());
    form.SetRecordSource("2", "lines", "", "");
    form.cboChildKey_DropDown();
    EXPECT_EQ(form.cboChildKeyList, (std::vector<std::string>{"order_id", "item", "price"}));
    EXPECT_EQ(form.cboChildKey, "typed");

    std::string filterCaption;
    std::string sortCaption;
    std::vector<std::string> sortFields;
    harness.forms.filter = [&](clsPLFilterEditor& editor) { filterCaption = editor.Caption(); };
    harness.forms.sort = [&](clsPLSortEditor& editor) { sortCaption = editor.Caption(); };
    form.Bind().cmdRSWhere_Click();
    form.Bind().cmdRSOrder_Click();
    EXPECT_EQ(filterCaption, "明細データ部の抽出");
    EXPECT_EQ(sortCaption, "明細データ部のソート");
}

}  // namespace
}  // namespace paperloom::edit::test
