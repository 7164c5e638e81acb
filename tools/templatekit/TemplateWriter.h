#pragma once
// Writes the settings of a report template into a document the way the designer writes them:
// the header binding into document variables, engine fields in place of marker text (main text
// or text boxes), detail settings as hidden property text at the start of the first-row cells,
// and bookmarks that name the detail tables. Every write goes through the document host and
// the template core, so the run-time reads back exactly what it would read from the designer.

#include <filesystem>
#include <memory>
#include <string_view>

#include "TemplateSettings.h"
#include "host/word/Range.h"
#include "host/word/Table.h"
#include "host/word/fields/Field.h"

namespace paperloom::word {
class Document;
}

namespace paperloom::templatekit {

class TemplateWriter {
public:
    explicit TemplateWriter(std::shared_ptr<word::Document> document);

    word::Document& Document() const { return *document_; }
    const std::shared_ptr<word::Document>& SharedDocument() const { return document_; }

    // Header binding and options as document variables (one per key).
    void WriteHeaderBinding(const HeaderBinding& binding) const;

    // The first occurrence of the marker text in the main text, then in the text boxes in
    // order. HostError (5) when it is nowhere, so a misspelt marker never passes silently.
    word::Range FindMarker(std::string_view marker) const;
    // A field with `code` in place of the range (its text goes), updated as the designer does.
    word::Field InsertField(const word::Range& at, std::string_view code) const;
    // InsertField at FindMarker(marker).
    word::Field ReplaceMarker(std::string_view marker, std::string_view code) const;

    // The n-th table of the main text (1-based).
    word::Table TableAt(long index) const;
    // Writes the table's property text into its first-row cells (replacing property text that
    // is there, keeping the visible captions) and names it with its bookmark.
    void WriteDetailTable(const word::Table& table, const DetailTable& detail) const;
    // A table of caption row (when columnHeaders) plus detail.dataRows rows in place of the
    // range, captions typed in, then WriteDetailTable.
    word::Table AddDetailTable(const word::Range& at, const DetailTable& detail) const;

    void SaveAs(const std::filesystem::path& path) const;

private:
    std::shared_ptr<word::Document> document_;
};

}  // namespace paperloom::templatekit
