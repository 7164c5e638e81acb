// The binding on real templates and a real SQLite database: lifecycle, navigation at both
// ends, record numbers out of range, the empty record source, find with wrap-around, filter
// and sort from the document's variables, field kinds.

#include <gtest/gtest.h>

#include <climits>
#include <vector>

#include "Run/clsPLRDBBind.h"
#include "RunTestSupport.h"
#include "host/HostError.h"

namespace paperloom::run::test {
namespace {

using host::ado::Variant;

class BindingTest : public ::testing::Test {
protected:
    void SetUp() override { MakeShopDatabase(folder_.File("shop.db")); }

    std::shared_ptr<word::Document> OpenTemplate(const Settings& settings, const std::string& name = "Report.docx") {
        return app_.Documents().Open(SaveTemplate(folder_.File(name), settings));
    }

    // A binding connected and opened on a template with the given settings.
    std::shared_ptr<clsPLRDBBind> Bind(const Settings& settings) {
        auto binding = std::make_shared<clsPLRDBBind>();
        EXPECT_TRUE(binding->DBConnect(OpenTemplate(settings)));
        EXPECT_TRUE(binding->DBOpen());
        return binding;
    }

    static long CurrentId(const clsPLRDBBind& binding) {
        return static_cast<long>(binding.RecordSource()->Fields().Item("Id").Value().AsInteger());
    }

    // Ids in the order the binding walks them from the first record.
    static std::vector<long> Walk(clsPLRDBBind& binding) {
        std::vector<long> ids;
        binding.MoveFirst();
        while (!binding.IsEOF()) {
            ids.push_back(CurrentId(binding));
            binding.MoveNext(true);
        }
        return ids;
    }

