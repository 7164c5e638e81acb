// The run-time commands clicked through their menu and toolbar controls, with the dialogs
// answered by scripted forms and the message boxes by scripted answers: navigation at both
// ends, move, find by field kind with the wrap-around question, filter, sort, options, the
// confirmations, and an error inside a command.

#include <gtest/gtest.h>

#include <functional>
#include <sstream>

#include "Run/FindCondition.h"
#include "Run/RunForms.h"
#include "Run/conPLRun.h"
#include "Run/frmPLRFind.h"
#include "Run/frmPLRMove.h"
#include "Run/frmPLROption.h"
#include "common/clsPLProperty.h"
#include "conPLRunTestSupport.h"
#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"

namespace paperloom::run::test {
namespace {

// Forms that run a script instead of a window.
struct ScriptedForms final : RunForms {
    std::function<void(frmPLRMove&)> move;
    std::function<void(frmPLRFind&)> find;
    std::function<void(frmPLROption&)> option;
    std::function<void(clsPLFilterEditor&)> filter;
    std::function<void(clsPLSortEditor&)> sort;
    std::string aboutCaption;
    int unloads = 0;
    void ShowMove(frmPLRMove& f) override { if (move) move(f); }
    void ShowFind(frmPLRFind& f) override { if (find) find(f); }
    void ShowOption(frmPLROption& f) override { if (option) option(f); }
    void ShowFilter(clsPLFilterEditor& f) override { if (filter) filter(f); }
    void ShowSort(clsPLSortEditor& f) override { if (sort) sort(f); }
    void ShowAbout(const frmPLAboutBox& f) override { aboutCaption = f.strCaption + "|" + f.lblSubTitle; }
    void Unload() override { ++unloads; }
};

class RunCommandsTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeShopDatabase(folder.File("shop.db"));
        templatePath = SaveBodyTemplate(folder.File("report.docx"), ShopTemplateBody(), ShopSettings());
        run = std::make_shared<conPLRun>();
        word::CustomArgs custom;
        run->OnConnection(host, word::ext_ConnectMode::ext_cm_AfterStartup, addInInst, custom);
        report = host.Application().Documents().Open(templatePath);
    }
    void TearDown() override {
        word::CustomArgs custom;
        run->OnDisconnection(word::ext_DisconnectMode::ext_dm_HostShutdown, custom);
    }
    void Click(const std::string& reference) {
        auto* events = run->Events();
        auto control = reference.rfind("mctlMenu", 0) == 0 ? events->MenuControl(reference)
                                                           : events->ToolControl(reference);
        ASSERT_NE(control, nullptr) << reference;
        control->Execute();
        EXPECT_FALSE(run->State().gblnInCommand);
    }
    std::string Id() { return Shown(*report).at(1); }
    std::string Variable(const std::string& name) { return clsPLProperty().GetDocVariable(name, *report, "<none>"); }
    // Finds with the dialog's controls set, clicking its find button once.
    void Find(const std::string& field, const std::string& value, int blank = 0, int backward = 0) {
        forms.find = [&](frmPLRFind& f) {
            f.Form_Load();
            f.cboDataField = field;
            f.txtComparisonValue = value;
            f.optComparisonValue = blank;
            f.optSearchDirection = backward;
            f.cmdFind_Click();
        };
        Click("mctlToolHeadFindEvts");
    }

    ScratchFolder folder;
    word::test::ScratchConfig config;
    std::filesystem::path templatePath;
    word::AddInHost host{std::make_shared<word::Application>(), config.Path()};
    word::COMAddIn addInInst{host, RunRegistration()};
    std::shared_ptr<conPLRun> run;
    std::shared_ptr<word::Document> report;
    std::ostringstream log;
    std::shared_ptr<ui::HeadlessMessageService> messages = std::make_shared<ui::HeadlessMessageService>(log);
    ui::ScopedServices services{{messages, nullptr, nullptr, nullptr}};
    ScriptedForms forms;
    ScopedRunForms scoped{&forms};
};

