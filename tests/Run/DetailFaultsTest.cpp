// Detail tables whose records cannot be read: the table is left without records (never with
// those of the record before), the other tables are still filled, and the error reaches the
// caller naming the table and the database's reason. A print run stops at the record whose
// lines fail (a view that errors, a view dropped, the database removed or locked mid-run) and
// leaves no print document behind. Navigating onto such a record still shows its header.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "DetailFillTestSupport.h"
#include "PrintDocTestSupport.h"
#include "Run/OsPLRController.h"
#include "Run/modPLRFunction.h"
#include "Run/modPLRPrint.h"
#include "host/HostError.h"
#include "host/ui/UiServices.h"

namespace paperloom::run::test {
namespace {

using Texts = std::vector<std::string>;

// The description of the error `action` raises; fails the test when it raises none.
std::string ErrorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const host::HostError& error) {
        return error.Description();
    }
    ADD_FAILURE() << "no error was raised";
    return {};
}

class DetailRefillFaultsTest : public DetailFixture {
protected:
    // Lines through a view that raises for O'Brien's lines only (json() of text that is none).
    DetailTableSpec FailingForOBrien(bool autoAdjust) {
        RunSqlite(folder_.File("shop.db"),
                  "CREATE VIEW IF NOT EXISTS CheckedLines AS SELECT Id, CustId, Item, Qty,"
                  " json(CASE WHEN CustId = 2 THEN 'not json' ELSE '0' END) AS Checked FROM Lines;");
        DetailTableSpec spec;
        spec.rows = 5;
        spec.detail = DetailKeys("CheckedLines");
        spec.detail.emplace_back("AutoAdjustRowCount", autoAdjust ? "True" : "False");
        spec.columnProperties = {DataColumn("Item"), DataColumn("Qty")};
        spec.captions = {"品名", "数量"};
        return spec;
    }
};

TEST_F(DetailRefillFaultsTest, AFailingRecordEmptiesTheTableAndReportsWhy) {
    const auto binding = Bind(FailingForOBrien(false));
    binding->SetDetailDatas(true);
    EXPECT_EQ(ColumnTexts(Table(), 1, 2, 5), (Texts{"Pen", "Pen", "Ink", "Ink"}));

    binding->MoveNext(false);  // O'Brien
    const std::string message = ErrorOf([&] { binding->SetDetailDatas(true); });
    EXPECT_NE(message.find("\"Lines\""), std::string::npos) << message;
    EXPECT_NE(message.find("for Id 2"), std::string::npos) << message;
    EXPECT_NE(message.find("malformed JSON"), std::string::npos) << message;
    EXPECT_EQ(ColumnTexts(Table(), 1, 2, 5), (Texts{"", "", "", ""})) << "none of Ann's lines remain";
    EXPECT_EQ(ColumnTexts(Table(), 2, 2, 5), (Texts{"", "", "", ""}));
    EXPECT_EQ(CellText(Table(), 1, 1), "品名") << "the caption row stays";
    EXPECT_EQ(DetailKey("EffectiveRowCnt"), "0");
    EXPECT_EQ(binding->RowsUsedByTable().Item("Lines"), "0");

    binding->MoveNext(false);  // Carl: readable again
    binding->SetDetailDatas(true);
    EXPECT_EQ(ColumnTexts(Table(), 2, 2, 5), (Texts{"1", "2", "3", "4"}));
}

TEST_F(DetailRefillFaultsTest, AnAdjustingTableShrinksToOneEmptyRowAndAPrintPageReportsNothingToShow) {
    const auto binding = Bind(FailingForOBrien(true));
    binding->SetDetailDatas(true);
    EXPECT_EQ(Table().Rows().Count(), 7) << "Ann's 6 lines";

    binding->MovePos(2);
    EXPECT_THROW(binding->SetDetailDatas(false), host::HostError);
    EXPECT_EQ(Table().Rows().Count(), 2);
    EXPECT_EQ(ColumnTexts(Table(), 1, 2, 2), (Texts{""}));

    std::vector<word::Table> tables;
    std::vector<std::string> detail;
    std::vector<std::vector<std::string>> columns;
    binding->GetDetailsAndProps(tables, detail, columns);
    DetailPrintContext context;
    context.blnPrintRun = true;
    context.blnRecordStart = true;
    context.lngRowsNeeded = 9;
    context.blnMoreData = true;
    EXPECT_THROW(binding->SetDetailData(tables.at(0), 1, detail.at(0), columns.at(0), true, 1, nullptr, context),
                 host::HostError);
    EXPECT_EQ(context.lngRowsNeeded, 0);
    EXPECT_FALSE(context.blnMoreData);
    EXPECT_EQ(context.lngRecordsShown, 0);
}

