#pragma once
// Page setup of a section, in points, with the word processor's enumeration numbers.
//
// A PageSetup reads and writes the section's w:sectPr in the main document part live (no
// copy is kept), and the document-wide page settings in the settings part (mirror margins,
// odd-and-even headers, gutter at top, book folding, two pages on one). Missing attributes
// read as the schema's or the word processor's defaults (US Letter, 1-inch margins,
// half-inch header and footer distances). Values out of the word processor's range
// (lengths beyond 22 inches, not finite) raise error 4608.

#include <string>

#include <pugixml.hpp>

#include "host/docx/Package.h"

namespace paperloom::word {

enum WdOrientation : long { wdOrientPortrait = 0, wdOrientLandscape = 1 };

enum WdVerticalAlignment : long {
    wdAlignVerticalTop = 0,
    wdAlignVerticalCenter = 1,
    wdAlignVerticalJustify = 2,
    wdAlignVerticalBottom = 3
};

enum WdSectionStart : long {
    wdSectionContinuous = 0,
    wdSectionNewColumn = 1,
    wdSectionNewPage = 2,
    wdSectionEvenPage = 3,
    wdSectionOddPage = 4
};

enum WdGutterStyle : long { wdGutterPosLeft = 0, wdGutterPosTop = 1, wdGutterPosRight = 2 };

enum WdSectionDirection : long { wdSectionDirectionRtl = 0, wdSectionDirectionLtr = 1 };

enum WdLayoutMode : long {
    wdLayoutModeDefault = 0,
    wdLayoutModeGrid = 1,
    wdLayoutModeLineGrid = 2,
    wdLayoutModeGenko = 3
};

enum WdLineNumberRestart : long {
    wdRestartPage = 0,
    wdRestartSection = 1,
    wdRestartContinuous = 2
};

// Paper trays are printer bin numbers; 0 is the printer's default bin.
enum WdPaperTray : long {
    wdPrinterDefaultBin = 0,
    wdPrinterUpperBin = 1,
    wdPrinterLowerBin = 2,
    wdPrinterMiddleBin = 3,
    wdPrinterManualFeed = 4,
    wdPrinterEnvelopeFeed = 5,
    wdPrinterManualEnvelopeFeed = 6,
    wdPrinterAutomaticSheetFeed = 7,
    wdPrinterTractorFeed = 8,
    wdPrinterSmallFormatBin = 9,
    wdPrinterLargeFormatBin = 10,
    wdPrinterLargeCapacityBin = 11,
    wdPrinterPaperCassette = 14,
    wdPrinterFormSource = 15
};

// Where a section's properties live; shared by PageSetup, TextColumns and LineNumbering.
class SectionRef {
public:
    SectionRef(docx::Package& package, long section) : package_(&package), section_(section) {}

    docx::Package& Package() const { return *package_; }
    long Index() const { return section_; }
    // The section's w:sectPr, or an empty node when the document has no such section.
    pugi::xml_node Find() const;
    // The same, created for section 1 of a document without any; error 5941 otherwise.
    pugi::xml_node Ensure() const;

private:
    docx::Package* package_;
    long section_;
};

class TextColumn {
public:
    TextColumn(SectionRef section, long index) : section_(section), index_(index) {}

    float Width() const;
    void SetWidth(float points);
    // Space after this column (0 for the last one).
    float SpaceAfter() const;
    void SetSpaceAfter(float points);

private:
    SectionRef section_;
    long index_;
};

class TextColumns {
public:
    explicit TextColumns(SectionRef section) : section_(section) {}

    long Count() const;
    // 1 to 45 columns. Columns of their own widths are rebuilt evenly.
    void SetCount(long count);
    bool EvenlySpaced() const;
    void SetEvenlySpaced(bool evenly);
    // The space between evenly spaced columns.
    float Spacing() const;
    void SetSpacing(float points);
    // The width of evenly spaced columns (text width less the spacing, shared out).
    float Width() const;
    void SetWidth(float points);
    bool LineBetween() const;
    void SetLineBetween(bool line);
    // 1-based; error 5941 when out of range.
    TextColumn Item(long index) const;

private:
    SectionRef section_;
};

class LineNumbering {
public:
    explicit LineNumbering(SectionRef section) : section_(section) {}

