#pragma once
// Enumerations of the document object model, with the numbers the add-ins pass and compare.

namespace paperloom::word {

enum WdCollapseDirection : long { wdCollapseEnd = 0, wdCollapseStart = 1 };

enum WdBreakType : long {
    wdSectionBreakNextPage = 2,
    wdSectionBreakContinuous = 3,
    wdLineBreak = 6,
    wdPageBreak = 7,
    wdColumnBreak = 8,
};

enum WdStoryType : long {
    wdMainTextStory = 1,
    wdTextFrameStory = 5,
    wdPrimaryHeaderStory = 7,
    wdPrimaryFooterStory = 9,
};

enum WdHeaderFooterIndex : long { wdHeaderFooterPrimary = 1, wdHeaderFooterFirstPage = 2, wdHeaderFooterEvenPages = 3 };

enum MsoShapeType : long {
    msoAutoShape = 1,
    msoGroup = 6,
    msoPicture = 13,
    msoTextBox = 17,
};

enum WdGoToItem : long { wdGoToBookmark = -1 };

enum WdSaveOptions : long { wdDoNotSaveChanges = 0, wdSaveChanges = -1 };

// Tri-state answers such as Font.Hidden over mixed text.
inline constexpr long wdTrue = -1;
inline constexpr long wdFalse = 0;
inline constexpr long wdUndefined = 9999999;

enum WdParagraphAlignment : long {
    wdAlignParagraphLeft = 0,
    wdAlignParagraphCenter = 1,
    wdAlignParagraphRight = 2,
    wdAlignParagraphJustify = 3,
    wdAlignParagraphDistribute = 4,
};

enum WdUnderline : long {
    wdUnderlineNone = 0,
    wdUnderlineSingle = 1,
    wdUnderlineWords = 2,
    wdUnderlineDouble = 3,
    wdUnderlineDotted = 4,
    wdUnderlineThick = 6,
    wdUnderlineDash = 7,
    wdUnderlineDotDash = 9,
    wdUnderlineDotDotDash = 10,
    wdUnderlineWavy = 11,
};

// Font.Color: the automatic colour; other colours are 0xBBGGRR.
inline constexpr long wdColorAutomatic = -16777216;

}  // namespace paperloom::word
