#include "InvoiceTemplates.h"

#include "OutputFile.h"
#include "TemplateKit.h"

namespace paperloom::samples {

namespace sk = templatekit::skeleton;
using templatekit::BreakCellKind;
using templatekit::ColumnKind;
using templatekit::DataBinding;
using templatekit::DataFieldCode;
using templatekit::DetailTable;
using templatekit::FieldFormat;
using templatekit::HeaderBinding;
using templatekit::TemplateWriter;

namespace {

const FieldFormat kYen{"\\#", "#,##0"};
const FieldFormat kLongDate{"\\@", "yyyy年M月d日"};
const FieldFormat kEraDate{"\\@", "ggge年M月d日"};

DataBinding Source(const std::string& database, std::string recordSource, std::string order) {
    DataBinding source;
    source.dataSourceType = "4";
    source.dataSource = database;
    source.recordSourceType = "2";
    source.recordSource = std::move(recordSource);
    source.rsOrder = std::move(order);
    return source;
}

sk::RunStyle Bold(long halfPoints = 0) {
    sk::RunStyle style;
    style.bold = true;
    style.halfPoints = halfPoints;
    return style;
}

sk::RunStyle Small() {
    sk::RunStyle style;
    style.halfPoints = 16;
    style.color = "606060";
    return style;
}

sk::ParagraphStyle Aligned(sk::Align align) {
    sk::ParagraphStyle style;
    style.align = align;
    return style;
}

void Save(const TemplateWriter& writer, const std::filesystem::path& path, bool overwrite) {
    RefuseToOverwrite(path, overwrite);
    writer.SaveAs(path);
}

}  // namespace

void MakeInvoiceTemplate(const std::filesystem::path& path, const std::string& database, bool overwrite) {
    sk::ParagraphStyle tight;
    tight.spacingAfterTwips = 0;
    const std::string box = sk::Paragraph(sk::Run("請求書番号 [[no]]"), tight) +
                            sk::Paragraph(sk::Run("発行日 [[issue]]"), tight) +
                            sk::Paragraph(sk::Run("No. [[record]]", Small()), tight);
    sk::BoxPlacement placement;
    placement.leftPt = 300;
    placement.widthPt = 180;
    placement.heightPt = 50;

    sk::TableLayout table;
    table.columnWidthsTwips = {1300, 3300, 800, 1000, 1500, 1700};
    table.rows = 2;
    table.texts = {{"分類", "品名", "写真", "数量", "単価", "金額"}};
    table.rightAligned = {false, false, false, true, true, true};

    const std::string body =
        sk::Paragraph(sk::Run("請 求 書", Bold(40)) + sk::TextBox(box, placement)) +
        sk::Paragraph(sk::Run("[[customer]] 御中", Bold(28))) +
        sk::Paragraph(sk::Run("〒[[zip]]　[[address]]")) + sk::Paragraph(sk::Run("件名: [[subject]]")) +
        sk::Paragraph(sk::Run("下記のとおりご請求申し上げます。")) +
        sk::Paragraph(sk::Run("ご請求金額　¥[[total]]-", Bold(28)) + sk::Run("　(税込)")) +
        sk::Paragraph(sk::Run("お支払期限: [[due]]")) + sk::Table(table) +
        sk::Paragraph(sk::Run("小計 ¥[[subtotal]]　消費税(10%) ¥[[tax]]　合計 ¥[[sum]]", Bold()),
                      Aligned(sk::Align::Right)) +
        sk::Paragraph(sk::Run("備考: [[note]]")) + sk::Paragraph(sk::Run("担当: [[staff]]　[[seal]]")) +
        sk::Paragraph(sk::Run("通し番号 [[sequence]]", Small()), Aligned(sk::Align::Right));

    TemplateWriter writer(sk::MakeDocument(body, "invoice"));
    HeaderBinding header;
    header.source = Source(database, "InvoiceHeaders", "InvoiceNo");
    writer.WriteHeaderBinding(header);

    writer.ReplaceMarker("[[no]]", DataFieldCode("InvoiceNo"));
    writer.ReplaceMarker("[[issue]]", DataFieldCode("IssueDate", kLongDate));
    writer.ReplaceMarker("[[record]]", templatekit::RecordIndexCode());
    writer.ReplaceMarker("[[customer]]", DataFieldCode("CustomerName"));
    writer.ReplaceMarker("[[zip]]", DataFieldCode("PostalCode"));
    writer.ReplaceMarker("[[address]]", DataFieldCode("Address"));
    writer.ReplaceMarker("[[subject]]", DataFieldCode("Subject"));
    writer.ReplaceMarker("[[total]]", DataFieldCode("Total", kYen));
    writer.ReplaceMarker("[[due]]", DataFieldCode("DueDate", kEraDate));
    // The subtotal adds up the amount column itself; the engine leaves the subtotal rows out.
    writer.ReplaceMarker("[[subtotal]]", templatekit::StatisticsCode("SUM", kInvoiceTableBookmark, "f", kYen));
    writer.ReplaceMarker("[[tax]]", DataFieldCode("Tax", kYen));
    writer.ReplaceMarker("[[sum]]", DataFieldCode("Total", kYen));
    writer.ReplaceMarker("[[note]]", DataFieldCode("Note"));
    writer.ReplaceMarker("[[staff]]", DataFieldCode("StaffName"));
    writer.ReplaceMarker("[[seal]]", templatekit::PictureFieldCode("Stamp"));
    writer.ReplaceMarker("[[sequence]]", templatekit::SequenceIndexCode());

    DetailTable lines;
    lines.source = Source(database, "InvoiceDetails", "Category, LineNo");
    lines.parentKey = "InvoiceID";
    lines.childKey = "InvoiceID";
    lines.autoAdjustRowCount = true;
    lines.bookmark = kInvoiceTableBookmark;
    lines.columns = {
        {ColumnKind::Data, "Category", {}, true, true, "分類"},
        {ColumnKind::Data, "ProductName", {}, false, false, "品名"},
        {ColumnKind::Picture, "Picture", {}, false, false, "写真"},
        {ColumnKind::Data, "Quantity", {}, false, false, "数量"},
        {ColumnKind::Data, "UnitPrice", kYen, false, false, "単価"},
        {ColumnKind::Expression, "d*e", kYen, false, false, "金額"},
    };
    lines.breakRow = {{BreakCellKind::Caption, "小計", {}},
                      {},
                      {},
                      {BreakCellKind::Statistic, "SUM", {}},
                      {},
                      {BreakCellKind::Statistic, "SUM", kYen}};
    writer.WriteDetailTable(writer.TableAt(1), lines);
    Save(writer, path, overwrite);
}

void MakeInvoicePagesTemplate(const std::filesystem::path& path, const std::string& database, bool overwrite) {
    sk::TableLayout table;
    table.columnWidthsTwips = {800, 4200, 1200, 1600, 1800};
    table.rows = kPagesTableRows + 1;
    table.texts = {{"No.", "品名", "数量", "単価", "金額"}};
    table.rightAligned = {true, false, true, true, true};

    const std::string body =
        sk::Paragraph(sk::Run("請求明細書", Bold(36)), Aligned(sk::Align::Center)) +
        sk::Paragraph(sk::Run("[[customer]] 御中", Bold(24))) +
        sk::Paragraph(sk::Run("請求書番号 [[no]]　発行日 [[issue]]")) +
        sk::Paragraph(sk::Run("明細ページ数: [[pages]]", Bold()) +
                      sk::Run("　(明細が10行を超える請求書は、続きを次のページに印刷します)", Small())) +
        sk::Table(table) +
        sk::Paragraph(sk::Run("ご請求金額 ¥[[total]] (税込)", Bold(24)), Aligned(sk::Align::Right)) +
        sk::Paragraph(sk::Run("レコード [[record]]　通し番号 [[sequence]]", Small()), Aligned(sk::Align::Right));

    TemplateWriter writer(sk::MakeDocument(body, "invoice-pages"));
    HeaderBinding header;
    header.source = Source(database, "InvoiceHeaders", "InvoiceNo");
    writer.WriteHeaderBinding(header);
    writer.ReplaceMarker("[[customer]]", DataFieldCode("CustomerName"));
    writer.ReplaceMarker("[[no]]", DataFieldCode("InvoiceNo"));
    writer.ReplaceMarker("[[issue]]", DataFieldCode("IssueDate", {"\\@", "yyyy/MM/dd"}));
    writer.ReplaceMarker("[[pages]]", templatekit::DetailPageMaxCode());
    writer.ReplaceMarker("[[total]]", DataFieldCode("Total", kYen));
    writer.ReplaceMarker("[[record]]", templatekit::RecordIndexCode());
    writer.ReplaceMarker("[[sequence]]", templatekit::SequenceIndexCode());

    DetailTable lines;
    lines.source = Source(database, "InvoiceDetails", "LineNo");
    lines.parentKey = "InvoiceID";
    lines.childKey = "InvoiceID";
    lines.autoAdjustRowCount = false;
    lines.bookmark = kPagesTableBookmark;
    lines.columns = {
        {ColumnKind::Support, "行番号", {}, false, false, "No."},
        {ColumnKind::Data, "ProductName", {}, false, false, "品名"},
        {ColumnKind::Data, "Quantity", {}, false, false, "数量"},
        {ColumnKind::Data, "UnitPrice", kYen, false, false, "単価"},
        {ColumnKind::Data, "Amount", kYen, false, false, "金額"},
    };
    writer.WriteDetailTable(writer.TableAt(1), lines);
    Save(writer, path, overwrite);
}

void MakePeerInvoiceTemplate(const std::filesystem::path& path, const std::string& database, bool overwrite) {
    sk::TableLayout table;
    table.columnWidthsTwips = {4500, 1200, 1500, 1800};
    table.rows = 2;
    table.texts = {{"Item", "Qty", "Price", "Amount"}};
    table.rightAligned = {false, true, true, true};

    // Four blocks per invoice and nothing else with text: the checker counts them. The last,
    // empty paragraph takes the page break the print run puts between invoices.
    const std::string body =
        sk::Paragraph(sk::Run("Invoice ", Bold(36)) + sk::Run("[[number]]", Bold(36)) +
                      sk::Run("  [[customer]]  [[date]]", [] { sk::RunStyle s; s.halfPoints = 36; return s; }())) +
        sk::Paragraph(sk::Run("ご請求明細 / Statement of charges")) + sk::Table(table) +
        sk::Paragraph(sk::Run("Total: ", Bold()) + sk::Run("[[total]]", Bold()), Aligned(sk::Align::Right)) +
        sk::Paragraph();

    TemplateWriter writer(sk::MakeDocument(body, "peer-invoice"));
    HeaderBinding header;
    header.source = Source(database, "Invoices", "InvoiceNo");
    writer.WriteHeaderBinding(header);
    writer.ReplaceMarker("[[number]]", DataFieldCode("Number"));
    writer.ReplaceMarker("[[customer]]", DataFieldCode("Customer"));
    writer.ReplaceMarker("[[date]]", DataFieldCode("IssueDate"));
    writer.ReplaceMarker("[[total]]", DataFieldCode("Total"));

    DetailTable lines;
    lines.source = Source(database, "Lines", "LineNo");
    lines.parentKey = "InvoiceNo";
    lines.childKey = "InvoiceNo";
    lines.autoAdjustRowCount = true;
    lines.columns = {
        {ColumnKind::Data, "Item", {}, false, false, "Item"},
        {ColumnKind::Data, "Qty", {}, false, false, "Qty"},
        {ColumnKind::Data, "Price", {}, false, false, "Price"},
        {ColumnKind::Data, "Amount", {}, false, false, "Amount"},
    };
    writer.WriteDetailTable(writer.TableAt(1), lines);
    Save(writer, path, overwrite);
}

}  // namespace paperloom::samples
