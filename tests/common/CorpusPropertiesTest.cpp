// Reading property text from every table of real documents: never a crash, the view's
// hidden-text display always put back, and the same reads before and after a save.

#include <gtest/gtest.h>

#include <filesystem>

#include "CommonTestSupport.h"
#include "common/clsPLProperty.h"
#include "host/HostError.h"

namespace paperloom {
namespace {

namespace fs = std::filesystem;

struct TableReads {
    std::vector<std::vector<std::string>> columns;  // per table; empty when the read failed
    long failures = 0;
};

TableReads ReadAllTables(word::Document& doc) {
    const clsPLProperty property;
    TableReads reads;
    for (const auto& table : doc.Tables()) {
        std::vector<std::string> columns;
        try {
            const long n = property.GetColumnProperties(table, doc, columns);
            EXPECT_EQ(static_cast<long>(columns.size()), n);
        } catch (const host::HostError&) {
            ++reads.failures;  // merged first-row cells: the caller's error to handle
        }
        reads.columns.push_back(std::move(columns));
    }
    return reads;
}

TEST(CorpusProperties, EveryTableOfEveryGoodDocument) {
    const fs::path good = fs::path(PAPERLOOM_SHARED_DIR) / "corpus" / "good";
    if (!fs::is_directory(good)) GTEST_SKIP() << "no corpus";
    const test::TempFolder work;
    long documents = 0;
    long tables = 0;
    for (const auto& entry : fs::directory_iterator(good)) {
        if (entry.path().extension() != ".docx") continue;
        std::shared_ptr<word::Document> doc;
        try {
            doc = word::Document::Open(entry.path());
        } catch (const std::exception&) {
            continue;  // documents the model cannot open are the model's tests' concern
        }
        try {
            doc->Tables();
        } catch (const host::HostError&) {
            continue;  // tables the model cannot list: again the model's concern
        }
        SCOPED_TRACE(entry.path().filename().string());
        ++documents;
        doc->Windows().Item(1).View().SetShowHiddenText(true);
        const TableReads before = ReadAllTables(*doc);
        EXPECT_TRUE(doc->Windows().Item(1).View().ShowHiddenText());
        tables += static_cast<long>(before.columns.size());
        EXPECT_EQ(clsPLProperty().GetDocVariable("RecordSource", *doc, "\x01"),
                  doc->Variables().Exists("RecordSource") ? doc->Variables().Item("RecordSource").Value() : "\x01");

        const fs::path copy = work.Path() / entry.path().filename();
        try {
            doc->SaveAs(copy);
        } catch (const std::exception&) {
            continue;
        }
        auto reopened = word::Document::Open(copy);
        const TableReads after = ReadAllTables(*reopened);
        EXPECT_EQ(after.columns, before.columns);
        EXPECT_EQ(after.failures, before.failures);
    }
    EXPECT_GT(documents, 0);
    RecordProperty("tables", static_cast<int>(tables));
}

}  // namespace
}  // namespace paperloom
