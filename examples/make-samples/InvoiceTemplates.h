#pragma once
// The bundled templates. Each names its database by a path relative to the template's own
// folder, so a folder holding the templates, the database and its pictures is self-contained.

#include <filesystem>
#include <string>

namespace paperloom::samples {

// Bookmark names of the detail tables (header statistics refer to them).
inline constexpr const char* kInvoiceTableBookmark = "明細";
inline constexpr const char* kPagesTableBookmark = "明細表";
// Rows below the caption row of the fixed-size table: an invoice with more lines continues on
// further detail pages.
inline constexpr long kPagesTableRows = 10;

// The invoice: header fields with formats, record numbers, a seal picture, a text box, and a
// detail table that grows to fit, grouped by category with subtotal rows, repeated categories
// left blank, a picture column and an amount computed from two columns.
void MakeInvoiceTemplate(const std::filesystem::path& path, const std::string& database, bool overwrite);

// The statement of lines in a fixed table of kPagesTableRows rows; longer invoices take
// several detail pages, whose count the header shows.
void MakeInvoicePagesTemplate(const std::filesystem::path& path, const std::string& database, bool overwrite);

// The invoice of the peer benchmark (tables Invoices and Lines made by its data generator):
// title, caption, an item table with one row per line and the total, exactly as its checker
// expects them.
void MakePeerInvoiceTemplate(const std::filesystem::path& path, const std::string& database, bool overwrite);

}  // namespace paperloom::samples
