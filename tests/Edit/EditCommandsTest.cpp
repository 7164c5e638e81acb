// The header binding and detail insert commands driven through the dialog models (the test
// answers the dialogs as a user would), the run-time's refresh through the add-in list with the
// real run-time library, and the lookup of the header data field at the cursor.

#include <gtest/gtest.h>

#include "EditTestSupport.h"
#include "Edit/EditCommands.h"
#include "Edit/modPLEFunction.h"
#include "common/clsPLProperty.h"
#include "host/HostError.h"
#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"

namespace paperloom::edit::test {
namespace {

const std::vector<std::string> kBindingKeys{"DataSourceType", "DataSource",   "UserName", "Password",
                                            "RecordSourceType", "RecordSource", "RSWhere",  "RSOrder"};

std::map<std::string, std::string> Variables(word::Document& doc) {
    std::map<std::string, std::string> values;
    for (const auto& variable : doc.Variables().All()) values[variable.Name()] = variable.Value();
    return values;
}

class EditCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeShopDatabase(folder.File("shop.db"));
        RunSqlite(folder.File("shop.db"),
                  "CREATE TABLE Lines (OrderId INTEGER, Item TEXT, Price INTEGER);"
                  "INSERT INTO Lines VALUES (1, 'pen', 100), (1, 'ink', 50), (3, 'pad', 300);");
    }
    // Opens a template in the host; the run-time binds it when connected.
    std::shared_ptr<word::Document> Open(const std::string& body, Settings settings) {
        const auto path = SaveBodyTemplate(folder.File("report.docx"), body, settings);
        return host.Application().Documents().Open(path);
    }
    // Starts the host with the real run-time library registered (connected at start-up, or
    // only registered).
    void StartWithRunTime(bool connected) {
        auto registration = RunRegistration(PAPERLOOM_RUN_LIBRARY);
        if (!connected) registration.loadBehavior = 0;
        host.Registry().Register(registration);
        host.Startup();
        ASSERT_EQ(host.COMAddIns().Item("OsPLRun.conPLRun").Connect(), connected);
    }
    void Select(word::Document& doc, const std::string& text) {
        auto range = doc.Content();
        auto find = range.Find();
        find.SetText(text);
        ASSERT_TRUE(find.Execute()) << text;
        doc.Selection().Select(range);
    }
    void HeadBind() { EditCommands(host, dialogs).HeadBind(); }
    void DetailInsert() { EditCommands(host, dialogs).DetailInsert(); }

    // Page 1 of the wizard: the Lines table; page 2: two data fields, the row number, an empty
    // column, linked Id -> OrderId, three rows, bookmarked "Lines".
    void AnswerWizard() {
        forms.bind = [](clsPLEBindForm& page) {
            page.cboTable = "Lines";
            page.Control_Change();
            ASSERT_TRUE(page.cmdOK_Click());
        };
        forms.detail = [](frmPLEDetailInsert& page) {
            const auto add = [&](int button, const std::string& field = {}) {
                for (auto& column : page.lstColumns) column.blnSelected = false;
                for (auto& entry : page.lstDataFields) entry.blnSelected = entry.strText == field;
                page.cmdField_Click(button);
            };
            add(frmPLEDetailInsert::CMD_ADD_SELECTED, "Item");
            add(frmPLEDetailInsert::CMD_ADD_SELECTED, "Price");
            add(frmPLEDetailInsert::CMD_ADD_SUPPORT);
            add(frmPLEDetailInsert::CMD_ADD_EMPTY);
            page.cboParentKey = "Id";
            page.cboChildKey = "OrderId";
            page.cboRowCount = "3";
            page.txtBookmark = "Lines";
            page.Control_Change();
            ASSERT_TRUE(page.cmdOK_Click());
        };
    }

    ScratchFolder folder;
    word::test::ScratchConfig config;
    word::AddInHost host{std::make_shared<word::Application>(), config.Path()};
    TestEditForms forms;
    ScopedEditForms scoped{&forms};
    EditDialogs dialogs;
};