TEST_F(DetailRefillFaultsTest, TheDatabaseGoneEmptiesTheTableWithTheReasonForIt) {
    const auto binding = Bind(FailingForOBrien(false));
    binding->MovePos(3);
    binding->SetDetailDatas(true);
    EXPECT_EQ(ColumnTexts(Table(), 1, 2, 5), (Texts{"Box", "Box", "Box", "Box"}));
    std::filesystem::remove(folder_.File("shop.db"));
    const std::string message = ErrorOf([&] { binding->SetDetailDatas(true); });
    EXPECT_NE(message.find("shop.db"), std::string::npos) << message;
    EXPECT_EQ(ColumnTexts(Table(), 1, 2, 5), (Texts{"", "", "", ""}));
}

TEST_F(DetailRefillFaultsTest, FieldsTheSourcesLackAreReportedWithTheTableAndLeaveNoRows) {
    auto spec = FailingForOBrien(false);
    spec.columnProperties = {DataColumn("Item"), DataColumn("NoSuchField")};
    const auto binding = Bind(spec);
    auto cell = Table().Cell(2, 1).Range();
    clsPLRange().AppendText("old", cell);
    std::string message = ErrorOf([&] { binding->SetDetailDatas(true); });
    EXPECT_NE(message.find("\"Lines\" cannot be filled for Id 1"), std::string::npos) << message;
    EXPECT_NE(message.find("NoSuchField"), std::string::npos) << message;
    EXPECT_EQ(ColumnTexts(Table(), 1, 2, 5), (Texts{"", "", "", ""})) << "not half of Ann's lines";

    auto keyless = FailingForOBrien(false);
    keyless.detail[4].second = "NoSuchKey";  // ParentKey
    const auto second = Bind(keyless, CustomerSettings(), "Keyless.docx");
    message = ErrorOf([&] { second->SetDetailDatas(true); });
    EXPECT_NE(message.find("\"Lines\" cannot be filled"), std::string::npos) << message;
    EXPECT_NE(message.find("NoSuchKey"), std::string::npos) << message;
}

// A progress service whose label runs a step of the test when it first shows a given text: the
// moment between two records of a print run.
class SteppingProgress final : public ui::ProgressService {
public:
    std::unique_ptr<ui::ProgressWindow> CreateProgressWindow() override { return std::make_unique<Window>(*this); }

    void At(std::string label, std::function<void()> step) {
        label_ = std::move(label);
        step_ = std::move(step);
    }
    bool Stepped() const { return stepped_; }

private:
    class Window final : public ui::ProgressWindow {
    public:
        explicit Window(SteppingProgress& owner) : owner_(owner) {}
        void SetCaption(const std::string&) override {}
        void SetText(const std::string& text) override {
            if (owner_.step_ && !owner_.stepped_ && text.find(owner_.label_) != std::string::npos) {
                owner_.stepped_ = true;
                owner_.step_();
            }
        }
        void SetValue(long, long) override {}
        void Show() override { visible_ = true; }
        void Hide() override { visible_ = false; }
        bool Visible() const override { return visible_; }

    private:
        SteppingProgress& owner_;
        bool visible_ = false;
    };

    std::string label_;
    std::function<void()> step_;
    bool stepped_ = false;
};

// A SQLite connection of the test's own that holds the whole database locked while it lives.
class ExclusiveLock {
public:
    explicit ExclusiveLock(const std::filesystem::path& database) {
        if (sqlite3_open(database.c_str(), &db_) != SQLITE_OK ||
            sqlite3_exec(db_, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) != SQLITE_OK)
            ADD_FAILURE() << "the test could not lock " << database;
    }
    ~ExclusiveLock() {
        sqlite3_exec(db_, "ROLLBACK", nullptr, nullptr, nullptr);
        sqlite3_close(db_);
    }
    ExclusiveLock(const ExclusiveLock&) = delete;
    ExclusiveLock& operator=(const ExclusiveLock&) = delete;

private:
    sqlite3* db_ = nullptr;
};

