// Compatibility options, printing switches, web options and East Asian typography settings.
#include <gtest/gtest.h>

#include <functional>
#include <set>

#include "TestSupport.h"
#include "host/word/settings/DocumentSettings.h"
#include "host/word/settings/SchemaOrder.h"
#include "host/word/settings/SettingsCopy.h"
#include "host/word/settings/Styles.h"
#include "host/word/settings/Typography.h"
#include "host/word/settings/WebOptions.h"

namespace paperloom::word {
namespace {

using testing::ChildNames;
using testing::InOrder;
using testing::Reopen;

long ErrorNumber(const std::function<void()>& action) {
    try {
        action();
    } catch (const host::HostError& error) {
        return error.Number();
    }
    return 0;
}

std::vector<std::string> Order(wml::Sequence sequence) { return {sequence.begin(), sequence.end()}; }

pugi::xml_node Compat(docx::Package& package) { return testing::SettingsRoot(package).child("w:compat"); }

TEST(Compatibility, EveryIndexMapsToItsOwnSchemaElement) {
    const std::vector<std::string> schema = Order(wml::order::Compat());
    std::set<std::string> seen;
    for (long index = 1; index <= DocumentSettings::kCompatibilityCount; ++index) {
        const std::string element(DocumentSettings::CompatibilityElement(index));
        if (index == 10) {
            EXPECT_EQ(element, "");  // transparent metafiles: the format has no such setting
            continue;
        }
        EXPECT_NE(std::find(schema.begin(), schema.end(), element), schema.end()) << index;
        EXPECT_TRUE(seen.insert(element).second) << element;
    }
    EXPECT_EQ(DocumentSettings::CompatibilityElement(13), "doNotLeaveBackslashAlone");
    EXPECT_EQ(DocumentSettings::CompatibilityElement(28), "noExtraLineSpacing");
    EXPECT_EQ(DocumentSettings::CompatibilityElement(42), "");
}

TEST(Compatibility, OptionsRoundTripInSchemaOrder) {
    docx::Package package = docx::Package::CreateBlank();
    DocumentSettings settings(package);
    EXPECT_TRUE(settings.Compatibility(21));   // the blank document adds space for underlines
    EXPECT_FALSE(settings.Compatibility(1));
    for (long index = 1; index <= 41; ++index) settings.SetCompatibility(index, false);
    EXPECT_TRUE(Compat(package).child("w:useFELayout"));  // options beyond 41 stay
    for (long index = 41; index >= 1; index -= 2) settings.SetCompatibility(index, true);
    settings.SetCompatibility(21, false);
    settings.SetCompatibility(10, true);  // not stored
    settings.SetCompatibility(0, true);
    docx::Package reopened = Reopen(package);
    const DocumentSettings read(reopened);
    for (long index = 1; index <= 41; ++index) {
        const bool expected = index % 2 == 1 && index != 21 && index != 10;
        EXPECT_EQ(read.Compatibility(index), expected) << index;
    }
    EXPECT_TRUE(InOrder(ChildNames(Compat(reopened)), Order(wml::order::Compat())));
}

TEST(DocumentSettings, ClickAndTypeStyleAndPrintSwitches) {
    docx::Package package = docx::Package::CreateBlank();
    DocumentSettings settings(package);
    EXPECT_EQ(settings.ClickAndTypeParagraphStyle(), "Normal");
    Styles(package).Add("本文");
    settings.SetClickAndTypeParagraphStyle("本文");
    EXPECT_EQ(ErrorNumber([&] { settings.SetClickAndTypeParagraphStyle("nope"); }), 5941);
    settings.SetPrintFormsData(true);
    settings.SetPrintPostScriptOverText(true);
    docx::Package reopened = Reopen(package);
    const DocumentSettings read(reopened);
    EXPECT_EQ(read.ClickAndTypeParagraphStyle(), "本文");
    EXPECT_TRUE(read.PrintFormsData());
    EXPECT_TRUE(read.PrintPostScriptOverText());
    EXPECT_TRUE(InOrder(ChildNames(testing::SettingsRoot(reopened)), Order(wml::order::Settings())));
}

TEST(DocumentSettings, CopyReplacesOptionsAndTheCompatibilityMode) {
    docx::Package source = docx::Package::CreateBlank();
    DocumentSettings from(source);
    from.SetCompatibility(21, false);
    from.SetCompatibility(25, true);
    from.SetCompatibility(26, true);
    from.SetPrintFormsData(true);
    Compat(source).find_child_by_attribute("w:compatSetting", "w:name", "compatibilityMode")
        .attribute("w:val").set_value("14");
    docx::Package destination = docx::Package::CreateBlank();
    DocumentSettings(destination).CopyFrom(from);
    const DocumentSettings read(destination);
    EXPECT_FALSE(read.Compatibility(21));
    EXPECT_TRUE(read.Compatibility(25));
    EXPECT_TRUE(read.Compatibility(26));
    EXPECT_TRUE(read.PrintFormsData());
    std::vector<std::string> modes;
    for (pugi::xml_node setting : Compat(destination).children("w:compatSetting")) {
        if (std::string_view(setting.attribute("w:name").value()) == "compatibilityMode") {
            modes.emplace_back(setting.attribute("w:val").value());
        }
    }
    EXPECT_EQ(modes, std::vector<std::string>{"14"});
    EXPECT_TRUE(InOrder(ChildNames(Compat(destination)), Order(wml::order::Compat())));
}

TEST(WebOptions, DefaultsStoredValuesAndTheRememberedBrowserLevel) {
    docx::Package package = docx::Package::CreateBlank();
    WebOptionsMemory memory;
    WebOptions options(package, memory);
    EXPECT_TRUE(options.OptimizeForBrowser());
    EXPECT_TRUE(options.AllowPNG());
    EXPECT_TRUE(options.RelyOnCSS());
    EXPECT_TRUE(options.OrganizeInFolder());
    EXPECT_TRUE(options.UseLongFileNames());
    EXPECT_FALSE(options.RelyOnVML());
    EXPECT_EQ(options.ScreenSize(), msoScreenSize800x600);
    EXPECT_EQ(options.PixelsPerInch(), 96);
    EXPECT_EQ(options.Encoding(), msoEncodingJapaneseShiftJIS);
    EXPECT_EQ(options.BrowserLevel(), wdBrowserLevelMicrosoftInternetExplorer5);

    options.SetOptimizeForBrowser(false);
    options.SetRelyOnCSS(false);
    options.SetOrganizeInFolder(false);
    options.SetUseLongFileNames(false);
    options.SetRelyOnVML(true);
    options.SetScreenSize(msoScreenSize1024x768);
    options.SetPixelsPerInch(120);
    options.SetEncoding(msoEncodingUTF8);
    options.SetBrowserLevel(wdBrowserLevelV4);
    EXPECT_EQ(ErrorNumber([&] { options.SetEncoding(static_cast<MsoEncoding>(12345)); }), 4608);
    EXPECT_EQ(ErrorNumber([&] { options.SetPixelsPerInch(0); }), 4608);

    docx::Package reopened = Reopen(package);
    WebOptionsMemory fresh;
    const WebOptions read(reopened, fresh);
    EXPECT_FALSE(read.OptimizeForBrowser());
    EXPECT_FALSE(read.RelyOnCSS());
    EXPECT_FALSE(read.OrganizeInFolder());
    EXPECT_FALSE(read.UseLongFileNames());
    EXPECT_TRUE(read.RelyOnVML());
    EXPECT_EQ(read.ScreenSize(), msoScreenSize1024x768);
    EXPECT_EQ(read.PixelsPerInch(), 120);
    EXPECT_EQ(read.Encoding(), msoEncodingUTF8);
    EXPECT_EQ(read.BrowserLevel(), wdBrowserLevelMicrosoftInternetExplorer5);  // not in the file
    const pugi::xml_node web = reopened.Xml("word/webSettings.xml").document_element();
    EXPECT_TRUE(InOrder(ChildNames(web), Order(wml::order::WebSettings())));

    WebOptionsMemory copiedMemory;
    docx::Package destination = docx::Package::CreateBlank();
    WebOptions copied(destination, copiedMemory);
    copied.CopyFrom(options);
    EXPECT_EQ(copied.BrowserLevel(), wdBrowserLevelV4);
    EXPECT_EQ(copied.Encoding(), msoEncodingUTF8);
    EXPECT_EQ(copied.AllowPNG(), options.AllowPNG());
    EXPECT_EQ(copied.PixelsPerInch(), 120);
    EXPECT_FALSE(copied.OptimizeForBrowser());
}

TEST(Typography, KerningSpacingAndLineBreakLevels) {
    docx::Package package = docx::Package::CreateBlank();
    Typography typography(package);
    EXPECT_TRUE(typography.KerningByAlgorithm());
    EXPECT_EQ(typography.JustificationMode(), wdJustificationModeCompress);
    EXPECT_EQ(typography.FarEastLineBreakLevel(), wdFarEastLineBreakLevelNormal);

    typography.SetKerningByAlgorithm(false);
    typography.SetJustificationMode(wdJustificationModeCompressKana);
    typography.SetFarEastLineBreakLevel(wdFarEastLineBreakLevelStrict);
    EXPECT_EQ(typography.FarEastLineBreakLevel(), wdFarEastLineBreakLevelStrict);
    typography.SetFarEastLineBreakLevel(wdFarEastLineBreakLevelCustom);
    EXPECT_EQ(typography.FarEastLineBreakLevel(), wdFarEastLineBreakLevelCustom);
    EXPECT_NE(typography.NoLineBreakBefore().find("。"), std::string::npos);
    typography.SetNoLineBreakBefore("、。ー");
    EXPECT_EQ(ErrorNumber([&] { typography.SetJustificationMode(static_cast<WdJustificationMode>(3)); }),
              4608);

    docx::Package reopened = Reopen(package);
    const Typography read(reopened);
    EXPECT_FALSE(read.KerningByAlgorithm());
    EXPECT_EQ(read.JustificationMode(), wdJustificationModeCompressKana);
    EXPECT_EQ(read.FarEastLineBreakLevel(), wdFarEastLineBreakLevelCustom);
    EXPECT_EQ(read.NoLineBreakBefore(), "、。ー");
    EXPECT_FALSE(testing::SettingsRoot(reopened).child("w:strictFirstAndLastChars"));
    EXPECT_TRUE(InOrder(ChildNames(testing::SettingsRoot(reopened)), Order(wml::order::Settings())));

    docx::Package destination = docx::Package::CreateBlank();
    Typography(destination).CopyFrom(read);
    EXPECT_EQ(Typography(destination).NoLineBreakBefore(), "、。ー");
    EXPECT_EQ(Typography(destination).JustificationMode(), wdJustificationModeCompressKana);
    Typography(destination).SetFarEastLineBreakLevel(wdFarEastLineBreakLevelNormal);
    EXPECT_FALSE(testing::SettingsRoot(destination).child("w:noLineBreaksBefore"));
}

}  // namespace
}  // namespace paperloom::word
