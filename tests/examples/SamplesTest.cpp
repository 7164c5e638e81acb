// The samples build into a self-contained folder: the database holds what the templates show,
// every picture it names is there, the header bindings open, each detail table's own record
// source opens linked to a header record, and every field or column names a real field.

#include <gtest/gtest.h>

#include <unistd.h>

#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "InvoiceTemplates.h"
#include "Run/clsPLRDBBind.h"
#include "Samples.h"
#include "SqlDatabase.h"
#include "common/SettingTypes.h"
#include "common/clsPLProperty.h"
#include "common/modPLFieldCode.h"
#include "common/modPLFunction.h"
#include "host/ado/Connection.h"
#include "host/ado/Recordset.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "host/word/fields/Field.h"

namespace paperloom::samples {
namespace {

class Scratch {
public:
    Scratch() {
        path_ = std::filesystem::temp_directory_path() /
                ("paperloom-samples-" + std::to_string(::getpid()) + "-" + std::to_string(counter_++));
        std::filesystem::remove_all(path_);
    }
    ~Scratch() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    Scratch(const Scratch&) = delete;
    Scratch& operator=(const Scratch&) = delete;
    const std::filesystem::path& Path() const { return path_; }

private:
    static inline int counter_ = 0;
    std::filesystem::path path_;
};

std::string Get(std::string_view text, std::string_view key) {
    return clsPLProperty().GetPropertyFromText(text, key, "");
}

std::set<std::string> FieldNames(const host::ado::Recordset& records) {
    std::set<std::string> names;
    for (long i = 0; i < records.Fields().Count(); ++i) names.insert(records.Fields().Item(i).Name());
    return names;
}

// Field names the header fields of a story use (data and picture fields).
std::vector<std::string> HeaderFieldNames(const word::Fields& fields) {
    std::vector<std::string> names;
    for (const auto& field : fields) {
        std::vector<std::string> tokens;
        if (modPLFunction::SplitTokens(field.Code().Text(), tokens, "") < 3) continue;
        if (tokens[1] == "DataField" || tokens[1] == "PictureField") names.push_back(tokens[2]);
    }
    return names;
}

class Samples : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        scratch_ = std::make_unique<Scratch>();
        files_ = MakeSamples(scratch_->Path(), false);
    }
    static void TearDownTestSuite() {
        scratch_.reset();
    }

    // Opens the template, binds it as the run-time does and checks what it names.
    void CheckTemplate(const std::filesystem::path& path, long expectedTables) {
        SCOPED_TRACE(path.string());
        const auto doc = app_.Documents().Open(path);
        auto binding = std::make_shared<clsPLRDBBind>();
        ASSERT_TRUE(binding->DBConnect(doc));
        ASSERT_TRUE(binding->DBOpen());
        EXPECT_EQ(binding->GetRecordCount(), 25);
        const auto headerFields = FieldNames(*binding->RecordSource());

        std::vector<std::string> used = HeaderFieldNames(word::FieldsOf(*doc));
        for (const auto& shape : doc->Shapes()) {
            for (const auto& name : HeaderFieldNames(word::FieldsOf(shape.TextFrame().TextRange()))) used.push_back(name);
        }
        EXPECT_GE(used.size(), 3u);
        for (const auto& name : used) EXPECT_TRUE(headerFields.contains(name)) << name;

        const clsPLProperty property;
        ASSERT_EQ(doc->Tables().Count(), expectedTables);
        for (const auto& table : doc->Tables()) {
            const std::string detail = property.GetDetailProperties(table, *doc);
            auto connection = modPLFunction::OpenConnection(Get(detail, "DataSourceType"), Get(detail, "DataSource"),
                                                            "", "", doc->Path());
            ASSERT_TRUE(connection);
            // The link as the detail fill makes it for invoice 7, the one with 23 lines.
            const std::string link = Get(detail, "ChildKey") + "=7";
            auto lines = modPLFunction::OpenRecordset(connection, Get(detail, "RecordSourceType"),
                                                      Get(detail, "RecordSource"), Get(detail, "RSWhere"),
                                                      Get(detail, "RSOrder"), link, "");
            ASSERT_TRUE(lines);
            EXPECT_EQ(lines->RecordCount(), 23);
            EXPECT_TRUE(headerFields.contains(Get(detail, "ParentKey")));
            const auto detailFields = FieldNames(*lines);
            std::vector<std::string> columns;
            property.GetColumnProperties(table, *doc, columns);
            for (const auto& column : columns) {
                const std::string type = Get(column, "FieldType");
                if (type == "1" || type == "4") {
                    EXPECT_TRUE(detailFields.contains(Get(column, "DataField"))) << column;
                }
            }
        }
        binding->DBDisconnect();
        doc->Close();
    }