TEST_F(RunCommandsTest, NavigationStaysOnTheFirstAndLastRecord) {
    ASSERT_EQ(Id(), "1");
    Click("mctlMenuHeadPrevEvts");
    EXPECT_EQ(Id(), "1");
    Click("mctlToolHeadNextEvts");
    EXPECT_EQ(Id(), "2");
    Click("mctlMenuHeadLastEvts");
    EXPECT_EQ(Id(), "5");
    Click("mctlMenuHeadNextEvts");
    EXPECT_EQ(Id(), "5");
    Click("mctlToolHeadPrevEvts");
    EXPECT_EQ(Id(), "4");
    Click("mctlToolHeadFirstEvts");
    EXPECT_EQ(Id(), "1");
    EXPECT_EQ(log.str(), "");  // no message on the way
}

TEST_F(RunCommandsTest, MoveGoesToNumbersAndRefusesText) {
    std::vector<std::string> inputs{"3", "0", "99", "abc", "", "2.6"};
    std::vector<std::string> shown;
    forms.move = [&](frmPLRMove& f) {
        f.Form_Load();
        EXPECT_EQ(f.txtRecordIndex, "");
        for (const auto& input : inputs) {
            f.txtRecordIndex = input;
            f.cmdMove_Click();  // the dialog stays open between moves
            shown.push_back(Id());
        }
    };
    Click("mctlMenuHeadMoveEvts");
    EXPECT_EQ(shown, (std::vector<std::string>{"3", "1", "5", "5", "5", "3"}));
    std::size_t refusals = 0;
    for (auto at = log.str().find("レコード番号を設定してください"); at != std::string::npos;
         at = log.str().find("レコード番号を設定してください", at + 1))
        ++refusals;
    EXPECT_EQ(refusals, 2u);
}

TEST_F(RunCommandsTest, FindByTextNumberDateAndBlankBothWays) {
    Find("Shop", "B");
    EXPECT_EQ(Id(), "2");
    Find("Shop", "B");
    EXPECT_EQ(Id(), "5");
    messages->QueueAnswer(ui::vbYes);  // wrap round from the last record
    Find("Shop", "B");
    EXPECT_EQ(Id(), "2");
    EXPECT_NE(log.str().find("最終レコードまで検索しました。先頭レコードから再度検索しますか?"), std::string::npos);
    Find("Qty", "12");
    EXPECT_EQ(Id(), "3");
    Find("Placed", "2024/04/20");
    EXPECT_EQ(Id(), "4");
    Find("Shop", "A", 0, 1);
    EXPECT_EQ(Id(), "3");
    messages->QueueAnswer(ui::vbNo);  // backward past the first A: declined, record kept
    Find("Note", "first", 0, 1);
    EXPECT_EQ(Id(), "1");
    Find("Stamp", "", 1);  // blank: every Stamp is Null, so the next record
    EXPECT_EQ(Id(), "2");
}

TEST_F(RunCommandsTest, FindRestoresTheRecordWhenDeclinedAndRefusesBadInput) {
    Click("mctlMenuHeadLastEvts");
    Click("mctlMenuHeadPrevEvts");
    ASSERT_EQ(Id(), "4");
    messages->QueueAnswer(ui::vbNo);
    Find("Note", "O'Brien");  // a quote in the value is data, not the end of the text
    EXPECT_EQ(Id(), "4");
    EXPECT_EQ(messages->PendingAnswers(), 0u);
    Find("NoSuchField", "x");
    EXPECT_NE(log.str().find("フィールド名、フィールドタイプが不正です"), std::string::npos);
    Find("Qty", "twelve");
    EXPECT_NE(log.str().find("設定した値が不正です"), std::string::npos);
    Find("", "x");
    EXPECT_NE(log.str().find("データフィールドを設定してください"), std::string::npos);
    EXPECT_EQ(Id(), "4");
}

TEST(FindConditionTest, WritesEachKindItsWay) {
    EXPECT_EQ(BuildFindCondition("Shop", 8, "abc", false).strCondition, "Shop LIKE '%abc%'");
    EXPECT_EQ(BuildFindCondition("Shop", 8, "O'B", false).strCondition, "Shop LIKE '%O''B%'");
    EXPECT_EQ(BuildFindCondition("Qty", 2, " 12 ", false).strCondition, "Qty=12");
    EXPECT_EQ(BuildFindCondition("Paid", 11, "True", false).strCondition, "Paid=True");
    EXPECT_EQ(BuildFindCondition("Placed", 7, "2024/1/5", false).strCondition, "Placed=#2024/1/5#");
    EXPECT_EQ(BuildFindCondition("V", 12, "42", false).strCondition, "V=42");
    EXPECT_EQ(BuildFindCondition("V", 12, "2024/1/5", false).strCondition, "V LIKE '%2024/1/5%'");
    EXPECT_EQ(BuildFindCondition("Any", 0, "", true).strCondition, "Any=NULL");
    EXPECT_FALSE(BuildFindCondition("Qty", 2, "1 OR Qty=2", false).Ok());
    EXPECT_FALSE(BuildFindCondition("Placed", 7, "1#", false).Ok());
    EXPECT_EQ(BuildFindCondition("X", 0, "1", false).strMessage, "フィールド名、フィールドタイプが不正です");
}