    ScratchFolder folder_;
    word::Application app_;
};

TEST_F(BindingTest, LifecycleFromNewToDisconnected) {
    clsPLRDBBind binding;
    EXPECT_FALSE(binding.IsConnect());
    EXPECT_FALSE(binding.IsOpen());
    EXPECT_FALSE(binding.DBOpen()) << "no connection yet";
    EXPECT_EQ(binding.GetDocumentName(), "");

    const auto doc = OpenTemplate(ShopSettings());
    ASSERT_TRUE(binding.DBConnect(doc));
    EXPECT_TRUE(binding.IsConnect());
    EXPECT_FALSE(binding.IsOpen());
    EXPECT_EQ(binding.GetDocumentName(), "Report.docx");

    ASSERT_TRUE(binding.DBOpen());
    EXPECT_TRUE(binding.IsOpen());
    EXPECT_FALSE(binding.IsClone());
    EXPECT_EQ(CurrentId(binding), 1);

    const auto connection = binding.DataSource();
    binding.DBClose();
    EXPECT_FALSE(binding.IsOpen());
    EXPECT_TRUE(binding.IsConnect());
    EXPECT_EQ(connection->State(), host::ado::ObjectStateEnum::adStateOpen);

    ASSERT_TRUE(binding.DBOpen()) << "reopens on the same connection";
    binding.DBDisconnect();
    EXPECT_FALSE(binding.IsOpen());
    EXPECT_FALSE(binding.IsConnect());
    EXPECT_EQ(connection->State(), host::ado::ObjectStateEnum::adStateClosed);
    EXPECT_EQ(binding.TargetDocument(), doc) << "the document stays set";
    EXPECT_FALSE(binding.DBOpen());
}

TEST_F(BindingTest, DefaultsWhenNotOpen) {
    clsPLRDBBind binding;
    binding.MoveFirst();
    binding.MoveNext(false);
    binding.MovePrev(true);
    binding.MoveLast();
    binding.MovePos(3);
    binding.Move(Variant(2.0));
    binding.SaveCurrent();
    binding.RestoreCurrent();
    binding.SetSort("Qty");
    EXPECT_TRUE(binding.GetRecordPos().IsNull());
    EXPECT_EQ(binding.GetRecordCount(), 0);
    EXPECT_TRUE(binding.IsEOF());
    EXPECT_EQ(binding.GetFieldType("Id"), 0);
    EXPECT_FALSE(binding.Find("Id = 1", 0, true));
    EXPECT_EQ(binding.GetSort(), "");
    EXPECT_EQ(binding.DBClone(nullptr), nullptr);
}

TEST_F(BindingTest, NavigationStopsAtBothEndsUnlessAskedToLeave) {
    const auto binding = Bind(ShopSettings());
    EXPECT_EQ(binding->GetRecordCount(), 5);

    binding->MovePrev(false);
    EXPECT_EQ(CurrentId(*binding), 1) << "stays on the first record";
    binding->MoveLast();
    EXPECT_EQ(CurrentId(*binding), 5);
    binding->MoveNext(false);
    EXPECT_EQ(CurrentId(*binding), 5) << "stays on the last record";
    EXPECT_FALSE(binding->IsEOF());

    binding->MoveNext(true);
    EXPECT_TRUE(binding->IsEOF());
    EXPECT_EQ(binding->GetRecordCount(), 0);
    EXPECT_TRUE(binding->GetRecordPos().IsNull());
    binding->MoveNext(true);  // already at EOF: nothing happens
    EXPECT_TRUE(binding->IsEOF());
    binding->MovePrev(false);
    EXPECT_EQ(CurrentId(*binding), 5) << "back from EOF onto the last record";

    binding->MoveFirst();
    binding->MovePrev(true);
    EXPECT_TRUE(binding->RecordSource()->IsBOF());
    EXPECT_TRUE(binding->GetRecordPos().IsNull()) << "no current record at BOF, and no error";
    EXPECT_EQ(binding->GetRecordCount(), 5);
    EXPECT_FALSE(binding->Find("Shop = 'A'", 0, true));
    binding->MoveNext(false);
    EXPECT_EQ(CurrentId(*binding), 1);

    binding->MoveNext(false);
    binding->MoveNext(false);
    binding->MovePrev(false);
    EXPECT_EQ(CurrentId(*binding), 2);
}

TEST_F(BindingTest, RecordNumbersOutOfRangeLandOnFirstOrLast) {
    const auto binding = Bind(ShopSettings());
    binding->MovePos(3);
    EXPECT_EQ(CurrentId(*binding), 3);
    binding->MovePos(0);
    EXPECT_EQ(CurrentId(*binding), 1);
    binding->MovePos(4);
    binding->MovePos(-5);
    EXPECT_EQ(CurrentId(*binding), 1);
    binding->MovePos(binding->GetRecordCount() + 10);
    EXPECT_EQ(CurrentId(*binding), 5);
    binding->MovePos(LONG_MIN);
    EXPECT_EQ(CurrentId(*binding), 1);
    binding->MovePos(LONG_MAX);
    EXPECT_EQ(CurrentId(*binding), 5);
    binding->MovePos(1);
    EXPECT_EQ(CurrentId(*binding), 1);
}

TEST_F(BindingTest, BookmarksReturnToARecordEvenFromEOF) {
    const auto binding = Bind(ShopSettings());
    binding->MovePos(4);
    const Variant position = binding->GetRecordPos();
    ASSERT_FALSE(position.IsNull());

    binding->MoveFirst();
    binding->Move(position);
    EXPECT_EQ(CurrentId(*binding), 4);

    // A print run leaves the binding at EOF; going back to a record must still work.
    binding->MoveLast();
    binding->MoveNext(true);
    ASSERT_TRUE(binding->IsEOF());
    binding->Move(position);
    EXPECT_EQ(CurrentId(*binding), 4);
    binding->MoveNext(true);
    binding->MoveNext(true);
    binding->MovePos(2);
    EXPECT_EQ(CurrentId(*binding), 2);

    EXPECT_THROW(binding->Move(Variant(99.0)), host::HostError) << "a bookmark of no record is the provider's error";
}

TEST_F(BindingTest, SavedPositionSurvivesMovesAndEnds) {
    const auto binding = Bind(ShopSettings());
    binding->RestoreCurrent();  // nothing saved yet: no move
    EXPECT_EQ(CurrentId(*binding), 1);

    binding->MovePos(3);
    binding->SaveCurrent();
    binding->MoveLast();
    binding->MoveNext(true);
    binding->SaveCurrent();  // at EOF: the saved position stays
    binding->RestoreCurrent();
    EXPECT_EQ(CurrentId(*binding), 3);

    binding->MoveFirst();
    binding->MovePrev(true);
    binding->SaveCurrent();  // at BOF: the saved position stays
    binding->RestoreCurrent();
    EXPECT_EQ(CurrentId(*binding), 3);
}

TEST_F(BindingTest, EmptyRecordSource) {
    Settings settings = ShopSettings();
    settings["RSWhere"] = "Qty < 0";
    const auto binding = Bind(settings);
    ASSERT_TRUE(binding->IsOpen());
    EXPECT_TRUE(binding->IsEOF());
    EXPECT_EQ(binding->GetRecordCount(), 0);
    EXPECT_TRUE(binding->GetRecordPos().IsNull());
    EXPECT_FALSE(binding->Find("Shop = 'A'", 0, true));
    EXPECT_FALSE(binding->Find("Shop = 'A'", 0, false));

    binding->MoveFirst();
    binding->MoveLast();
    binding->MoveNext(false);
    binding->MovePrev(false);
    binding->MovePos(1);
    binding->MovePos(-5);
    binding->Move(Variant(1.0));
    binding->SaveCurrent();
    binding->RestoreCurrent();
    EXPECT_TRUE(binding->IsEOF());
    EXPECT_EQ(binding->GetFieldType("Qty"), clsPLRDBBind::kFieldKindNumber) << "fields are known without rows";
}

TEST_F(BindingTest, SavedPositionIsKeptWhenTheRecordSourceTurnsEmpty) {
    const auto binding = Bind(ShopSettings());
    binding->MovePos(2);
    binding->SaveCurrent();
    binding->TargetDocument()->Variables().SetValue("HeadFilter", "Qty > 100");
    ASSERT_TRUE(binding->DBOpen());
    ASSERT_TRUE(binding->IsEOF());
    binding->SaveCurrent();
    binding->TargetDocument()->Variables().SetValue("HeadFilter", "");
    ASSERT_TRUE(binding->DBOpen());
    binding->RestoreCurrent();
    EXPECT_EQ(CurrentId(*binding), 2);
}

// The find dialog's steps: skip the current record; on failure wrap to the other end and
// search including the record reached; on final failure return to where the search began.
TEST_F(BindingTest, FindWithWrapAround) {
    const auto binding = Bind(ShopSettings());

    // Forward from record 3 (shop A): the next A is behind it, found after the wrap.
    binding->MovePos(3);
    binding->SaveCurrent();
    EXPECT_FALSE(binding->Find("Shop = 'A'", 1, true));
    EXPECT_TRUE(binding->IsEOF());
    binding->MoveFirst();
    EXPECT_TRUE(binding->Find("Shop = 'A'", 0, true)) << "the record reached is included";
    EXPECT_EQ(CurrentId(*binding), 1);

    // Forward from record 1: skipping the current record finds record 3 without a wrap.
    EXPECT_TRUE(binding->Find("Shop = 'A'", 1, true));
    EXPECT_EQ(CurrentId(*binding), 3);

    // Backward from record 2 (shop B): the earlier B is none, the wrap from the last finds 5.
    binding->MovePos(2);
    binding->SaveCurrent();
    EXPECT_FALSE(binding->Find("Shop = 'B'", 1, false));
    EXPECT_TRUE(binding->RecordSource()->IsBOF());
    binding->MoveLast();
    EXPECT_TRUE(binding->Find("Shop = 'B'", 0, false));
    EXPECT_EQ(CurrentId(*binding), 5);
    EXPECT_TRUE(binding->Find("Shop = 'B'", 1, false));
    EXPECT_EQ(CurrentId(*binding), 2);

    // Nothing anywhere: both steps fail and the binding returns to the saved record.
    binding->MovePos(4);
    binding->SaveCurrent();
    EXPECT_FALSE(binding->Find("Qty > 100", 1, true));
    binding->MoveFirst();
    EXPECT_FALSE(binding->Find("Qty > 100", 0, true));
    binding->RestoreCurrent();
    EXPECT_EQ(CurrentId(*binding), 4);

    // Number, date and text comparisons as the find dialog quotes them.
    binding->MoveFirst();
    EXPECT_TRUE(binding->Find("Price >= 9", 0, true));
    EXPECT_EQ(CurrentId(*binding), 4);
    binding->MoveFirst();
    EXPECT_TRUE(binding->Find("Placed > #2024/03/01#", 0, true));
    EXPECT_EQ(CurrentId(*binding), 3);
    binding->MoveFirst();
    EXPECT_TRUE(binding->Find("Note LIKE 'la*'", 0, true));
    EXPECT_EQ(CurrentId(*binding), 4);

    EXPECT_THROW(binding->Find("Nope = 1", 0, true), host::HostError) << "the provider's error reaches the caller";
}

TEST_F(BindingTest, FilterAndSortComeFromTheDocumentVariables) {
    Settings settings = ShopSettings();
    settings.erase("RSOrder");
    settings["HeadFilter"] = "Shop = 'A' OR Shop = 'B'";
    settings["HeadSort"] = "Qty DESC";
    const auto binding = Bind(settings);
    EXPECT_EQ(binding->GetRecordCount(), 4);
    EXPECT_EQ(Walk(*binding), (std::vector<long>{3, 1, 5, 2}));

    // A changed sort takes effect when the record source is reopened.
    binding->TargetDocument()->Variables().SetValue("HeadSort", "Price");
    ASSERT_TRUE(binding->DBOpen());
    EXPECT_EQ(Walk(*binding), (std::vector<long>{3, 1, 2, 5}));
    binding->TargetDocument()->Variables().Delete("HeadFilter");
    ASSERT_TRUE(binding->DBOpen());
    EXPECT_EQ(Walk(*binding), (std::vector<long>{3, 1, 2, 5, 4}));

    // The template's own condition and the run-time filter both apply; the template's order
    // keys come first.
    binding->TargetDocument()->Variables().SetValue("RSWhere", "Qty > 0");
    binding->TargetDocument()->Variables().SetValue("RSOrder", "Shop");
    binding->TargetDocument()->Variables().SetValue("HeadFilter", "Shop <> 'C'");
    binding->TargetDocument()->Variables().SetValue("HeadSort", "Qty DESC");
    ASSERT_TRUE(binding->DBOpen());
    EXPECT_EQ(Walk(*binding), (std::vector<long>{3, 1, 5}));
}

TEST_F(BindingTest, FilterAndSortOnAStatement) {
    const auto binding = Bind({{"DataSourceType", "4"},
                               {"DataSource", "shop.db"},
                               {"RecordSourceType", "1"},
                               {"RecordSource", "SELECT Id, Shop, Qty FROM Orders ORDER BY Shop"},
                               {"HeadFilter", "Qty > 2"},
                               {"HeadSort", "Id DESC"}});
    EXPECT_EQ(Walk(*binding), (std::vector<long>{3, 1, 5, 4}));
}

TEST_F(BindingTest, SortOnTheOpenRecordSource) {
    const auto binding = Bind(ShopSettings());
    EXPECT_EQ(binding->GetSort(), "");
    binding->SetSort("Shop DESC, Qty");
    EXPECT_EQ(binding->GetSort(), "Shop DESC, Qty");
    EXPECT_EQ(Walk(*binding), (std::vector<long>{4, 2, 5, 1, 3}));
    EXPECT_THROW(binding->SetSort("Nope"), host::HostError);
    binding->SetSort("");
    EXPECT_EQ(Walk(*binding), (std::vector<long>{1, 2, 3, 4, 5}));
}

TEST_F(BindingTest, FieldKindsFollowTheColumnTypes) {
    const auto binding = Bind(ShopSettings());
    EXPECT_EQ(binding->GetFieldType("Id"), clsPLRDBBind::kFieldKindNumber);
    EXPECT_EQ(binding->GetFieldType("Price"), clsPLRDBBind::kFieldKindNumber);
    EXPECT_EQ(binding->GetFieldType("Amount"), clsPLRDBBind::kFieldKindNumber);
    EXPECT_EQ(binding->GetFieldType("Shop"), clsPLRDBBind::kFieldKindString);
    EXPECT_EQ(binding->GetFieldType("Note"), clsPLRDBBind::kFieldKindString);
    EXPECT_EQ(binding->GetFieldType("Placed"), clsPLRDBBind::kFieldKindDate);
    EXPECT_EQ(binding->GetFieldType("Stamp"), clsPLRDBBind::kFieldKindDate);
    EXPECT_EQ(binding->GetFieldType("Paid"), clsPLRDBBind::kFieldKindBoolean);
    EXPECT_EQ(binding->GetFieldType("Photo"), clsPLRDBBind::kFieldKindOther);
    EXPECT_EQ(binding->GetFieldType("shop"), clsPLRDBBind::kFieldKindString) << "names compare without case";
    EXPECT_EQ(binding->GetFieldType("Missing"), clsPLRDBBind::kFieldKindOther);
    EXPECT_EQ(binding->GetFieldType(""), clsPLRDBBind::kFieldKindOther);
}

}  // namespace
}  // namespace paperloom::run::test
