#include "host/ado/Recordset.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "TestFiles.h"
#include "host/HostError.h"
#include "host/ado/Connection.h"
#include "host/ado/SessionPool.h"

namespace paperloom::host::ado {
namespace {

using testing::ScratchFolder;

long ErrorNumber(const std::function<void()>& action, std::string* message = nullptr) {
    try {
        action();
    } catch (const HostError& e) {
        if (message) *message = e.Description();
        return e.Number();
    }
    return 0;
}

class SalesDatabase : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = folder_.File("sales.db");
        testing::RunSqlite(path_, R"sql(
            CREATE TABLE Orders(Id INTEGER PRIMARY KEY, Shop VARCHAR(10), Item TEXT, Qty INTEGER,
                                Price DECIMAL(10,2), Ordered DATE, Stamp DATETIME, Paid BOOLEAN, Ratio REAL);
            INSERT INTO Orders VALUES
              (1, 'A', 'りんご',   5, '120.50', '2024-01-05', '2024-01-05 09:30:00', 1, 0.5),
              (2, 'B', 'みかん',   2, '80',     '2024-01-06', '2024-01-06 10:00:00', 0, 1.25),
              (3, 'A', 'ぶどう',   7, '300.10', '2024-02-01', '2024-02-01 00:00:00', 1, NULL),
              (4, NULL, 'バナナ', NULL, NULL,    NULL,         NULL,                  NULL, NULL),
              (5, 'B', 'メロン',   1, '1500',   '2023-12-31', '2023-12-31 23:59:59', 0, 3.0),
              (6, 'A', 'いちご',   3, '450.25', '2024-03-03', '2024-03-03 12:00:00', 1, 0.1);
            CREATE VIEW ShopA AS SELECT Id, Item FROM Orders WHERE Shop = 'A';
        )sql");
        connection_ = std::make_shared<Connection>();
        connection_->Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + path_ + ";Persist Security Info=False");
    }

    std::shared_ptr<Recordset> Open(const std::string& source, CommandTypeEnum type = CommandTypeEnum::adCmdText) {
        auto rs = std::make_shared<Recordset>();
        rs->Open(source, connection_, type);
        return rs;
    }

    static std::int64_t Id(const Recordset& rs) { return rs.Fields().Item("Id").Value().AsInteger(); }

    static std::vector<std::int64_t> Ids(Recordset& rs) {
        std::vector<std::int64_t> ids;
        for (rs.MoveFirst(); !rs.IsEOF(); rs.MoveNext()) ids.push_back(Id(rs));
        return ids;
    }

    ScratchFolder folder_;
    std::string path_;
    std::shared_ptr<Connection> connection_;
};

TEST_F(SalesDatabase, NavigationStopsAtBothEndsWithNoCurrentRecordErrors) {
    auto rs = Open("SELECT * FROM Orders ORDER BY Id");
    EXPECT_EQ(rs->RecordCount(), 6);
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    EXPECT_FALSE(rs->IsBOF());
    rs->MovePrevious();
    EXPECT_TRUE(rs->IsBOF());
    EXPECT_FALSE(rs->IsEOF());
    EXPECT_EQ(rs->AbsolutePosition(), Recordset::adPosBOF);
    EXPECT_EQ(ErrorNumber([&] { rs->MovePrevious(); }), 3021);
    EXPECT_EQ(ErrorNumber([&] { (void)rs->Fields().Item("Id").Value(); }), 3021);
    EXPECT_EQ(ErrorNumber([&] { (void)rs->Bookmark(); }), 3021);
    rs->MoveNext();
    EXPECT_EQ(Id(*rs), 1);
    rs->MoveLast();
    EXPECT_EQ(Id(*rs), 6);
    EXPECT_EQ(rs->AbsolutePosition(), 6);
    rs->MoveNext();
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_EQ(rs->AbsolutePosition(), Recordset::adPosEOF);
    EXPECT_EQ(ErrorNumber([&] { rs->MoveNext(); }), 3021);
    rs->MovePrevious();
    EXPECT_EQ(Id(*rs), 6);

    auto empty = Open("SELECT * FROM Orders WHERE Id > 100");
    EXPECT_TRUE(empty->IsBOF());
    EXPECT_TRUE(empty->IsEOF());
    EXPECT_EQ(empty->RecordCount(), 0);
    empty->MoveFirst();  // allowed on an empty recordset
    empty->MoveLast();
    EXPECT_EQ(ErrorNumber([&] { empty->Find("Id = 1"); }), 3021);
}