    bool Active() const;
    // Turning numbering off removes its settings; the other setters take effect only while
    // numbering is active (set Active first, as the word processor's dialog does).
    void SetActive(bool active);
    WdLineNumberRestart RestartMode() const;
    void SetRestartMode(WdLineNumberRestart mode);
    // Distance from the text, in points; 0 means automatic.
    float DistanceFromText() const;
    void SetDistanceFromText(float points);
    long CountBy() const;
    void SetCountBy(long step);
    long StartingNumber() const;
    void SetStartingNumber(long number);

private:
    SectionRef section_;
};

class PageSetup {
public:
    explicit PageSetup(docx::Package& package, long section = 1) : section_(package, section) {}

    float TopMargin() const;
    void SetTopMargin(float points);
    float BottomMargin() const;
    void SetBottomMargin(float points);
    float LeftMargin() const;
    void SetLeftMargin(float points);
    float RightMargin() const;
    void SetRightMargin(float points);
    float Gutter() const;
    void SetGutter(float points);
    float HeaderDistance() const;
    void SetHeaderDistance(float points);
    float FooterDistance() const;
    void SetFooterDistance(float points);
    float PageWidth() const;
    void SetPageWidth(float points);
    float PageHeight() const;
    void SetPageHeight(float points);
    // Changing the orientation swaps page width and height, as the word processor does.
    WdOrientation Orientation() const;
    void SetOrientation(WdOrientation orientation);
    long FirstPageTray() const;
    void SetFirstPageTray(long tray);
    long OtherPagesTray() const;
    void SetOtherPagesTray(long tray);
    WdVerticalAlignment VerticalAlignment() const;
    void SetVerticalAlignment(WdVerticalAlignment alignment);
    WdSectionStart SectionStart() const;
    void SetSectionStart(WdSectionStart start);
    bool DifferentFirstPageHeaderFooter() const;
    void SetDifferentFirstPageHeaderFooter(bool different);
    bool SuppressEndnotes() const;
    void SetSuppressEndnotes(bool suppress);
    WdSectionDirection SectionDirection() const;
    void SetSectionDirection(WdSectionDirection direction);

    // Document-wide settings the word processor reports through every section's page setup.
    bool MirrorMargins() const;
    void SetMirrorMargins(bool mirror);
    bool OddAndEvenPagesHeaderFooter() const;
    void SetOddAndEvenPagesHeaderFooter(bool oddAndEven);
    bool GutterOnTop() const;
    void SetGutterOnTop(bool onTop);
    // Top when the gutter is at the top, right for a right-to-left gutter, else left.
    WdGutterStyle GutterPos() const;
    void SetGutterPos(WdGutterStyle position);
    bool TwoPagesOnOne() const;
    void SetTwoPagesOnOne(bool twoOnOne);
    bool BookFoldPrinting() const;
    void SetBookFoldPrinting(bool bookFold);
    bool BookFoldRevPrinting() const;
    void SetBookFoldRevPrinting(bool reverse);
    long BookFoldPrintingSheets() const;
    void SetBookFoldPrintingSheets(long sheets);

    // The document grid (East Asian layouts).
    WdLayoutMode LayoutMode() const;
    void SetLayoutMode(WdLayoutMode mode);
    // Lines per page: text height over the grid's line pitch.
    float LinesPage() const;
    void SetLinesPage(float lines);
    // Characters per line: text width over the character pitch, which is the default font
    // size plus the grid's extra character spacing.
    float CharsLine() const;
    void SetCharsLine(float characters);

    word::TextColumns TextColumns() const { return word::TextColumns(section_); }
    word::LineNumbering LineNumbering() const { return word::LineNumbering(section_); }

    // Copies every setting above from `source` (another document's or section's page
    // setup) exactly as stored: section properties except header and footer references,
    // and the document-wide page settings. Exact where a loop over the setters would round
    // derived values (characters per line depend on the destination's default font size).
    void CopyFrom(const PageSetup& source);

private:
    float MarginPoints(const char* local, double defaultTwips) const;
    void SetMarginPoints(const char* local, float points, bool allowNegative);
    float SizePoints(const char* local, double defaultTwips) const;
    void SetSizePoints(const char* local, float points);
    double TextWidthTwips() const;
    double TextHeightTwips() const;

    SectionRef section_;
};

}  // namespace paperloom::word
