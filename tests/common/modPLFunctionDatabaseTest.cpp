// Connections and recordsets opened from template settings, against a SQLite database the
// test creates.

#include <gtest/gtest.h>
#include <sqlite3.h>

#include "CommonTestSupport.h"
#include "common/modPLFunction.h"
#include "host/ado/Connection.h"
#include "host/ado/Recordset.h"
#include "host/word/Application.h"
#include "host/word/Document.h"

namespace paperloom::modPLFunction {
namespace {

using host::ado::Recordset;

class DatabaseRoutines : public ::testing::Test {
protected:
    DatabaseRoutines() {
        std::filesystem::create_directories(folder_.Path() / "data");
        sqlite3* db = nullptr;
        const int opened = sqlite3_open(DatabasePath().c_str(), &db);
        const std::unique_ptr<sqlite3, decltype(&sqlite3_close)> guard(db, &sqlite3_close);
        if (opened != SQLITE_OK) throw std::runtime_error("cannot create the test database");
        const char* sql =
            "CREATE TABLE Orders (ID INTEGER PRIMARY KEY, Shop TEXT, Qty INTEGER, Day TEXT);"
            "INSERT INTO Orders VALUES (1, 'A', 5, '2024-01-03'), (2, 'B', 0, '2024-01-01'),"
            " (3, 'A', 2, '2024-01-02'), (4, 'A', 9, '2024-01-02'), (5, '受注', 1, '2024-01-05');";
        if (sqlite3_exec(db, sql, nullptr, nullptr, nullptr) != SQLITE_OK) {
            throw std::runtime_error(sqlite3_errmsg(db));
        }
    }

    std::string Folder() const { return folder_.Path().string(); }
    std::string DatabasePath() const { return (folder_.Path() / "data" / "sales.db").string(); }

    // The ID column of every record, in order.
    static std::vector<long> Ids(const std::shared_ptr<Recordset>& records) {
        std::vector<long> ids;
        if (!records->IsEOF()) records->MoveFirst();
        for (; !records->IsEOF(); records->MoveNext()) {
            ids.push_back(static_cast<long>(records->Fields().Item("ID").Value().AsDouble()));
        }
        return ids;
    }