TEST_F(SalesDatabase, MoveCountsFromBookmarksAndFromTheFirstRecord) {
    auto rs = Open("SELECT * FROM Orders ORDER BY Id");
    rs->Move(2);
    const Variant mark = rs->Bookmark();
    EXPECT_EQ(Id(*rs), 3);
    rs->MoveLast();
    rs->Move(0, mark);
    EXPECT_EQ(Id(*rs), 3);
    rs->Move(-1, mark);
    EXPECT_EQ(Id(*rs), 2);
    rs->Move(4 - 1, Variant(static_cast<int>(BookmarkEnum::adBookmarkFirst)));  // record number 4
    EXPECT_EQ(Id(*rs), 4);
    rs->Move(100, Variant(1));
    EXPECT_TRUE(rs->IsEOF());
    rs->Move(-100, mark);
    EXPECT_TRUE(rs->IsBOF());
    rs->Move(-1, Variant(static_cast<int>(BookmarkEnum::adBookmarkLast)));
    EXPECT_EQ(Id(*rs), 5);
    EXPECT_EQ(ErrorNumber([&] { rs->Move(0, Variant(99.0)); }), 3001);
    EXPECT_EQ(ErrorNumber([&] { rs->Move(0, Variant("x")); }), 3001);
    rs->MoveLast();
    rs->MoveNext();
    EXPECT_EQ(ErrorNumber([&] { rs->Move(1); }), 3021);

    // Bookmarks stay valid when a sort reorders the records.
    rs->SetSort("Qty DESC");
    rs->Move(0, mark);
    EXPECT_EQ(Id(*rs), 3);
    EXPECT_EQ(rs->AbsolutePosition(), 1);
}

TEST_F(SalesDatabase, FindSearchesBothWaysWithSkipCounts) {
    auto rs = Open("SELECT * FROM Orders ORDER BY Id");
    rs->Find("Shop = 'A'");
    EXPECT_EQ(Id(*rs), 1);  // the current record itself matches
    rs->Find("Shop = 'A'", 1);
    EXPECT_EQ(Id(*rs), 3);
    rs->Find("Shop = 'A'", 1);
    EXPECT_EQ(Id(*rs), 6);
    rs->Find("Shop = 'A'", 1);
    EXPECT_TRUE(rs->IsEOF());

    rs->MoveLast();
    rs->Find("Shop = 'B'", 0, SearchDirectionEnum::adSearchBackward);
    EXPECT_EQ(Id(*rs), 5);
    rs->Find("Shop = 'B'", 1, SearchDirectionEnum::adSearchBackward);
    EXPECT_EQ(Id(*rs), 2);
    rs->Find("Shop = 'B'", 1, SearchDirectionEnum::adSearchBackward);
    EXPECT_TRUE(rs->IsBOF());

    rs->MoveFirst();
    rs->Find("Item LIKE '%ご%'", 1);
    EXPECT_EQ(Id(*rs), 6);
    rs->MoveFirst();
    rs->Find("Shop=NULL");
    EXPECT_EQ(Id(*rs), 4);
    rs->MoveFirst();
    rs->Find("Ordered >= #2024/02/01#");
    EXPECT_EQ(Id(*rs), 3);
    rs->Find("Price > 400");
    EXPECT_EQ(Id(*rs), 5);
    rs->Find("Id = 1", 0, SearchDirectionEnum::adSearchForward, Variant(1));
    EXPECT_EQ(Id(*rs), 1);

    const long before = rs->AbsolutePosition();
    EXPECT_EQ(ErrorNumber([&] { rs->Find("Shop = 'A' AND Qty > 1"); }), 3001);
    EXPECT_EQ(ErrorNumber([&] { rs->Find("Shop = "); }), 3001);
    EXPECT_EQ(ErrorNumber([&] { rs->Find("Nothing = 1"); }), 3265);
    EXPECT_EQ(rs->AbsolutePosition(), before);
}