// The orders template over a view of the lines, so that the view can go away mid-run.
class PrintRunFaultsTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeOrdersDatabase(Database());
        RunSqlite(Database(), "ALTER TABLE Lines RENAME TO LineRows; CREATE VIEW Lines AS SELECT * FROM LineRows;");
    }

    std::filesystem::path Database() const { return folder_.File("orders.db"); }

    // Builds the print document of all records; the step runs just before record 4 is filled.
    std::string StopsAtRecordFour(const std::function<void()>& step) {
        progress_->At("(4/25)", step);
        const auto report = app_.Documents().Open(SaveOrderTemplate(folder_.File("orders.docx")));
        EXPECT_NE(modPLRFunction::OpenDocumentBind(registry_, report), nullptr);
        const std::string message =
            ErrorOf([&] { modPLRFunction::BuildPrintDoc(app_, registry_, report, true, false); });
        EXPECT_TRUE(progress_->Stepped());
        EXPECT_EQ(app_.Documents().Count(), 1) << "no print document and no working copy remain";
        EXPECT_EQ(registry_.Count(), 1);
        EXPECT_TRUE(app_.ScreenUpdating());
        EXPECT_NE(message.find("\"明細\""), std::string::npos) << message;
        EXPECT_NE(message.find("for Id 4"), std::string::npos) << message;
        return message;
    }

    ScratchFolder folder_;
    word::Application app_;
    BindingRegistry registry_;
    std::shared_ptr<SteppingProgress> progress_ = std::make_shared<SteppingProgress>();
    ui::ScopedServices services_{ui::UiServices{nullptr, nullptr, progress_, nullptr}};
};

TEST_F(PrintRunFaultsTest, AViewDroppedMidRunStopsTheRun) {
    const std::string message = StopsAtRecordFour([&] { RunSqlite(Database(), "DROP VIEW Lines;"); });
    EXPECT_NE(message.find("no such table: Lines"), std::string::npos) << message;
}

TEST_F(PrintRunFaultsTest, ADatabaseRemovedMidRunStopsTheRun) {
    const std::string message = StopsAtRecordFour([&] { std::filesystem::remove(Database()); });
    EXPECT_NE(message.find("orders.db"), std::string::npos) << message;
}

TEST_F(PrintRunFaultsTest, ADatabaseLockedMidRunStopsTheRunOnceTheWaitIsOver) {
    std::unique_ptr<ExclusiveLock> lock;
    const std::string message = StopsAtRecordFour([&] { lock = std::make_unique<ExclusiveLock>(Database()); });
    EXPECT_NE(message.find("locked"), std::string::npos) << message;
}

TEST(ControllerFaultsTest, NavigationShowsTheNewHeaderWithAnEmptyTableAndRaisesTheError) {
    ScratchFolder folder;
    MakeOrdersDatabase(folder.File("orders.db"), 6);
    RunSqlite(folder.File("orders.db"),
              "ALTER TABLE Lines RENAME TO LineRows;"
              "CREATE VIEW Lines AS SELECT *, json(CASE WHEN OrderId = 4 THEN 'not json' ELSE '0' END) AS Checked"
              " FROM LineRows;");
    RunState state;
    state.application = std::make_shared<word::Application>();
    OsPLRController controller(state);
    auto report = state.application->Documents().Open(SaveOrderTemplate(folder.File("orders.docx")));
    const auto binding = modPLRFunction::OpenDocumentBind(state.registry, report);
    ASSERT_NE(binding, nullptr);
    binding->MovePos(3);
    controller.UpdateView(report);
    EXPECT_NE(report->Content().Text().find(Item(3, 1)), std::string::npos);

    binding->MovePos(4);
    const std::string message = ErrorOf([&] { controller.UpdateView(report); });
    EXPECT_NE(message.find("malformed JSON"), std::string::npos) << message;
    const std::string text = report->Content().Text();
    EXPECT_NE(text.find("顧客 " + Customer(4)), std::string::npos) << "the header shows the new record: " << text;
    EXPECT_EQ(text.find(Item(3, 1)), std::string::npos) << "no line of the record before";
    EXPECT_TRUE(state.application->ScreenUpdating());

    binding->MovePos(5);
    controller.UpdateDetail(report);
    EXPECT_NE(report->Content().Text().find(Item(5, 1)), std::string::npos);
}

}  // namespace
}  // namespace paperloom::run::test