TEST_F(EditCommandsTest, HeadBindPresetsTheDialogFromTheVariablesAndWritesTheEightBack) {
    auto settings = ShopSettings();
    settings["RSWhere"] = "Qty > 1";
    const auto doc = Open(ShopTemplateBody(), settings);
    std::string connection;
    forms.bind = [&](clsPLEBindForm& form) {
        EXPECT_EQ(form.strCaption, "基本データ部のデータ バインド");
        EXPECT_TRUE(form.IsHeader());
        EXPECT_FALSE(form.IsDirty());  // presets are no change
        EXPECT_EQ(form.GetDataSourceType(), 2);  // a database file shows as its connection string
        EXPECT_NE(form.GetDataSource().find((folder.Path() / "shop.db").string()), std::string::npos);
        EXPECT_EQ(form.GetRecordSource(), "Orders");
        EXPECT_EQ(form.GetRSWhere(), "Qty > 1");
        EXPECT_EQ(form.GetRSOrder(), "Id");
        connection = form.GetDataSource();
        form.txtUserName = "reader";
        form.Control_Change();
        ASSERT_TRUE(form.cmdOK_Click());
    };
    HeadBind();
    ASSERT_EQ(forms.bindShown, 1);
    const auto values = Variables(*doc);
    const std::vector<std::string> expected{"2", connection, "reader", "", "2", "Orders", "Qty > 1", "Id"};
    for (std::size_t i = 0; i < kBindingKeys.size(); ++i) {
        ASSERT_EQ(values.count(kBindingKeys[i]), 1u) << kBindingKeys[i];
        EXPECT_EQ(values.at(kBindingKeys[i]), expected[i]) << kBindingKeys[i];
    }

    // Cancel, and OK without a change, write nothing.
    const auto before = Variables(*doc);
    forms.bind = [](clsPLEBindForm& form) {
        form.txtUserName = "other";
        form.Control_Change();
        form.cmdCancel_Click();
    };
    HeadBind();
    forms.bind = [](clsPLEBindForm& form) { ASSERT_TRUE(form.cmdOK_Click()); };
    HeadBind();
    EXPECT_EQ(Variables(*doc), before);
}

TEST_F(EditCommandsTest, AnEmptiedDialogRemovesTheBindingAndMissingVariablesAreNoError) {
    const auto doc = Open(ShopTemplateBody(), ShopSettings());  // no user, password or filter
    doc->Variables().SetValue("UpdateDetail", "False");
    const auto messages = std::make_shared<ui::HeadlessMessageService>(std::cerr);
    const ui::ScopedServices services({messages, nullptr, nullptr, nullptr});
    forms.bind = [&](clsPLEBindForm& form) {
        form.txtConnection.clear();
        form.cboTable.clear();
        form.SetRecordSource("2", "", "", "");
        form.Control_Change();
        messages->QueueAnswer(ui::vbYes);  // no data source: close anyway
        messages->QueueAnswer(ui::vbYes);  // no record source: close anyway
        ASSERT_TRUE(form.cmdOK_Click());
        EXPECT_TRUE(form.IsCleared());
    };
    HeadBind();
    EXPECT_EQ(Variables(*doc), (std::map<std::string, std::string>{{"UpdateDetail", "False"}}));
}

TEST_F(EditCommandsTest, TheRunTimeRebindsAndRefillsOnlyWhileItIsConnected) {
    for (const bool connected : {false, true}) {
        SCOPED_TRACE(connected ? "connected" : "registered only");
        word::test::ScratchConfig ownConfig;
        word::AddInHost ownHost{std::make_shared<word::Application>(), ownConfig.Path()};
        auto registration = RunRegistration(PAPERLOOM_RUN_LIBRARY);
        if (!connected) registration.loadBehavior = 0;
        ownHost.Registry().Register(registration);
        ownHost.Startup();
        const auto path = SaveBodyTemplate(folder.File("unbound.docx"), ShopTemplateBody(), {});
        const auto doc = ownHost.Application().Documents().Open(path);
        forms.bind = [](clsPLEBindForm& form) {
            form.SetDataSource("4", "shop.db");
            form.SetRecordSource("2", "Orders", "", "Id");
            form.Control_Change();
            ASSERT_TRUE(form.cmdOK_Click());
        };
        EditCommands(ownHost, dialogs).HeadBind();
        EXPECT_EQ(Shown(*doc), connected ? (std::vector<std::string>{"A", "1"}) : (std::vector<std::string>{"?", "?"}));
        EXPECT_EQ(EditCommands(ownHost, dialogs).RefreshRunTime("UpdateView"), connected);
        ownHost.Shutdown();
    }
    // Without the run-time even registered the binding is written and nothing fails.
    const auto doc = Open(ShopTemplateBody(), {});
    HeadBind();  // the dialog closes as cancelled
    EXPECT_FALSE(EditCommands(host, dialogs).RefreshRunTime("UpdateView"));
}

