// Editing in the desktop host: an add-in command is one undo step, the document is edited in the
// office suite and read again when its file changes, and keys and input-method text typed into
// the view make the same document as the same edits through Range.

#include <gtest/gtest.h>

#include <QInputMethodEvent>
#include <QMenu>
#include <QTest>

#include <fstream>
#include <map>
#include <sstream>

#include "DeskTestSupport.h"
#include "edit/DocumentEditor.h"
#include "edit/OfficeEdit.h"
#include "edit/UndoStack.h"
#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "host/word/addins/CommandBars.h"
#include "view/DocumentView.h"

namespace paperloom::desk {
namespace {

namespace lb = word::loadbehavior;

using Parts = std::map<std::string, std::string>;

Parts PartsOf(const std::shared_ptr<word::Document>& doc) {
    Parts parts;
    for (const auto& name : doc->Package().PartNames()) parts[name] = doc->Package().PartBytes(name);
    return parts;
}

// The main text's part. (Showing a document reads its styles through the tree, which then
// writes them with its own spacing; the view's reading is not what this test compares.)
std::string Body(const std::shared_ptr<word::Document>& doc) { return doc->Package().PartBytes("word/document.xml"); }

class DeskEditTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::TestApplication(); }
    void SetUp() override {
        word::AddInRegistry registry(folder_.File("addins.xml"));
        test::RegisterDeskAddIn(registry, "Paperloom.DeskTestAddIn", lb::connected | lb::loadAtStartup);
    }

    std::filesystem::path MakeFile(const std::string& name, const std::string& text) {
        const auto file = folder_.File(name);
        auto document = word::Document::Blank(name);
        document->Content().InsertAfter(text);
        document->SaveAs(file);
        return file;
    }

    test::ScratchFolder folder_{"paperloom-desk-edit"};
    std::ostringstream log_;
    std::shared_ptr<ui::HeadlessMessageService> messages_ = std::make_shared<ui::HeadlessMessageService>(log_);
    ui::ScopedServices services_{{messages_, nullptr, nullptr, nullptr}};
};

TEST_F(DeskEditTest, AddInCommandIsOneUndoStep) {
    DeskApplication desk(folder_.Path());
    desk.Start();
    auto document = desk.Open(MakeFile("command.docx", "本文"));
    ASSERT_NE(document, nullptr);
    test::Settle();
    DocumentWindow* window = desk.WindowOf(*document);
    ASSERT_NE(window, nullptr);
    auto& editor = *window->Editor();

    auto control = desk.Host().CommandBars().FindControl("Paperloom.DeskTestAddIn.First");
    ASSERT_NE(control, nullptr);
    // A command that writes a setting, text and a table: as the designer's commands do.
    const auto subscription = control->OnClick([&](const auto&, bool&) {
        auto active = desk.Application().ActiveDocument();
        active->Variables().Add("PLDataSource", "1");
        active->Content().InsertAfter("請求書");
        auto end = active->Content();
        end.Collapse(word::wdCollapseEnd);
        active->Tables().Add(end, 2, 3);
        active->Range(0, 2).Font().SetBold(true);
    });
    const auto before = PartsOf(document);
    QAction* first = test::ActionNamed(*window, "Paperloom.DeskTestAddIn.First");
    ASSERT_NE(first, nullptr);
    first->trigger();
    test::Settle();
    const auto after = PartsOf(document);
    ASSERT_NE(after, before);
    EXPECT_EQ(editor.Undos().Steps(), 1u);
    editor.Undo();
    EXPECT_EQ(PartsOf(document), before);
    EXPECT_EQ(document->Variables().Count(), 0);
    editor.Redo();
    EXPECT_EQ(PartsOf(document), after);

    // A command that changes nothing leaves no step.
    QAction* second = test::ActionNamed(*window, "Paperloom.DeskTestAddIn.Second");
    ASSERT_NE(second, nullptr);
    second->trigger();
    test::Settle();
    EXPECT_EQ(editor.Undos().Steps(), 1u);
}

