#pragma once
// Web page options of a document, kept in the web settings part.
//
// The part stores every option except the browser level, which has no place in the file
// format: it lives in a WebOptionsMemory that the document object keeps for as long as the
// document is open (starting at the platform's default each time a document is opened).
// Options never set read as the platform's defaults.

#include "host/docx/Package.h"

namespace paperloom::word {

enum WdBrowserLevel : long {
    wdBrowserLevelV4 = 0,
    wdBrowserLevelMicrosoftInternetExplorer5 = 1,
    wdBrowserLevelMicrosoftInternetExplorer6 = 2
};

enum MsoScreenSize : long {
    msoScreenSize544x376 = 0,
    msoScreenSize640x480 = 1,
    msoScreenSize720x512 = 2,
    msoScreenSize800x600 = 3,
    msoScreenSize1024x768 = 4,
    msoScreenSize1152x882 = 5,
    msoScreenSize1152x900 = 6,
    msoScreenSize1280x1024 = 7,
    msoScreenSize1600x1200 = 8,
    msoScreenSize1800x1440 = 9,
    msoScreenSize1920x1200 = 10
};

// Encodings are code page numbers.
enum MsoEncoding : long {
    msoEncodingJapaneseShiftJIS = 932,
    msoEncodingJapaneseAutoDetect = 50932,
    msoEncodingISO2022JPNoHalfwidthKatakana = 50220,
    msoEncodingEUCJapanese = 51932,
    msoEncodingUTF8 = 65001,
    msoEncodingUnicodeLittleEndian = 1200,
    msoEncodingWestern = 1252,
    msoEncodingISO88591Latin1 = 28591,
    msoEncodingUSASCII = 20127,
    msoEncodingSimplifiedChineseGBK = 936,
    msoEncodingTraditionalChineseBig5 = 950,
    msoEncodingKorean = 949,
    msoEncodingCyrillic = 1251,
    msoEncodingCentralEuropean = 1250
};

struct WebOptionsMemory {
    WdBrowserLevel browserLevel = wdBrowserLevelMicrosoftInternetExplorer5;
};

class WebOptions {
public:
    WebOptions(docx::Package& package, WebOptionsMemory& memory)
        : package_(&package), memory_(&memory) {}

    bool OptimizeForBrowser() const;
    void SetOptimizeForBrowser(bool optimize);
    WdBrowserLevel BrowserLevel() const { return memory_->browserLevel; }
    void SetBrowserLevel(WdBrowserLevel level);
    bool RelyOnCSS() const;
    void SetRelyOnCSS(bool rely);
    bool OrganizeInFolder() const;
    void SetOrganizeInFolder(bool organize);
    bool UseLongFileNames() const;
    void SetUseLongFileNames(bool useLong);
    bool RelyOnVML() const;
    void SetRelyOnVML(bool rely);
    bool AllowPNG() const;
    void SetAllowPNG(bool allow);
    MsoScreenSize ScreenSize() const;
    void SetScreenSize(MsoScreenSize size);
    long PixelsPerInch() const;
    void SetPixelsPerInch(long pixels);
    // A code page; names the file format stores that are not in the table read as the default.
    MsoEncoding Encoding() const;
    void SetEncoding(MsoEncoding encoding);

    // All ten options, exactly as the source stores them.
    void CopyFrom(const WebOptions& source);

private:
    bool Flag(const char* local) const;
    void SetFlag(const char* local, bool on);

    docx::Package* package_;
    WebOptionsMemory* memory_;
};

}  // namespace paperloom::word
