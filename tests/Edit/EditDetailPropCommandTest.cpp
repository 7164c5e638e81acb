// The detail properties command through the dialog's model: the table's keys written back in
// the hidden run they share with column 1's own keys (which stay, as do other keys and the
// other columns), a table without settings given them, an emptied dialog removing the twelve
// keys, the message without a table, and the run-time refill only while UpdateDetail is True.

#include <gtest/gtest.h>

#include "EditDialogTestSupport.h"
#include "EditTestSupport.h"
#include "Edit/EditCommands.h"
#include "common/clsPLProperty.h"
#include "common/clsPLRange.h"

namespace paperloom::edit::test {
namespace {

const std::string kTableKeys =
    "DataSourceType=\"4\", DataSource=\"shop.db\", UserName=\"\", Password=\"\", RecordSourceType=\"2\", "
    "RecordSource=\"Lines\", RSWhere=\"\", RSOrder=\"Price DESC\", ParentKey=\"Id\", ChildKey=\"OrderId\", "
    "ColumnHeaders=\"True\", AutoAdjustRowCount=\"False\"";
const std::string kItemKeys = "FieldType=\"1\", DataField=\"Item\", FormatType=\"\", Format=\"\", SkipSameValue=\"True\"";
const std::string kPriceKeys = "FieldType=\"1\", DataField=\"Price\", FormatType=\"\\#\", Format=\"#,##0\"";

class DetailPropCommandTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeShopDatabase(folder.File("shop.db"));
        RunSqlite(folder.File("shop.db"),
                  "CREATE TABLE Lines (OrderId INTEGER, Item TEXT, Price INTEGER);"
                  "INSERT INTO Lines VALUES (1, 'pen', 100), (1, 'ink', 50), (3, 'pad', 300);");
    }
    // The shop template with a detail table of Item and Price under the header fields; its
    // first cell holds `first` (table and column 1 keys) before the caption "Item".
    std::shared_ptr<word::Document> Open(const std::string& first, Settings settings = ShopSettings()) {
        const auto path = SaveBodyTemplate(folder.File("report.docx"), ShopTemplateBody() + Para(""), settings);
        {
            // Made as the designer makes it: the table through the document, then its texts.
            auto made = word::Document::Open(path);
            auto end = made->Content();
            end.SetRange(end.End() - 1, end.End() - 1);
            const auto table = made->Tables().Add(end, 3, 2);
            const clsPLRange ranges;
            const std::string hidden[] = {first, kPriceKeys};
            const char* captions[] = {"Item", "Price"};
            for (long c = 1; c <= 2; ++c) {
                auto cell = table.Cell(1, c).Range();
                ranges.AppendText(captions[c - 1], cell);
                if (!hidden[c - 1].empty()) ranges.InsertBeforeHiddenText(hidden[c - 1], table.Cell(1, c).Range());
            }
            made->SaveAs(path);
            made->Close();
        }
        auto doc = host.Application().Documents().Open(path);
        auto caret = doc->Tables().Item(1).Cell(2, 2).Range();
        caret.SetRange(caret.Start(), caret.Start());
        doc->Selection().Select(caret);
        return doc;
    }
    std::vector<std::string> Columns(word::Document& doc) {
        std::vector<std::string> columns;
        clsPLProperty().GetColumnProperties(doc.Tables().Item(1), doc, columns);
        return columns;
    }
    static std::string Caption(word::Document& doc, long column) {
        auto cell = doc.Tables().Item(1).Cell(1, column).Range();
        cell.SetEnd(cell.End() - 1);
        return cell.Text();
    }
    void DetailProp() { EditCommands(host, dialogs).DetailProp(); }

    ScratchFolder folder;
    word::test::ScratchConfig config;
    word::AddInHost host{std::make_shared<word::Application>(), config.Path()};
    EditDialogHarness harness;
    EditDialogs dialogs;
};

TEST_F(DetailPropCommandTest, TheTwelveKeysAreRewrittenInTheRunTheyShareWithColumnOne) {
    const auto doc = Open(kTableKeys + ", EffectiveRowCnt=\"2\", " + kItemKeys);
    std::string connection;
    harness.forms.detailProp = [&](frmPLEDetailProp& form) {
        EXPECT_EQ(form.GetRSOrder(), "Price DESC");
        connection = form.GetDataSource();  // the database file as the dialog shows it
        form.Bind().txtUserName = "clerk";
        form.Bind().Control_Change();
        form.chkAutoAdjustRowCount = true;
        form.Control_Change();
        EXPECT_TRUE(form.cmdOK_Click());
    };
    DetailProp();
    const auto columns = Columns(*doc);
    ASSERT_EQ(columns.size(), 2u);
    EXPECT_EQ(columns[0], "DataSourceType=\"2\", DataSource=\"" + connection +
                              "\", UserName=\"clerk\", Password=\"\", RecordSourceType=\"2\", RecordSource=\"Lines\", "
                              "RSWhere=\"\", RSOrder=\"Price DESC\", ParentKey=\"Id\", ChildKey=\"OrderId\", "
                              "ColumnHeaders=\"True\", AutoAdjustRowCount=\"True\", EffectiveRowCnt=\"2\", " +
                              kItemKeys);
    EXPECT_EQ(columns[1], kPriceKeys);
    EXPECT_EQ(Caption(*doc, 1), "Item");
    EXPECT_EQ(Caption(*doc, 2), "Price");

    // Cancel, and OK without a change, write nothing.
    harness.forms.detailProp = [](frmPLEDetailProp& form) {
        form.chkColumnHeaders = false;
        form.Control_Change();
        form.cmdCancel_Click();
    };
    DetailProp();
    harness.forms.detailProp = [](frmPLEDetailProp& form) { EXPECT_TRUE(form.cmdOK_Click()); };
    DetailProp();
    EXPECT_EQ(Columns(*doc), columns);
}

