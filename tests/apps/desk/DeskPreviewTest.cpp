// Print preview renders with the office suite and shows every page.

#include <gtest/gtest.h>

#include "PrintPreview.h"
#include "host/ui/QtTestSupport.h"
#include "host/word/Document.h"
#include "support/OfficeSuite.h"
#include "support/TestFiles.h"

namespace paperloom::desk {
namespace {

void AppendPage(word::Document& document, const std::string& text) {
    const long end = document.Content().End();
    document.Range(end - 1, end - 1).InsertBreak(word::wdPageBreak);
    document.Content().InsertAfter(text);
}

TEST(DeskPreviewTest, PreviewShowsEveryPageAndLeavesTheDocumentAlone) {
    if (!test::HaveOfficeSuite()) GTEST_SKIP() << "the office suite is not installed";
    test::TestApplication();
    auto document = word::Document::Blank("pages");
    document->Content().InsertAfter("一ページ目");
    AppendPage(*document, "二ページ目");
    AppendPage(*document, "三ページ目");
    document->SetSaved(false);
    test::ScratchFolder render("paperloom-desk-preview");
    const auto pages = RenderPreviewPages(*document, render.Path());
    ASSERT_EQ(pages.size(), 3u);
    PrintPreviewWindow window("pages", pages, nullptr);
    EXPECT_EQ(window.PageCount(), 3);
    EXPECT_EQ(window.windowTitle(), "印刷プレビュー - pages");
    // The preview works on a private copy.
    EXPECT_TRUE(document->Path().empty());
    EXPECT_FALSE(document->Saved());
}

}  // namespace
}  // namespace paperloom::desk
