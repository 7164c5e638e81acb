// The automation controller on an orders template: header filter and sort variables, when
// they take effect (reopen, not refresh), binding and rebinding, which refreshes fill the
// detail tables, finding in both directions, and print documents through it.

#include <gtest/gtest.h>

#include "PrintDocTestSupport.h"
#include "Run/OsPLRController.h"
#include "Run/modPLRFunction.h"
#include "common/clsPLProperty.h"
#include "host/ui/UiServices.h"

namespace paperloom::run::test {
namespace {

using modPLRFunction::FindDocumentBind;
using modPLRFunction::OpenDocumentBind;

constexpr long kControllerOrders = 6;

class ControllerTest : public ::testing::Test {
protected:
    void SetUp() override {
        MakeOrdersDatabase(folder_.File("orders.db"), kControllerOrders);
        state_.application = std::make_shared<word::Application>();
    }

    std::shared_ptr<word::Document> OpenTemplate(const OrderTemplateOptions& options = {}) {
        return state_.application->Documents().Open(SaveOrderTemplate(folder_.File("orders.docx"), options));
    }

    std::shared_ptr<clsPLRDBBind> Binding(const word::Document& document) const {
        return FindDocumentBind(state_.registry, document);
    }

    static long CurrentId(const clsPLRDBBind& binding) {
        return static_cast<long>(binding.RecordSource()->Fields().Item("Id").Value().AsInteger());
    }

