#pragma once
// An orders database and order templates for the working-copy, print-document and controller
// tests: 25 orders, order 3 with 23 lines, the others with one to three; a template with
// header fields, a detail table of lines and a text box, written through the template kit as
// the designer writes it. Also a progress service that keeps every label it was shown.

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "RunTestSupport.h"
#include "TemplateKit.h"
#include "host/HostError.h"
#include "host/ui/ProgressService.h"
#include "host/word/Application.h"
#include "host/word/Document.h"

namespace paperloom::run::test {

namespace kit = templatekit;
namespace sk = templatekit::skeleton;

inline constexpr long kOrders = 25;
inline constexpr long kLongOrder = 3;
inline constexpr long kLongOrderLines = 23;

// Lines of an order: 23 for order 3, otherwise 1 to 3.
inline long LinesOf(long order) { return order == kLongOrder ? kLongOrderLines : order % 3 + 1; }

// "C01" ... "C25": customer of an order, unique as text in any document.
inline std::string Customer(long order) { return (order < 10 ? "C0" : "C") + std::to_string(order); }

// "I3-17": item of line 17 of order 3.
inline std::string Item(long order, long line) { return "I" + std::to_string(order) + "-" + std::to_string(line); }

inline void MakeOrdersDatabase(const std::filesystem::path& path, long orders = kOrders) {
    std::string sql =
        "CREATE TABLE Orders (Id INTEGER, Customer VARCHAR(10));"
        "CREATE TABLE Lines (OrderId INTEGER, LineNo INTEGER, Item VARCHAR(10), Qty INTEGER);";
    for (long order = 1; order <= orders; ++order) {
        sql += "INSERT INTO Orders VALUES (" + std::to_string(order) + ", '" + Customer(order) + "');";
        for (long line = 1; line <= LinesOf(order); ++line) {
            sql += "INSERT INTO Lines VALUES (" + std::to_string(order) + ", " + std::to_string(line) + ", '" +
                   Item(order, line) + "', " + std::to_string(line * 2) + ");";
        }
    }
    RunSqlite(path, sql);
}

struct OrderTemplateOptions {
    bool bound = true;
    bool detailTable = true;
    bool autoAdjustRowCount = false;
    long dataRows = 10;
    bool textBox = false;
    std::optional<bool> copyPrimaryHeader;
    std::optional<bool> copyPrimaryFooter;
    std::string headerText;  // the template's own first primary header, when not empty
    std::string footerText;
    std::string recordFilter;  // RSWhere of the header record source
};

// The order template: "顧客 <Customer> 番号 <Id>", "連番 <SequenceIndex> 頁 <DetailPageMax>",
// the lines table (Item, Qty) with a caption row, "以上"; optionally a text box showing the
// customer.
inline std::filesystem::path SaveOrderTemplate(const std::filesystem::path& path,
                                               const OrderTemplateOptions& options = {}) {
    std::string body = sk::Paragraph(sk::Run("顧客 [[customer]] 番号 [[id]]")) +
                       sk::Paragraph(sk::Run("連番 [[seq]] 頁 [[pages]]"));
    if (options.detailTable) body += sk::Paragraph(sk::Run("[[lines]]"));
    if (options.textBox) body += sk::Paragraph(sk::TextBox(sk::Paragraph(sk::Run("箱 [[boxcustomer]]")), {}));
    body += sk::Paragraph(sk::Run("以上"));

    kit::TemplateWriter writer(sk::MakeDocument(body, path.filename().string()));
    if (options.bound) {
        kit::HeaderBinding header;
        header.source = {"4", "orders.db", "", "", "2", "Orders", options.recordFilter, "Id"};
        header.copyPrimaryHeader = options.copyPrimaryHeader;
        header.copyPrimaryFooter = options.copyPrimaryFooter;
        writer.WriteHeaderBinding(header);
    }
    writer.ReplaceMarker("[[customer]]", kit::DataFieldCode("Customer"));
    writer.ReplaceMarker("[[id]]", kit::DataFieldCode("Id"));
    writer.ReplaceMarker("[[seq]]", kit::SequenceIndexCode());
    writer.ReplaceMarker("[[pages]]", kit::DetailPageMaxCode());
    if (options.textBox) writer.ReplaceMarker("[[boxcustomer]]", kit::DataFieldCode("Customer"));
    if (options.detailTable) {
        kit::DetailTable lines;
        lines.source = {"4", "orders.db", "", "", "2", "Lines", "", "LineNo"};
        lines.parentKey = "Id";
        lines.childKey = "OrderId";
        lines.columnHeaders = true;
        lines.autoAdjustRowCount = options.autoAdjustRowCount;
        lines.dataRows = options.dataRows;
        lines.columns = {{kit::ColumnKind::Data, "Item", {}, false, false, "品目"},
                         {kit::ColumnKind::Data, "Qty", {}, false, false, "数量"}};
        lines.bookmark = "明細";
        writer.AddDetailTable(writer.FindMarker("[[lines]]"), lines);
    }
    auto& document = writer.Document();
    if (!options.headerText.empty())
        document.Sections().First().Headers().Item(word::wdHeaderFooterPrimary).Range().SetText(options.headerText);
    if (!options.footerText.empty())
        document.Sections().First().Footers().Item(word::wdHeaderFooterPrimary).Range().SetText(options.footerText);
    writer.SaveAs(path);
    return path;
}

// Occurrences of `needle` in `text`.
inline long CountOf(const std::string& text, const std::string& needle) {
    long count = 0;
    for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + needle.size())) ++count;
    return count;
}

// A progress service whose windows write every label they show into one shared list, and
// can be told to fail on a label (a platform service failing in the middle of a build).
class RecordingProgress final : public ui::ProgressService {
public:
    struct Log {
        std::vector<std::string> texts;
        bool visible = false;
        long shows = 0;
        std::string failOn;  // a label containing this raises
    };

    std::unique_ptr<ui::ProgressWindow> CreateProgressWindow() override { return std::make_unique<Window>(log); }

    std::shared_ptr<Log> log = std::make_shared<Log>();

private:
    class Window final : public ui::ProgressWindow {
    public:
        explicit Window(std::shared_ptr<Log> log) : log_(std::move(log)) {}
        void SetCaption(const std::string&) override {}
        void SetText(const std::string& text) override {
            if (!log_->failOn.empty() && text.find(log_->failOn) != std::string::npos)
                throw host::HostError(1004, "RecordingProgress", "the progress window failed");
            log_->texts.push_back(text);
        }
        void SetValue(long, long) override {}
        void Show() override {
            log_->visible = true;
            ++log_->shows;
        }
        void Hide() override { log_->visible = false; }
        bool Visible() const override { return log_->visible; }

    private:
        std::shared_ptr<Log> log_;
    };
};

}  // namespace paperloom::run::test
