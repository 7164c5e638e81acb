#include "host/word/settings/DocumentSettings.h"

#include <array>
#include <string_view>

#include "host/word/settings/SchemaOrder.h"
#include "host/word/settings/SettingsError.h"
#include "host/word/settings/SettingsParts.h"
#include "host/word/settings/Styles.h"
#include "host/word/settings/WordXml.h"

namespace paperloom::word {

using namespace settings_errors;

namespace {

using namespace std::string_view_literals;

// WdCompatibility index -> w:compat child. Each option's meaning (as the platform's option
// dialog words it) matches the element's, so presence means True for every entry.
constexpr std::array<std::string_view, 42> kCompatibility = {
    ""sv,                                   // 0: no such option
    "noTabHangInd"sv,                       // 1 wdNoTabHangIndent
    "noSpaceRaiseLower"sv,                  // 2 wdNoSpaceRaiseLower
    "printColBlack"sv,                      // 3 wdPrintColBlack
    "wrapTrailSpaces"sv,                    // 4 wdWrapTrailSpaces
    "noColumnBalance"sv,                    // 5 wdNoColumnBalance
    "convMailMergeEsc"sv,                   // 6 wdConvMailMergeEsc
    "suppressSpBfAfterPgBrk"sv,             // 7 wdSuppressSpBfAfterPgBrk
    "suppressTopSpacing"sv,                 // 8 wdSuppressTopSpacing
    "useSingleBorderforContiguousCells"sv,  // 9 wdOrigWordTableRules
    ""sv,                                   // 10 wdTransparentMetafiles: not in the format
    "showBreaksInFrames"sv,                 // 11 wdShowBreaksInFrames
    "swapBordersFacingPages"sv,             // 12 wdSwapBordersFacingPages
    "doNotLeaveBackslashAlone"sv,           // 13 wdLeaveBackslashAlone (backslash to yen)
    "doNotExpandShiftReturn"sv,             // 14 wdExpandShiftReturn (do not expand)
    "ulTrailSpace"sv,                       // 15 wdDontULTrailSpace (underline them)
    "balanceSingleByteDoubleByteWidth"sv,   // 16 wdDontBalanceSingleByteDoubleByteWidth
    "suppressSpacingAtTopOfPage"sv,         // 17 wdSuppressTopSpacingMac5
    "spacingInWholePoints"sv,               // 18 wdSpacingInWholePoints
    "printBodyTextBeforeHeader"sv,          // 19 wdPrintBodyTextBeforeHeader
    "noLeading"sv,                          // 20 wdNoLeading
    "spaceForUL"sv,                         // 21 wdNoSpaceForUL (add space)
    "mwSmallCaps"sv,                        // 22 wdMWSmallCaps
    "suppressTopSpacingWP"sv,               // 23 wdNoExtraLineSpacing (like WordPerfect)
    "truncateFontHeightsLikeWP6"sv,         // 24 wdTruncateFontHeight
    "subFontBySize"sv,                      // 25 wdSubFontBySize
    "usePrinterMetrics"sv,                  // 26 wdUsePrinterMetrics
    "doNotSuppressParagraphBorders"sv,      // 27 wdWW6BorderRules
    "noExtraLineSpacing"sv,                 // 28 wdExactOnTop (do not center exact lines)
    "suppressBottomSpacing"sv,              // 29 wdSuppressBottomSpacing
    "wpSpaceWidth"sv,                       // 30 wdWPSpaceWidth
    "wpJustification"sv,                    // 31 wdWPJustification
    "lineWrapLikeWord6"sv,                  // 32 wdLineWrapLikeWord6
    "shapeLayoutLikeWW8"sv,                 // 33 wdShapeLayoutLikeWW8
    "footnoteLayoutLikeWW8"sv,              // 34 wdFootnoteLayoutLikeWW8
    "doNotUseHTMLParagraphAutoSpacing"sv,   // 35 wdDontUseHTMLParagraphAutoSpacing
    "adjustLineHeightInTable"sv,            // 36 wdDontAdjustLineHeightInTable (adjust)
    "forgetLastTabAlignment"sv,             // 37 wdForgetLastTabAlignment
    "autoSpaceLikeWord95"sv,                // 38 wdAutospaceLikeWW7
    "alignTablesRowByRow"sv,                // 39 wdAlignTablesRowByRow
    "layoutRawTableWidth"sv,                // 40 wdLayoutRawTableWidth
    "layoutTableRowsApart"sv};              // 41 wdLayoutTableRowsApart

bool SettingsFlag(docx::Package& package, std::string_view local) {
    const parts::PartRoot settings = parts::Open(package, parts::Settings());
    return settings && settings.names.OnOff(settings.root, local);
}

void SetSettingsFlag(docx::Package& package, std::string_view local, bool on) {
    if (!on && !parts::Find(package, parts::Settings())) return;
    const parts::PartRoot settings = parts::OpenOrCreate(package, parts::Settings());
    settings.names.SetOnOff(settings.root, local, on, wml::order::Settings());
}

// Replaces the destination's settings child `local` with the source's (or removes it).
void CopySettingsChild(docx::Package& destination, docx::Package& source, std::string_view local) {
    const parts::PartRoot from = parts::Open(source, parts::Settings());
    const pugi::xml_node element = from.names.Child(from.root, local);
    if (!element && !parts::Find(destination, parts::Settings())) return;
    const parts::PartRoot to = parts::OpenOrCreate(destination, parts::Settings());
    to.names.ReplaceWithCopy(to.root, local, element, from.names, wml::order::Settings());
}

bool IsCompatibilityMode(const wml::Wml& w, const pugi::xml_node& node) {
    return w.LocalOf(node) == "compatSetting" && w.Value(node, "name") == "compatibilityMode";
}

}  // namespace

std::string_view DocumentSettings::CompatibilityElement(long index) {
    if (index < 1 || index > kCompatibilityCount) return {};
    return kCompatibility[static_cast<std::size_t>(index)];
}

std::string DocumentSettings::ClickAndTypeParagraphStyle() const {
    const parts::PartRoot settings = parts::Open(*package_, parts::Settings());
    const auto id = settings.names.Value(settings.names.Child(settings.root, "clickAndTypeStyle"), "val");
    const Styles styles(*package_);
    if (id && styles.Exists(*id)) return styles.Item(*id).NameLocal();
    const parts::PartRoot part = parts::Open(*package_, parts::Styles());
    for (pugi::xml_node node = part.root.first_child(); node; node = node.next_sibling()) {
        if (part.names.LocalOf(node) != "style") continue;
        if (part.names.Value(node, "type").value_or("paragraph") != "paragraph") continue;
        if (!wml::ParseOnOff(part.names.Value(node, "default").value_or("0")).value_or(false)) continue;
        return Style(*package_, part.names.Value(node, "styleId").value_or("")).NameLocal();
    }
    return "Normal";
}

void DocumentSettings::SetClickAndTypeParagraphStyle(std::string_view styleName) {
    const Style style = Styles(*package_).Item(styleName);  // 5941 when missing
    const parts::PartRoot settings = parts::OpenOrCreate(*package_, parts::Settings());
    pugi::xml_node element =
        settings.names.Ensure(settings.root, "clickAndTypeStyle", wml::order::Settings());
    settings.names.SetAttr(element, "val", style.StyleId());
}

bool DocumentSettings::PrintPostScriptOverText() const {
    return SettingsFlag(*package_, "printPostScriptOverText");
}
void DocumentSettings::SetPrintPostScriptOverText(bool print) {
    SetSettingsFlag(*package_, "printPostScriptOverText", print);
}
bool DocumentSettings::PrintFormsData() const { return SettingsFlag(*package_, "printFormsData"); }
void DocumentSettings::SetPrintFormsData(bool print) {
    SetSettingsFlag(*package_, "printFormsData", print);
}

bool DocumentSettings::Compatibility(long index) const {
    const std::string_view local = CompatibilityElement(index);
    if (local.empty()) return false;
    const parts::PartRoot settings = parts::Open(*package_, parts::Settings());
    return settings.names.OnOff(settings.names.Child(settings.root, "compat"), local);
}

void DocumentSettings::SetCompatibility(long index, bool on) {
    const std::string_view local = CompatibilityElement(index);
    if (local.empty()) return;
    if (!on) {
        const parts::PartRoot settings = parts::Open(*package_, parts::Settings());
        const pugi::xml_node compat = settings.names.Child(settings.root, "compat");
        if (compat) settings.names.RemoveAll(compat, local);
        return;
    }
    const parts::PartRoot settings = parts::OpenOrCreate(*package_, parts::Settings());
    pugi::xml_node compat = settings.names.Ensure(settings.root, "compat", wml::order::Settings());
    settings.names.SetOnOff(compat, local, true, wml::order::Compat());
}

void DocumentSettings::CopyFrom(const DocumentSettings& source) {
    if (source.package_ == package_) return;
    CopySettingsChild(*package_, *source.package_, "clickAndTypeStyle");
    SetPrintPostScriptOverText(source.PrintPostScriptOverText());
    SetPrintFormsData(source.PrintFormsData());
    for (long index = 1; index <= kCompatibilityCount; ++index) {
        const long copied = index == 25 ? 26 : index == 26 ? 25 : index;
        SetCompatibility(copied, source.Compatibility(copied));
    }

    const parts::PartRoot from = parts::Open(*source.package_, parts::Settings());
    pugi::xml_node sourceMode;
    for (pugi::xml_node child = from.names.Child(from.root, "compat").first_child(); child;
         child = child.next_sibling()) {
        if (IsCompatibilityMode(from.names, child)) sourceMode = child;
    }
    if (!sourceMode && !parts::Find(*package_, parts::Settings())) return;
    const parts::PartRoot to = parts::OpenOrCreate(*package_, parts::Settings());
    pugi::xml_node compat = to.names.Child(to.root, "compat");
    if (!compat && !sourceMode) return;
    if (!compat) compat = to.names.Ensure(to.root, "compat", wml::order::Settings());
    for (pugi::xml_node child = compat.first_child(); child;) {
        const pugi::xml_node next = child.next_sibling();
        if (IsCompatibilityMode(to.names, child)) compat.remove_child(child);
        child = next;
    }
    if (sourceMode) to.names.InsertCopyOrdered(compat, sourceMode, from.names, wml::order::Compat());
}

}  // namespace paperloom::word
