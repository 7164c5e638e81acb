#pragma once
// The page the author types before any binding: WordprocessingML for paragraphs, runs, text
// boxes and tables, and a document made from such a body. The kit then places fields, detail
// settings and bookmarks into it through the document host, as the designer does. Texts are
// escaped here; the markup pieces passed in are taken as they are.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace paperloom::word {
class Document;
}

namespace paperloom::templatekit::skeleton {

struct RunStyle {
    bool bold = false;
    long halfPoints = 0;  // font size in half points; 0 keeps the default
    std::string color;    // RRGGBB; "" keeps the default
};

enum class Align { Left, Center, Right };

struct ParagraphStyle {
    Align align = Align::Left;
    bool pageBreakBefore = false;
    long spacingAfterTwips = -1;  // -1 keeps the default
};

std::string Escape(std::string_view text);
// A run of text (tabs and line breaks become their own elements).
std::string Run(std::string_view text, const RunStyle& style = {});
std::string Paragraph(std::string_view runsXml = {}, const ParagraphStyle& style = {});

// A floating text box (the legacy drawing form every reader understands), anchored in the
// paragraph it is placed in: a run to put into Paragraph(). `paragraphsXml` is its content.
struct BoxPlacement {
    double leftPt = 0;
    double topPt = 0;
    double widthPt = 160;
    double heightPt = 60;
};
std::string TextBox(std::string_view paragraphsXml, const BoxPlacement& placement);
// The same box as a word processor of today saves it: the drawing shape, with the legacy form
// as the fallback for readers without drawing shapes (mc:AlternateContent).
std::string TextBoxBothForms(std::string_view paragraphsXml, const BoxPlacement& placement);

// A bordered table; widths in twips, one entry per column. Row 1 is shaded when
// `shadeFirstRow`; each cell holds the text at [row][column] ("" or missing: empty).
struct TableLayout {
    std::vector<long> columnWidthsTwips;
    long rows = 2;
    bool shadeFirstRow = true;
    bool repeatFirstRow = true;  // the caption row repeats on every page
    std::vector<std::vector<std::string>> texts;
    std::vector<bool> rightAligned;  // per column
};
std::string Table(const TableLayout& layout);

// A document (A4, Japanese-capable fonts) whose main text is `bodyXml`.
std::shared_ptr<word::Document> MakeDocument(std::string_view bodyXml, std::string name = "Template1");

}  // namespace paperloom::templatekit::skeleton