    ScratchFolder folder_;
    RunState state_;
    OsPLRController controller_{state_};
    // The progress of print documents stays off the test's output.
    ui::ScopedServices services_{ui::UiServices{nullptr, nullptr, std::make_shared<RecordingProgress>(), nullptr}};
};

TEST_F(ControllerTest, FilterAndSortAreDocumentVariablesThatTakeEffectOnReopen) {
    auto report = OpenTemplate();
    ASSERT_NE(OpenDocumentBind(state_.registry, report), nullptr);
    controller_.UpdateView(report);
    EXPECT_EQ(controller_.GetHeaderFilter(report), "");
    EXPECT_EQ(controller_.GetHeaderSort(report), "");

    controller_.SetHeaderFilter(report, "Id > 3");
    controller_.SetHeaderSort(report, "Id DESC");
    EXPECT_EQ(controller_.GetHeaderFilter(report), "Id > 3");
    EXPECT_EQ(controller_.GetHeaderSort(report), "Id DESC");
    EXPECT_EQ(clsPLProperty().GetDocVariable("HeadFilter", *report, ""), "Id > 3");

    controller_.UpdateView(report);
    EXPECT_EQ(Binding(*report)->GetRecordCount(), kControllerOrders) << "not reopened yet";
    EXPECT_NE(report->Content().Text().find("顧客 C01"), std::string::npos);

    const auto binding = Binding(*report);
    const auto connection = binding->DataSource();
    controller_.ReopenHeader(report);
    EXPECT_EQ(Binding(*report), binding);
    EXPECT_EQ(binding->DataSource(), connection) << "reopened on the same connection";
    EXPECT_EQ(binding->GetRecordCount(), 3);
    controller_.UpdateView(report);
    // The template's own order (Id) comes first; the header sort only breaks its ties.
    EXPECT_NE(report->Content().Text().find("顧客 C04"), std::string::npos)
        << "first record of the filtered set: " << report->Content().Text();
    EXPECT_TRUE(state_.application->ScreenUpdating());
}

TEST_F(ControllerTest, ReopenAndRebindBindATemplateAndMoveToTheFirstRecord) {
    auto report = OpenTemplate();
    auto plain = state_.application->Documents().Add();

    controller_.ReopenHeader(plain);
    controller_.RebindHeader(plain);
    EXPECT_EQ(state_.registry.Count(), 0) << "a document that is no template stays unbound";

    controller_.ReopenHeader(report);
    const auto binding = Binding(*report);
    ASSERT_NE(binding, nullptr);
    EXPECT_EQ(CurrentId(*binding), 1);

    binding->MovePos(4);
    controller_.RebindHeader(report);
    const auto rebound = Binding(*report);
    ASSERT_NE(rebound, nullptr);
    EXPECT_NE(rebound, binding);
    EXPECT_NE(rebound->DataSource(), nullptr);
    EXPECT_FALSE(binding->IsConnect()) << "the old binding let go of its connection";
    EXPECT_EQ(CurrentId(*rebound), 1);
    EXPECT_EQ(state_.registry.Count(), 1);
}

TEST_F(ControllerTest, UpdateViewFillsDetailTablesOnlyWhenTheFlagIsExactlyTrue) {
    auto report = OpenTemplate();
    const auto binding = OpenDocumentBind(state_.registry, report);
    ASSERT_NE(binding, nullptr);
    binding->MovePos(2);

    report->Variables().SetValue("UpdateDetail", "False");
    controller_.UpdateView(report);
    EXPECT_NE(report->Content().Text().find("顧客 C02"), std::string::npos);
    EXPECT_EQ(report->Content().Text().find(Item(2, 1)), std::string::npos) << "header only";

    report->Variables().SetValue("UpdateDetail", "true");
    controller_.UpdateView(report);
    EXPECT_EQ(report->Content().Text().find(Item(2, 1)), std::string::npos) << "letter case counts";

    binding->MovePos(3);
    controller_.UpdateHeader(report);
    EXPECT_NE(report->Content().Text().find("顧客 C03"), std::string::npos);
    EXPECT_EQ(report->Content().Text().find(Item(3, 1)), std::string::npos) << "UpdateHeader leaves the table";

    controller_.UpdateDetail(report);
    EXPECT_NE(report->Content().Text().find(Item(3, 1)), std::string::npos) << "UpdateDetail fills it regardless";

    report->Variables().SetValue("UpdateDetail", "True");
    binding->MovePos(1);
    controller_.UpdateView(report);
    EXPECT_NE(report->Content().Text().find(Item(1, 1)), std::string::npos);
    EXPECT_NE(report->Content().Text().find("顧客 C01"), std::string::npos);
    EXPECT_TRUE(state_.application->ScreenUpdating());
}

TEST_F(ControllerTest, FindDataSearchesAFreshRecordSourceInTheDirectionAsked) {
    auto report = OpenTemplate();
    auto plain = state_.application->Documents().Add();
    EXPECT_FALSE(controller_.FindData(plain, "Id = 1"));

    ASSERT_NE(OpenDocumentBind(state_.registry, report), nullptr);
    Binding(*report)->MovePos(5);
    EXPECT_TRUE(controller_.FindData(report, "Id < 4"));
    EXPECT_EQ(CurrentId(*Binding(*report)), 1) << "forward from the first record, which counts";
    EXPECT_TRUE(controller_.FindData(report, "Id < 4", false));
    EXPECT_EQ(CurrentId(*Binding(*report)), 3) << "backward from the last record";
    EXPECT_TRUE(controller_.FindData(report, "Customer = 'C06'", false));
    EXPECT_EQ(CurrentId(*Binding(*report)), 6) << "the last record itself counts";
    EXPECT_TRUE(controller_.FindData(report, "Customer = 'C06'"));
    EXPECT_EQ(CurrentId(*Binding(*report)), 6);
    EXPECT_FALSE(controller_.FindData(report, "Id > 100"));
    EXPECT_FALSE(controller_.FindData(report, "Id > 100", false));
    EXPECT_EQ(state_.registry.Count(), 1);
}

TEST_F(ControllerTest, PrintDocumentsOfAllRecordsByDefault) {
    auto report = OpenTemplate();
    EXPECT_EQ(controller_.CreatePrintDoc(report)->Content().Text().find("顧客"), 0u) << "unbound: a plain copy";

    ASSERT_NE(OpenDocumentBind(state_.registry, report), nullptr);
    const auto all = controller_.CreatePrintDoc(report);
    ASSERT_NE(all, nullptr);
    const std::string text = all->Content().Text();
    for (long order = 1; order <= kControllerOrders; ++order) EXPECT_NE(text.find("顧客 " + Customer(order)), std::string::npos);
    EXPECT_EQ(CountOf(text, "\f"), kControllerOrders + 1) << "order 3 takes three pages";
    const auto one = controller_.CreatePrintDoc(report, false);
    EXPECT_EQ(CountOf(one->Content().Text(), "顧客 C"), 1);
    EXPECT_EQ(state_.application->Documents().Count(), 4);
}

TEST_F(ControllerTest, NoDocumentIsTheCallersErrorNotACrash) {
    std::shared_ptr<word::Document> none;
    const auto expect91 = [](const auto& call) {
        try {
            call();
            ADD_FAILURE() << "no error raised";
        } catch (const host::HostError& error) {
            EXPECT_EQ(error.Number(), 91);
        }
    };
    expect91([&] { controller_.GetHeaderFilter(none); });
    expect91([&] { controller_.SetHeaderSort(none, "Id"); });
    expect91([&] { controller_.UpdateView(none); });
    expect91([&] { controller_.FindData(none, "Id = 1"); });
    expect91([&] { controller_.CreatePrintDoc(none); });
    EXPECT_EQ(state_.application->Documents().Count(), 0);
}

}  // namespace
}  // namespace paperloom::run::test