TEST_F(SalesDatabase, FilterAndSortOnTheOpenRecordset) {
    auto rs = Open("Orders", CommandTypeEnum::adCmdTable);
    rs->SetFilter("Shop = 'A' AND Qty > 3");
    EXPECT_EQ(rs->Filter(), "Shop = 'A' AND Qty > 3");
    EXPECT_EQ(rs->RecordCount(), 2);
    EXPECT_EQ(Ids(*rs), (std::vector<std::int64_t>{1, 3}));
    rs->SetFilter("  Shop =NULL ''  Or  Ratio >= 3 ");
    EXPECT_EQ(Ids(*rs), (std::vector<std::int64_t>{4, 5}));
    rs->SetFilter("Stamp >= #2024/01/06# AND Stamp < #2024/02/01 00:00:01#");
    EXPECT_EQ(Ids(*rs), (std::vector<std::int64_t>{2, 3}));
    rs->SetFilter("Shop = 'Z'");
    EXPECT_TRUE(rs->IsEOF());
    EXPECT_TRUE(rs->IsBOF());
    EXPECT_EQ(rs->RecordCount(), 0);
    rs->SetFilter("");
    EXPECT_EQ(rs->RecordCount(), 6);
    EXPECT_EQ(rs->Filter(), "");

    rs->SetSort("Shop ASC, Qty DESC");
    EXPECT_EQ(rs->Sort(), "Shop ASC, Qty DESC");
    EXPECT_EQ(rs->AbsolutePosition(), 1);
    EXPECT_EQ(Ids(*rs), (std::vector<std::int64_t>{4, 3, 1, 6, 2, 5}));  // Null shop first
    rs->SetSort("Shop DESC, Qty");
    EXPECT_EQ(Ids(*rs), (std::vector<std::int64_t>{5, 2, 6, 1, 3, 4}));  // Null last descending
    rs->SetFilter("Shop <> NULL");
    EXPECT_EQ(Ids(*rs), (std::vector<std::int64_t>{5, 2, 6, 1, 3}));  // the sort stays under a filter
    rs->SetSort("Price");
    EXPECT_EQ(Ids(*rs), (std::vector<std::int64_t>{2, 1, 3, 6, 5}));  // exact numbers, not text order

    EXPECT_EQ(ErrorNumber([&] { rs->SetSort("Nothing ASC"); }), 3265);
    EXPECT_EQ(rs->Sort(), "Price");
    EXPECT_EQ(ErrorNumber([&] { rs->SetFilter("Qty >"); }), 3001);
    EXPECT_EQ(rs->Filter(), "Shop <> NULL");
    rs->SetSort("");
    EXPECT_EQ(Ids(*rs), (std::vector<std::int64_t>{1, 2, 3, 5, 6}));
}