// The office suite stood in for by a hook that records the file it was started on.
struct SuiteStandIn {
    int asksSave = 0;
    int asksReload = 0;
    bool answerSave = true;
    bool answerReload = false;
    int reloads = 0;
    std::vector<std::filesystem::path> launched;
    std::vector<std::string> errors;

    edit::OfficeEdit::Hooks Hooks(DeskApplication& desk) {
        edit::OfficeEdit::Hooks hooks;
        hooks.launch = [this](const std::filesystem::path& file) {
            launched.push_back(file);
            return std::string();
        };
        hooks.askSaveFirst = [this](const word::Document&) {
            ++asksSave;
            return answerSave;
        };
        hooks.save = [&desk](const std::shared_ptr<word::Document>& doc) { return desk.Save(doc); };
        hooks.askReload = [this](const word::Document&) {
            ++asksReload;
            return answerReload;
        };
        hooks.showError = [this](const std::string& text) { errors.push_back(text); };
        hooks.reloaded = [this] { ++reloads; };
        return hooks;
    }
};

// What the suite does: the file is written anew by another program.
void ChangeOnDisk(const std::filesystem::path& file, const std::string& text) {
    auto other = word::Document::Blank("other");
    other->Content().InsertAfter(text);
    other->SaveAs(file);
}

TEST_F(DeskEditTest, OfficeSuiteEditReloadsChangedFileAndAsksAboutUnsavedChanges) {
    using Outcome = edit::OfficeEdit::Outcome;
    DeskApplication desk(folder_.Path());
    const auto file = MakeFile("layout.docx", "元の文");
    auto document = desk.Open(file);
    ASSERT_NE(document, nullptr);
    document->Content().InsertAfter("未保存");  // changes the file does not hold yet

    SuiteStandIn suite;
    suite.answerSave = false;
    edit::OfficeEdit office(document, suite.Hooks(desk));
    EXPECT_FALSE(office.Start());  // "no" to saving first: nothing started
    EXPECT_TRUE(suite.launched.empty());
    suite.answerSave = true;
    ASSERT_TRUE(office.Start());
    EXPECT_EQ(suite.asksSave, 2);
    ASSERT_EQ(suite.launched, std::vector<std::filesystem::path>{file});
    EXPECT_TRUE(document->Saved());

    // The window's own save changes the file too: nothing to read.
    document->Content().InsertAfter("+");
    ASSERT_TRUE(desk.Save(document));
    EXPECT_EQ(office.FileChanged(), Outcome::Unchanged);

    // Saved in the suite while the window has no changes: read again without asking, into
    // the same document object.
    ChangeOnDisk(file, "レイアウト済み");
    EXPECT_EQ(office.FileChanged(), Outcome::Reloaded);
    EXPECT_EQ(document->Content().Text(), "レイアウト済み\r");
    EXPECT_TRUE(document->Saved());
    EXPECT_EQ(suite.asksReload, 0);
    EXPECT_EQ(suite.reloads, 1);

    // Unsaved changes in the window: asked; "no" keeps the window's document, and the same
    // file is not asked about again.
    document->Content().InsertAfter("窓での変更");
    const auto windowParts = PartsOf(document);
    ChangeOnDisk(file, "二度目");
    EXPECT_EQ(office.FileChanged(), Outcome::Kept);
    EXPECT_EQ(office.FileChanged(), Outcome::Kept);
    EXPECT_EQ(suite.asksReload, 1);
    EXPECT_EQ(PartsOf(document), windowParts);

    // A file half written cannot be read yet: the document stays.
    { std::ofstream(file, std::ios::binary | std::ios::trunc) << "PK\x03\x04 half"; }
    EXPECT_EQ(office.FileChanged(), Outcome::Unreadable);
    EXPECT_EQ(PartsOf(document), windowParts);

    // Saved again in the suite, and "yes" this time, noticed by the watcher itself.
    suite.answerReload = true;
    office.SetSettleTime(20);
    ChangeOnDisk(file, "三度目");
    EXPECT_TRUE(QTest::qWaitFor([&] { return suite.reloads == 2; }, 5000));
    EXPECT_EQ(suite.asksReload, 2);
    EXPECT_EQ(document->Content().Text(), "三度目\r");
    EXPECT_TRUE(suite.errors.empty());

    // The model goes on working on what was read.
    document->Content().InsertAfter("続き");
    EXPECT_EQ(document->Content().Text(), "三度目続き\r");
}

