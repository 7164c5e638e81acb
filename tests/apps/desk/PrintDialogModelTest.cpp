// The print dialog's logic without a window: printers, copies and the page list.

#include <gtest/gtest.h>

#include "PrintDialogModel.h"
#include "host/ui/PageSelection.h"

#include <stdexcept>
#include <string>

namespace paperloom::desk {
namespace {

using ui::PageSelection;

TEST(PageSelectionTest, PagesAndRangesSelectThosePagesOnceInDocumentOrder) {
    EXPECT_EQ(PageSelection::Parse("1-3,5").PagesOf(6), (std::vector<int>{1, 2, 3, 5}));
    EXPECT_EQ(PageSelection::Parse(" 5 , 2-3 ,3").PagesOf(6), (std::vector<int>{2, 3, 5}));
    EXPECT_EQ(PageSelection::Parse("4-").PagesOf(6), (std::vector<int>{4, 5, 6}));
    EXPECT_EQ(PageSelection::Parse("-2").PagesOf(6), (std::vector<int>{1, 2}));
    // Pages past the end are left out; none left is for the caller to report.
    EXPECT_EQ(PageSelection::Parse("2,7-9").PagesOf(3), (std::vector<int>{2}));
    EXPECT_TRUE(PageSelection::Parse("7-9").PagesOf(3).empty());
    EXPECT_EQ(PageSelection().PagesOf(3), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(PageSelection::Parse(" 1 - 3, 5,4- ").Text(), "1-3,5,4-");
    EXPECT_EQ(PageSelection::Parse("-2").Text(), "1-2");
}

TEST(PageSelectionTest, ListsThatCannotBeReadAreRefusedNamingThePart) {
    const auto message = [](const std::string& text) -> std::string {
        try {
            PageSelection::Parse(text);
        } catch (const std::invalid_argument& e) {
            return e.what();
        }
        return "(accepted)";
    };
    for (const char* bad : {"", "  ", "a", "1-3,x", "1,,2", "1,", "-", "0", "3-1", "1.5", "1-2-3", "12345678901", "+2"})
        EXPECT_NE(message(bad), "(accepted)") << '"' << bad << '"';
    EXPECT_NE(message("1-3,x").find("「x」"), std::string::npos) << message("1-3,x");
    EXPECT_NE(message("3-1").find("「3-1」"), std::string::npos) << message("3-1");
    EXPECT_NE(message("0").find("1 以上"), std::string::npos) << message("0");
}

TEST(PrintDialogModelTest, OkGivesThePrinterCopiesAndPagesChosenAndRefusesABadPageList) {
    ui::PrintOptions environment;
    environment.spoolProgram = "/opt/lp";
    PrintDialogModel model(environment);
    ui::PrintDestinations destinations;
    destinations.printers = {"Office", "Label"};
    destinations.defaultPrinter = "Label";
    model.SetDestinations(destinations);
    ASSERT_EQ(model.Printers().size(), 3U);
    EXPECT_EQ(model.Printers()[0].name, "");
    EXPECT_EQ(model.Printers()[2].caption, "Label (既定)");

    // Every page and the default printer until the user chooses.
    ui::PrintOptions options = model.Accept();
    EXPECT_EQ(options.printer, "");
    EXPECT_TRUE(options.pages.All());
    EXPECT_EQ(options.spoolProgram, "/opt/lp");

    model.SelectPrinter(1);
    model.SetCopies(150);
    EXPECT_EQ(model.Copies(), PrintDialogModel::kMaxCopies);
    model.SetCopies(0);
    EXPECT_EQ(model.Copies(), 1);
    model.SetAllPages(false);
    model.SetPageText("2-3,x");
    EXPECT_NE(model.Problem().find("「x」"), std::string::npos) << model.Problem();
    EXPECT_THROW(model.Accept(), std::invalid_argument);
    // Back to every page, the text that cannot be read no longer matters.
    model.SetAllPages(true);
    EXPECT_EQ(model.Problem(), "");
    model.SetAllPages(false);
    model.SetPageText("2-3,5");
    EXPECT_EQ(model.Problem(), "");
    options = model.Accept();
    EXPECT_EQ(options.printer, "Office");
    EXPECT_EQ(options.pages.Text(), "2-3,5");
    EXPECT_THROW(model.SelectPrinter(3), std::out_of_range);
}

TEST(PrintDialogModelTest, APrintFolderIsTheOnlyDestinationShown) {
    ui::PrintOptions environment;
    environment.printDir = "/srv/print";
    PrintDialogModel model(environment);
    ui::PrintDestinations destinations;
    destinations.printers = {"Office"};
    model.SetDestinations(destinations);
    ASSERT_EQ(model.Printers().size(), 1U);
    EXPECT_TRUE(model.PrintsToFolder());
    EXPECT_NE(model.Printers()[0].caption.find("/srv/print"), std::string::npos);
    EXPECT_EQ(model.Accept().printDir, "/srv/print");
}

}  // namespace
}  // namespace paperloom::desk