TEST_F(SalesDatabase, ClonesStartOnTheSameRecordAndMoveIndependently) {
    auto rs = Open("SELECT * FROM Orders ORDER BY Id");
    rs->SetFilter("Shop <> 'B'");  // a Null shop is not "not B": Null compares as unknown
    rs->MoveNext();
    auto clone = rs->Clone();
    EXPECT_EQ(Id(*clone), Id(*rs));
    EXPECT_EQ(clone->Filter(), "Shop <> 'B'");
    clone->MoveNext();
    EXPECT_EQ(Id(*clone), 6);
    EXPECT_EQ(Id(*rs), 3);
    // Bookmarks are shared between a recordset and its clones.
    rs->MoveFirst();
    rs->Move(0, clone->Bookmark());
    EXPECT_EQ(Id(*rs), 6);
    // A clone keeps its rows when the source closes.
    rs->Close();
    EXPECT_EQ(rs->State(), ObjectStateEnum::adStateClosed);
    EXPECT_EQ(ErrorNumber([&] { (void)rs->RecordCount(); }), 3704);
    clone->MoveLast();
    EXPECT_EQ(Id(*clone), 6);
    EXPECT_EQ(clone->RecordCount(), 3);
}

TEST_F(SalesDatabase, ValuesKeepTheirKindsAndTypeCodes) {
    auto rs = Open("SELECT * FROM Orders ORDER BY Id");
    const auto fields = rs->Fields();
    ASSERT_EQ(fields.Count(), 9);
    EXPECT_EQ(fields.Item(0L).Name(), "Id");
    EXPECT_EQ(fields.Item("shop").Type(), DataTypeEnum::adVarWChar);
    EXPECT_EQ(fields.Item("Item").Type(), DataTypeEnum::adLongVarWChar);
    EXPECT_EQ(fields.Item("Qty").Type(), DataTypeEnum::adInteger);
    EXPECT_EQ(fields.Item("Price").Type(), DataTypeEnum::adDecimal);
    EXPECT_EQ(fields.Item("Ordered").Type(), DataTypeEnum::adDBDate);
    EXPECT_EQ(fields.Item("Stamp").Type(), DataTypeEnum::adDBTimeStamp);
    EXPECT_EQ(fields.Item("Paid").Type(), DataTypeEnum::adBoolean);
    EXPECT_EQ(fields.Item("Ratio").Type(), DataTypeEnum::adDouble);
    EXPECT_EQ(ErrorNumber([&] { (void)fields.Item("Missing"); }), 3265);
    EXPECT_EQ(ErrorNumber([&] { (void)fields.Item(9L); }), 3265);

    EXPECT_EQ(fields.Item("Item").Value().AsString(), "りんご");
    EXPECT_EQ(fields.Item("Price").Value().AsDecimal().Text(), "120.5");
    EXPECT_EQ(CStr(fields.Item("Ordered").Value()), "2024/01/05");
    EXPECT_EQ(CStr(fields.Item("Stamp").Value()), "2024/01/05 09:30:00");
    EXPECT_EQ(fields.Item("Paid").Value(), Variant(true));
    rs->Move(2);
    EXPECT_EQ(CStr(fields.Item("Price").Value()), "300.1");
    EXPECT_EQ(CStr(fields.Item("Stamp").Value()), "2024/02/01");
    EXPECT_TRUE(fields.Item("Ratio").Value().IsNull());
    rs->MoveNext();
    for (const char* name : {"Shop", "Qty", "Price", "Ordered", "Stamp", "Paid"})
        EXPECT_TRUE(fields.Item(name).Value().IsNull()) << name;

    // Expressions without a declared type take the type of their values.
    auto sums = Open("SELECT count(*) AS n, sum(Ratio) AS r, max(Item) AS m FROM Orders");
    EXPECT_EQ(sums->Fields().Item("n").Type(), DataTypeEnum::adBigInt);
    EXPECT_EQ(sums->Fields().Item("n").Value(), Variant(6));
    EXPECT_EQ(sums->Fields().Item("r").Type(), DataTypeEnum::adDouble);
    EXPECT_EQ(sums->Fields().Item("m").Type(), DataTypeEnum::adVarWChar);
}

