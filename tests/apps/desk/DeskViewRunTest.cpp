// The document view with the run-time add-in: a record move on the bound sample invoice
// template shows the new record's values without the user doing anything, drawing the whole
// main text afresh as the model now reads it.

#include "DeskRunTestSupport.h"
#include "view/DocumentView.h"

namespace paperloom::desk {
namespace {

TEST_F(DeskRunCommandsTest, TheViewShowsTheRecordMovedTo) {
    auto& view = window_->View();
    ASSERT_NE(view.Layout(), nullptr);
    const auto shownByModel = [&] {
        return view.Layout()->RetrievedText(0, 0, document_->Content().StoryLength()).toStdString();
    };
    EXPECT_EQ(shownByModel(), Text());
    const QString first = view.ShownText();
    Click("ToolHeadNext");
    ASSERT_EQ(Record(), 2);
    EXPECT_NE(view.ShownText(), first);
    EXPECT_EQ(shownByModel(), Text()) << "the view holds the second invoice";
    Click("ToolHeadLast");
    ASSERT_EQ(Record(), 25);
    EXPECT_EQ(shownByModel(), Text());
    EXPECT_FALSE(view.Refresh()) << "shown already; nothing to read again";
}

}  // namespace
}  // namespace paperloom::desk