    test::TempFolder folder_;
};

TEST_F(DatabaseRoutines, DatabaseFilePathsRelativeToTheDocumentsFolderAndAbsolute) {
    auto relative = OpenConnection("4", "data/sales.db", "", "", Folder());
    ASSERT_TRUE(relative);
    EXPECT_EQ(relative->State(), host::ado::ObjectStateEnum::adStateOpen);
    EXPECT_NE(relative->ConnectionString().find(DatabasePath()), std::string::npos);
    auto absolute = OpenConnection("4", DatabasePath(), "", "", "/nowhere");
    ASSERT_TRUE(absolute);
    // A document never saved takes the fallback folder.
    SetDefaultFolder(Folder());
    EXPECT_TRUE(OpenConnection("4", "data/sales.db", "", "", ""));
}

TEST_F(DatabaseRoutines, TheBindDialogsResolveAgainstTheActiveDocument) {
    word::Application application;
    EXPECT_EQ(ActiveDocumentFolder(application), "");
    auto fresh = application.Documents().Add();
    EXPECT_EQ(ActiveDocumentFolder(application), "");
    test::DocumentWithTable(1, 1)->SaveAs(folder_.Path() / "report.docx");
    application.Documents().Open(folder_.Path() / "report.docx");
    EXPECT_EQ(ActiveDocumentFolder(application), Folder());
    EXPECT_TRUE(OpenConnection("4", "data/sales.db", "", "", ActiveDocumentFolder(application)));
}

TEST_F(DatabaseRoutines, FailuresGiveNothingAndSayWhy) {
    // Nothing to connect to: no connection and no error.
    const auto empty = TryOpenConnection("4", "", "", "", Folder());
    EXPECT_FALSE(empty.connection);
    EXPECT_FALSE(empty.error);
    EXPECT_FALSE(TryOpenConnection("x", "sales.db", "", "", Folder()).error);
    // A missing file names the file it looked for.
    const auto missing = TryOpenConnection("4", "data/other.db", "", "", Folder());
    EXPECT_FALSE(missing.connection);
    ASSERT_TRUE(missing.error);
    EXPECT_NE(missing.error->Description().find((folder_.Path() / "data" / "other.db").string()), std::string::npos);
    // A connection string nothing can serve.
    const auto wrong = TryOpenConnection("2", "Provider=NoSuchProvider;Data Source=x", "", "", Folder());
    EXPECT_FALSE(wrong.connection);
    ASSERT_TRUE(wrong.error);
    EXPECT_NE(wrong.error->Number(), 0);
    EXPECT_FALSE(wrong.error->Description().empty());
    EXPECT_FALSE(OpenConnection("2", "Provider=NoSuchProvider;Data Source=x", "", "", Folder()));
}

TEST_F(DatabaseRoutines, TableWithConditionsFilterAndSort) {
    auto connection = OpenConnection("4", DatabasePath(), "", "", "");
    ASSERT_TRUE(connection);
    auto records = OpenRecordset(connection, "2", "Orders", "Qty > 0", "Day", "Shop = 'A'", "Qty DESC");
    ASSERT_TRUE(records);
    EXPECT_EQ(records->RecordCount(), 3);
    EXPECT_EQ(Ids(records), (std::vector<long>{4, 3, 1}));
    // A table alone, and a statement.
    EXPECT_EQ(OpenRecordset(connection, "2", "Orders", "", "", "", "")->RecordCount(), 5);
    auto statement = OpenRecordset(connection, "1", "SELECT * FROM Orders ORDER BY ID DESC", "", "", "Qty > 1", "");
    ASSERT_TRUE(statement);
    EXPECT_EQ(Ids(statement), (std::vector<long>{4, 3, 1}));
    // Japanese values pass through.
    EXPECT_EQ(Ids(OpenRecordset(connection, "1", "SELECT * FROM Orders", "", "", "Shop = '受注'", "")),
              std::vector<long>{5});
}

TEST_F(DatabaseRoutines, RecordsetFailuresGiveNothing) {
    auto connection = OpenConnection("4", DatabasePath(), "", "", "");
    ASSERT_TRUE(connection);
    EXPECT_FALSE(OpenRecordset(connection, "x", "Orders", "", "", "", ""));
    EXPECT_FALSE(OpenRecordset(connection, "2", "", "", "", "", ""));
    EXPECT_FALSE(OpenRecordset(connection, "2", "NoSuchTable", "", "", "", ""));
    EXPECT_FALSE(OpenRecordset(connection, "1", "SELECT * FROM Orders WHERE", "", "", "", ""));
    EXPECT_FALSE(OpenRecordset(nullptr, "2", "Orders", "", "", "", ""));
}

TEST_F(DatabaseRoutines, HeaderSettingsFromTheDocumentVariables) {
    auto doc = test::DocumentWithTable(1, 1);
    doc->SaveAs(folder_.Path() / "report.docx");
    // Unbound: no connection, silently.
    EXPECT_FALSE(ConnectHeaderDataSource(*doc));
    doc->Variables().SetValue("DataSourceType", "4");
    doc->Variables().SetValue("DataSource", "data/sales.db");
    auto connection = ConnectHeaderDataSource(*doc);
    ASSERT_TRUE(connection);
    // No record source yet: nothing.
    EXPECT_FALSE(OpenHeaderRecordset(connection, *doc));
    doc->Variables().SetValue("RecordSourceType", "2");
    doc->Variables().SetValue("RecordSource", "Orders");
    doc->Variables().SetValue("RSWhere", "Qty > 0");
    doc->Variables().SetValue("HeadFilter", "Shop = 'A'");
    doc->Variables().SetValue("HeadSort", "ID DESC");
    auto records = OpenHeaderRecordset(connection, *doc);
    ASSERT_TRUE(records);
    EXPECT_EQ(Ids(records), (std::vector<long>{4, 3, 1}));
}

}  // namespace
}  // namespace paperloom::modPLFunction