TEST_F(SalesDatabase, JapaneseTextRoundTripsUnchanged) {
    const std::string text = "東京都千代田区１－２－３ ｶﾀｶﾅ 🍣 髙﨑";
    long affected = 0;
    auto none = connection_->Execute("INSERT INTO Orders(Id, Item) VALUES (7, '" + text + "')", &affected);
    EXPECT_EQ(none->State(), ObjectStateEnum::adStateClosed);
    EXPECT_EQ(affected, 1);
    auto rs = Open("SELECT Item FROM Orders WHERE Item = '" + text + "'");
    ASSERT_EQ(rs->RecordCount(), 1);
    EXPECT_EQ(rs->Fields().Item(0L).Value().AsString(), text);
    rs->SetFilter("Item = '" + text + "'");
    EXPECT_EQ(rs->RecordCount(), 1);
}

TEST_F(SalesDatabase, StatementsAreAdaptedOnTheWayToTheDatabase) {
    auto rs = Open("SELECT * FROM Orders WHERE Ordered >= #2024/1/6# AND  Shop <>NULL '' ORDER BY Id");
    EXPECT_EQ(Ids(*rs), (std::vector<std::int64_t>{2, 3, 6}));
    rs = Open("SELECT * FROM Orders WHERE ( Shop =NULL '' )");
    EXPECT_EQ(Ids(*rs), (std::vector<std::int64_t>{4}));
    rs = Open("SELECT * FROM Orders WHERE Item LIKE '*ん*' ORDER BY Id");
    EXPECT_EQ(Ids(*rs), (std::vector<std::int64_t>{1, 2}));
    rs = Open("SELECT * FROM Orders WHERE Item = 'x =NULL '''");
    EXPECT_EQ(rs->RecordCount(), 0);
}

TEST_F(SalesDatabase, CommandTypesAndRejectedStatements) {
    EXPECT_EQ(Open("ShopA", CommandTypeEnum::adCmdTable)->RecordCount(), 3);
    EXPECT_EQ(Open("ShopA", CommandTypeEnum::adCmdUnknown)->RecordCount(), 3);
    EXPECT_EQ(Open("SELECT 1 AS x", CommandTypeEnum::adCmdUnknown)->RecordCount(), 1);
    std::string message;
    EXPECT_EQ(ErrorNumber([&] { Open("Totals", CommandTypeEnum::adCmdStoredProc); }, &message), -2147467259);
    EXPECT_EQ(ErrorNumber([&] { Open("SELECT Nope FROM Orders"); }, &message), -2147467259);
    EXPECT_NE(message.find("no such column: Nope"), std::string::npos) << message;
    EXPECT_EQ(ErrorNumber([&] { Open("NoTable", CommandTypeEnum::adCmdTable); }, &message), -2147467259);
    EXPECT_NE(message.find("no such table"), std::string::npos) << message;

    auto rs = std::make_shared<Recordset>();
    EXPECT_EQ(ErrorNumber([&] { rs->MoveFirst(); }), 3704);
    auto closed = std::make_shared<Connection>();
    EXPECT_EQ(ErrorNumber([&] { rs->Open("SELECT 1", closed); }), 3704);
    EXPECT_EQ(ErrorNumber([&] { connection_->Open("Provider=SQLite;Data Source=:memory:"); }), 3705);
}

TEST_F(SalesDatabase, SchemaListsTablesColumnsAndProcedures) {
    auto tables = connection_->OpenSchema(SchemaEnum::adSchemaTables);
    std::vector<std::string> names;
    for (; !tables->IsEOF(); tables->MoveNext()) names.push_back(tables->Fields().Item("TABLE_NAME").Value().AsString());
    EXPECT_EQ(names, (std::vector<std::string>{"Orders", "ShopA"}));

    auto columns = connection_->OpenSchema(SchemaEnum::adSchemaColumns);
    columns->SetFilter("TABLE_NAME = 'Orders' AND COLUMN_NAME = 'Ordered'");
    ASSERT_EQ(columns->RecordCount(), 1);
    EXPECT_EQ(columns->Fields().Item("DATA_TYPE").Value().AsInteger(), 133);
    columns->SetFilter("TABLE_NAME = 'ShopA'");
    EXPECT_EQ(columns->RecordCount(), 2);

    for (auto schema : {SchemaEnum::adSchemaProcedures, SchemaEnum::adSchemaProcedureColumns}) {
        auto procs = connection_->OpenSchema(schema);
        EXPECT_EQ(procs->State(), ObjectStateEnum::adStateOpen);
        EXPECT_EQ(procs->RecordCount(), 0);
        EXPECT_NO_THROW((void)procs->Fields().Item("PROCEDURE_NAME"));
    }
}

