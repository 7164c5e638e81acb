#include "host/word/settings/PageSetup.h"

#include <array>
#include <cmath>
#include <string_view>

#include "host/word/settings/DocumentDefaults.h"
#include "host/word/settings/SchemaOrder.h"
#include "host/word/settings/SettingsError.h"
#include "host/word/settings/SettingsParts.h"
#include "host/word/settings/WordXml.h"

namespace paperloom::word {

using namespace settings_errors;

namespace {

using namespace std::string_view_literals;

// The word processor's defaults for a section without page size or margins.
constexpr double kPageWidth = 12240;  // twips: 8.5 in
constexpr double kPageHeight = 15840;  // 11 in
constexpr double kMargin = 1440;
constexpr double kHeaderFooter = 720;
constexpr double kLinePitch = 360;
constexpr double kMaxLength = 31680;  // 22 in, the largest length the word processor takes

constexpr std::array kPageMarginAttributes = {"top"sv, "right"sv, "bottom"sv, "left"sv,
                                              "header"sv, "footer"sv, "gutter"sv};

// Section children that make up the page setup (headers, footers and notes stay).
constexpr std::array kPageSetupChildren = {"type"sv,   "pgSz"sv,      "pgMar"sv, "paperSrc"sv,
                                           "lnNumType"sv, "cols"sv,   "vAlign"sv, "noEndnote"sv,
                                           "titlePg"sv, "bidi"sv,     "rtlGutter"sv, "docGrid"sv};

// Document-wide page settings kept in the settings part.
constexpr std::array kPageSettings = {"mirrorMargins"sv,       "gutterAtTop"sv,
                                      "evenAndOddHeaders"sv,   "bookFoldRevPrinting"sv,
                                      "bookFoldPrinting"sv,    "bookFoldPrintingSheets"sv,
                                      "printTwoOnOne"sv};

wml::Wml MainNames(docx::Package& package) {
    return wml::Wml(package.Xml(package.MainDocumentPart()));
}

double DefaultMarginTwips(std::string_view local) {
    if (local == "header" || local == "footer") return kHeaderFooter;
    if (local == "gutter") return 0;
    return kMargin;
}

double AttrTwips(const wml::Wml& w, const pugi::xml_node& node, std::string_view local,
                 double fallback) {
    const auto text = w.Value(node, local);
    if (!text) return fallback;
    return wml::ParseTwips(*text).value_or(fallback);
}

long AttrLong(const wml::Wml& w, const pugi::xml_node& node, std::string_view local,
              long fallback) {
    const auto text = w.Value(node, local);
    if (!text) return fallback;
    return wml::ParseLong(*text).value_or(fallback);
}

double CheckedTwips(float points, double minimum, double maximum) {
    if (!std::isfinite(points)) throw ValueOutOfRange();
    const double twips = wml::PointsToTwips(points);
    if (twips < minimum - 0.5 || twips > maximum + 0.5) throw ValueOutOfRange();
    return twips;
}

float Points(double twips) { return static_cast<float>(wml::TwipsToPoints(twips)); }

// The settings part's flags, read without creating the part.
bool SettingsFlag(docx::Package& package, std::string_view local) {
    const parts::PartRoot settings = parts::Open(package, parts::Settings());
    return settings && settings.names.OnOff(settings.root, local);
}

void SetSettingsFlag(docx::Package& package, std::string_view local, bool on) {
    if (!on && !parts::Find(package, parts::Settings())) return;
    const parts::PartRoot settings = parts::OpenOrCreate(package, parts::Settings());
    settings.names.SetOnOff(settings.root, local, on, wml::order::Settings());
}

}  // namespace

// ---- SectionRef ----------------------------------------------------------------------------

pugi::xml_node SectionRef::Find() const { return parts::SectionProperties(*package_, section_); }

pugi::xml_node SectionRef::Ensure() const {
    pugi::xml_node sectPr = parts::EnsureSectionProperties(*package_, section_);
    if (!sectPr) throw NoSuchMember();
    return sectPr;
}

// ---- PageSetup: margins and size -----------------------------------------------------------

float PageSetup::MarginPoints(const char* local, double defaultTwips) const {
    const wml::Wml w = MainNames(section_.Package());
    const pugi::xml_node pgMar = w.Child(section_.Find(), "pgMar");
    return Points(AttrTwips(w, pgMar, local, defaultTwips));
}

void PageSetup::SetMarginPoints(const char* local, float points, bool allowNegative) {
    const double twips = CheckedTwips(points, allowNegative ? -kMaxLength : 0, kMaxLength);
    const wml::Wml w = MainNames(section_.Package());
    pugi::xml_node pgMar = w.Ensure(section_.Ensure(), "pgMar", wml::order::SectPr());
    // Every margin attribute is required by the schema: fill the missing ones.
    for (const std::string_view name : kPageMarginAttributes) {
        if (!w.Attr(pgMar, name)) w.SetAttr(pgMar, name, wml::TwipsText(DefaultMarginTwips(name)));
    }
    w.SetAttr(pgMar, local, wml::TwipsText(twips));
}

float PageSetup::SizePoints(const char* local, double defaultTwips) const {
    const wml::Wml w = MainNames(section_.Package());
    return Points(AttrTwips(w, w.Child(section_.Find(), "pgSz"), local, defaultTwips));
}

void PageSetup::SetSizePoints(const char* local, float points) {
    const double twips = CheckedTwips(points, 2, kMaxLength);
    const wml::Wml w = MainNames(section_.Package());
    pugi::xml_node pgSz = w.Ensure(section_.Ensure(), "pgSz", wml::order::SectPr());
    if (!w.Attr(pgSz, "w")) w.SetAttr(pgSz, "w", wml::TwipsText(kPageWidth));
    if (!w.Attr(pgSz, "h")) w.SetAttr(pgSz, "h", wml::TwipsText(kPageHeight));
    w.SetAttr(pgSz, local, wml::TwipsText(twips));
}

float PageSetup::TopMargin() const { return MarginPoints("top", kMargin); }
void PageSetup::SetTopMargin(float points) { SetMarginPoints("top", points, true); }
float PageSetup::BottomMargin() const { return MarginPoints("bottom", kMargin); }
void PageSetup::SetBottomMargin(float points) { SetMarginPoints("bottom", points, true); }
float PageSetup::LeftMargin() const { return MarginPoints("left", kMargin); }
void PageSetup::SetLeftMargin(float points) { SetMarginPoints("left", points, false); }
float PageSetup::RightMargin() const { return MarginPoints("right", kMargin); }
void PageSetup::SetRightMargin(float points) { SetMarginPoints("right", points, false); }
float PageSetup::Gutter() const { return MarginPoints("gutter", 0); }
void PageSetup::SetGutter(float points) { SetMarginPoints("gutter", points, false); }
float PageSetup::HeaderDistance() const { return MarginPoints("header", kHeaderFooter); }
void PageSetup::SetHeaderDistance(float points) { SetMarginPoints("header", points, false); }
float PageSetup::FooterDistance() const { return MarginPoints("footer", kHeaderFooter); }
void PageSetup::SetFooterDistance(float points) { SetMarginPoints("footer", points, false); }
float PageSetup::PageWidth() const { return SizePoints("w", kPageWidth); }
void PageSetup::SetPageWidth(float points) { SetSizePoints("w", points); }
float PageSetup::PageHeight() const { return SizePoints("h", kPageHeight); }
void PageSetup::SetPageHeight(float points) { SetSizePoints("h", points); }

WdOrientation PageSetup::Orientation() const {
    const wml::Wml w = MainNames(section_.Package());
    const auto orient = w.Value(w.Child(section_.Find(), "pgSz"), "orient");
    return orient && *orient == "landscape" ? wdOrientLandscape : wdOrientPortrait;
}

void PageSetup::SetOrientation(WdOrientation orientation) {
    if (orientation != wdOrientPortrait && orientation != wdOrientLandscape) throw ValueOutOfRange();
    if (orientation == Orientation()) return;
    const float width = PageWidth();
    const float height = PageHeight();
    const wml::Wml w = MainNames(section_.Package());
    pugi::xml_node pgSz = w.Ensure(section_.Ensure(), "pgSz", wml::order::SectPr());
    w.SetAttr(pgSz, "w", wml::TwipsText(wml::PointsToTwips(height)));
    w.SetAttr(pgSz, "h", wml::TwipsText(wml::PointsToTwips(width)));
    if (orientation == wdOrientLandscape) {
        w.SetAttr(pgSz, "orient", "landscape");
    } else {
        w.RemoveAttr(pgSz, "orient");
    }
}

// ---- PageSetup: trays, alignment, section start, switches ---------------------------------

long PageSetup::FirstPageTray() const {
    const wml::Wml w = MainNames(section_.Package());
    return AttrLong(w, w.Child(section_.Find(), "paperSrc"), "first", 0);
}

long PageSetup::OtherPagesTray() const {
    const wml::Wml w = MainNames(section_.Package());
    return AttrLong(w, w.Child(section_.Find(), "paperSrc"), "other", 0);
}

namespace {

void SetTray(SectionRef section, std::string_view local, long tray) {
    if (tray < 0 || tray > 32767) throw ValueOutOfRange();
    const wml::Wml w = MainNames(section.Package());
    if (tray == 0) {
        pugi::xml_node paperSrc = w.Child(section.Find(), "paperSrc");
        if (!paperSrc) return;
        w.RemoveAttr(paperSrc, local);
        if (!paperSrc.first_attribute()) paperSrc.parent().remove_child(paperSrc);
        return;
    }
    pugi::xml_node paperSrc = w.Ensure(section.Ensure(), "paperSrc", wml::order::SectPr());
    w.SetAttr(paperSrc, local, std::to_string(tray));
}

// A w:val enumeration child of the section: its value, or nullopt when absent.
std::optional<std::string> SectionValue(SectionRef section, std::string_view local) {
    const wml::Wml w = MainNames(section.Package());
    return w.Value(w.Child(section.Find(), local), "val");
}

// Writes the value, or removes the element when the value is the schema default.
void SetSectionValue(SectionRef section, std::string_view local, std::string_view value,
                     std::string_view schemaDefault) {
    const wml::Wml w = MainNames(section.Package());
    if (value == schemaDefault) {
        if (pugi::xml_node sectPr = section.Find()) w.RemoveAll(sectPr, local);
        return;
    }
    pugi::xml_node element = w.Ensure(section.Ensure(), local, wml::order::SectPr());
    w.SetAttr(element, "val", value);
}

bool SectionFlag(SectionRef section, std::string_view local) {
    return MainNames(section.Package()).OnOff(section.Find(), local);
}

void SetSectionFlag(SectionRef section, std::string_view local, bool on) {
    const wml::Wml w = MainNames(section.Package());
    if (!on) {
        if (pugi::xml_node sectPr = section.Find()) w.RemoveAll(sectPr, local);
        return;
    }
    w.SetOnOff(section.Ensure(), local, true, wml::order::SectPr());
}

constexpr std::array kVerticalAlignments = {"top"sv, "center"sv, "both"sv, "bottom"sv};
constexpr std::array kSectionStarts = {"continuous"sv, "nextColumn"sv, "nextPage"sv,
                                       "evenPage"sv, "oddPage"sv};
constexpr std::array kLayoutModes = {"default"sv, "linesAndChars"sv, "lines"sv,
                                     "snapToChars"sv};

template <std::size_t N>
long IndexOf(const std::array<std::string_view, N>& names, std::string_view value, long fallback) {
    for (std::size_t i = 0; i < N; ++i) {
        if (names[i] == value) return static_cast<long>(i);
    }
    return fallback;
}

}  // namespace

void PageSetup::SetFirstPageTray(long tray) { SetTray(section_, "first", tray); }
void PageSetup::SetOtherPagesTray(long tray) { SetTray(section_, "other", tray); }

WdVerticalAlignment PageSetup::VerticalAlignment() const {
    const auto value = SectionValue(section_, "vAlign");
    return static_cast<WdVerticalAlignment>(IndexOf(kVerticalAlignments, value.value_or("top"), 0));
}

void PageSetup::SetVerticalAlignment(WdVerticalAlignment alignment) {
    if (alignment < 0 || alignment >= static_cast<long>(kVerticalAlignments.size())) {
        throw ValueOutOfRange();
    }
    SetSectionValue(section_, "vAlign", kVerticalAlignments[static_cast<std::size_t>(alignment)],
                    "top");
}

WdSectionStart PageSetup::SectionStart() const {
    const auto value = SectionValue(section_, "type");
    return static_cast<WdSectionStart>(
        IndexOf(kSectionStarts, value.value_or("nextPage"), wdSectionNewPage));
}

void PageSetup::SetSectionStart(WdSectionStart start) {
    if (start < 0 || start >= static_cast<long>(kSectionStarts.size())) throw ValueOutOfRange();
    SetSectionValue(section_, "type", kSectionStarts[static_cast<std::size_t>(start)], "nextPage");
}

bool PageSetup::DifferentFirstPageHeaderFooter() const { return SectionFlag(section_, "titlePg"); }
void PageSetup::SetDifferentFirstPageHeaderFooter(bool different) {
    SetSectionFlag(section_, "titlePg", different);
}
bool PageSetup::SuppressEndnotes() const { return SectionFlag(section_, "noEndnote"); }
void PageSetup::SetSuppressEndnotes(bool suppress) { SetSectionFlag(section_, "noEndnote", suppress); }

WdSectionDirection PageSetup::SectionDirection() const {
    return SectionFlag(section_, "bidi") ? wdSectionDirectionRtl : wdSectionDirectionLtr;
}

void PageSetup::SetSectionDirection(WdSectionDirection direction) {
    if (direction != wdSectionDirectionRtl && direction != wdSectionDirectionLtr) {
        throw ValueOutOfRange();
    }
    SetSectionFlag(section_, "bidi", direction == wdSectionDirectionRtl);
}

// ---- PageSetup: document-wide settings -----------------------------------------------------

bool PageSetup::MirrorMargins() const { return SettingsFlag(section_.Package(), "mirrorMargins"); }
void PageSetup::SetMirrorMargins(bool mirror) {
    SetSettingsFlag(section_.Package(), "mirrorMargins", mirror);
}
bool PageSetup::OddAndEvenPagesHeaderFooter() const {
    return SettingsFlag(section_.Package(), "evenAndOddHeaders");
}
void PageSetup::SetOddAndEvenPagesHeaderFooter(bool oddAndEven) {
    SetSettingsFlag(section_.Package(), "evenAndOddHeaders", oddAndEven);
}
bool PageSetup::GutterOnTop() const { return SettingsFlag(section_.Package(), "gutterAtTop"); }
void PageSetup::SetGutterOnTop(bool onTop) {
    SetSettingsFlag(section_.Package(), "gutterAtTop", onTop);
}
bool PageSetup::TwoPagesOnOne() const { return SettingsFlag(section_.Package(), "printTwoOnOne"); }
void PageSetup::SetTwoPagesOnOne(bool twoOnOne) {
    SetSettingsFlag(section_.Package(), "printTwoOnOne", twoOnOne);
}
bool PageSetup::BookFoldPrinting() const {
    return SettingsFlag(section_.Package(), "bookFoldPrinting");
}
void PageSetup::SetBookFoldPrinting(bool bookFold) {
    SetSettingsFlag(section_.Package(), "bookFoldPrinting", bookFold);
}
bool PageSetup::BookFoldRevPrinting() const {
    return SettingsFlag(section_.Package(), "bookFoldRevPrinting");
}
void PageSetup::SetBookFoldRevPrinting(bool reverse) {
    SetSettingsFlag(section_.Package(), "bookFoldRevPrinting", reverse);
}

long PageSetup::BookFoldPrintingSheets() const {
    const parts::PartRoot settings = parts::Open(section_.Package(), parts::Settings());
    const wml::Wml& w = settings.names;
    return AttrLong(w, w.Child(settings.root, "bookFoldPrintingSheets"), "val", 0);
}

void PageSetup::SetBookFoldPrintingSheets(long sheets) {
    if (sheets < 0 || sheets > 32767) throw ValueOutOfRange();
    docx::Package& package = section_.Package();
    if (sheets == 0 && !parts::Find(package, parts::Settings())) return;
    const parts::PartRoot settings = parts::OpenOrCreate(package, parts::Settings());
    const wml::Wml& w = settings.names;
    if (sheets == 0) {
        w.RemoveAll(settings.root, "bookFoldPrintingSheets");
        return;
    }
    pugi::xml_node element = w.Ensure(settings.root, "bookFoldPrintingSheets", wml::order::Settings());
    w.SetAttr(element, "val", std::to_string(sheets));
}

WdGutterStyle PageSetup::GutterPos() const {
    if (GutterOnTop()) return wdGutterPosTop;
    return SectionFlag(section_, "rtlGutter") ? wdGutterPosRight : wdGutterPosLeft;
}

void PageSetup::SetGutterPos(WdGutterStyle position) {
    if (position < wdGutterPosLeft || position > wdGutterPosRight) throw ValueOutOfRange();
    SetGutterOnTop(position == wdGutterPosTop);
    SetSectionFlag(section_, "rtlGutter", position == wdGutterPosRight);
}

// ---- PageSetup: document grid --------------------------------------------------------------

double PageSetup::TextWidthTwips() const {
    return wml::PointsToTwips(PageWidth()) - wml::PointsToTwips(LeftMargin()) -
           wml::PointsToTwips(RightMargin()) - wml::PointsToTwips(Gutter());
}

double PageSetup::TextHeightTwips() const {
    return wml::PointsToTwips(PageHeight()) - std::fabs(wml::PointsToTwips(TopMargin())) -
           std::fabs(wml::PointsToTwips(BottomMargin()));
}

WdLayoutMode PageSetup::LayoutMode() const {
    const wml::Wml w = MainNames(section_.Package());
    const auto type = w.Value(w.Child(section_.Find(), "docGrid"), "type");
    return static_cast<WdLayoutMode>(IndexOf(kLayoutModes, type.value_or("default"), 0));
}

void PageSetup::SetLayoutMode(WdLayoutMode mode) {
    if (mode < 0 || mode >= static_cast<long>(kLayoutModes.size())) throw ValueOutOfRange();
    const wml::Wml w = MainNames(section_.Package());
    pugi::xml_node docGrid = w.Ensure(section_.Ensure(), "docGrid", wml::order::SectPr());
    if (mode == wdLayoutModeDefault) {
        w.RemoveAttr(docGrid, "type");
    } else {
        w.SetAttr(docGrid, "type", kLayoutModes[static_cast<std::size_t>(mode)]);
    }
    if (!w.Attr(docGrid, "linePitch")) w.SetAttr(docGrid, "linePitch", wml::TwipsText(kLinePitch));
}

float PageSetup::LinesPage() const {
    const wml::Wml w = MainNames(section_.Package());
    const double pitch = AttrTwips(w, w.Child(section_.Find(), "docGrid"), "linePitch", kLinePitch);
    if (pitch <= 0) return 0;
    return static_cast<float>(std::floor(TextHeightTwips() / pitch + 1e-3));
}

void PageSetup::SetLinesPage(float lines) {
    if (!std::isfinite(lines) || lines < 1 || lines > 1000) throw ValueOutOfRange();
    const double height = TextHeightTwips();
    if (height <= 0) throw ValueOutOfRange();
    const wml::Wml w = MainNames(section_.Package());
    pugi::xml_node docGrid = w.Ensure(section_.Ensure(), "docGrid", wml::order::SectPr());
    w.SetAttr(docGrid, "linePitch", wml::TwipsText(std::floor(height / std::floor(lines))));
}

float PageSetup::CharsLine() const {
    const wml::Wml w = MainNames(section_.Package());
    const long charSpace = AttrLong(w, w.Child(section_.Find(), "docGrid"), "charSpace", 0);
    const double pitch = DefaultFontSize(section_.Package()) + charSpace / 4096.0;
    if (pitch <= 0) return 0;
    return static_cast<float>(std::floor(wml::TwipsToPoints(TextWidthTwips()) / pitch + 1e-3));
}

void PageSetup::SetCharsLine(float characters) {
    if (!std::isfinite(characters) || characters < 1 || characters > 1000) throw ValueOutOfRange();
    const double width = wml::TwipsToPoints(TextWidthTwips());
    if (width <= 0) throw ValueOutOfRange();
    const double pitch = width / std::floor(characters);
    const long charSpace = std::lround((pitch - DefaultFontSize(section_.Package())) * 4096.0);
    const wml::Wml w = MainNames(section_.Package());
    pugi::xml_node docGrid = w.Ensure(section_.Ensure(), "docGrid", wml::order::SectPr());
    w.SetAttr(docGrid, "charSpace", std::to_string(charSpace));
}

// ---- PageSetup: copy -----------------------------------------------------------------------

void PageSetup::CopyFrom(const PageSetup& source) {
    docx::Package& from = source.section_.Package();
    docx::Package& to = section_.Package();
    const pugi::xml_node sourceSectPr = source.section_.Find();
    pugi::xml_node targetSectPr = section_.Ensure();
    if (sourceSectPr == targetSectPr) return;

    const wml::Wml sourceNames = MainNames(from);
    const wml::Wml targetNames = MainNames(to);
    for (const std::string_view local : kPageSetupChildren) {
        targetNames.ReplaceWithCopy(targetSectPr, local, sourceNames.Child(sourceSectPr, local),
                                    sourceNames, wml::order::SectPr());
    }

    if (&from == &to) return;  // the document-wide settings are already the same
    const parts::PartRoot sourceSettings = parts::Open(from, parts::Settings());
    bool anySet = false;
    for (const std::string_view local : kPageSettings) {
        if (sourceSettings.names.Child(sourceSettings.root, local)) anySet = true;
    }
    if (!anySet && !parts::Find(to, parts::Settings())) return;
    const parts::PartRoot targetSettings = parts::OpenOrCreate(to, parts::Settings());
    for (const std::string_view local : kPageSettings) {
        targetSettings.names.ReplaceWithCopy(
            targetSettings.root, local, sourceSettings.names.Child(sourceSettings.root, local),
            sourceSettings.names, wml::order::Settings());
    }
}

}  // namespace paperloom::word
