#pragma once
// A titled order template for the well-formed print-document tests: a centred title with the
// customer, a text box saved in both its forms (drawing shape and legacy fallback) showing the
// customer, and a right-aligned last paragraph holding text and the order number; optionally
// a first header copied into the print document, and bytes XML 1.0 forbids written into the
// template's main part the way another program might have left them.

#include <filesystem>
#include <string>
#include <vector>

#include "PrintDocTestSupport.h"
#include "host/docx/ZipArchive.h"
#include "support/OfficeSuite.h"

namespace paperloom::run::test {

struct TitledTemplateOptions {
    bool textBox = true;
    std::string headerText;  // copied into the print document when not empty
    bool hostileBytes = false;
};

// Bytes that are not UTF-8, U+FFFE, U+FFFF and control characters, raw and as references.
inline constexpr std::string_view kHostileTemplateText = "\xFF\xC0\xAF\xEF\xBF\xBE\x01&#xFFFF;&#2;\xEF\xBF\xBF";
inline constexpr std::string_view kHostileDatabaseText = "\xFF\x01\xEF\xBF\xBE\x1B\xEF\xBF\xBF\xE6\xBC";

// The template's stored entry `name` with `from` replaced by `to`, as another program wrote it.
inline void RewriteEntry(const std::filesystem::path& path, const std::string& name, const std::string& from,
                         const std::string& to) {
    const std::string stored = paperloom::test::ReadWholeFile(path);
    const std::span<const std::byte> bytes(reinterpret_cast<const std::byte*>(stored.data()), stored.size());
    auto entries = docx::zip::Read(bytes, docx::PackageLimits{});
    std::vector<docx::zip::EntryView> views;
    for (auto& entry : entries) {
        if (entry.name == name) {
            const auto at = entry.data.find(from);
            if (at == std::string::npos) throw std::runtime_error("not in the template: " + from);
            entry.data.replace(at, from.size(), to);
        }
        views.push_back({entry.name, entry.data, entry.mtime});
    }
    const auto written = docx::zip::Write(views);
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(written.data()),
                                                static_cast<std::streamsize>(written.size()));
}

inline std::filesystem::path SaveTitledTemplate(const std::filesystem::path& path,
                                                const TitledTemplateOptions& options = {}) {
    sk::ParagraphStyle centred;
    centred.align = sk::Align::Center;
    sk::ParagraphStyle right;
    right.align = sk::Align::Right;
    std::string body = sk::Paragraph(sk::Run("顧客 [[customer]] 様", {true, 32, ""}), centred) +
                       sk::Paragraph(sk::Run("連番 [[seq]]"));
    if (options.textBox) {
        body += sk::Paragraph(sk::TextBoxBothForms(sk::Paragraph(sk::Run("箱 [[boxcustomer]]")), {}));
    }
    body += sk::Paragraph(sk::Run("以上 [[tail]]"), right);

    kit::TemplateWriter writer(sk::MakeDocument(body, path.filename().string()));
    kit::HeaderBinding header;
    header.source = {"4", "orders.db", "", "", "2", "Orders", "", "Id"};
    if (!options.headerText.empty()) header.copyPrimaryHeader = true;
    writer.WriteHeaderBinding(header);
    writer.ReplaceMarker("[[customer]]", kit::DataFieldCode("Customer"));
    writer.ReplaceMarker("[[seq]]", kit::SequenceIndexCode());
    writer.ReplaceMarker("[[tail]]", kit::DataFieldCode("Id"));
    if (options.textBox) writer.ReplaceMarker("[[boxcustomer]]", kit::DataFieldCode("Customer"));
    if (!options.headerText.empty()) {
        writer.Document().Sections().First().Headers().Item(word::wdHeaderFooterPrimary).Range().SetText(
            options.headerText);
    }
    writer.SaveAs(path);
    if (options.hostileBytes) {
        RewriteEntry(path, "word/document.xml", "連番", "連番" + std::string(kHostileTemplateText));
    }
    return path;
}

// Order 2's customer holds what XML 1.0 cannot: "C02" and the hostile bytes after it.
inline void MakeHostileOrdersDatabase(const std::filesystem::path& path, long orders) {
    MakeOrdersDatabase(path, orders);
    std::string hex;
    for (const char c : kHostileDatabaseText) {
        static constexpr char kDigits[] = "0123456789ABCDEF";
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 0xF];
    }
    RunSqlite(path, "UPDATE Orders SET Customer = 'C02' || CAST(X'" + hex + "' AS TEXT) WHERE Id = 2;");
}

}  // namespace paperloom::run::test