    static inline std::unique_ptr<Scratch> scratch_;
    static inline SampleFiles files_;
    word::Application app_;
};

TEST_F(Samples, DatabaseHoldsTheInvoicesAndEveryPictureItNames) {
    auto connection = modPLFunction::OpenConnection("4", files_.database.string(), "", "", "");
    ASSERT_TRUE(connection);
    auto headers = modPLFunction::OpenRecordset(connection, "2", "InvoiceHeaders", "", "InvoiceNo", "", "");
    ASSERT_TRUE(headers);
    EXPECT_EQ(headers->RecordCount(), 25);
    EXPECT_EQ(modPLFunction::GetTableNameFromStatement("SELECT * FROM InvoiceDetails"), "InvoiceDetails");
    auto pictures = modPLFunction::OpenRecordset(
        connection, "1", "SELECT Picture AS Path FROM Products UNION SELECT Stamp FROM Staff", "", "", "", "");
    ASSERT_TRUE(pictures);
    EXPECT_EQ(pictures->RecordCount(), 15);
    for (pictures->MoveFirst(); !pictures->IsEOF(); pictures->MoveNext()) {
        const std::string path = host::ado::CStr(pictures->Fields().Item("Path").Value());
        EXPECT_TRUE(std::filesystem::is_regular_file(scratch_->Path() / path)) << path;
    }
}

TEST_F(Samples, InvoiceTemplateBindsAndNamesOnlyRealFields) {
    CheckTemplate(files_.invoice, 1);
}

TEST_F(Samples, FixedTableTemplateBindsAndNamesOnlyRealFields) {
    CheckTemplate(files_.invoicePages, 1);
    // A caption row and a fixed block of rows: the 23 lines of INV-2024-007 need 3 detail pages.
    const auto doc = app_.Documents().Open(files_.invoicePages);
    const auto table = doc->Tables().Item(1);
    EXPECT_EQ(table.Rows().Count(), kPagesTableRows + 1);
    const std::string detail = clsPLProperty().GetDetailProperties(table, *doc);
    EXPECT_EQ(Get(detail, "AutoAdjustRowCount"), "False");
    EXPECT_EQ(Get(detail, "ColumnHeaders"), "True");
    doc->Close();
}

// The run-time reads the stored type texts into enums; each must name a kind and write back as
// the text the template holds, or templates written by the run-time would change.
TEST_F(Samples, StoredTypeTextsReadAndWriteBackUnchanged) {
    using namespace settingtypes;
    const clsPLProperty property;
    long checked = 0;
    const auto checkSource = [&](const std::string& dataSourceType, const std::string& recordSourceType) {
        const auto data = ParseDataSourceType(dataSourceType);
        ASSERT_TRUE(data) << dataSourceType;
        EXPECT_EQ(DataSourceTypeText(*data), dataSourceType);
        const auto record = ParseRecordSourceType(recordSourceType);
        ASSERT_TRUE(record) << recordSourceType;
        EXPECT_EQ(RecordSourceTypeText(*record), recordSourceType);
        checked += 2;
    };
    for (const auto& path : {files_.invoice, files_.invoicePages}) {
        SCOPED_TRACE(path.string());
        const auto doc = app_.Documents().Open(path);
        checkSource(property.GetDocVariable("DataSourceType", *doc, ""), property.GetDocVariable("RecordSourceType", *doc, ""));
        for (const auto& table : doc->Tables()) {
            const std::string detail = property.GetDetailProperties(table, *doc);
            checkSource(Get(detail, "DataSourceType"), Get(detail, "RecordSourceType"));
            std::vector<std::string> columns;
            property.GetColumnProperties(table, *doc, columns);
            for (const auto& column : columns) {
                const std::string text = property.GetPropertyFromText(column, "FieldType", "0");
                EXPECT_EQ(ColumnFieldTypeText(ParseColumnFieldType(text)), text) << column;
                ++checked;
            }
        }
        doc->Close();
    }
    EXPECT_GE(checked, 8);
}

