#include "TemplateWriter.h"

#include <optional>
#include <vector>

#include "PropertyText.h"
#include "common/clsPLProperty.h"
#include "common/clsPLRange.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/HostError.h"
#include "host/word/Document.h"

namespace paperloom::templatekit {

namespace k = modPLConst;

namespace {

constexpr const char* kSource = "TemplateWriter";

std::optional<word::Range> FindIn(const word::Range& scope, std::string_view marker) {
    word::Range range = scope.Duplicate();
    word::Find find = range.Find();
    find.ClearFormatting();
    find.SetText(marker);
    if (!find.Execute()) return std::nullopt;
    return range;
}

}  // namespace

TemplateWriter::TemplateWriter(std::shared_ptr<word::Document> document) : document_(std::move(document)) {
    if (!document_) throw host::HostError(5, kSource, "No document to write a template into");
}

void TemplateWriter::WriteHeaderBinding(const HeaderBinding& binding) const {
    word::Variables variables = document_->Variables();
    // Cleared keys are deleted, as the bind dialog leaves them: an absent key reads as "".
    const auto put = [&](std::string_view key, std::string_view value) {
        if (value.empty()) {
            variables.Delete(key);
        } else {
            variables.SetValue(key, value);
        }
    };
    const DataBinding& s = binding.source;
    put(k::PROP_DATA_SOURCE_TYPE, s.dataSourceType);
    put(k::PROP_DATA_SOURCE, s.dataSource);
    put(k::PROP_USER_NAME, s.userName);
    put(k::PROP_PASSWORD, s.password);
    put(k::PROP_RECORD_SOURCE_TYPE, s.recordSourceType);
    put(k::PROP_RECORD_SOURCE, s.recordSource);
    put(k::PROP_RS_WHERE, s.rsWhere);
    put(k::PROP_RS_ORDER, s.rsOrder);
    put(k::PROP_HEAD_FILTER, binding.headFilter);
    put(k::PROP_HEAD_SORT, binding.headSort);
    const auto flag = [&](std::string_view key, const std::optional<bool>& value) {
        if (value) variables.SetValue(key, modPLFunction::FlagToText(*value));
    };
    flag(k::PROP_UPDATE_DETAIL, binding.updateDetail);
    flag(k::PROP_COPY_PRIMARY_HEADER, binding.copyPrimaryHeader);
    flag(k::PROP_COPY_PRIMARY_FOOTER, binding.copyPrimaryFooter);
}

word::Range TemplateWriter::FindMarker(std::string_view marker) const {
    if (marker.empty()) throw host::HostError(5, kSource, "Empty marker");
    if (auto hit = FindIn(document_->Content(), marker)) return *hit;
    for (const word::Shape& shape : document_->Shapes()) {
        if (shape.Type() == word::msoGroup) {
            for (const word::Shape& item : shape.GroupItems()) {
                if (!item.TextFrame().HasText()) continue;
                if (auto hit = FindIn(item.TextFrame().TextRange(), marker)) return *hit;
            }
        } else if (shape.TextFrame().HasText()) {
            if (auto hit = FindIn(shape.TextFrame().TextRange(), marker)) return *hit;
        }
    }
    throw host::HostError(5, kSource, "Marker not found in the template: " + std::string(marker));
}

word::Field TemplateWriter::InsertField(const word::Range& at, std::string_view code) const {
    if (code.empty()) throw host::HostError(5, kSource, "Empty field code");
    return word::FieldsOf(at).Add(at, word::wdFieldEmpty, code);
}

word::Field TemplateWriter::ReplaceMarker(std::string_view marker, std::string_view code) const {
    return InsertField(FindMarker(marker), code);
}

word::Table TemplateWriter::TableAt(long index) const {
    return document_->Tables().Item(index);
}

void TemplateWriter::WriteDetailTable(const word::Table& table, const DetailTable& detail) const {
    const long columns = table.Columns().Count();
    if (static_cast<long>(detail.columns.size()) > columns) {
        throw host::HostError(5, kSource,
                              "The detail settings name " + std::to_string(detail.columns.size()) +
                                  " columns; the table has " + std::to_string(columns));
    }
    // Every text is made before the first write, so a refused value leaves the table as it was.
    std::vector<std::string> texts;
    for (long c = 1; c <= columns; ++c) texts.push_back(CellPropertyText(detail, c));
    const clsPLProperty property;
    const clsPLRange ranges;
    for (long c = 1; c <= columns; ++c) {
        const std::string& text = texts[static_cast<std::size_t>(c - 1)];
        const word::Range cell = table.Cell(1, c).Range();
        std::optional<word::Range> found;
        if (property.GetProperties2(cell, found) && found) {
            found->SetText(text);
        } else if (!text.empty()) {
            ranges.InsertBeforeHiddenText(text, cell);
        }
    }
    if (!detail.bookmark.empty()) document_->Bookmarks().Add(detail.bookmark, table.Range());
}

word::Table TemplateWriter::AddDetailTable(const word::Range& at, const DetailTable& detail) const {
    const long columns = static_cast<long>(detail.columns.size());
    if (columns < 1) throw host::HostError(5, kSource, "A detail table needs at least one column");
    const long rows = std::max(1L, detail.dataRows) + (detail.columnHeaders ? 1 : 0);
    word::Table table = document_->Tables().Add(at, rows, columns);
    if (detail.columnHeaders) {
        const clsPLRange ranges;
        for (long c = 1; c <= columns; ++c) {
            const std::string& caption = detail.columns[static_cast<std::size_t>(c - 1)].caption;
            if (caption.empty()) continue;
            word::Range cell = table.Cell(1, c).Range();
            ranges.AppendText(caption, cell);
        }
    }
    WriteDetailTable(table, detail);
    return table;
}

void TemplateWriter::SaveAs(const std::filesystem::path& path) const {
    document_->SaveAs(path);
}

}  // namespace paperloom::templatekit