TEST(ConnectionOpen, MissingFilesAreErrorsAndAreNeverCreated) {
    ScratchFolder folder;
    const std::string missing = folder.File("missing.db");
    Connection c;
    std::string message;
    EXPECT_NE(ErrorNumber([&] { c.Open("Provider=SQLite;Data Source=" + missing); }, &message), 0);
    EXPECT_NE(message.find("missing.db"), std::string::npos);
    EXPECT_NE(ErrorNumber([&] { c.Open("Provider=Microsoft.Jet.OLEDB.4.0;Data Source=" + missing); }), 0);
    EXPECT_FALSE(std::filesystem::exists(missing));
    EXPECT_EQ(c.State(), ObjectStateEnum::adStateClosed);
    // A file whose header claims SQLite but whose body is damaged fails at open.
    folder.Write("bad.db", std::string("SQLite format 3\0", 16) + std::string(200, 'x'));
    EXPECT_NE(ErrorNumber([&] { c.Open("Provider=SQLite;Data Source=" + folder.File("bad.db")); }), 0);
}

TEST(ConnectionOpen, DataLinkFileOpensItsDatabase) {
    ScratchFolder folder;
    testing::RunSqlite(folder.File("link.db"), "CREATE TABLE t(a TEXT); INSERT INTO t VALUES ('ok');");
    folder.Write("link.udl", testing::Utf16DataLink("Provider=SQLite;Data Source=link.db"));
    auto c = std::make_shared<Connection>();
    c->Open("File Name=" + folder.File("link.udl"));
    auto rs = c->Execute("SELECT a FROM t");
    EXPECT_EQ(rs->Fields().Item("a").Value().AsString(), "ok");
}

TEST(ConnectionOpen, InMemoryDatabaseServesStatementsAndRecordsets) {
    auto c = std::make_shared<Connection>();
    c->Open("Provider=SQLite;Data Source=:memory:");
    long affected = 0;
    c->Execute("CREATE TABLE m(k INTEGER, v NUMERIC(12,3), at TIMESTAMP); "
               "INSERT INTO m VALUES (1, 0.1, '2024-05-06T07:08:09'), (2, 12345678901.125, NULL), (3, -2, NULL)",
               &affected);
    EXPECT_EQ(affected, 3);
    c->Execute("UPDATE m SET v = v * 2 WHERE k >= 2", &affected);
    EXPECT_EQ(affected, 2);
    auto rs = std::make_shared<Recordset>();
    rs->Open("m", c, CursorTypeEnum::adOpenStatic, LockTypeEnum::adLockReadOnly, CommandTypeEnum::adCmdTable);
    EXPECT_EQ(rs->Fields().Item("v").Type(), DataTypeEnum::adNumeric);
    EXPECT_EQ(CStr(rs->Fields().Item("v").Value()), "0.1");
    EXPECT_EQ(CStr(rs->Fields().Item("at").Value()), "2024/05/06 07:08:09");
    rs->MoveNext();
    EXPECT_EQ(CStr(rs->Fields().Item("v").Value()), "24691357802.25");
    rs->SetSort("v");
    EXPECT_EQ(rs->Fields().Item("k").Value().AsInteger(), 3);
    EXPECT_EQ(ErrorNumber([&] { (void)rs->Clone(LockTypeEnum::adLockOptimistic); }), 3001);
}

