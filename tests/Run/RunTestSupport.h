#pragma once
// Templates and databases for the binding tests: a SQLite shop database and templates made
// through the document host (a blank document with header settings in its variables, saved
// to a scratch folder and opened again in an application).

#include <filesystem>
#include <map>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>

#include "support/TestFiles.h"

#include "host/word/Application.h"
#include "host/word/Document.h"

namespace paperloom::run::test {

class ScratchFolder : public paperloom::test::ScratchFolder {
public:
    ScratchFolder() : paperloom::test::ScratchFolder("paperloom-run") {}
};

using paperloom::test::RunSqlite;

// Orders, in Id order:        Id Shop Qty Price Placed      Paid Note Photo
//                             1  A    5   1.5   2024-01-05  1    ...
//                             2  B    0   2.0   2024-02-10  0
//                             3  A    12  0.25  2024-03-15  1
//                             4  C    7   9.75  2024-04-20  0
//                             5  B    3   4.0   2024-05-25  1
inline void MakeShopDatabase(const std::filesystem::path& path) {
    RunSqlite(path,
              "CREATE TABLE Orders (Id INTEGER, Shop VARCHAR(10), Qty INTEGER, Price REAL, Placed DATE,"
              " Paid BOOLEAN, Note TEXT, Photo BLOB, Amount DECIMAL(10,2), Stamp DATETIME);"
              "INSERT INTO Orders VALUES (1, 'A', 5, 1.5, '2024-01-05', 1, 'first', NULL, 7.5, NULL);"
              "INSERT INTO Orders VALUES (2, 'B', 0, 2.0, '2024-02-10', 0, 'none', NULL, 0, NULL);"
              "INSERT INTO Orders VALUES (3, 'A', 12, 0.25, '2024-03-15', 1, 'bulk', NULL, 3, NULL);"
              "INSERT INTO Orders VALUES (4, 'C', 7, 9.75, '2024-04-20', 0, 'late', NULL, 68.25, NULL);"
              "INSERT INTO Orders VALUES (5, 'B', 3, 4.0, '2024-05-25', 1, 'last', NULL, 12, NULL);");
}

using Settings = std::map<std::string, std::string>;

// Header settings of a template on the shop database next to it, ordered by Id.
inline Settings ShopSettings() {
    return {{"DataSourceType", "4"},
            {"DataSource", "shop.db"},
            {"RecordSourceType", "2"},
            {"RecordSource", "Orders"},
            {"RSOrder", "Id"}};
}

// Saves a blank document carrying the settings as document variables.
inline std::filesystem::path SaveTemplate(const std::filesystem::path& path, const Settings& settings) {
    auto doc = word::Document::Blank();
    auto variables = doc->Variables();
    for (const auto& [name, value] : settings) variables.SetValue(name, value);
    doc->SaveAs(path);
    doc->Close();
    return path;
}

}  // namespace paperloom::run::test
