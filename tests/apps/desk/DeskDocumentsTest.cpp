// What a user does to documents in the desktop host: open, save as, close with unsaved
// changes, recent files, hidden documents, the active document and the application events.

#include <gtest/gtest.h>

#include <QTest>

#include <fstream>
#include <iterator>
#include <sstream>

#include "DeskTestSupport.h"
#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "view/DocumentView.h"

namespace paperloom::desk {
namespace {

namespace fs = std::filesystem;

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

class DeskDocumentsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::TestApplication(); }

    fs::path MakeDocument(const std::string& name, const std::string& text) {
        auto document = word::Document::Blank(name);
        document->Content().InsertAfter(text);
        const auto file = folder_.File(name + ".docx");
        document->SaveAs(file);
        return file;
    }
    // The Save As dialog answers with this name.
    void ChooseForSaveAs(DeskApplication& desk, std::optional<fs::path> file) {
        desk.SetSaveAsChooser([file](QWidget*, const std::string&) { return file; });
    }

    test::ScratchFolder folder_{"paperloom-desk-docs"};
    std::ostringstream log_;
    std::shared_ptr<ui::HeadlessMessageService> messages_ = std::make_shared<ui::HeadlessMessageService>(log_);
    ui::ScopedServices services_{{messages_, nullptr, nullptr, nullptr}};
};

TEST_F(DeskDocumentsTest, OpenShowsAWindowPerDocumentAndActiveDocumentFollowsTheFocus) {
    const auto first = MakeDocument("first", "一つ目");
    const auto second = MakeDocument("second", "二つ目");
    DeskApplication desk(folder_.Path());
    int changes = 0;
    std::vector<std::string> activated;
    desk.OnDocumentChange([&] { ++changes; });
    desk.OnWindowActivate([&](const auto& document) { activated.push_back(document->Name()); });
    desk.Start();
    ASSERT_EQ(desk.Windows().size(), 1u);
    EXPECT_EQ(desk.Windows()[0]->Document(), nullptr);

    auto one = desk.Open(first);
    auto two = desk.Open(second);
    ASSERT_TRUE(one && two);
    test::Settle();
    ASSERT_EQ(desk.Windows().size(), 2u);  // the empty frame gave way
    EXPECT_EQ(desk.WindowOf(*one)->windowTitle(), "first.docx - Paperloom");
    EXPECT_TRUE(desk.WindowOf(*two)->View().ShownText().contains("二つ目"));
    EXPECT_EQ(desk.Recent().Items().front(), second);
    EXPECT_EQ(desk.Recent().Items()[1], first);

    // From here on only what the test does activates windows.
    activated.clear();
    changes = 0;
    desk.WindowActivated(*desk.WindowOf(*one));
    EXPECT_EQ(desk.Application().ActiveDocument(), one);
    desk.WindowActivated(*desk.WindowOf(*two));
    desk.WindowActivated(*desk.WindowOf(*two));
    EXPECT_EQ(desk.Application().ActiveDocument(), two);
    EXPECT_EQ(activated, (std::vector<std::string>{"first.docx", "second.docx", "second.docx"}));
    EXPECT_EQ(changes, 2);  // a change only when another document became active

    // Opening a file that is open already shows its window instead of a second one.
    EXPECT_EQ(desk.Open(first), one);
    EXPECT_EQ(desk.Windows().size(), 2u);

    // Hidden documents never show.
    auto hidden = desk.Application().Documents().Add({}, false);
    desk.SyncWindows();
    EXPECT_EQ(desk.WindowOf(*hidden), nullptr);
    EXPECT_EQ(desk.Windows().size(), 2u);

    // A file that does not open says so and leaves the recent list.
    EXPECT_EQ(desk.Open(folder_.File("missing.docx")), nullptr);
    ASSERT_EQ(messages_->Shown().size(), 1u);
    EXPECT_EQ(messages_->Shown()[0].request.icon, ui::MessageIcon::Critical);
}