TEST_F(DeskEditTest, KeysAndInputMethodInTheViewEditLikeRange) {
    const auto file = MakeFile("keys.docx", "");
    DeskApplication desk(folder_.Path());
    auto document = desk.Open(file);
    ASSERT_NE(document, nullptr);
    test::Settle();
    DocumentWindow* window = desk.WindowOf(*document);
    ASSERT_NE(window, nullptr);
    auto& view = window->View();
    view.setFocus();
    auto reference = word::Document::Open(file);
    long caret = 0;
    const auto type = [&](const std::string& text) {
        auto at = reference->Range(caret, caret);
        at.SetText(text);
        caret = at.End();
    };

    QTest::keyClicks(&view, "Ab");
    type("A");
    type("b");
    QInputMethodEvent preedit("にほんご", {});
    QApplication::sendEvent(&view, &preedit);  // composing: nothing in the document yet
    EXPECT_EQ(Body(document), Body(reference));
    QInputMethodEvent commit;
    commit.setCommitString("日本語");
    QApplication::sendEvent(&view, &commit);
    type("日本語");
    QTest::keyClick(&view, Qt::Key_Return);
    type("\r");
    QTest::keyClick(&view, Qt::Key_Tab);
    type("\t");
    QTest::keyClicks(&view, "xy");
    type("x");
    type("y");
    const auto beforeBackspace = Body(document);
    QTest::keyClick(&view, Qt::Key_Backspace);
    reference->Range(caret - 1, caret).Delete();
    --caret;
    EXPECT_EQ(Body(document), Body(reference));
    EXPECT_EQ(document->Content().Text(), "Ab日本語\r\tx\r");

    // Select "Ab" with the keyboard and make it bold.
    QTest::keyClick(&view, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(&view, Qt::Key_B, Qt::ControlModifier);
    reference->Range(0, 2).Font().SetBold(true);
    EXPECT_EQ(Body(document), Body(reference));

    // Undo from the keyboard: back to before the bold, then before the backspace.
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&view, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(Body(document), beforeBackspace);
    EXPECT_TRUE(view.ShownText().contains("xy"));
}

TEST_F(DeskEditTest, UndoAndRedoAreOfferedOnlyWhenThereIsAStep) {
    DeskApplication desk(folder_.Path());
    auto document = desk.Open(MakeFile("undo.docx", ""));
    ASSERT_NE(document, nullptr);
    test::Settle();
    DocumentWindow* window = desk.WindowOf(*document);
    ASSERT_NE(window, nullptr);
    auto* menu = window->findChild<QMenu*>("&Edit");
    ASSERT_NE(menu, nullptr);
    const auto entry = [menu](const char* caption) {
        for (QAction* action : menu->actions())
            if (action->text() == QString::fromUtf8(caption)) return action;
        return static_cast<QAction*>(nullptr);
    };
    QAction* undo = entry("元に戻す(&U)");
    QAction* redo = entry("やり直し(&R)");
    ASSERT_NE(undo, nullptr);
    ASSERT_NE(redo, nullptr);
    const auto open = [menu] { emit menu->aboutToShow(); };

    open();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    window->View().setFocus();
    QTest::keyClicks(&window->View(), "a");
    open();
    EXPECT_TRUE(undo->isEnabled());
    EXPECT_FALSE(redo->isEnabled());
    undo->trigger();
    open();
    EXPECT_FALSE(undo->isEnabled());
    EXPECT_TRUE(redo->isEnabled());
}

}  // namespace
}  // namespace paperloom::desk
