// The bookmark manager, help and about as a user reaches them in the desktop host: the
// designer's bookmark button on the sample invoice template (add over the selection, rename by
// editing the entry's label, jump, delete, a bad name refused, close), both add-ins' help
// opening the manual beside the built libraries through the desktop's handler, and both about
// boxes with the build's version.

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QUrl>

#include <filesystem>

#include "DeskEditDialogsTestSupport.h"
#include "host/ui/qt/QtServices.h"
#include "host/word/Bookmarks.h"

namespace paperloom::desk {
namespace {

QStringList Entries(QListWidget& list) {
    QStringList names;
    for (int i = 0; i < list.count(); ++i) names << list.item(i)->text();
    return names;
}

void SelectEntry(QListWidget& list, const char* name) {
    const auto found = list.findItems(U(name), Qt::MatchExactly);
    ASSERT_EQ(found.size(), 1) << name;
    list.setCurrentItem(found.front());
}

TEST_F(DeskEditDialogsTest, BookmarkManagerAddsRenamesJumpsAndDeletes) {
    // The title's first two characters get the new bookmark.
    auto range = document_->Content();
    auto find = range.Find();
    find.SetText("請求");
    ASSERT_TRUE(find.Execute());
    document_->Selection().Select(range);

    bool answered = false;
    WhenDialogShows("frmPLEBookmark", [&](QWidget& dialog) {
        answered = true;
        EXPECT_EQ(dialog.windowTitle(), U("ブックマーク"));
        EXPECT_EQ(Child<QGroupBox>(dialog, "Frame2").title(), U("編集"));
        EXPECT_EQ(Child<QGroupBox>(dialog, "Frame1").title(), U("追加"));
        auto& list = Child<QListWidget>(dialog, "lstBookmark");
        auto& name = Child<QLineEdit>(dialog, "txtBookmarkName");
        EXPECT_EQ(Entries(list), QStringList{U("明細")});
        EXPECT_TRUE(Child<QPushButton>(dialog, "cmdAdd").isDefault());

        QTest::keyClicks(&name, "Title");
        Press(dialog, "cmdAdd");
        EXPECT_EQ(Entries(list), (QStringList{U("明細"), "Title"}));
        EXPECT_EQ(document_->Bookmarks().Item("Title").Range().Text(), "請求");

        // A bad name: the document's description, and the dialog stays.
        name.clear();
        QTest::keyClicks(&name, "1st");
        Press(dialog, "cmdAdd");
        EXPECT_TRUE(dialog.isVisible());
        EXPECT_TRUE(Shown("[error]")) << log_.str();

        // Rename by editing the entry's label.
        SelectEntry(list, "Title");
        Press(dialog, "cmdRename");
        auto* editor = list.viewport()->findChild<QLineEdit*>();
        ASSERT_NE(editor, nullptr) << "no label editor open";
        editor->selectAll();
        QTest::keyClicks(editor, "Heading");
        QTest::keyClick(editor, Qt::Key_Return);
        QApplication::processEvents();
        EXPECT_EQ(Entries(list), (QStringList{U("明細"), "Heading"}));
        EXPECT_FALSE(document_->Bookmarks().Exists("Title"));
        EXPECT_EQ(document_->Bookmarks().Item("Heading").Range().Text(), "請求");

        // Jump to the detail table's bookmark; its list has the focus, so jump is the default.
        SelectEntry(list, "明細");
        list.setFocus();
        QApplication::processEvents();
        Press(dialog, "cmdJump");
        EXPECT_EQ(document_->Selection().Start(), document_->Bookmarks().Item("明細").Start());
        EXPECT_EQ(document_->Selection().End(), document_->Bookmarks().Item("明細").End());

        SelectEntry(list, "Heading");
        Press(dialog, "cmdRemove");
        EXPECT_EQ(Entries(list), QStringList{U("明細")});
        EXPECT_FALSE(document_->Bookmarks().Exists("Heading"));
        Press(dialog, "cmdClose");
        EXPECT_FALSE(dialog.isVisible());
    });
    const std::string before = Text();
    ClickEdit("ToolBookmark", answered);
    EXPECT_EQ(Text(), before) << "bookmarks leave the text as it was";
}

TEST_F(DeskEditDialogsTest, BothHelpButtonsOpenTheManualBesideTheAddIns) {
    std::vector<QUrl> opened;
    const ui::ScopedServices help{{nullptr,
                                   std::make_shared<ui::qt::QtHelpService>([&](const QUrl& url) {
                                       opened.push_back(url);
                                       return true;
                                   }),
                                   nullptr, nullptr}};
    Click("ToolEditHelp");
    Click("MenuEditHelp");
    Click("ToolRunHelp");
    Click("MenuRunHelp");
    namespace fs = std::filesystem;
    const auto manual = [](const char* library) {
        return QUrl::fromLocalFile(QString::fromStdString(
            fs::weakly_canonical(fs::path(library).parent_path() / "help" / "index.html").string()));
    };
    ASSERT_EQ(opened.size(), 4U) << log_.str();
    EXPECT_EQ(opened[0], manual(PAPERLOOM_EDIT_LIBRARY));
    EXPECT_EQ(opened[1], manual(PAPERLOOM_EDIT_LIBRARY));
    EXPECT_EQ(opened[2], manual(PAPERLOOM_RUN_LIBRARY));
    EXPECT_EQ(opened[3], manual(PAPERLOOM_RUN_LIBRARY));
    EXPECT_TRUE(fs::is_regular_file(opened[0].toLocalFile().toStdString()));
}

TEST_F(DeskEditDialogsTest, BothAboutBoxesShowTheBuildsVersion) {
    const QString version = QStringLiteral("Version " PAPERLOOM_PROJECT_VERSION);
    bool answered = false;
    WhenDialogShows("frmPLAboutBox", [&](QWidget& dialog) {
        answered = true;
        EXPECT_EQ(dialog.windowTitle(), "About Ostrander/COM Paperloom 2000");
        EXPECT_EQ(Child<QLabel>(dialog, "lblProductName").text(), "Paperloom");
        EXPECT_EQ(Child<QLabel>(dialog, "lblVersion").text(), version);
        Press(dialog, "cmdOK");
    });
    ClickEdit("MenuEditAbout", answered);

    answered = false;
    WhenDialogShows("frmPLAboutBox", [&](QWidget& dialog) {
        answered = true;
        EXPECT_EQ(Child<QLabel>(dialog, "lblSubTitle").text(), "Run time Add-in");
        EXPECT_EQ(Child<QLabel>(dialog, "lblVersion").text(), version);
        Press(dialog, "cmdOK");
    });
    ClickEdit("MenuAbout", answered);
}

}  // namespace
}  // namespace paperloom::desk