TEST_F(DeskDocumentsTest, SaveAsWritesOnlyWhereTheUserChose) {
    const auto original = MakeDocument("original", "元の文");
    const std::string originalBytes = Bytes(original);
    DeskApplication desk(folder_.Path());
    desk.Start();
    auto document = desk.Open(original);
    ASSERT_NE(document, nullptr);
    document->Content().InsertAfter("変更");
    ASSERT_FALSE(document->Saved());

    // Cancelled: nothing is written.
    ChooseForSaveAs(desk, std::nullopt);
    EXPECT_FALSE(desk.SaveAs(document));
    EXPECT_FALSE(document->Saved());

    // A name without an extension gets ".docx"; the original stays as it was.
    ChooseForSaveAs(desk, folder_.File("copy"));
    ASSERT_TRUE(desk.SaveAs(document));
    EXPECT_TRUE(fs::exists(folder_.File("copy.docx")));
    EXPECT_EQ(Bytes(original), originalBytes);
    EXPECT_EQ(fs::path(document->FullName()), folder_.File("copy.docx"));
    EXPECT_TRUE(document->Saved());
    test::Settle();
    EXPECT_EQ(desk.WindowOf(*document)->windowTitle(), "copy.docx - Paperloom");
    EXPECT_EQ(desk.Recent().Items().front(), folder_.File("copy.docx"));

    // The completed name hits a file the user did not pick: asked first, and No keeps it.
    const auto other = MakeDocument("other", "別の文書");
    const std::string otherBytes = Bytes(other);
    document->Content().InsertAfter("もう一度");
    messages_->QueueAnswer(ui::vbNo);
    ChooseForSaveAs(desk, folder_.File("other"));
    EXPECT_FALSE(desk.SaveAs(document));
    EXPECT_EQ(Bytes(other), otherBytes);
    EXPECT_EQ(messages_->Shown().back().request.buttons, ui::MessageButtons::YesNo);

    // Over a file open in another window: refused.
    auto open = desk.Open(other);
    ASSERT_NE(open, nullptr);
    ChooseForSaveAs(desk, other);
    EXPECT_FALSE(desk.SaveAs(document));
    EXPECT_EQ(Bytes(other), otherBytes);
    EXPECT_FALSE(document->Saved());

    // A new document is saved through Save As.
    auto fresh = desk.New();
    ASSERT_NE(fresh, nullptr);
    ChooseForSaveAs(desk, folder_.File("fresh.docx"));
    EXPECT_TRUE(desk.Save(fresh));
    EXPECT_TRUE(fs::exists(folder_.File("fresh.docx")));
}

TEST_F(DeskDocumentsTest, CloseAsksAboutUnsavedChanges) {
    const auto file = MakeDocument("draft", "下書き");
    const std::string before = Bytes(file);
    DeskApplication desk(folder_.Path());
    desk.Start();
    auto document = desk.Open(file);
    ASSERT_NE(document, nullptr);
    document->Content().InsertAfter("追記");

    messages_->QueueAnswer(ui::vbCancel);
    EXPECT_FALSE(desk.Close(document));
    EXPECT_FALSE(document->Closed());
    EXPECT_NE(desk.WindowOf(*document), nullptr);
    const auto& asked = messages_->Shown().back().request;
    EXPECT_EQ(asked.buttons, ui::MessageButtons::YesNoCancel);
    EXPECT_NE(asked.strText.find("draft.docx"), std::string::npos);

    // The window's close box asks the same; No drops the changes.
    messages_->QueueAnswer(ui::vbNo);
    EXPECT_FALSE(desk.WindowOf(*document)->close() == false);
    EXPECT_TRUE(document->Closed());
    EXPECT_EQ(Bytes(file), before);
    test::Settle();
    ASSERT_EQ(desk.Windows().size(), 1u);
    EXPECT_EQ(desk.Windows()[0]->Document(), nullptr);

    // Yes saves, then closes.
    document = desk.Open(file);
    document->Content().InsertAfter("保存する追記");
    messages_->QueueAnswer(ui::vbYes);
    EXPECT_TRUE(desk.Close(document));
    auto reopened = word::Document::Open(file);
    EXPECT_NE(reopened->Content().Text().find("保存する追記"), std::string::npos);

    // A saved document closes without a question.
    const auto shown = messages_->Shown().size();
    document = desk.Open(file);
    EXPECT_TRUE(desk.Close(document));
    EXPECT_EQ(messages_->Shown().size(), shown);
    EXPECT_EQ(messages_->PendingAnswers(), 0u);
}

TEST_F(DeskDocumentsTest, QuitStopsWhenTheUserCancelsAndClosesEverythingOtherwise) {
    const auto file = MakeDocument("quit", "終了");
    DeskApplication desk(folder_.Path());
    desk.Start();
    auto document = desk.Open(file);
    document->Content().InsertAfter("未保存");
    auto hidden = desk.Application().Documents().Add({}, false);

    messages_->QueueAnswer(ui::vbCancel);
    EXPECT_FALSE(desk.Quit());
    EXPECT_FALSE(document->Closed());
    EXPECT_TRUE(desk.Host().Running());

    messages_->QueueAnswer(ui::vbNo);
    EXPECT_TRUE(desk.Quit());
    EXPECT_TRUE(document->Closed());
    EXPECT_TRUE(hidden->Closed());
    EXPECT_FALSE(desk.Host().Running());
    EXPECT_TRUE(fs::exists(folder_.File("commandbars.xml")));
}

}  // namespace
}  // namespace paperloom::desk
