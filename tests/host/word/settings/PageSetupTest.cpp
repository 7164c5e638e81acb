// Page setup over the section properties and the document-wide page settings.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "TestSupport.h"
#include "host/word/settings/PageSetup.h"
#include "host/word/settings/SchemaOrder.h"

namespace paperloom::word {
namespace {

using testing::ChildNames;
using testing::InOrder;
using testing::Reopen;

pugi::xml_node BodySectPr(docx::Package& package) {
    return package.Xml("word/document.xml").document_element().child("w:body").child("w:sectPr");
}

std::vector<std::string> SectPrOrder() {
    const wml::Sequence order = wml::order::SectPr();
    return {order.begin(), order.end()};
}

long ErrorNumber(const std::function<void()>& action) {
    try {
        action();
    } catch (const host::HostError& error) {
        return error.Number();
    }
    return 0;
}

TEST(PageSetup, ReadsTheBlankDocumentsA4Layout) {
    docx::Package package = docx::Package::CreateBlank();
    const PageSetup setup(package);
    EXPECT_FLOAT_EQ(setup.PageWidth(), 595.3f);
    EXPECT_FLOAT_EQ(setup.PageHeight(), 841.9f);
    EXPECT_FLOAT_EQ(setup.TopMargin(), 99.25f);
    EXPECT_FLOAT_EQ(setup.HeaderDistance(), 42.55f);
    EXPECT_EQ(setup.Orientation(), wdOrientPortrait);
    EXPECT_EQ(setup.SectionStart(), wdSectionNewPage);
    EXPECT_EQ(setup.VerticalAlignment(), wdAlignVerticalTop);
    EXPECT_EQ(setup.LayoutMode(), wdLayoutModeLineGrid);
    // (841.9 - 99.25 - 85.05) / 18 points per line.
    EXPECT_FLOAT_EQ(setup.LinesPage(), 36);
    EXPECT_EQ(setup.TextColumns().Count(), 1);
    EXPECT_FALSE(setup.LineNumbering().Active());
}

TEST(PageSetup, SettingsSurviveSaveAndKeepSchemaOrder) {
    docx::Package package = docx::Package::CreateBlank();
    PageSetup setup(package);
    setup.SetTopMargin(50.5f);
    setup.SetBottomMargin(-36);  // negative: exact, text may not push it
    setup.SetGutter(18);
    setup.SetFirstPageTray(wdPrinterManualFeed);
    setup.SetOtherPagesTray(wdPrinterLowerBin);
    setup.SetVerticalAlignment(wdAlignVerticalCenter);
    setup.SetSectionStart(wdSectionOddPage);
    setup.SetDifferentFirstPageHeaderFooter(true);
    setup.SetMirrorMargins(true);
    setup.SetOddAndEvenPagesHeaderFooter(true);
    setup.SetGutterPos(wdGutterPosTop);
    setup.SetBookFoldPrintingSheets(4);

    docx::Package reopened = Reopen(package);
    const PageSetup read(reopened);
    EXPECT_FLOAT_EQ(read.TopMargin(), 50.5f);
    EXPECT_FLOAT_EQ(read.BottomMargin(), -36);
    EXPECT_FLOAT_EQ(read.Gutter(), 18);
    EXPECT_EQ(read.FirstPageTray(), wdPrinterManualFeed);
    EXPECT_EQ(read.OtherPagesTray(), wdPrinterLowerBin);
    EXPECT_EQ(read.VerticalAlignment(), wdAlignVerticalCenter);
    EXPECT_EQ(read.SectionStart(), wdSectionOddPage);
    EXPECT_TRUE(read.DifferentFirstPageHeaderFooter());
    EXPECT_TRUE(read.MirrorMargins());
    EXPECT_TRUE(read.OddAndEvenPagesHeaderFooter());
    EXPECT_EQ(read.GutterPos(), wdGutterPosTop);
    EXPECT_EQ(read.BookFoldPrintingSheets(), 4);
    EXPECT_TRUE(InOrder(ChildNames(BodySectPr(reopened)), SectPrOrder()));
    const wml::Sequence settings = wml::order::Settings();
    EXPECT_TRUE(InOrder(ChildNames(testing::SettingsRoot(reopened)), {settings.begin(), settings.end()}));

    PageSetup(reopened).SetSectionStart(wdSectionNewPage);  // the default is not written
    EXPECT_FALSE(BodySectPr(reopened).child("w:type"));
}

TEST(PageSetup, MissingSectionPropertiesAreCreatedComplete) {
    docx::Package package = docx::Package::CreateBlank();
    pugi::xml_node body = package.Xml("word/document.xml").document_element().child("w:body");
    body.remove_child(BodySectPr(package));
    PageSetup setup(package);
    EXPECT_FLOAT_EQ(setup.PageWidth(), 612);  // US Letter when nothing is stored
    EXPECT_FLOAT_EQ(setup.LeftMargin(), 72);
    setup.SetLeftMargin(90);
    const pugi::xml_node pgMar = BodySectPr(package).child("w:pgMar");
    // All seven attributes are required by the schema.
    for (const char* attribute : {"w:top", "w:right", "w:bottom", "w:left", "w:header", "w:footer", "w:gutter"}) {
        EXPECT_TRUE(pgMar.attribute(attribute)) << attribute;
    }
    EXPECT_STREQ(pgMar.attribute("w:left").value(), "1800");
    EXPECT_EQ(std::string(body.last_child().name()), "w:sectPr");
}

TEST(PageSetup, OrientationSwapsTheSheet) {
    docx::Package package = docx::Package::CreateBlank();
    PageSetup setup(package);
    setup.SetOrientation(wdOrientLandscape);
    EXPECT_FLOAT_EQ(setup.PageWidth(), 841.9f);
    EXPECT_FLOAT_EQ(setup.PageHeight(), 595.3f);
    setup.SetOrientation(wdOrientLandscape);  // no second swap
    EXPECT_FLOAT_EQ(setup.PageWidth(), 841.9f);
    setup.SetOrientation(wdOrientPortrait);
    EXPECT_FLOAT_EQ(setup.PageWidth(), 595.3f);
}

TEST(PageSetup, RejectsValuesOutOfRange) {
    docx::Package package = docx::Package::CreateBlank();
    PageSetup setup(package);
    EXPECT_EQ(ErrorNumber([&] { setup.SetLeftMargin(-1); }), 4608);
    EXPECT_EQ(ErrorNumber([&] { setup.SetPageWidth(5000); }), 4608);
    EXPECT_EQ(ErrorNumber([&] { setup.SetTopMargin(std::numeric_limits<float>::quiet_NaN()); }), 4608);
    EXPECT_EQ(ErrorNumber([&] { setup.SetVerticalAlignment(static_cast<WdVerticalAlignment>(9)); }), 4608);
    EXPECT_EQ(ErrorNumber([&] { setup.TextColumns().SetCount(46); }), 4608);
    EXPECT_EQ(ErrorNumber([] {
                  docx::Package other = docx::Package::CreateBlank();
                  PageSetup(other, 2).SetTopMargin(10);
              }),
              5941);
    EXPECT_FLOAT_EQ(setup.LeftMargin(), 85.05f);  // unchanged
}

TEST(PageSetup, DocumentGridCountsLinesAndCharacters) {
    docx::Package package = docx::Package::CreateBlank();
    PageSetup setup(package);
    setup.SetLayoutMode(wdLayoutModeGrid);
    setup.SetLinesPage(40);
    setup.SetCharsLine(40);
    docx::Package reopened = Reopen(package);
    const PageSetup read(reopened);
    EXPECT_EQ(read.LayoutMode(), wdLayoutModeGrid);
    EXPECT_FLOAT_EQ(read.LinesPage(), 40);
    EXPECT_FLOAT_EQ(read.CharsLine(), 40);
    // 425.2 points of text over 40 characters of 10.5 points plus the extra spacing.
    const long charSpace = BodySectPr(reopened).child("w:docGrid").attribute("w:charSpace").as_int();
    EXPECT_NEAR(10.5 + charSpace / 4096.0, 425.2 / 40, 0.001);
}

TEST(TextColumns, EvenAndOwnWidths) {
    docx::Package package = docx::Package::CreateBlank();
    TextColumns columns = PageSetup(package).TextColumns();
    columns.SetCount(3);
    columns.SetSpacing(20);
    columns.SetLineBetween(true);
    EXPECT_TRUE(columns.EvenlySpaced());
    EXPECT_NEAR(columns.Width(), (425.2f - 40) / 3, 0.01);
    EXPECT_FLOAT_EQ(columns.Item(3).SpaceAfter(), 0);

    columns.Item(1).SetWidth(100);  // switches to widths of their own
    EXPECT_FALSE(columns.EvenlySpaced());
    columns.Item(2).SetSpaceAfter(30);
    docx::Package reopened = Reopen(package);
    const TextColumns read = PageSetup(reopened).TextColumns();
    EXPECT_EQ(read.Count(), 3);
    EXPECT_TRUE(read.LineBetween());
    EXPECT_FLOAT_EQ(read.Item(1).Width(), 100);
    EXPECT_FLOAT_EQ(read.Item(2).SpaceAfter(), 30);
    EXPECT_NEAR(read.Item(3).Width(), (425.2f - 40) / 3, 0.05);
    EXPECT_EQ(ErrorNumber([&] { read.Item(4); }), 5941);

    TextColumns again = PageSetup(reopened).TextColumns();
    again.SetEvenlySpaced(true);
    EXPECT_TRUE(again.EvenlySpaced());
    EXPECT_FALSE(BodySectPr(reopened).child("w:cols").child("w:col"));
}

TEST(LineNumbering, ActiveSettingsRoundTrip) {
    docx::Package package = docx::Package::CreateBlank();
    LineNumbering numbering = PageSetup(package).LineNumbering();
    numbering.SetCountBy(5);  // ignored while inactive
    EXPECT_FALSE(numbering.Active());
    numbering.SetActive(true);
    numbering.SetCountBy(5);
    numbering.SetStartingNumber(10);
    numbering.SetRestartMode(wdRestartContinuous);
    numbering.SetDistanceFromText(18);
    const pugi::xml_node stored = BodySectPr(package).child("w:lnNumType");
    EXPECT_STREQ(stored.attribute("w:start").value(), "9");  // numbers skipped before the first
    docx::Package reopened = Reopen(package);
    const LineNumbering read = PageSetup(reopened).LineNumbering();
    EXPECT_TRUE(read.Active());
    EXPECT_EQ(read.CountBy(), 5);
    EXPECT_EQ(read.StartingNumber(), 10);
    EXPECT_EQ(read.RestartMode(), wdRestartContinuous);
    EXPECT_FLOAT_EQ(read.DistanceFromText(), 18);
    numbering.SetActive(false);
    EXPECT_FALSE(BodySectPr(package).child("w:lnNumType"));
}

TEST(PageSetup, CopyFromCarriesEverySettingExactly) {
    docx::Package source = docx::Package::CreateBlank();
    PageSetup from(source);
    from.SetOrientation(wdOrientLandscape);
    from.SetTopMargin(33.35f);
    from.SetGutter(7);
    from.SetOtherPagesTray(wdPrinterUpperBin);
    from.SetSectionStart(wdSectionContinuous);
    from.SetMirrorMargins(true);
    from.SetLayoutMode(wdLayoutModeGenko);
    from.SetCharsLine(20);
    from.TextColumns().SetCount(2);
    from.TextColumns().Item(1).SetWidth(200);
    from.LineNumbering().SetActive(true);

    docx::Package destination = docx::Package::CreateBlank();
    PageSetup to(destination);
    to.SetDifferentFirstPageHeaderFooter(true);  // the source has no such switch
    to.CopyFrom(from);
    docx::Package reopened = Reopen(destination);
    const PageSetup read(reopened);
    EXPECT_EQ(read.Orientation(), wdOrientLandscape);
    EXPECT_FLOAT_EQ(read.TopMargin(), 33.35f);
    EXPECT_FLOAT_EQ(read.Gutter(), 7);
    EXPECT_EQ(read.OtherPagesTray(), wdPrinterUpperBin);
    EXPECT_EQ(read.SectionStart(), wdSectionContinuous);
    EXPECT_FALSE(read.DifferentFirstPageHeaderFooter());
    EXPECT_TRUE(read.MirrorMargins());
    EXPECT_EQ(read.LayoutMode(), wdLayoutModeGenko);
    EXPECT_FLOAT_EQ(read.CharsLine(), 20);
    EXPECT_EQ(read.TextColumns().Count(), 2);
    EXPECT_FLOAT_EQ(read.TextColumns().Item(1).Width(), 200);
    EXPECT_TRUE(read.LineNumbering().Active());
    EXPECT_EQ(testing::XmlOf(BodySectPr(reopened)), testing::XmlOf(BodySectPr(source)));
}

TEST(PageSetup, ReadsEachSectionOfACorpusDocument) {
    const auto path = testing::CorpusFile("docx-rs__section_property_in_ppr.docx");
    if (!std::filesystem::exists(path)) GTEST_SKIP() << "no corpus";
    docx::Package package = docx::Package::Open(path);
    const PageSetup first(package, 1);
    EXPECT_GT(first.PageWidth(), 0);
    EXPECT_GT(first.PageHeight(), 0);
    // The first section ends at a paragraph, so its properties are not the body's.
    const pugi::xml_node firstSectPr =
        package.Xml("word/document.xml").document_element().child("w:body").find_node(
            [](const pugi::xml_node& node) { return std::string_view(node.name()) == "w:sectPr"; });
    ASSERT_TRUE(firstSectPr);
    EXPECT_NE(std::string_view(firstSectPr.parent().name()), "w:body");
    PageSetup(package, 1).SetLeftMargin(100);
    EXPECT_STREQ(firstSectPr.child("w:pgMar").attribute("w:left").value(), "2000");
}

}  // namespace
}  // namespace paperloom::word
