#include "host/word/settings/Typography.h"

#include <array>
#include <optional>

#include "host/word/settings/SchemaOrder.h"
#include "host/word/settings/SettingsError.h"
#include "host/word/settings/SettingsParts.h"
#include "host/word/settings/WordXml.h"

namespace paperloom::word {

using namespace settings_errors;

namespace {

using namespace std::string_view_literals;

constexpr std::array kJustificationModes = {"doNotCompress"sv, "compressPunctuation"sv,
                                            "compressPunctuationAndJapaneseKana"sv};

constexpr std::array kTypographyElements = {"noPunctuationKerning"sv, "characterSpacingControl"sv,
                                            "strictFirstAndLastChars"sv, "noLineBreaksAfter"sv,
                                            "noLineBreaksBefore"sv};

// The normal level's Japanese sets: closing punctuation and small kana may not start a line,
// opening brackets and currency signs may not end one.
constexpr std::string_view kNormalBefore =
    "!%),.:;?]}\u00a2\u00b0\u2019\u201d\u2030\u2032\u2033\u2103\u3001\u3002\u3005\u3009\u300b"
    "\u300d\u300f\u3011\u3015\u309b\u309c\u309d\u309e\u30fb\u30fd\u30fe\uff01\uff05\uff09\uff0c"
    "\uff0e\uff1a\uff1b\uff1f\uff3d\uff5d\uff61\uff63\uff64\uff65\uff9e\uff9f\uffe0";
constexpr std::string_view kNormalAfter =
    "$([\\{\u00a3\u00a5\u2018\u201c\u3008\u300a\u300c\u300e\u3010\u3014\uff04\uff08\uff3b\uff5b"
    "\uff62\uffe1\uffe5";
constexpr std::string_view kJapanese = "ja-JP";

std::optional<std::string> SettingValue(docx::Package& package, std::string_view local) {
    const parts::PartRoot settings = parts::Open(package, parts::Settings());
    return settings.names.Value(settings.names.Child(settings.root, local), "val");
}

bool Present(docx::Package& package, std::string_view local) {
    const parts::PartRoot settings = parts::Open(package, parts::Settings());
    return static_cast<bool>(settings.names.Child(settings.root, local));
}

void Remove(docx::Package& package, std::string_view local) {
    const parts::PartRoot settings = parts::Open(package, parts::Settings());
    if (settings) settings.names.RemoveAll(settings.root, local);
}

void SetBreakSet(docx::Package& package, std::string_view local, std::string_view characters) {
    const parts::PartRoot settings = parts::OpenOrCreate(package, parts::Settings());
    pugi::xml_node element = settings.names.Ensure(settings.root, local, wml::order::Settings());
    if (!settings.names.Attr(element, "lang")) settings.names.SetAttr(element, "lang", kJapanese);
    settings.names.SetAttr(element, "val", characters);
}

}  // namespace

bool Typography::KerningByAlgorithm() const {
    const parts::PartRoot settings = parts::Open(*package_, parts::Settings());
    return !(settings && settings.names.OnOff(settings.root, "noPunctuationKerning"));
}

void Typography::SetKerningByAlgorithm(bool kern) {
    if (kern && !parts::Find(*package_, parts::Settings())) return;
    const parts::PartRoot settings = parts::OpenOrCreate(*package_, parts::Settings());
    settings.names.SetOnOff(settings.root, "noPunctuationKerning", !kern, wml::order::Settings());
}

WdJustificationMode Typography::JustificationMode() const {
    const auto value = SettingValue(*package_, "characterSpacingControl");
    for (std::size_t i = 0; value && i < kJustificationModes.size(); ++i) {
        if (kJustificationModes[i] == *value) return static_cast<WdJustificationMode>(i);
    }
    return wdJustificationModeExpand;
}

void Typography::SetJustificationMode(WdJustificationMode mode) {
    if (mode < wdJustificationModeExpand || mode > wdJustificationModeCompressKana) {
        throw ValueOutOfRange();
    }
    const parts::PartRoot settings = parts::OpenOrCreate(*package_, parts::Settings());
    pugi::xml_node element =
        settings.names.Ensure(settings.root, "characterSpacingControl", wml::order::Settings());
    settings.names.SetAttr(element, "val", kJustificationModes[static_cast<std::size_t>(mode)]);
}

WdFarEastLineBreakLevel Typography::FarEastLineBreakLevel() const {
    if (Present(*package_, "noLineBreaksAfter") || Present(*package_, "noLineBreaksBefore")) {
        return wdFarEastLineBreakLevelCustom;
    }
    const parts::PartRoot settings = parts::Open(*package_, parts::Settings());
    if (settings && settings.names.OnOff(settings.root, "strictFirstAndLastChars")) {
        return wdFarEastLineBreakLevelStrict;
    }
    return wdFarEastLineBreakLevelNormal;
}

void Typography::SetFarEastLineBreakLevel(WdFarEastLineBreakLevel level) {
    switch (level) {
        case wdFarEastLineBreakLevelNormal:
            Remove(*package_, "strictFirstAndLastChars");
            Remove(*package_, "noLineBreaksAfter");
            Remove(*package_, "noLineBreaksBefore");
            return;
        case wdFarEastLineBreakLevelStrict: {
            Remove(*package_, "noLineBreaksAfter");
            Remove(*package_, "noLineBreaksBefore");
            const parts::PartRoot settings = parts::OpenOrCreate(*package_, parts::Settings());
            settings.names.SetOnOff(settings.root, "strictFirstAndLastChars", true,
                                    wml::order::Settings());
            return;
        }
        case wdFarEastLineBreakLevelCustom:
            Remove(*package_, "strictFirstAndLastChars");
            if (!Present(*package_, "noLineBreaksAfter")) {
                SetBreakSet(*package_, "noLineBreaksAfter", kNormalAfter);
            }
            if (!Present(*package_, "noLineBreaksBefore")) {
                SetBreakSet(*package_, "noLineBreaksBefore", kNormalBefore);
            }
            return;
    }
    throw ValueOutOfRange();
}

std::string Typography::NoLineBreakBefore() const {
    return SettingValue(*package_, "noLineBreaksBefore").value_or(std::string(kNormalBefore));
}

void Typography::SetNoLineBreakBefore(std::string_view characters) {
    SetBreakSet(*package_, "noLineBreaksBefore", characters);
}

std::string Typography::NoLineBreakAfter() const {
    return SettingValue(*package_, "noLineBreaksAfter").value_or(std::string(kNormalAfter));
}

void Typography::SetNoLineBreakAfter(std::string_view characters) {
    SetBreakSet(*package_, "noLineBreaksAfter", characters);
}

void Typography::CopyFrom(const Typography& source) {
    if (source.package_ == package_) return;
    const parts::PartRoot from = parts::Open(*source.package_, parts::Settings());
    bool anyStored = false;
    for (const std::string_view local : kTypographyElements) {
        if (from.names.Child(from.root, local)) anyStored = true;
    }
    if (!anyStored && !parts::Find(*package_, parts::Settings())) return;
    const parts::PartRoot to = parts::OpenOrCreate(*package_, parts::Settings());
    for (const std::string_view local : kTypographyElements) {
        to.names.ReplaceWithCopy(to.root, local, from.names.Child(from.root, local), from.names,
                                 wml::order::Settings());
    }
}

}  // namespace paperloom::word