TEST_F(DetailPropCommandTest, ATableWithoutSettingsGetsThemBeforeItsCaption) {
    const auto doc = Open("");
    harness.forms.detailProp = [](frmPLEDetailProp& form) {
        form.SetRecordSource("2", "Lines", "", "");
        form.cboParentKey = "Id";
        form.cboChildKey = "OrderId";
        form.Control_Change();
        EXPECT_TRUE(form.cmdOK_Click());
    };
    DetailProp();
    const clsPLProperty prop;
    const std::string text = Columns(*doc)[0];
    EXPECT_EQ(prop.GetPropertyFromText(text, "DataSourceType", ""), "2");  // the header's, as shown
    EXPECT_NE(prop.GetPropertyFromText(text, "DataSource", "").find("shop.db"), std::string::npos);
    EXPECT_EQ(prop.GetPropertyFromText(text, "RecordSource", ""), "Lines");
    EXPECT_EQ(prop.GetPropertyFromText(text, "ChildKey", ""), "OrderId");
    EXPECT_EQ(prop.GetPropertyFromText(text, "ColumnHeaders", ""), "True");
    EXPECT_EQ(Caption(*doc, 1), "Item");  // hidden: the caption is all that shows
}

TEST_F(DetailPropCommandTest, AnEmptiedDialogRemovesOnlyTheTwelveKeys) {
    const auto clear = [](frmPLEDetailProp& form) {
        form.Bind().optDataSource_Click(clsPLEBindForm::OPT_DS_CONNECTION);
        form.Bind().txtConnection.clear();
        form.SetRecordSource("2", "", "", "");
        form.cboParentKey.clear();
        form.cboChildKey.clear();
        form.Control_Change();
        EXPECT_TRUE(form.IsCleared());
        EXPECT_TRUE(form.cmdOK_Click());
    };
    harness.forms.detailProp = clear;
    {
        const auto doc = Open(kTableKeys + ", " + kItemKeys);
        DetailProp();
        EXPECT_EQ(Columns(*doc), (std::vector<std::string>{kItemKeys, kPriceKeys}));
        EXPECT_EQ(Caption(*doc, 1), "Item");
        doc->Close(word::wdDoNotSaveChanges);
    }
    // Nothing of column 1's own: no hidden text is left in the cell.
    const auto doc = Open(kTableKeys);
    DetailProp();
    EXPECT_EQ(Columns(*doc), (std::vector<std::string>{"", kPriceKeys}));
    auto cell = doc->Tables().Item(1).Cell(1, 1).Range();
    cell.TextRetrievalMode().SetIncludeHiddenText(true);
    EXPECT_EQ(cell.Text(), "Item\r\a");
}

TEST_F(DetailPropCommandTest, OutsideATableTheCommandSaysSoAndOpensNothing) {
    const auto doc = Open(kTableKeys);
    auto caret = doc->Content();
    caret.SetRange(0, 0);
    doc->Selection().Select(caret);
    bool shown = false;
    harness.forms.detailProp = [&](frmPLEDetailProp&) { shown = true; };
    DetailProp();
    EXPECT_FALSE(shown);
    EXPECT_EQ(harness.TakeShown(), (std::vector<std::string>{"カーソルを対象の表に移動してください"}));
}

// The run-time itself refills detail tables only under UpdateDetail "True", so a call made
// regardless would not show in the document: the connected run-time's controller is replaced
// by one that counts the calls.
TEST_F(DetailPropCommandTest, TheRunTimeIsAskedToRefillOnlyWhileUpdateDetailIsTrue) {
    host.Registry().Register(RunRegistration(PAPERLOOM_RUN_LIBRARY));
    host.Startup();
    auto& runTime = host.COMAddIns().Item("OsPLRun.conPLRun");
    ASSERT_TRUE(runTime.Connect());
    std::vector<std::string> calls;
    auto controller = std::make_shared<word::DispatchTable>();
    for (const char* method : {"RebindHeader", "UpdateHeader", "UpdateView"})
        controller->Add(method, 1, 1, [&calls, method](word::DispArgs&) -> word::DispValue {
            calls.emplace_back(method);
            return {};
        });
    auto object = std::make_shared<word::DispatchTable>();
    object->Add("Controller", 0, 0, [controller](word::DispArgs&) -> word::DispValue {
        return word::DispValue(word::DispatchPtr(controller));
    });
    runTime.SetObject(object);

    for (const std::string updateDetail : {"False", "True", "true"}) {
        SCOPED_TRACE(updateDetail);
        auto settings = ShopSettings();
        settings["UpdateDetail"] = updateDetail;
        const auto doc = Open(kTableKeys + ", " + kItemKeys, settings);
        calls.clear();
        harness.forms.detailProp = [](frmPLEDetailProp& form) {
            form.SetRecordSource("2", "Lines", "Price > 60", "Price");
            form.Control_Change();
            EXPECT_TRUE(form.cmdOK_Click());
        };
        DetailProp();
        EXPECT_EQ(clsPLProperty().GetPropertyFromText(Columns(*doc)[0], "RSWhere", ""), "Price > 60");
        EXPECT_EQ(calls, updateDetail == "True" ? std::vector<std::string>{"UpdateView"} : std::vector<std::string>{});
        doc->Close(word::wdDoNotSaveChanges);
    }
}

}  // namespace
}  // namespace paperloom::edit::test
