#include "host/word/settings/WebOptions.h"

#include <array>
#include <string>
#include <string_view>

#include "host/word/settings/SchemaOrder.h"
#include "host/word/settings/SettingsError.h"
#include "host/word/settings/SettingsParts.h"
#include "host/word/settings/WordXml.h"
#include "host/AsciiText.h"

namespace paperloom::word {

using namespace settings_errors;

namespace {

using namespace std::string_view_literals;

constexpr MsoEncoding kDefaultEncoding = msoEncodingJapaneseShiftJIS;
constexpr long kDefaultPixelsPerInch = 96;

constexpr std::array kScreenSizes = {"544x376"sv,   "640x480"sv,   "720x512"sv,  "800x600"sv,
                                     "1024x768"sv,  "1152x882"sv,  "1152x900"sv, "1280x1024"sv,
                                     "1600x1200"sv, "1800x1440"sv, "1920x1200"sv};

struct EncodingName {
    MsoEncoding encoding;
    std::string_view name;
};

constexpr std::array kEncodings = {
    EncodingName{msoEncodingJapaneseShiftJIS, "shift_jis"},
    EncodingName{msoEncodingJapaneseAutoDetect, "_autodetect"},
    EncodingName{msoEncodingISO2022JPNoHalfwidthKatakana, "iso-2022-jp"},
    EncodingName{msoEncodingEUCJapanese, "euc-jp"},
    EncodingName{msoEncodingUTF8, "utf-8"},
    EncodingName{msoEncodingUnicodeLittleEndian, "unicode"},
    EncodingName{msoEncodingWestern, "windows-1252"},
    EncodingName{msoEncodingISO88591Latin1, "iso-8859-1"},
    EncodingName{msoEncodingUSASCII, "us-ascii"},
    EncodingName{msoEncodingSimplifiedChineseGBK, "gb2312"},
    EncodingName{msoEncodingTraditionalChineseBig5, "big5"},
    EncodingName{msoEncodingKorean, "ks_c_5601-1987"},
    EncodingName{msoEncodingCyrillic, "windows-1251"},
    EncodingName{msoEncodingCentralEuropean, "windows-1250"}};

// The elements the ten options are stored in.
constexpr std::array kOptionElements = {"encoding"sv,          "optimizeForBrowser"sv,
                                        "relyOnVML"sv,         "allowPNG"sv,
                                        "doNotRelyOnCSS"sv,    "doNotOrganizeInFolder"sv,
                                        "doNotUseLongFileNames"sv, "pixelsPerInch"sv,
                                        "targetScreenSz"sv};

std::optional<std::string> OptionValue(docx::Package& package, std::string_view local) {
    const parts::PartRoot web = parts::Open(package, parts::WebSettings());
    return web.names.Value(web.names.Child(web.root, local), "val");
}

void SetOptionValue(docx::Package& package, std::string_view local,
                    const std::optional<std::string>& value) {
    if (!value && !parts::Find(package, parts::WebSettings())) return;
    const parts::PartRoot web = parts::OpenOrCreate(package, parts::WebSettings());
    if (!value) {
        web.names.RemoveAll(web.root, local);
        return;
    }
    pugi::xml_node element = web.names.Ensure(web.root, local, wml::order::WebSettings());
    web.names.SetAttr(element, "val", *value);
}

}  // namespace

bool WebOptions::Flag(const char* local) const {
    const parts::PartRoot web = parts::Open(*package_, parts::WebSettings());
    return web && web.names.OnOff(web.root, local);
}

void WebOptions::SetFlag(const char* local, bool on) {
    if (!on && !parts::Find(*package_, parts::WebSettings())) return;
    const parts::PartRoot web = parts::OpenOrCreate(*package_, parts::WebSettings());
    web.names.SetOnOff(web.root, local, on, wml::order::WebSettings());
}

bool WebOptions::OptimizeForBrowser() const { return Flag("optimizeForBrowser"); }
void WebOptions::SetOptimizeForBrowser(bool optimize) { SetFlag("optimizeForBrowser", optimize); }

void WebOptions::SetBrowserLevel(WdBrowserLevel level) {
    if (level < wdBrowserLevelV4 || level > wdBrowserLevelMicrosoftInternetExplorer6) {
        throw ValueOutOfRange();
    }
    memory_->browserLevel = level;
}

// These three are stored as their negation, so that absence means the platform's "True".
bool WebOptions::RelyOnCSS() const { return !Flag("doNotRelyOnCSS"); }
void WebOptions::SetRelyOnCSS(bool rely) { SetFlag("doNotRelyOnCSS", !rely); }
bool WebOptions::OrganizeInFolder() const { return !Flag("doNotOrganizeInFolder"); }
void WebOptions::SetOrganizeInFolder(bool organize) { SetFlag("doNotOrganizeInFolder", !organize); }
bool WebOptions::UseLongFileNames() const { return !Flag("doNotUseLongFileNames"); }
void WebOptions::SetUseLongFileNames(bool useLong) { SetFlag("doNotUseLongFileNames", !useLong); }

bool WebOptions::RelyOnVML() const { return Flag("relyOnVML"); }
void WebOptions::SetRelyOnVML(bool rely) { SetFlag("relyOnVML", rely); }
bool WebOptions::AllowPNG() const { return Flag("allowPNG"); }
void WebOptions::SetAllowPNG(bool allow) { SetFlag("allowPNG", allow); }

MsoScreenSize WebOptions::ScreenSize() const {
    const auto value = OptionValue(*package_, "targetScreenSz");
    for (std::size_t i = 0; value && i < kScreenSizes.size(); ++i) {
        if (kScreenSizes[i] == *value) return static_cast<MsoScreenSize>(i);
    }
    return msoScreenSize800x600;
}

void WebOptions::SetScreenSize(MsoScreenSize size) {
    if (size < msoScreenSize544x376 || size > msoScreenSize1920x1200) throw ValueOutOfRange();
    SetOptionValue(*package_, "targetScreenSz",
                   std::string(kScreenSizes[static_cast<std::size_t>(size)]));
}

long WebOptions::PixelsPerInch() const {
    const auto value = OptionValue(*package_, "pixelsPerInch");
    const long pixels = value ? wml::ParseLong(*value).value_or(kDefaultPixelsPerInch) : kDefaultPixelsPerInch;
    return pixels > 0 ? pixels : kDefaultPixelsPerInch;
}

void WebOptions::SetPixelsPerInch(long pixels) {
    if (pixels < 19 || pixels > 480) throw ValueOutOfRange();
    SetOptionValue(*package_, "pixelsPerInch", std::to_string(pixels));
}

MsoEncoding WebOptions::Encoding() const {
    const auto value = OptionValue(*package_, "encoding");
    if (!value) return kDefaultEncoding;
    const std::string name = text::ToLower(*value);
    for (const EncodingName& entry : kEncodings) {
        if (entry.name == name) return entry.encoding;
    }
    return kDefaultEncoding;
}

void WebOptions::SetEncoding(MsoEncoding encoding) {
    for (const EncodingName& entry : kEncodings) {
        if (entry.encoding == encoding) {
            SetOptionValue(*package_, "encoding", std::string(entry.name));
            return;
        }
    }
    throw ValueOutOfRange();
}

void WebOptions::CopyFrom(const WebOptions& source) {
    memory_->browserLevel = source.memory_->browserLevel;
    if (source.package_ == package_) return;
    const parts::PartRoot from = parts::Open(*source.package_, parts::WebSettings());
    bool anyStored = false;
    for (const std::string_view local : kOptionElements) {
        if (from.names.Child(from.root, local)) anyStored = true;
    }
    if (!anyStored && !parts::Find(*package_, parts::WebSettings())) return;
    const parts::PartRoot to = parts::OpenOrCreate(*package_, parts::WebSettings());
    for (const std::string_view local : kOptionElements) {
        to.names.ReplaceWithCopy(to.root, local, from.names.Child(from.root, local), from.names,
                                 wml::order::WebSettings());
    }
}

}  // namespace paperloom::word