TEST(ConnectionOpen, InMemoryDatabasesAreNeverShared) {
    auto first = std::make_shared<Connection>();
    first->Open("Provider=SQLite;Data Source=:memory:");
    first->Execute("CREATE TABLE t(a)");
    first->Close();
    auto second = std::make_shared<Connection>();
    second->Open("Provider=SQLite;Data Source=:memory:");
    EXPECT_NE(ErrorNumber([&] { second->Execute("SELECT * FROM t"); }), 0);
}

TEST(ConnectionPool, ReopeningTheSameStringReusesOneSession) {
    ScratchFolder folder;
    testing::RunSqlite(folder.File("pool.db"), "CREATE TABLE t(a); INSERT INTO t VALUES (1);");
    const std::string cs = "Provider=SQLite;Data Source=" + folder.File("pool.db");
    auto& pool = SessionPool::Instance();
    const std::size_t before = pool.OpenedCount();
    for (int i = 0; i < 2000; ++i) {
        auto c = std::make_shared<Connection>();
        c->Open(cs, "user", "pw");
        ASSERT_EQ(c->Execute("SELECT a FROM t")->RecordCount(), 1);
        c->Close();
    }
    EXPECT_EQ(pool.OpenedCount() - before, 1u);
    // A database file replaced since the session opened is opened afresh, not read stale.
    testing::RunSqlite(folder.File("new.db"), "CREATE TABLE t(a); INSERT INTO t VALUES (1), (2);");
    std::filesystem::rename(folder.File("new.db"), folder.File("pool.db"));
    {
        Connection c;
        c.Open(cs, "user", "pw");
        EXPECT_EQ(c.Execute("SELECT a FROM t")->RecordCount(), 2);
    }
    EXPECT_EQ(pool.OpenedCount() - before, 2u);
    // Another user name or password is another login.
    Connection other;
    other.Open(cs, "user", "other");
    EXPECT_EQ(pool.OpenedCount() - before, 3u);
    // Two connections open at once do not share a session.
    Connection a;
    Connection b;
    a.Open(cs, "user", "pw");
    b.Open(cs, "user", "pw");
    EXPECT_NE(&a.Session(), &b.Session());
}

class FakeSession final : public ProviderSession {
public:
    explicit FakeSession(bool* usable) : usable_(usable) {}
    ResultSet Execute(const std::string&, CommandTypeEnum) override { return {}; }
    ResultSet Query(const std::string&, CommandTypeEnum) override { return {}; }
    ResultSet OpenSchema(SchemaEnum) override { return {}; }
    SqlDialect Dialect() const noexcept override { return SqlDialect::GenericOdbc; }
    bool IsUsable() noexcept override { return *usable_; }

private:
    bool* usable_;
};

TEST(ConnectionPool, DiscardsUnusableSessionsAndStaysBounded) {
    SessionPool pool(2);
    bool usable = true;
    int opened = 0;
    auto open = [&] {
        ++opened;
        return std::make_unique<FakeSession>(&usable);
    };
    auto s1 = pool.Acquire("k", open);
    pool.Release("k", std::move(s1));
    EXPECT_EQ(pool.IdleCount(), 1u);
    usable = false;  // the database went away while the session was idle
    auto s2 = pool.Acquire("k", open);
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(pool.IdleCount(), 0u);
    pool.Release("k", std::move(s2));  // unusable: not kept
    EXPECT_EQ(pool.IdleCount(), 0u);
    usable = true;
    for (const char* key : {"a", "b", "c"}) pool.Release(key, pool.Acquire(key, open));
    EXPECT_EQ(pool.IdleCount(), 2u);
    const int before = opened;
    (void)pool.Acquire("a", open);  // the oldest was dropped
    EXPECT_EQ(opened, before + 1);
    (void)pool.Acquire("c", open);
    EXPECT_EQ(opened, before + 1);
}

}  // namespace
}  // namespace paperloom::host::ado
