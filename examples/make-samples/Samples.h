#pragma once
// Builds the bundled samples into a folder: sample.db from the SQL scripts, the pictures the
// database names, and the templates invoice.docx and invoice-pages.docx. The folder is
// self-contained: templates name the database, and the database the pictures, relatively.

#include <filesystem>

namespace paperloom::samples {

inline constexpr const char* kDatabaseName = "sample.db";
inline constexpr const char* kInvoiceName = "invoice.docx";
inline constexpr const char* kInvoicePagesName = "invoice-pages.docx";

struct SampleFiles {
    std::filesystem::path database;
    std::filesystem::path invoice;
    std::filesystem::path invoicePages;
};

// examples/sample of the source tree (schema.sql, data.sql, pictures/).
std::filesystem::path SampleSourceFolder();

// Makes the samples in `outFolder` (created when missing). Existing files are replaced only
// with `overwrite`; without it an existing sample stops the build before anything is written.
SampleFiles MakeSamples(const std::filesystem::path& outFolder, bool overwrite,
                        const std::filesystem::path& sourceFolder = SampleSourceFolder());

}  // namespace paperloom::samples
