// The binding registry on real templates: binding and unbinding by document, clones that
// share the connection, failed bindings that register nothing, documents of the same name,
// and copying document variables (also over the shared corpus).

#include <gtest/gtest.h>

#include <filesystem>

#include "Run/modPLRFunction.h"
#include "RunTestSupport.h"
#include "host/HostError.h"

namespace paperloom::run::test {
namespace {

using host::ado::ObjectStateEnum;
using modPLRFunction::CloneDocumentBind;
using modPLRFunction::CloseDocumentBind;
using modPLRFunction::CopyDocumentVariables;
using modPLRFunction::FindDocumentBind;
using modPLRFunction::OpenDocumentBind;

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { MakeShopDatabase(folder_.File("shop.db")); }

    std::shared_ptr<word::Document> OpenTemplate(const Settings& settings, const std::string& name = "Report.docx") {
        return app_.Documents().Open(SaveTemplate(folder_.File(name), settings));
    }

    static long CurrentId(const clsPLRDBBind& binding) {
        return static_cast<long>(binding.RecordSource()->Fields().Item("Id").Value().AsInteger());
    }

    ScratchFolder folder_;
    word::Application app_;
    BindingRegistry registry_;
};

TEST_F(RegistryTest, BindFindAndCloseByDocument) {
    const auto report = OpenTemplate(ShopSettings(), "Report.docx");
    const auto other = OpenTemplate(ShopSettings(), "Other.docx");
    const auto plain = app_.Documents().Add();

    const auto binding = OpenDocumentBind(registry_, report);
    ASSERT_NE(binding, nullptr);
    EXPECT_TRUE(binding->IsOpen());
    EXPECT_FALSE(binding->IsClone());
    EXPECT_EQ(registry_.Count(), 1);
    EXPECT_EQ(FindDocumentBind(registry_, *report), binding);
    EXPECT_EQ(FindDocumentBind(registry_, *other), nullptr);
    EXPECT_EQ(FindDocumentBind(registry_, *plain), nullptr);

    const auto otherBinding = OpenDocumentBind(registry_, other);
    ASSERT_NE(otherBinding, nullptr);
    EXPECT_NE(otherBinding->DataSource(), binding->DataSource()) << "each binding owns its connection";

    CloseDocumentBind(registry_, *plain);  // no binding: nothing happens
    EXPECT_EQ(registry_.Count(), 2);

    const auto connection = binding->DataSource();
    CloseDocumentBind(registry_, *report);
    EXPECT_EQ(registry_.Count(), 1);
    EXPECT_EQ(FindDocumentBind(registry_, *report), nullptr);
    EXPECT_FALSE(binding->IsOpen());
    EXPECT_FALSE(binding->IsConnect());
    EXPECT_EQ(connection->State(), ObjectStateEnum::adStateClosed);
    EXPECT_EQ(FindDocumentBind(registry_, *other), otherBinding);
    EXPECT_TRUE(otherBinding->IsOpen());
}

TEST_F(RegistryTest, CloneStartsOnTheSourceRecordAndMovesAlone) {
    const auto report = OpenTemplate(ShopSettings());
    const auto print = app_.Documents().Add();
    const auto source = OpenDocumentBind(registry_, report);
    ASSERT_NE(source, nullptr);
    source->MovePos(3);

    const auto clone = CloneDocumentBind(registry_, print, report);
    ASSERT_NE(clone, nullptr);
    EXPECT_TRUE(clone->IsClone());
    EXPECT_TRUE(clone->IsOpen());
    EXPECT_EQ(clone->TargetDocument(), print);
    EXPECT_EQ(clone->DataSource(), source->DataSource()) << "the connection is shared";
    EXPECT_NE(clone->RecordSource(), source->RecordSource());
    EXPECT_EQ(FindDocumentBind(registry_, *print), clone);
    EXPECT_EQ(registry_.Count(), 2);

    EXPECT_EQ(CurrentId(*clone), 3);
    clone->MoveNext(false);
    clone->MoveNext(false);
    EXPECT_EQ(CurrentId(*clone), 5);
    EXPECT_EQ(CurrentId(*source), 3);
    source->MoveFirst();
    EXPECT_EQ(CurrentId(*clone), 5);

    // A clone's bookmarks are the source's: the print code moves it to the source's record.
    source->MovePos(2);
    clone->Move(source->GetRecordPos());
    EXPECT_EQ(CurrentId(*clone), 2);
}

TEST_F(RegistryTest, ClosingACloneLeavesTheSharedConnectionUsable) {
    const auto report = OpenTemplate(ShopSettings());
    const auto print = app_.Documents().Add();
    const auto source = OpenDocumentBind(registry_, report);
    ASSERT_NE(source, nullptr);
    const auto clone = CloneDocumentBind(registry_, print, report);
    ASSERT_NE(clone, nullptr);

    CloseDocumentBind(registry_, *print);
    EXPECT_EQ(registry_.Count(), 1);
    EXPECT_FALSE(clone->IsOpen());
    EXPECT_EQ(source->DataSource()->State(), ObjectStateEnum::adStateOpen);
    EXPECT_TRUE(source->IsOpen());
    source->MoveLast();
    EXPECT_EQ(CurrentId(*source), 5);
    ASSERT_TRUE(source->DBOpen()) << "the shared connection still opens record sources";
    EXPECT_EQ(source->GetRecordCount(), 5);

    // The source closing first: its clone's rows stay readable on their own.
    const auto second = CloneDocumentBind(registry_, print, report);
    ASSERT_NE(second, nullptr);
    CloseDocumentBind(registry_, *report);
    EXPECT_FALSE(source->IsConnect());
    EXPECT_TRUE(second->IsOpen());
    second->MoveLast();
    EXPECT_EQ(CurrentId(*second), 5);
    CloseDocumentBind(registry_, *print);
    EXPECT_EQ(registry_.Count(), 0);
}

// A clone whose record source is reopened (or which is disconnected by hand) is still not
// the owner of its source's connection.
TEST_F(RegistryTest, ACloneNeverClosesTheSharedConnection) {
    const auto report = OpenTemplate(ShopSettings());
    const auto print = app_.Documents().Add();
    CopyDocumentVariables(*report, *print);
    const auto source = OpenDocumentBind(registry_, report);
    ASSERT_NE(source, nullptr);
    const auto connection = source->DataSource();

    const auto clone = CloneDocumentBind(registry_, print, report);
    ASSERT_NE(clone, nullptr);
    print->Variables().SetValue("HeadFilter", "Shop = 'B'");
    ASSERT_TRUE(clone->DBOpen()) << "reopens on the copied settings over the shared connection";
    EXPECT_EQ(clone->GetRecordCount(), 2);
    EXPECT_TRUE(clone->IsClone());
    CloseDocumentBind(registry_, *print);
    EXPECT_EQ(connection->State(), ObjectStateEnum::adStateOpen);

    const auto second = source->DBClone(print);
    ASSERT_NE(second, nullptr);
    second->DBDisconnect();
    EXPECT_FALSE(second->IsConnect());
    EXPECT_FALSE(second->IsClone());
    EXPECT_EQ(connection->State(), ObjectStateEnum::adStateOpen);

    // Connected on its own, the former clone owns (and closes) its new connection.
    ASSERT_TRUE(second->DBConnect(report));
    ASSERT_TRUE(second->DBOpen());
    EXPECT_FALSE(second->IsClone());
    const auto own = second->DataSource();
    EXPECT_NE(own, connection);
    second->DBDisconnect();
    EXPECT_EQ(own->State(), ObjectStateEnum::adStateClosed);
    EXPECT_EQ(connection->State(), ObjectStateEnum::adStateOpen);
    EXPECT_TRUE(source->DBOpen());
}

TEST_F(RegistryTest, NoCloneWithoutAnOpenSource) {
    const auto report = OpenTemplate(ShopSettings());
    const auto print = app_.Documents().Add();
    EXPECT_EQ(CloneDocumentBind(registry_, print, report), nullptr) << "source not registered";

    const auto source = OpenDocumentBind(registry_, report);
    ASSERT_NE(source, nullptr);
    source->DBClose();
    EXPECT_EQ(source->DBClone(print), nullptr);
    EXPECT_EQ(CloneDocumentBind(registry_, print, report), nullptr);
    EXPECT_EQ(registry_.Count(), 1);
}

TEST_F(RegistryTest, CloneOfAnEmptyRecordSourceIsOpenAtEOF) {
    Settings settings = ShopSettings();
    settings["HeadFilter"] = "Qty > 100";
    const auto report = OpenTemplate(settings);
    const auto print = app_.Documents().Add();
    ASSERT_NE(OpenDocumentBind(registry_, report), nullptr);
    const auto clone = CloneDocumentBind(registry_, print, report);
    ASSERT_NE(clone, nullptr);
    EXPECT_TRUE(clone->IsEOF());
    EXPECT_EQ(clone->GetRecordCount(), 0);
}

TEST_F(RegistryTest, FailedBindingsRegisterNothing) {
    const auto expectUnbound = [&](const Settings& settings, const std::string& why) {
        const auto doc = OpenTemplate(settings, "Bad.docx");
        EXPECT_EQ(OpenDocumentBind(registry_, doc), nullptr) << why;
        EXPECT_EQ(registry_.Count(), 0) << why;
        doc->Close();
    };
    expectUnbound({}, "no header settings");
    expectUnbound({{"DataSourceType", "4"}, {"DataSource", ""}, {"RecordSourceType", "2"}, {"RecordSource", "Orders"}},
                  "empty data source");
    expectUnbound({{"DataSourceType", "x"}, {"DataSource", "shop.db"}, {"RecordSourceType", "2"}, {"RecordSource", "Orders"}},
                  "data-source type not a number");

    Settings missingFile = ShopSettings();
    missingFile["DataSource"] = "missing.db";
    expectUnbound(missingFile, "database file that does not exist");
    EXPECT_FALSE(std::filesystem::exists(folder_.File("missing.db"))) << "a failed bind creates no database";

    Settings noDsn = ShopSettings();
    noDsn["DataSourceType"] = "1";
    noDsn["DataSource"] = "PaperloomNoSuchDataSource";
    expectUnbound(noDsn, "unknown ODBC data source");

    Settings noTable = ShopSettings();
    noTable["RecordSource"] = "NoSuchTable";
    expectUnbound(noTable, "connected, but the table is missing");

    Settings badType = ShopSettings();
    badType["RecordSourceType"] = "table";
    expectUnbound(badType, "record-source type not a number");

    Settings badFilter = ShopSettings();
    badFilter["HeadFilter"] = "NoSuchField = 1";
    expectUnbound(badFilter, "filter on a field the table lacks");

    Settings badSql = ShopSettings();
    badSql["RecordSourceType"] = "1";
    badSql["RecordSource"] = "SELEC nonsense";
    expectUnbound(badSql, "statement the database rejects");

    // A binding that connects but cannot open reports it by its result.
    clsPLRDBBind binding;
    ASSERT_TRUE(binding.DBConnect(OpenTemplate(noTable, "Connects.docx")));
    EXPECT_FALSE(binding.DBOpen());
    EXPECT_FALSE(binding.IsOpen());
    EXPECT_TRUE(binding.IsConnect());
}

TEST_F(RegistryTest, DocumentsOfTheSameNameKeepTheirOwnBindings) {
    std::filesystem::create_directories(folder_.File("east"));
    std::filesystem::create_directories(folder_.File("west"));
    MakeShopDatabase(folder_.File("east/shop.db"));
    RunSqlite(folder_.File("west/shop.db"), "CREATE TABLE Orders (Id INTEGER); INSERT INTO Orders VALUES (42);");
    const auto east = OpenTemplate(ShopSettings(), "east/Report.docx");
    const auto west = OpenTemplate(ShopSettings(), "west/Report.docx");
    ASSERT_EQ(east->Name(), west->Name());

    const auto eastBinding = OpenDocumentBind(registry_, east);
    const auto westBinding = OpenDocumentBind(registry_, west);
    ASSERT_NE(eastBinding, nullptr);
    ASSERT_NE(westBinding, nullptr);
    EXPECT_EQ(westBinding->GetRecordCount(), 1) << "each template's relative path resolves in its own folder";
    EXPECT_EQ(FindDocumentBind(registry_, *west), westBinding);
    EXPECT_EQ(FindDocumentBind(registry_, *east), eastBinding);

    // A document of that name without a binding of its own finds the earlier registered one.
    const auto copy = word::Document::Open(folder_.File("west/Report.docx"));
    EXPECT_EQ(FindDocumentBind(registry_, *copy), eastBinding);

    // Closing the earlier document closes its own binding, not the later one.
    CloseDocumentBind(registry_, *east);
    EXPECT_FALSE(eastBinding->IsOpen());
    EXPECT_TRUE(westBinding->IsOpen());
    EXPECT_EQ(FindDocumentBind(registry_, *west), westBinding);

    // By name alone the later registered binding is the one closed.
    const auto eastAgain = OpenDocumentBind(registry_, east);
    ASSERT_NE(eastAgain, nullptr);
    CloseDocumentBind(registry_, *copy);
    EXPECT_EQ(registry_.Count(), 1);
    EXPECT_FALSE(eastAgain->IsOpen());
    EXPECT_TRUE(westBinding->IsOpen());
    EXPECT_EQ(FindDocumentBind(registry_, *west), westBinding);
}

TEST_F(RegistryTest, ReboundAfterClose) {
    const auto report = OpenTemplate(ShopSettings());
    const auto first = OpenDocumentBind(registry_, report);
    ASSERT_NE(first, nullptr);
    CloseDocumentBind(registry_, *report);
    report->Variables().SetValue("HeadFilter", "Shop = 'B'");
    const auto second = OpenDocumentBind(registry_, report);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(second->GetRecordCount(), 2);
    EXPECT_EQ(registry_.Count(), 1);
}

TEST(CopyDocumentVariablesTest, EveryVariableArrivesAndExistingOnesAreOverwritten) {
    const auto source = word::Document::Blank("Source");
    auto from = source->Variables();
    from.SetValue("DataSourceType", "4");
    from.SetValue("DataSource", "C:\\data\\shop.db");
    from.SetValue("HeadFilter", "Shop = 'A' AND Note = \"x, y\"");
    from.SetValue("HeadSort", "");
    from.SetValue("見出し", "改行\r\nあり");

    const auto target = word::Document::Blank("Target");
    target->Variables().SetValue("HeadFilter", "old");
    target->Variables().SetValue("Unrelated", "kept");

    CopyDocumentVariables(*source, *target);
    auto to = target->Variables();
    EXPECT_EQ(to.Count(), 6);
    for (const auto& variable : from.All()) {
        ASSERT_TRUE(to.Exists(variable.Name())) << variable.Name();
        EXPECT_EQ(to.Item(variable.Name()).Value(), variable.Value()) << variable.Name();
    }
    EXPECT_EQ(to.Item("Unrelated").Value(), "kept");
    EXPECT_EQ(from.Count(), 5) << "the source is not changed";
}

// Documents that are no templates stay unbound, silently; their variables copy whole.
TEST(CorpusTest, OrdinaryDocumentsStayUnboundAndTheirVariablesCopy) {
    const std::filesystem::path corpus = std::filesystem::path(PAPERLOOM_SHARED_DIR) / "corpus" / "good";
    if (!std::filesystem::is_directory(corpus)) GTEST_SKIP() << "no shared corpus";
    BindingRegistry registry;
    long opened = 0;
    for (const auto& entry : std::filesystem::directory_iterator(corpus)) {
        if (entry.path().extension() != ".docx") continue;
        std::shared_ptr<word::Document> doc;
        try {
            doc = word::Document::Open(entry.path());
        } catch (const host::HostError&) {
            continue;  // documents the host cannot open are its own tests' business
        }
        ++opened;
        EXPECT_EQ(modPLRFunction::OpenDocumentBind(registry, doc), nullptr) << entry.path();
        const auto target = word::Document::Blank();
        CopyDocumentVariables(*doc, *target);
        auto from = doc->Variables();
        auto to = target->Variables();
        ASSERT_EQ(to.Count(), from.Count()) << entry.path();
        for (const auto& variable : from.All())
            EXPECT_EQ(to.Item(variable.Name()).Value(), variable.Value()) << entry.path() << " " << variable.Name();
    }
    EXPECT_EQ(registry.Count(), 0);
    EXPECT_GT(opened, 0);
}

}  // namespace
}  // namespace paperloom::run::test