TEST_F(EditCommandsTest, DetailInsertBuildsTheTableWithBookmarkPropertyTextAndCaptions) {
    const auto doc = Open(ShopTemplateBody() + Para(word::test::TextRun("[LINES]")), ShopSettings());
    Select(*doc, "[LINES]");
    AnswerWizard();
    // The first time page 2 sends the user back; page 1 shows again as it was left.
    auto answer = forms.detail;
    int passes = 0;
    forms.detail = [&](frmPLEDetailInsert& page) {
        if (++passes == 1) {
            EXPECT_EQ(page.cboParentKeyList, (std::vector<std::string>{"Id", "Shop", "Qty", "Price", "Placed", "Paid",
                                                                       "Note", "Photo", "Amount", "Stamp"}));
            EXPECT_EQ(page.cboChildKeyList, (std::vector<std::string>{"OrderId", "Item", "Price"}));
            page.cmdBack_Click();
            return;
        }
        answer(page);
    };
    auto page1 = forms.bind;
    forms.bind = [&](clsPLEBindForm& page) {
        if (passes == 1) {
            EXPECT_EQ(page.GetRecordSource(), "Lines");
            ASSERT_TRUE(page.cmdOK_Click());
            return;
        }
        EXPECT_EQ(page.GetDataSourceType(), 2);  // preset from the header's data source
        page1(page);
    };
    DetailInsert();
    EXPECT_EQ(forms.bindShown, 2);
    EXPECT_EQ(forms.detailShown, 2);

    ASSERT_EQ(doc->Tables().Count(), 1);
    const auto table = doc->Tables().Item(1);
    EXPECT_EQ(table.Rows().Count(), 4);
    EXPECT_EQ(table.Columns().Count(), 4);
    ASSERT_TRUE(doc->Bookmarks().Exists("Lines"));
    const auto marked = doc->Bookmarks().Item("Lines").Range();
    EXPECT_EQ(marked.Start(), table.Range().Start());
    EXPECT_EQ(marked.End(), table.Range().End());

    const clsPLProperty prop;
    std::vector<std::string> columns;
    ASSERT_EQ(prop.GetColumnProperties(table, *doc, columns), 4);
    const std::string tableSet =
        "DataSourceType=\"2\", DataSource=\"" + prop.GetPropertyFromText(columns[0], "DataSource", "") +
        "\", UserName=\"\", Password=\"\", RecordSourceType=\"2\", RecordSource=\"Lines\", RSWhere=\"\", "
        "RSOrder=\"\", ParentKey=\"Id\", ChildKey=\"OrderId\", ColumnHeaders=\"True\", AutoAdjustRowCount=\"False\"";
    EXPECT_EQ(columns[0], tableSet + ", FieldType=\"1\", DataField=\"Item\", FormatType=\"\", Format=\"\"");
    EXPECT_EQ(columns[1], "FieldType=\"1\", DataField=\"Price\", FormatType=\"\", Format=\"\"");
    EXPECT_EQ(columns[2], "FieldType=\"2\", DataField=\"行番号\", FormatType=\"\", Format=\"\"");
    EXPECT_EQ(columns[3], "");  // an empty column: no property text
    std::vector<std::string> captions;
    for (long column = 1; column <= 4; ++column) {
        auto cell = table.Cell(1, column).Range();
        cell.SetEnd(cell.End() - 1);
        captions.push_back(cell.Text());
    }
    EXPECT_EQ(captions, (std::vector<std::string>{"Item", "Price", "行番号", ""}));
    EXPECT_EQ(doc->Content().Text().find("[LINES]"), std::string::npos);
}

