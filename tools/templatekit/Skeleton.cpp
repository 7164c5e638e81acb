#include "Skeleton.h"

#include <fmt/format.h>

#include "host/docx/Package.h"
#include "host/word/Document.h"

namespace paperloom::templatekit::skeleton {

namespace {

constexpr std::string_view kMainContentType =
    "application/vnd.openxmlformats-officedocument.wordprocessingml.document.main+xml";

// Latin text in a plain sans face, Japanese in a Gothic face that the renderer substitutes.
constexpr std::string_view kFonts =
    "<w:rFonts w:ascii=\"Arial\" w:hAnsi=\"Arial\" w:eastAsia=\"Noto Sans CJK JP\" w:cs=\"Arial\"/>";

std::string RunProperties(const RunStyle& style) {
    std::string pr(kFonts);
    if (style.bold) pr += "<w:b/>";
    if (!style.color.empty()) pr += fmt::format("<w:color w:val=\"{}\"/>", style.color);
    if (style.halfPoints > 0) pr += fmt::format("<w:sz w:val=\"{0}\"/><w:szCs w:val=\"{0}\"/>", style.halfPoints);
    return "<w:rPr>" + pr + "</w:rPr>";
}

std::string Points(double value) {
    return fmt::format("{:g}pt", value);
}

}  // namespace

std::string Escape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

std::string Run(std::string_view text, const RunStyle& style) {
    std::string xml = "<w:r>" + RunProperties(style);
    std::string pending;
    const auto flush = [&] {
        if (!pending.empty()) xml += "<w:t xml:space=\"preserve\">" + Escape(pending) + "</w:t>";
        pending.clear();
    };
    for (const char c : text) {
        if (c == '\t') {
            flush();
            xml += "<w:tab/>";
        } else if (c == '\n' || c == '\v') {
            flush();
            xml += "<w:br/>";
        } else {
            pending += c;
        }
    }
    flush();
    return xml + "</w:r>";
}

std::string Paragraph(std::string_view runsXml, const ParagraphStyle& style) {
    std::string pr;
    if (style.pageBreakBefore) pr += "<w:pageBreakBefore/>";
    if (style.spacingAfterTwips >= 0) pr += fmt::format("<w:spacing w:after=\"{}\"/>", style.spacingAfterTwips);
    if (style.align == Align::Center) pr += "<w:jc w:val=\"center\"/>";
    if (style.align == Align::Right) pr += "<w:jc w:val=\"right\"/>";
    std::string xml = "<w:p>";
    if (!pr.empty()) xml += "<w:pPr>" + pr + "</w:pPr>";
    return xml + std::string(runsXml) + "</w:p>";
}

namespace {

std::string LegacyBox(std::string_view paragraphsXml, const BoxPlacement& placement) {
    return "<w:pict>"
           "<v:shapetype id=\"_x0000_t202\" coordsize=\"21600,21600\" o:spt=\"202\" path=\"m,l,21600r21600,l21600,xe\">"
           "<v:stroke joinstyle=\"miter\"/><v:path gradientshapeok=\"t\" o:connecttype=\"rect\"/></v:shapetype>"
           "<v:shape type=\"#_x0000_t202\" style=\"position:absolute;margin-left:" + Points(placement.leftPt) +
           ";margin-top:" + Points(placement.topPt) + ";width:" + Points(placement.widthPt) +
           ";height:" + Points(placement.heightPt) +
           ";z-index:1;mso-position-horizontal-relative:margin;mso-position-vertical-relative:paragraph\" "
           "strokecolor=\"#808080\" strokeweight=\"0.75pt\"><v:textbox><w:txbxContent>" +
           std::string(paragraphsXml) + "</w:txbxContent></v:textbox></v:shape></w:pict>";
}

long Emu(double points) { return static_cast<long>(points * 12700); }

}  // namespace

std::string TextBox(std::string_view paragraphsXml, const BoxPlacement& placement) {
    return "<w:r>" + LegacyBox(paragraphsXml, placement) + "</w:r>";
}

std::string TextBoxBothForms(std::string_view paragraphsXml, const BoxPlacement& placement) {
    const long cx = Emu(placement.widthPt);
    const long cy = Emu(placement.heightPt);
    return fmt::format(
               "<w:r><mc:AlternateContent><mc:Choice Requires=\"wps\"><w:drawing>"
               "<wp:anchor distT=\"0\" distB=\"0\" distL=\"114300\" distR=\"114300\" simplePos=\"0\" "
               "relativeHeight=\"251659264\" behindDoc=\"0\" locked=\"0\" layoutInCell=\"1\" allowOverlap=\"1\">"
               "<wp:simplePos x=\"0\" y=\"0\"/>"
               "<wp:positionH relativeFrom=\"margin\"><wp:posOffset>{}</wp:posOffset></wp:positionH>"
               "<wp:positionV relativeFrom=\"paragraph\"><wp:posOffset>{}</wp:posOffset></wp:positionV>"
               "<wp:extent cx=\"{}\" cy=\"{}\"/><wp:effectExtent l=\"0\" t=\"0\" r=\"0\" b=\"0\"/><wp:wrapNone/>"
               "<wp:docPr id=\"1\" name=\"Text Box 1\"/><wp:cNvGraphicFramePr/>"
               "<a:graphic><a:graphicData uri=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\">"
               "<wps:wsp><wps:cNvSpPr txBox=\"1\"/><wps:spPr><a:xfrm><a:off x=\"0\" y=\"0\"/>"
               "<a:ext cx=\"{}\" cy=\"{}\"/></a:xfrm><a:prstGeom prst=\"rect\"><a:avLst/></a:prstGeom>"
               "<a:ln w=\"9525\"><a:solidFill><a:srgbClr val=\"808080\"/></a:solidFill></a:ln></wps:spPr>"
               "<wps:txbx><w:txbxContent>",
               Emu(placement.leftPt), Emu(placement.topPt), cx, cy, cx, cy) +
           std::string(paragraphsXml) +
           "</w:txbxContent></wps:txbx><wps:bodyPr rot=\"0\" vert=\"horz\" wrap=\"square\" lIns=\"91440\" "
           "tIns=\"45720\" rIns=\"91440\" bIns=\"45720\" anchor=\"t\" anchorCtr=\"0\"><a:noAutofit/></wps:bodyPr>"
           "</wps:wsp></a:graphicData></a:graphic></wp:anchor></w:drawing></mc:Choice><mc:Fallback>" +
           LegacyBox(paragraphsXml, placement) + "</mc:Fallback></mc:AlternateContent></w:r>";
}

std::string Table(const TableLayout& layout) {
    const auto border = [](std::string_view side) {
        return fmt::format("<w:{} w:val=\"single\" w:sz=\"4\" w:space=\"0\" w:color=\"808080\"/>", side);
    };
    long total = 0;
    for (const long w : layout.columnWidthsTwips) total += w;
    std::string xml = fmt::format("<w:tbl><w:tblPr><w:tblW w:w=\"{}\" w:type=\"dxa\"/><w:tblBorders>", total);
    for (const auto* side : {"top", "left", "bottom", "right", "insideH", "insideV"}) xml += border(side);
    xml += "</w:tblBorders><w:tblLayout w:type=\"fixed\"/></w:tblPr><w:tblGrid>";
    for (const long w : layout.columnWidthsTwips) xml += fmt::format("<w:gridCol w:w=\"{}\"/>", w);
    xml += "</w:tblGrid>";
    for (long r = 0; r < layout.rows; ++r) {
        const bool first = r == 0;
        xml += "<w:tr>";
        if (first && layout.repeatFirstRow) xml += "<w:trPr><w:tblHeader/></w:trPr>";
        for (std::size_t c = 0; c < layout.columnWidthsTwips.size(); ++c) {
            xml += fmt::format("<w:tc><w:tcPr><w:tcW w:w=\"{}\" w:type=\"dxa\"/>", layout.columnWidthsTwips[c]);
            if (first && layout.shadeFirstRow) xml += "<w:shd w:val=\"clear\" w:color=\"auto\" w:fill=\"D9E2F3\"/>";
            xml += "</w:tcPr>";
            std::string text;
            if (static_cast<std::size_t>(r) < layout.texts.size() && c < layout.texts[static_cast<std::size_t>(r)].size()) {
                text = layout.texts[static_cast<std::size_t>(r)][c];
            }
            ParagraphStyle ps;
            ps.spacingAfterTwips = 0;
            if (c < layout.rightAligned.size() && layout.rightAligned[c]) ps.align = Align::Right;
            RunStyle rs;
            rs.bold = first && layout.shadeFirstRow;
            xml += Paragraph(text.empty() ? std::string() : Run(text, rs), ps) + "</w:tc>";
        }
        xml += "</w:tr>";
    }
    return xml + "</w:tbl>";
}

std::shared_ptr<word::Document> MakeDocument(std::string_view bodyXml, std::string name) {
    docx::Package package = docx::Package::CreateBlank();
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"
        "<w:document xmlns:w=\"http://schemas.openxmlformats.org/wordprocessingml/2006/main\" "
        "xmlns:r=\"http://schemas.openxmlformats.org/officeDocument/2006/relationships\" "
        "xmlns:v=\"urn:schemas-microsoft-com:vml\" xmlns:o=\"urn:schemas-microsoft-com:office:office\" "
        "xmlns:w10=\"urn:schemas-microsoft-com:office:word\" "
        "xmlns:mc=\"http://schemas.openxmlformats.org/markup-compatibility/2006\" "
        "xmlns:wp=\"http://schemas.openxmlformats.org/drawingml/2006/wordprocessingDrawing\" "
        "xmlns:a=\"http://schemas.openxmlformats.org/drawingml/2006/main\" "
        "xmlns:wps=\"http://schemas.microsoft.com/office/word/2010/wordprocessingShape\"><w:body>";
    xml += bodyXml;
    xml += "<w:sectPr><w:pgSz w:w=\"11906\" w:h=\"16838\"/><w:pgMar w:top=\"1134\" w:right=\"1134\" "
           "w:bottom=\"1134\" w:left=\"1134\" w:header=\"567\" w:footer=\"567\" w:gutter=\"0\"/></w:sectPr>"
           "</w:body></w:document>";
    package.SetPartBytes("word/document.xml", std::move(xml), kMainContentType);
    return word::Document::Create(std::move(package), std::move(name));
}

}  // namespace paperloom::templatekit::skeleton