TEST_F(Samples, ExistingSamplesAreReplacedOnlyWhenAsked) {
    const auto before = std::filesystem::last_write_time(files_.invoice);
    EXPECT_THROW(MakeSamples(scratch_->Path(), false), std::runtime_error);
    EXPECT_EQ(std::filesystem::last_write_time(files_.invoice), before);
    EXPECT_THROW(MakeSamples(scratch_->Path() / "elsewhere", true, scratch_->Path() / "missing"), std::runtime_error);
    EXPECT_FALSE(std::filesystem::exists(scratch_->Path() / "elsewhere"));
    const SampleFiles again = MakeSamples(scratch_->Path(), true);
    EXPECT_TRUE(std::filesystem::exists(again.invoicePages));
    const auto leftovers = std::distance(std::filesystem::directory_iterator(scratch_->Path()),
                                         std::filesystem::directory_iterator());
    EXPECT_EQ(leftovers, 4) << "database, two templates and the pictures folder, no scratch files";
}

TEST_F(Samples, PeerInvoiceTemplateBindsToTheGeneratedTables) {
    const auto folder = scratch_->Path() / "peer";
    std::filesystem::create_directories(folder);
    const auto script = folder / "invoices.sql";
    {
        std::ofstream out(script);
        out << "CREATE TABLE Invoices (InvoiceNo INTEGER PRIMARY KEY, Number TEXT, Customer TEXT, IssueDate TEXT,"
               " Total INTEGER);\n"
               "CREATE TABLE Lines (InvoiceNo INTEGER, LineNo INTEGER, Item TEXT, Qty INTEGER, Price INTEGER,"
               " Amount INTEGER);\n";
        for (int i = 1; i <= 25; ++i) {
            out << "INSERT INTO Invoices VALUES (" << i << ", 'INV-" << i << "', 'Acme', '2024-01-02', 300);\n";
            for (int k = 1; k <= (i == 7 ? 23 : 2); ++k) {
                out << "INSERT INTO Lines VALUES (" << i << ", " << k << ", 'Pen', 1, 100, 100);\n";
            }
        }
    }
    BuildDatabase(folder / "invoices.db", {script}, false);
    const auto path = folder / "peer.docx";
    MakePeerInvoiceTemplate(path, "invoices.db", false);
    EXPECT_THROW(MakePeerInvoiceTemplate(path, "invoices.db", false), std::runtime_error);
    CheckTemplate(path, 1);
}

TEST(SampleDatabase, AFailingScriptLeavesNoDatabaseBehind) {
    Scratch scratch;
    std::filesystem::create_directories(scratch.Path());
    const auto script = scratch.Path() / "bad.sql";
    std::ofstream(script) << "CREATE TABLE T (A INTEGER); INSERT INTO Missing VALUES (1);";
    EXPECT_THROW(BuildDatabase(scratch.Path() / "bad.db", {script}, false), std::runtime_error);
    const auto entries = std::distance(std::filesystem::directory_iterator(scratch.Path()),
                                       std::filesystem::directory_iterator());
    EXPECT_EQ(entries, 1) << "only the script: no database, no scratch file";
}

}  // namespace
}  // namespace paperloom::samples