TEST_F(RunCommandsTest, FilterAndSortWriteTheTemplateAndShowTheNewFirstRecord) {
    report->Variables().Delete("RSOrder");  // the template's own order would come first
    forms.filter = [](clsPLFilterEditor& f) {
        EXPECT_EQ(f.Caption(), "基本データ部の抽出");
        EXPECT_FALSE(f.DataFieldList().empty());  // the record source's fields
        f.Controls().strDataField = "Shop";
        f.cboComparisonOperator_Click(0);
        f.Controls().strValue = "B";
        f.cmdEdit_Click(clsPLFilterEditor::CMD_ADD);
        EXPECT_FALSE(f.cmdOK_Click().has_value());
    };
    Click("mctlMenuHeadFilterEvts");
    const std::string filter = Variable("HeadFilter");
    EXPECT_NE(filter.find("Shop = 'B'"), std::string::npos) << filter;
    EXPECT_EQ(Id(), "2");
    forms.sort = [](clsPLSortEditor& f) {
        EXPECT_EQ(f.Caption(), "基本データ部のソート");
        f.Controls().strDataField = "Id";
        f.Controls().intSortIndex = 1;
        f.cmdEdit_Click(clsPLSortEditor::CMD_ADD);
        f.cmdOK_Click();
    };
    Click("mctlToolHeadSortEvts");
    EXPECT_EQ(Variable("HeadSort"), "Id DESC");
    EXPECT_EQ(Id(), "5");
    // Emptied and confirmed: the variable goes and every record is back.
    forms.filter = [](clsPLFilterEditor& f) {
        f.cmdEdit_Click(clsPLFilterEditor::CMD_CLEAR);
        EXPECT_FALSE(f.cmdOK_Click().has_value());
    };
    Click("mctlToolHeadFilterEvts");
    EXPECT_EQ(Variable("HeadFilter"), "<none>");
    EXPECT_EQ(run->Controller()->GetHeaderSort(report), "Id DESC");
    Click("mctlMenuHeadLastEvts");
    EXPECT_EQ(Id(), "1");
    // Cancelled without a change: nothing written.
    forms.sort = [](clsPLSortEditor& f) { f.cmdCancel_Click(); };
    Click("mctlMenuHeadSortEvts");
    EXPECT_EQ(Variable("HeadSort"), "Id DESC");
}

TEST_F(RunCommandsTest, OptionsAreWrittenOnlyWhenChangedAndConfirmed) {
    forms.option = [](frmPLROption& f) {
        EXPECT_EQ(f.chkUpdateDetail, 1);  // the default "True"
        EXPECT_EQ(f.chkCopyPrimaryHeader, 0);
        f.cmdOK_Click();
    };
    Click("mctlMenuOptionEvts");
    EXPECT_EQ(Variable("UpdateDetail"), "<none>");
    forms.option = [](frmPLROption& f) {
        f.chk_Click(1, 1);
        f.cmdCancel_Click();
    };
    Click("mctlToolOptionEvts");
    EXPECT_EQ(Variable("CopyPrimaryHeader"), "<none>");
    forms.option = [](frmPLROption& f) {
        f.chk_Click(0, 0);
        f.chk_Click(2, 1);
        f.cmdOK_Click();
    };
    Click("mctlToolOptionEvts");
    EXPECT_EQ(Variable("UpdateDetail"), "False");
    EXPECT_EQ(Variable("CopyPrimaryHeader"), "False");
    EXPECT_EQ(Variable("CopyPrimaryFooter"), "True");
    forms.option = [](frmPLROption& f) {
        EXPECT_EQ(f.chkUpdateDetail, 0);  // read back
        EXPECT_EQ(f.chkCopyPrimaryFooter, 1);
    };
    Click("mctlMenuOptionEvts");
}

