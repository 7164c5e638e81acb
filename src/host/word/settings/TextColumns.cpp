// Text columns (w:cols) and line numbering (w:lnNumType) of a section.
#include <algorithm>
#include <array>
#include <cmath>
#include <string>
#include <vector>

#include "host/word/settings/PageSetup.h"
#include "host/word/settings/SchemaOrder.h"
#include "host/word/settings/SettingsError.h"
#include "host/word/settings/WordXml.h"

namespace paperloom::word {

using namespace settings_errors;

namespace {

constexpr double kDefaultSpacing = 720;  // twips between columns
constexpr long kMaxColumns = 45;
constexpr double kMaxLength = 31680;

wml::Wml Names(const SectionRef& section) {
    docx::Package& package = section.Package();
    return wml::Wml(package.Xml(package.MainDocumentPart()));
}

double AttrTwips(const wml::Wml& w, const pugi::xml_node& node, std::string_view local,
                 double fallback) {
    const auto text = w.Value(node, local);
    return text ? wml::ParseTwips(*text).value_or(fallback) : fallback;
}

double CheckedTwips(float points) {
    if (!std::isfinite(points)) throw ValueOutOfRange();
    const double twips = wml::PointsToTwips(points);
    if (twips < -0.5 || twips > kMaxLength + 0.5) throw ValueOutOfRange();
    return twips;
}

// The state of a section's columns, read once per operation.
struct Columns {
    long count = 1;
    bool evenly = true;
    double spacing = kDefaultSpacing;
    std::vector<pugi::xml_node> cols;  // the w:col children, when widths are set one by one
};

Columns Read(const wml::Wml& w, const pugi::xml_node& colsNode) {
    Columns columns;
    if (!colsNode) return columns;
    if (const auto num = w.Value(colsNode, "num")) {
        columns.count = std::clamp(wml::ParseLong(*num).value_or(1), 1L, kMaxColumns);
    }
    columns.spacing = AttrTwips(w, colsNode, "space", kDefaultSpacing);
    if (const auto equal = w.Value(colsNode, "equalWidth")) {
        columns.evenly = wml::ParseOnOff(*equal).value_or(true);
    }
    for (pugi::xml_node col = colsNode.first_child(); col; col = col.next_sibling()) {
        if (w.LocalOf(col) == "col") columns.cols.push_back(col);
    }
    return columns;
}

double TextWidthTwips(const SectionRef& section) {
    const PageSetup setup(section.Package(), section.Index());
    return wml::PointsToTwips(setup.PageWidth()) - wml::PointsToTwips(setup.LeftMargin()) -
           wml::PointsToTwips(setup.RightMargin()) - wml::PointsToTwips(setup.Gutter());
}

double EvenWidthTwips(const SectionRef& section, const Columns& columns) {
    const double width =
        (TextWidthTwips(section) - (columns.count - 1) * columns.spacing) / columns.count;
    return std::max(width, 0.0);
}

pugi::xml_node EnsureCols(const SectionRef& section, const wml::Wml& w) {
    return w.Ensure(section.Ensure(), "cols", wml::order::SectPr());
}

// Writes one w:col per column with the given widths and spaces after.
void WriteOwnWidths(const wml::Wml& w, pugi::xml_node colsNode, const std::vector<double>& widths,
                    const std::vector<double>& spaces) {
    w.RemoveAll(colsNode, "col");
    w.SetAttr(colsNode, "equalWidth", "0");
    w.SetAttr(colsNode, "num", std::to_string(widths.size()));
    for (std::size_t i = 0; i < widths.size(); ++i) {
        pugi::xml_node col = colsNode.append_child(w.Name("col").c_str());
        w.SetAttr(col, "w", wml::TwipsText(widths[i]));
        if (i + 1 < widths.size()) w.SetAttr(col, "space", wml::TwipsText(spaces[i]));
    }
}

// Switches evenly spaced columns to columns of their own widths (the current even ones).
void MaterializeOwnWidths(const SectionRef& section) {
    const wml::Wml w = Names(section);
    pugi::xml_node colsNode = EnsureCols(section, w);
    const Columns columns = Read(w, colsNode);
    if (!columns.evenly && columns.cols.size() == static_cast<std::size_t>(columns.count)) return;
    const double even = EvenWidthTwips(section, columns);
    std::vector<double> widths(static_cast<std::size_t>(columns.count), even);
    std::vector<double> spaces(static_cast<std::size_t>(columns.count), columns.spacing);
    WriteOwnWidths(w, colsNode, widths, spaces);
}

}  // namespace

// ---- TextColumns ---------------------------------------------------------------------------

long TextColumns::Count() const {
    const wml::Wml w = Names(section_);
    return Read(w, w.Child(section_.Find(), "cols")).count;
}

void TextColumns::SetCount(long count) {
    if (count < 1 || count > kMaxColumns) throw ValueOutOfRange();
    const wml::Wml w = Names(section_);
    if (count == 1 && !w.Child(section_.Find(), "cols")) return;
    pugi::xml_node colsNode = EnsureCols(section_, w);
    const Columns columns = Read(w, colsNode);
    w.SetAttr(colsNode, "num", std::to_string(count));
    if (!columns.evenly) {
        Columns resized = columns;
        resized.count = count;
        const double even = EvenWidthTwips(section_, resized);
        WriteOwnWidths(w, colsNode, std::vector<double>(static_cast<std::size_t>(count), even),
                       std::vector<double>(static_cast<std::size_t>(count), columns.spacing));
    }
}

bool TextColumns::EvenlySpaced() const {
    const wml::Wml w = Names(section_);
    return Read(w, w.Child(section_.Find(), "cols")).evenly;
}

void TextColumns::SetEvenlySpaced(bool evenly) {
    if (evenly) {
        const wml::Wml w = Names(section_);
        pugi::xml_node colsNode = w.Child(section_.Find(), "cols");
        if (!colsNode) return;
        w.RemoveAll(colsNode, "col");
        w.RemoveAttr(colsNode, "equalWidth");
        return;
    }
    MaterializeOwnWidths(section_);
}

float TextColumns::Spacing() const {
    const wml::Wml w = Names(section_);
    return static_cast<float>(wml::TwipsToPoints(Read(w, w.Child(section_.Find(), "cols")).spacing));
}

void TextColumns::SetSpacing(float points) {
    const double twips = CheckedTwips(points);
    const wml::Wml w = Names(section_);
    pugi::xml_node colsNode = EnsureCols(section_, w);
    w.SetAttr(colsNode, "space", wml::TwipsText(twips));
    const Columns columns = Read(w, colsNode);
    for (std::size_t i = 0; i + 1 < columns.cols.size(); ++i) {
        w.SetAttr(columns.cols[i], "space", wml::TwipsText(twips));
    }
}

float TextColumns::Width() const {
    const wml::Wml w = Names(section_);
    const Columns columns = Read(w, w.Child(section_.Find(), "cols"));
    return static_cast<float>(wml::TwipsToPoints(EvenWidthTwips(section_, columns)));
}

void TextColumns::SetWidth(float points) {
    const double twips = CheckedTwips(points);
    const long count = Count();
    if (count < 2) return;  // one column always spans the text width
    const double spacing = (TextWidthTwips(section_) - count * twips) / (count - 1);
    if (spacing < 0) throw ValueOutOfRange();
    SetSpacing(static_cast<float>(wml::TwipsToPoints(spacing)));
}

bool TextColumns::LineBetween() const {
    const wml::Wml w = Names(section_);
    const auto sep = w.Value(w.Child(section_.Find(), "cols"), "sep");
    return sep && wml::ParseOnOff(*sep).value_or(false);
}

void TextColumns::SetLineBetween(bool line) {
    const wml::Wml w = Names(section_);
    if (!line) {
        if (pugi::xml_node colsNode = w.Child(section_.Find(), "cols")) w.RemoveAttr(colsNode, "sep");
        return;
    }
    w.SetAttr(EnsureCols(section_, w), "sep", "1");
}

TextColumn TextColumns::Item(long index) const {
    if (index < 1 || index > Count()) throw NoSuchMember();
    return TextColumn(section_, index);
}

// ---- TextColumn ----------------------------------------------------------------------------

float TextColumn::Width() const {
    const wml::Wml w = Names(section_);
    const Columns columns = Read(w, w.Child(section_.Find(), "cols"));
    const double even = EvenWidthTwips(section_, columns);
    const auto i = static_cast<std::size_t>(index_ - 1);
    if (columns.evenly || i >= columns.cols.size()) return static_cast<float>(wml::TwipsToPoints(even));
    return static_cast<float>(wml::TwipsToPoints(AttrTwips(w, columns.cols[i], "w", even)));
}

void TextColumn::SetWidth(float points) {
    const double twips = CheckedTwips(points);
    MaterializeOwnWidths(section_);
    const wml::Wml w = Names(section_);
    const Columns columns = Read(w, w.Child(section_.Find(), "cols"));
    const auto i = static_cast<std::size_t>(index_ - 1);
    if (i >= columns.cols.size()) throw ObjectDeleted();
    w.SetAttr(columns.cols[i], "w", wml::TwipsText(twips));
}

float TextColumn::SpaceAfter() const {
    const wml::Wml w = Names(section_);
    const Columns columns = Read(w, w.Child(section_.Find(), "cols"));
    if (index_ >= columns.count) return 0;
    const auto i = static_cast<std::size_t>(index_ - 1);
    if (columns.evenly || i >= columns.cols.size()) {
        return static_cast<float>(wml::TwipsToPoints(columns.spacing));
    }
    return static_cast<float>(wml::TwipsToPoints(AttrTwips(w, columns.cols[i], "space", 0)));
}

void TextColumn::SetSpaceAfter(float points) {
    const double twips = CheckedTwips(points);
    MaterializeOwnWidths(section_);
    const wml::Wml w = Names(section_);
    const Columns columns = Read(w, w.Child(section_.Find(), "cols"));
    const auto i = static_cast<std::size_t>(index_ - 1);
    if (i >= columns.cols.size()) throw ObjectDeleted();
    if (i + 1 == columns.cols.size()) return;  // nothing follows the last column
    w.SetAttr(columns.cols[i], "space", wml::TwipsText(twips));
}

// ---- LineNumbering -------------------------------------------------------------------------

namespace {

constexpr std::array<std::string_view, 3> kRestartModes = {"newPage", "newSection", "continuous"};

pugi::xml_node LineNumbers(const SectionRef& section, const wml::Wml& w) {
    return w.Child(section.Find(), "lnNumType");
}

}  // namespace

bool LineNumbering::Active() const {
    const wml::Wml w = Names(section_);
    const auto countBy = w.Value(LineNumbers(section_, w), "countBy");
    return countBy && wml::ParseLong(*countBy).value_or(0) >= 1;
}

void LineNumbering::SetActive(bool active) {
    const wml::Wml w = Names(section_);
    if (!active) {
        if (pugi::xml_node sectPr = section_.Find()) w.RemoveAll(sectPr, "lnNumType");
        return;
    }
    if (Active()) return;
    pugi::xml_node numbers = w.Ensure(section_.Ensure(), "lnNumType", wml::order::SectPr());
    w.SetAttr(numbers, "countBy", "1");
}

WdLineNumberRestart LineNumbering::RestartMode() const {
    const wml::Wml w = Names(section_);
    const auto restart = w.Value(LineNumbers(section_, w), "restart").value_or("newPage");
    for (std::size_t i = 0; i < kRestartModes.size(); ++i) {
        if (kRestartModes[i] == restart) return static_cast<WdLineNumberRestart>(i);
    }
    return wdRestartPage;
}

void LineNumbering::SetRestartMode(WdLineNumberRestart mode) {
    if (mode < wdRestartPage || mode > wdRestartContinuous) throw ValueOutOfRange();
    const wml::Wml w = Names(section_);
    pugi::xml_node numbers = LineNumbers(section_, w);
    if (!numbers || !Active()) return;
    if (mode == wdRestartPage) {
        w.RemoveAttr(numbers, "restart");
    } else {
        w.SetAttr(numbers, "restart", kRestartModes[static_cast<std::size_t>(mode)]);
    }
}

float LineNumbering::DistanceFromText() const {
    const wml::Wml w = Names(section_);
    return static_cast<float>(wml::TwipsToPoints(AttrTwips(w, LineNumbers(section_, w), "distance", 0)));
}

void LineNumbering::SetDistanceFromText(float points) {
    const double twips = CheckedTwips(points);
    const wml::Wml w = Names(section_);
    pugi::xml_node numbers = LineNumbers(section_, w);
    if (!numbers || !Active()) return;
    if (std::lround(twips) == 0) {
        w.RemoveAttr(numbers, "distance");
    } else {
        w.SetAttr(numbers, "distance", wml::TwipsText(twips));
    }
}

long LineNumbering::CountBy() const {
    const wml::Wml w = Names(section_);
    const auto countBy = w.Value(LineNumbers(section_, w), "countBy");
    return countBy ? wml::ParseLong(*countBy).value_or(0) : 0;
}

void LineNumbering::SetCountBy(long step) {
    if (step < 1 || step > 100) throw ValueOutOfRange();
    const wml::Wml w = Names(section_);
    pugi::xml_node numbers = LineNumbers(section_, w);
    if (!numbers || !Active()) return;
    w.SetAttr(numbers, "countBy", std::to_string(step));
}

// The stored value counts the numbers skipped before the first one shown.
long LineNumbering::StartingNumber() const {
    const wml::Wml w = Names(section_);
    const auto start = w.Value(LineNumbers(section_, w), "start");
    return (start ? wml::ParseLong(*start).value_or(0) : 0) + 1;
}

void LineNumbering::SetStartingNumber(long number) {
    if (number < 1 || number > 32767) throw ValueOutOfRange();
    const wml::Wml w = Names(section_);
    pugi::xml_node numbers = LineNumbers(section_, w);
    if (!numbers || !Active()) return;
    if (number == 1) {
        w.RemoveAttr(numbers, "start");
    } else {
        w.SetAttr(numbers, "start", std::to_string(number - 1));
    }
}

}  // namespace paperloom::word