TEST_F(EditCommandsTest, CancelOrAValueThePropertyTextCannotHoldLeavesTheDocumentUntouched) {
    const auto doc = Open(ShopTemplateBody() + Para(word::test::TextRun("[LINES]")), ShopSettings());
    const std::string text = doc->Content().Text();
    AnswerWizard();
    auto answer = forms.detail;
    forms.detail = [](frmPLEDetailInsert& page) { page.cmdCancel_Click(); };
    Select(*doc, "[LINES]");
    DetailInsert();
    EXPECT_EQ(forms.detailShown, 1);

    // An expression holding a double quote would break the property text behind it.
    forms.detail = [&](frmPLEDetailInsert& page) {
        answer(page);
        page.txtExpression = "\"x\"";
        page.cmdField_Click(frmPLEDetailInsert::CMD_ADD_EXPRESSION);
    };
    EXPECT_THROW(DetailInsert(), host::HostError);
    EXPECT_EQ(doc->Tables().Count(), 0);
    EXPECT_EQ(doc->Bookmarks().Count(), 0);
    EXPECT_EQ(doc->Content().Text(), text);
}

TEST_F(EditCommandsTest, DetailTablesAreRefilledOnlyWhileUpdateDetailIsTrue) {
    StartWithRunTime(true);
    for (const std::string updateDetail : {"False", "True"}) {
        SCOPED_TRACE(updateDetail);
        auto settings = ShopSettings();
        settings["UpdateDetail"] = updateDetail;
        const auto doc = Open(ShopTemplateBody() + Para(word::test::TextRun("[LINES]")), settings);
        Select(*doc, "[LINES]");
        AnswerWizard();
        DetailInsert();
        ASSERT_EQ(doc->Tables().Count(), 1);
        const std::string shown = doc->Tables().Item(1).Range().Text();
        EXPECT_EQ(shown.find("pen") != std::string::npos, updateDetail == "True") << shown;
        doc->Close();
    }
}

TEST(ModPLEFunctionTest, FindsTheHeaderDataFieldAtTheCursorInTheTextAndInItsStory) {
    auto doc = word::test::MakeDocument(
        Para(word::test::TextRun("a ") + FieldRuns("quote DataField Shop", "SHOP") + word::test::TextRun(" b ") +
             FieldRuns("PAGE", "1") + word::test::TextRun(" ") + FieldRuns("quote \"DataField\"", "x")) +
        Para(LegacyTextBox(Para(FieldRuns("quote RecordIndex", "7")))));
    const auto fields = word::FieldsOf(*doc);
    ASSERT_EQ(fields.Count(), 3);
    EXPECT_TRUE(modPLEFunction::IsDataField(fields.Item(1)));
    EXPECT_FALSE(modPLEFunction::IsDataField(fields.Item(2)));  // not a QUOTE field
    EXPECT_FALSE(modPLEFunction::IsDataField(fields.Item(3)));  // one word after quote

    auto selection = doc->Selection();
    const auto shop = fields.Item(1).Result();
    selection.SetRange(shop.Start() + 1, shop.Start() + 1);  // the caret inside the shown value
    auto found = modPLEFunction::GetDataFieldAtCursor(fields, selection);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->Range().Start(), fields.Item(1).Range().Start());

    const auto page = fields.Item(2).Range();
    selection.SetRange(page.Start(), page.End());  // a whole non-data field selected counts as the one
    found = modPLEFunction::FindDataFieldIn(fields, selection);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->Range().Start(), page.Start());

    selection.SetRange(0, 1);  // plain text: nothing
    EXPECT_FALSE(modPLEFunction::GetDataFieldAtCursor(fields, selection));

    // In a text box the main text's fields give nothing; the box's own story is searched.
    const auto box = doc->Shapes().Item(1).TextFrame().TextRange();
    const auto boxFields = word::FieldsOf(box);
    ASSERT_EQ(boxFields.Count(), 1);
    const auto index = boxFields.Item(1).Result();
    auto caret = index.Duplicate();
    caret.SetRange(index.Start(), index.Start());
    selection.Select(caret);
    found = modPLEFunction::GetDataFieldAtCursor(fields, selection);
    ASSERT_TRUE(found);
    EXPECT_EQ(found->Code().Text().find("RecordIndex") != std::string::npos, true);
}

}  // namespace
}  // namespace paperloom::edit::test