TEST_F(RunCommandsTest, ConfirmationsCancelLeaveEverythingAndOkDocuments) {
    const long before = host.Application().Documents().Count();
    messages->QueueAnswer(ui::vbCancel);
    Click("mctlMenuDocAllEvts");
    messages->QueueAnswer(ui::vbCancel);
    Click("mctlToolPrintCurrentEvts");
    messages->QueueAnswer(ui::vbCancel);
    Click("mctlMenuDetailTestEvts");
    EXPECT_EQ(host.Application().Documents().Count(), before);
    EXPECT_NE(log.str().find("印刷用文書を作成します"), std::string::npos);
    EXPECT_NE(log.str().find("印刷を開始します"), std::string::npos);
    EXPECT_NE(log.str().find("Paperloom(実行)"), std::string::npos);
    messages->QueueAnswer(ui::vbOK);
    Click("mctlToolDocCurrentEvts");
    EXPECT_EQ(host.Application().Documents().Count(), before + 1);  // left open for the user
    Click("mctlMenuRunAboutEvts");
    EXPECT_EQ(forms.aboutCaption, "About Ostrander/COM Paperloom 2000|Run time Add-in");
}

TEST_F(RunCommandsTest, AnErrorInACommandIsShownAndTheNextCommandWorks) {
    report->Variables().SetValue("UpdateDetail", "maybe");  // not a Boolean text
    bool shown = false;
    forms.option = [&](frmPLROption&) { shown = true; };
    Click("mctlMenuOptionEvts");
    EXPECT_FALSE(shown);
    EXPECT_NE(log.str().find("エラー"), std::string::npos) << log.str();
    EXPECT_FALSE(run->State().gblnInCommand);
    report->Variables().SetValue("UpdateDetail", "True");
    const auto shownBefore = log.str().size();
    forms.option = [](frmPLROption& f) {
        f.chk_Click(1, 1);
        f.cmdOK_Click();
    };
    Click("mctlMenuOptionEvts");
    EXPECT_EQ(Variable("CopyPrimaryHeader"), "True");
    EXPECT_EQ(log.str().size(), shownBefore);
}

TEST_F(RunCommandsTest, AFilterTheDatabaseRefusesIsShownAndTheNextFilterWorks) {
    const auto filterOn = [](const std::string& field, const std::string& value) {
        return [field, value](clsPLFilterEditor& f) {
            f.cmdEdit_Click(clsPLFilterEditor::CMD_CLEAR);
            f.Controls().strDataField = field;
            f.cboComparisonOperator_Click(0);
            f.Controls().strValue = value;
            f.cmdEdit_Click(clsPLFilterEditor::CMD_ADD);
            f.cmdOK_Click();
        };
    };
    // A field typed by hand that the record source lacks: the reopen fails, which is not a success.
    forms.filter = filterOn("Nope", "B");
    Click("mctlMenuHeadFilterEvts");
    EXPECT_NE(Variable("HeadFilter").find("Nope"), std::string::npos);  // written before the reopen, and kept
    EXPECT_NE(log.str().find("エラー"), std::string::npos) << log.str();
    EXPECT_NE(log.str().find("does not open again"), std::string::npos) << log.str();
    EXPECT_NE(log.str().find("Nope"), std::string::npos) << "the database's reason: " << log.str();
    // The next command reopens on a filter that works and shows its first record.
    const auto shownBefore = log.str().size();
    forms.filter = filterOn("Shop", "C");
    Click("mctlToolHeadFilterEvts");
    EXPECT_EQ(log.str().size(), shownBefore) << log.str();
    EXPECT_EQ(Id(), "4");
}

TEST_F(RunCommandsTest, TerminateUnloadsTheWindows) {
    Click("mctlMenuRunAboutEvts");
    word::CustomArgs custom;
    run->OnDisconnection(word::ext_DisconnectMode::ext_dm_HostShutdown, custom);
    EXPECT_EQ(forms.unloads, 1);
    run->OnConnection(host, word::ext_ConnectMode::ext_cm_AfterStartup, addInInst, custom);
}

}  // namespace
}  // namespace paperloom::run::test
