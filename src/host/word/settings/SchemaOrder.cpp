#include "host/word/settings/SchemaOrder.h"

#include <array>
#include <string_view>

namespace paperloom::word::wml::order {
namespace {

using namespace std::string_view_literals;

constexpr std::array kSettings = {
    "writeProtection"sv, "view"sv, "zoom"sv, "removePersonalInformation"sv,
    "removeDateAndTime"sv, "doNotDisplayPageBoundaries"sv, "displayBackgroundShape"sv,
    "printPostScriptOverText"sv, "printFractionalCharacterWidth"sv, "printFormsData"sv,
    "embedTrueTypeFonts"sv, "embedSystemFonts"sv, "saveSubsetFonts"sv, "saveFormsData"sv,
    "mirrorMargins"sv, "alignBordersAndEdges"sv, "bordersDoNotSurroundHeader"sv,
    "bordersDoNotSurroundFooter"sv, "gutterAtTop"sv, "hideSpellingErrors"sv,
    "hideGrammaticalErrors"sv, "activeWritingStyle"sv, "proofState"sv, "formsDesign"sv,
    "attachedTemplate"sv, "linkStyles"sv, "stylePaneFormatFilter"sv, "stylePaneSortMethod"sv,
    "documentType"sv, "mailMerge"sv, "revisionView"sv, "trackRevisions"sv,
    "doNotTrackMoves"sv, "doNotTrackFormatting"sv, "documentProtection"sv,
    "autoFormatOverride"sv, "styleLockTheme"sv, "styleLockQFSet"sv, "defaultTabStop"sv,
    "autoHyphenation"sv, "consecutiveHyphenLimit"sv, "hyphenationZone"sv,
    "doNotHyphenateCaps"sv, "showEnvelope"sv, "summaryLength"sv, "clickAndTypeStyle"sv,
    "defaultTableStyle"sv, "evenAndOddHeaders"sv, "bookFoldRevPrinting"sv,
    "bookFoldPrinting"sv, "bookFoldPrintingSheets"sv, "drawingGridHorizontalSpacing"sv,
    "drawingGridVerticalSpacing"sv, "displayHorizontalDrawingGridEvery"sv,
    "displayVerticalDrawingGridEvery"sv, "doNotUseMarginsForDrawingGridOrigin"sv,
    "drawingGridHorizontalOrigin"sv, "drawingGridVerticalOrigin"sv, "doNotShadeFormData"sv,
    "noPunctuationKerning"sv, "characterSpacingControl"sv, "printTwoOnOne"sv,
    "strictFirstAndLastChars"sv, "noLineBreaksAfter"sv, "noLineBreaksBefore"sv,
    "savePreviewPicture"sv, "doNotValidateAgainstSchema"sv, "saveInvalidXml"sv,
    "ignoreMixedContent"sv, "alwaysShowPlaceholderText"sv, "doNotDemarcateInvalidXml"sv,
    "saveXmlDataOnly"sv, "useXSLTWhenSaving"sv, "saveThroughXslt"sv, "showXMLTags"sv,
    "alwaysMergeEmptyNamespace"sv, "updateFields"sv, "hdrShapeDefaults"sv, "footnotePr"sv,
    "endnotePr"sv, "compat"sv, "docVars"sv, "rsids"sv, "mathPr"sv, "attachedSchema"sv,
    "themeFontLang"sv, "clrSchemeMapping"sv, "doNotIncludeSubdocsInStats"sv,
    "doNotAutoCompressPictures"sv, "forceUpgrade"sv, "captions"sv, "readModeInkLockDown"sv,
    "smartTagType"sv, "schemaLibrary"sv, "shapeDefaults"sv, "doNotEmbedSmartTags"sv,
    "decimalSymbol"sv, "listSeparator"sv};

constexpr std::array kSectPr = {
    "headerReference"sv, "footerReference"sv, "footnotePr"sv, "endnotePr"sv, "type"sv,
    "pgSz"sv, "pgMar"sv, "paperSrc"sv, "pgBorders"sv, "lnNumType"sv, "pgNumType"sv,
    "cols"sv, "formProt"sv, "vAlign"sv, "noEndnote"sv, "titlePg"sv, "textDirection"sv,
    "bidi"sv, "rtlGutter"sv, "docGrid"sv, "printerSettings"sv, "sectPrChange"sv};

constexpr std::array kCompat = {
    "useSingleBorderforContiguousCells"sv, "wpJustification"sv, "noTabHangInd"sv,
    "noLeading"sv, "spaceForUL"sv, "noColumnBalance"sv, "balanceSingleByteDoubleByteWidth"sv,
    "noExtraLineSpacing"sv, "doNotLeaveBackslashAlone"sv, "ulTrailSpace"sv,
    "doNotExpandShiftReturn"sv, "spacingInWholePoints"sv, "lineWrapLikeWord6"sv,
    "printBodyTextBeforeHeader"sv, "printColBlack"sv, "wpSpaceWidth"sv,
    "showBreaksInFrames"sv, "subFontBySize"sv, "suppressBottomSpacing"sv,
    "suppressTopSpacing"sv, "suppressSpacingAtTopOfPage"sv, "suppressTopSpacingWP"sv,
    "suppressSpBfAfterPgBrk"sv, "swapBordersFacingPages"sv, "convMailMergeEsc"sv,
    "truncateFontHeightsLikeWP6"sv, "mwSmallCaps"sv, "usePrinterMetrics"sv,
    "doNotSuppressParagraphBorders"sv, "wrapTrailSpaces"sv, "footnoteLayoutLikeWW8"sv,
    "shapeLayoutLikeWW8"sv, "alignTablesRowByRow"sv, "forgetLastTabAlignment"sv,
    "adjustLineHeightInTable"sv, "autoSpaceLikeWord95"sv, "noSpaceRaiseLower"sv,
    "doNotUseHTMLParagraphAutoSpacing"sv, "layoutRawTableWidth"sv, "layoutTableRowsApart"sv,
    "useWord97LineBreakRules"sv, "doNotBreakWrappedTables"sv, "doNotSnapToGridInCell"sv,
    "selectFldWithFirstOrLastChar"sv, "applyBreakingRules"sv, "doNotWrapTextWithPunct"sv,
    "doNotUseEastAsianBreakRules"sv, "useWord2002TableStyleRules"sv, "growAutofit"sv,
    "useFELayout"sv, "useNormalStyleForList"sv, "doNotUseIndentAsNumberingTabStop"sv,
    "useAltKinsokuLineBreakRules"sv, "allowSpaceOfSameStyleInTable"sv,
    "doNotSuppressIndentation"sv, "doNotAutofitConstrainedTables"sv,
    "autofitToFirstFixedWidthCell"sv, "underlineTabInNumList"sv, "displayHangulFixedWidth"sv,
    "splitPgBreakAndParaMark"sv, "doNotVertAlignCellWithSp"sv,
    "doNotBreakConstrainedForcedTable"sv, "doNotVertAlignInTxbx"sv, "useAnsiKerningPairs"sv,
    "cachedColBalance"sv, "compatSetting"sv};

constexpr std::array kWebSettings = {
    "frameset"sv, "divs"sv, "encoding"sv, "optimizeForBrowser"sv, "relyOnVML"sv,
    "allowPNG"sv, "doNotRelyOnCSS"sv, "doNotSaveAsSingleFile"sv, "doNotOrganizeInFolder"sv,
    "doNotUseLongFileNames"sv, "pixelsPerInch"sv, "targetScreenSz"sv,
    "saveSmartTagsAsXml"sv};

constexpr std::array kStyles = {"docDefaults"sv, "latentStyles"sv, "style"sv};

constexpr std::array kStyle = {
    "name"sv, "aliases"sv, "basedOn"sv, "next"sv, "link"sv, "autoRedefine"sv, "hidden"sv,
    "uiPriority"sv, "semiHidden"sv, "unhideWhenUsed"sv, "qFormat"sv, "locked"sv,
    "personal"sv, "personalCompose"sv, "personalReply"sv, "rsid"sv, "pPr"sv, "rPr"sv,
    "tblPr"sv, "trPr"sv, "tcPr"sv, "tblStylePr"sv};

constexpr std::array kNumbering = {"numPicBullet"sv, "abstractNum"sv, "num"sv,
                                   "numIdMacAtCleanup"sv};

constexpr std::array kPPr = {
    "pStyle"sv, "keepNext"sv, "keepLines"sv, "pageBreakBefore"sv, "framePr"sv,
    "widowControl"sv, "numPr"sv, "suppressLineNumbers"sv, "pBdr"sv, "shd"sv, "tabs"sv,
    "suppressAutoHyphens"sv, "kinsoku"sv, "wordWrap"sv, "overflowPunct"sv, "topLinePunct"sv,
    "autoSpaceDE"sv, "autoSpaceDN"sv, "bidi"sv, "adjustRightInd"sv, "snapToGrid"sv,
    "spacing"sv, "ind"sv, "contextualSpacing"sv, "mirrorIndents"sv, "suppressOverlap"sv,
    "jc"sv, "textDirection"sv, "textAlignment"sv, "textboxTightWrap"sv,
    "outlineLvl"sv, "divId"sv, "cnfStyle"sv, "rPr"sv, "sectPr"sv, "pPrChange"sv};

constexpr std::array kRPr = {
    "rStyle"sv, "rFonts"sv, "b"sv, "bCs"sv, "i"sv, "iCs"sv, "caps"sv, "smallCaps"sv,
    "strike"sv, "dstrike"sv, "outline"sv, "shadow"sv, "emboss"sv, "imprint"sv,
    "noProof"sv, "snapToGrid"sv, "vanish"sv, "webHidden"sv, "color"sv, "spacing"sv, "w"sv,
    "kern"sv, "position"sv, "sz"sv, "szCs"sv, "highlight"sv, "u"sv, "effect"sv, "bdr"sv,
    "shd"sv, "fitText"sv, "vertAlign"sv, "rtl"sv, "cs"sv, "em"sv, "lang"sv,
    "eastAsianLayout"sv, "specVanish"sv, "oMath"sv};

constexpr std::array kDocDefaults = {"rPrDefault"sv, "pPrDefault"sv};

constexpr std::array kBody = {"sectPr"sv};

}  // namespace

Sequence Settings() { return kSettings; }
Sequence SectPr() { return kSectPr; }
Sequence Compat() { return kCompat; }
Sequence WebSettings() { return kWebSettings; }
Sequence Styles() { return kStyles; }
Sequence Style() { return kStyle; }
Sequence Numbering() { return kNumbering; }
Sequence PPr() { return kPPr; }
Sequence RPr() { return kRPr; }
Sequence DocDefaults() { return kDocDefaults; }
Sequence Body() { return kBody; }

}  // namespace paperloom::word::wml::order
