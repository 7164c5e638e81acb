// The desktop host with add-ins: their command bars shown live, clicks, demand loading, the
// COM add-ins dialog, the run-time add-in's menu and toolbar, and screen updating.

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QImage>
#include <QListWidget>
#include <QTest>

#include <sstream>

#include "ComAddInsDialog.h"
#include "ComAddInsModel.h"
#include "DeskTestSupport.h"
#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "host/word/addins/COMAddIns.h"
#include "host/word/addins/CommandBars.h"
#include "view/DocumentView.h"

namespace paperloom::desk {
namespace {

namespace lb = word::loadbehavior;
constexpr const char* kTest = "Paperloom.DeskTestAddIn";
constexpr const char* kDemand = "Paperloom.DeskDemandAddIn";

class DeskAddInsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::TestApplication(); }
    void SetUp() override {
        word::AddInRegistry registry(folder_.File("addins.xml"));
        test::RegisterDeskAddIn(registry, kTest, lb::connected | lb::loadAtStartup);
    }

    long Clicks(DeskApplication& desk, const std::string& progId, const std::string& tag) {
        word::DispArgs args{word::DispValue(tag)};
        return desk.Host().COMAddIns().Item(progId).Object()->Invoke("Clicks", args).AsLong();
    }

    test::ScratchFolder folder_{"paperloom-desk"};
    std::ostringstream log_;
    std::shared_ptr<ui::HeadlessMessageService> messages_ = std::make_shared<ui::HeadlessMessageService>(log_);
    ui::ScopedServices services_{{messages_, nullptr, nullptr, nullptr}};
};

TEST_F(DeskAddInsTest, BarsShowWithCaptionsSeparatorsFacesAndPositions) {
    DeskApplication desk(folder_.Path());
    desk.Start();
    test::Settle();
    ASSERT_EQ(desk.Windows().size(), 1u);  // the frame shown while nothing is open
    auto& window = *desk.Windows().front();

    QStringList menus;
    for (QAction* action : window.menuBar()->actions()) menus << action->text();
    EXPECT_EQ(menus, QStringList({"ファイル(&F)", "編集(&E)", "表示(&V)", "挿入(&I)", "書式(&O)", "ツール(&T)",
                                  "罫線(&A)", "ウィンドウ(&W)", "ヘルプ(&H)"}));

    // The add-in's popup follows the host's own item in ツール, as a group of its own.
    QMenu* tools = test::MenuNamed(window, "&Tools");
    ASSERT_NE(tools, nullptr);
    const auto items = tools->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), "COM アドイン(&C)...");
    EXPECT_TRUE(items[1]->isSeparator());
    ASSERT_NE(items[2]->menu(), nullptr);
    EXPECT_EQ(items[2]->text(), "テスト(&T)");
    const auto inner = items[2]->menu()->actions();
    ASSERT_EQ(inner.size(), 3);
    EXPECT_EQ(inner[0]->text(), "最初(&F)");
    EXPECT_TRUE(inner[1]->isSeparator());  // BeginGroup
    EXPECT_EQ(inner[2]->text(), "二番目(&S)");

    auto* toolbar = window.findChild<QToolBar*>("DeskTest");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(window.toolBarArea(toolbar), Qt::LeftToolBarArea);
    const auto buttons = toolbar->actions();
    ASSERT_EQ(buttons.size(), 3);
    EXPECT_EQ(buttons[0]->objectName(), "Paperloom.DeskTestAddIn.Face");
    EXPECT_TRUE(buttons[1]->isSeparator());
    EXPECT_EQ(buttons[2]->objectName(), "Paperloom.DeskTestAddIn.Help");
    // The pasted face is the add-in's red picture; the built-in face 49 is drawn from the theme.
    const QImage face = buttons[0]->icon().pixmap(16, 16).toImage();
    ASSERT_FALSE(face.isNull());
    EXPECT_EQ(QColor(face.pixel(8, 8)), QColor(255, 0, 0));
    EXPECT_FALSE(buttons[2]->icon().isNull());
    EXPECT_EQ(buttons[2]->toolTip(), "ヘルプ");
    // The host's standard bar carries its own buttons.
    EXPECT_NE(window.findChild<QToolBar*>("Standard"), nullptr);
}

TEST_F(DeskAddInsTest, ClickRaisesTheAddInsClickAndEnabledVisibleShowAtOnce) {
    DeskApplication desk(folder_.Path());
    desk.Start();
    test::Settle();
    auto& window = *desk.Windows().front();
    QAction* second = test::ActionNamed(window, "Paperloom.DeskTestAddIn.Second");
    ASSERT_NE(second, nullptr);
    second->trigger();
    test::Settle();
    EXPECT_EQ(Clicks(desk, kTest, "Second"), 1);
    EXPECT_EQ(Clicks(desk, kTest, "First"), 0);

    auto control = desk.Host().CommandBars().FindControl("Paperloom.DeskTestAddIn.Second");
    control->SetEnabled(false);
    test::Settle();
    second = test::ActionNamed(window, "Paperloom.DeskTestAddIn.Second");
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(second->isEnabled());
    second->trigger();  // a disabled control is not run
    EXPECT_EQ(Clicks(desk, kTest, "Second"), 1);

    control->SetVisible(false);
    desk.Host().CommandBars().FindControl("Paperloom.DeskTestAddIn.Help")->SetCaption("手引き(&G)");
    test::Settle();
    EXPECT_EQ(test::ActionNamed(window, "Paperloom.DeskTestAddIn.Second"), nullptr);
    QAction* help = test::ActionNamed(window, "Paperloom.DeskTestAddIn.Help");
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(help->text(), "手引き(&G)");
    EXPECT_EQ(help->toolTip(), "手引き(G)");

    desk.Host().CommandBars().Item("DeskTest")->SetPosition(word::cbr::barRight);
    test::Settle();
    auto* toolbar = window.findChild<QToolBar*>("DeskTest");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(window.toolBarArea(toolbar), Qt::RightToolBarArea);
    EXPECT_FALSE(toolbar->isFloating());

    // Floating: a window of its own over the main window, staying where it is moved when the
    // bars are rebuilt, docked again when the position says so.
    desk.Host().CommandBars().Item("DeskTest")->SetPosition(word::cbr::barFloating);
    test::Settle();
    toolbar = window.findChild<QToolBar*>("DeskTest");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_TRUE(toolbar->isFloating());
    EXPECT_TRUE(toolbar->isWindow());
    EXPECT_TRUE(toolbar->isVisible());
    EXPECT_NE(test::ActionNamed(window, "Paperloom.DeskTestAddIn.Help"), nullptr);
    const QPoint corner = window.mapToGlobal(QPoint(0, 0));
    EXPECT_GE(toolbar->pos().x(), corner.x());
    EXPECT_GE(toolbar->pos().y(), corner.y());
    toolbar->move(toolbar->pos() + QPoint(50, 30));
    const QPoint moved = toolbar->pos();
    desk.Host().CommandBars().FindControl("Paperloom.DeskTestAddIn.Help")->SetCaption("ヘルプ(&H)");
    test::Settle();
    toolbar = window.findChild<QToolBar*>("DeskTest");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_TRUE(toolbar->isFloating());
    EXPECT_EQ(toolbar->pos(), moved);
    window.hide();
    EXPECT_FALSE(toolbar->isVisible());
    window.show();
    EXPECT_TRUE(toolbar->isVisible());
    desk.Host().CommandBars().Item("DeskTest")->SetPosition(word::cbr::barTop);
    test::Settle();
    toolbar = window.findChild<QToolBar*>("DeskTest");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_FALSE(toolbar->isFloating());
    EXPECT_EQ(window.toolBarArea(toolbar), Qt::TopToolBarArea);
    desk.Host().CommandBars().Item("DeskTest")->SetVisible(false);
    test::Settle();
    EXPECT_EQ(window.findChild<QToolBar*>("DeskTest"), nullptr);
}

TEST_F(DeskAddInsTest, FacesGoThroughTheDesktopsClipboard) {
    QGuiApplication::clipboard()->clear();
    DeskApplication desk(folder_.Path());
    desk.Start();
    test::Settle();
    auto& window = *desk.Windows().front();
    // The face the add-in pasted at connection is the desktop's image now.
    const QImage put = QGuiApplication::clipboard()->image();
    ASSERT_FALSE(put.isNull());
    EXPECT_EQ(put.size(), QSize(16, 16));
    EXPECT_EQ(QColor(put.pixel(3, 12)), QColor(255, 0, 0));

    // A picture copied in another program pastes onto a button; its transparent parts as white.
    QImage green(16, 16, QImage::Format_ARGB32);
    green.fill(QColor(0, 160, 0));
    green.setPixel(0, 0, qRgba(0, 0, 0, 0));
    QGuiApplication::clipboard()->setImage(green);
    auto help = desk.Host().CommandBars().FindControl("Paperloom.DeskTestAddIn.Help");
    help->PasteFace();
    test::Settle();
    QAction* action = test::ActionNamed(window, "Paperloom.DeskTestAddIn.Help");
    ASSERT_NE(action, nullptr);
    const QImage face = action->icon().pixmap(16, 16).toImage();
    ASSERT_FALSE(face.isNull());
    EXPECT_EQ(QColor(face.pixel(8, 8)), QColor(0, 160, 0));
    EXPECT_EQ(QColor(face.pixel(0, 0)), QColor(Qt::white));

    // Text both ways; an empty desktop clipboard has nothing to paste.
    QGuiApplication::clipboard()->setText("外から");
    EXPECT_EQ(desk.Host().Clipboard().Text(), "外から");
    EXPECT_FALSE(desk.Host().Clipboard().Bitmap());
    desk.Host().Clipboard().SetText("中から");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "中から");
    desk.Host().Clipboard().Clear();
    EXPECT_FALSE(desk.Host().Clipboard().Text());
    EXPECT_THROW(help->PasteFace(), std::exception);
}

TEST_F(DeskAddInsTest, ClickOnADemandLoadedAddInsButtonConnectsItFirst) {
    {
        word::AddInRegistry registry(folder_.File("addins.xml"));
        test::RegisterDeskAddIn(registry, kDemand, lb::connected | lb::loadAtStartup);
        DeskApplication desk(folder_.Path());
        desk.Start();  // makes its permanent controls, kept when the host closes
        EXPECT_TRUE(desk.Host().COMAddIns().Item(kDemand).Connect());
        ASSERT_TRUE(desk.Quit());
    }
    word::AddInRegistry registry(folder_.File("addins.xml"));
    test::RegisterDeskAddIn(registry, kDemand, lb::connected | lb::loadOnDemand);
    DeskApplication desk(folder_.Path());
    desk.Start();
    test::Settle();
    EXPECT_FALSE(desk.Host().COMAddIns().Item(kDemand).Connect());
    auto& window = *desk.Windows().front();
    auto* toolbar = window.findChild<QToolBar*>("DeskDemand");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(window.toolBarArea(toolbar), Qt::BottomToolBarArea);
    QAction* face = test::ActionNamed(window, "Paperloom.DeskDemandAddIn.Face");
    ASSERT_NE(face, nullptr);
    face->trigger();
    test::Settle();
    ASSERT_TRUE(desk.Host().COMAddIns().Item(kDemand).Connect());
    EXPECT_EQ(Clicks(desk, kDemand, "Face"), 1);
    // Connecting found its controls by tag instead of adding them again.
    EXPECT_EQ(desk.Host().CommandBars().Item("DeskDemand")->Controls().Count(), 2);
}

TEST_F(DeskAddInsTest, UncheckingInTheComAddInsDialogDisconnectsAndRemovesOnlyItsControls) {
    word::AddInRegistry registry(folder_.File("addins.xml"));
    test::RegisterDeskAddIn(registry, kDemand, lb::connected | lb::loadAtStartup);
    DeskApplication desk(folder_.Path());
    desk.Start();
    test::Settle();

    ComAddInsModel model(desk.Host());
    ASSERT_EQ(model.Rows().size(), 2u);
    std::size_t testRow = model.Rows()[0].progId == kTest ? 0 : 1;
    EXPECT_TRUE(model.Rows()[testRow].checked);
    EXPECT_FALSE(model.Dirty());
    EXPECT_NE(model.DetailsText(testRow).find("スタートアップ時に読み込む"), std::string::npos);
    {
        // The dialog binds its check boxes to the model.
        ComAddInsDialog dialog(model, nullptr);
        ASSERT_EQ(dialog.List().count(), 2);
        dialog.List().item(static_cast<int>(testRow))->setCheckState(Qt::Unchecked);
        EXPECT_FALSE(model.Rows()[testRow].checked);
        EXPECT_TRUE(model.Dirty());
    }
    EXPECT_TRUE(model.Apply().empty());
    test::Settle();

    EXPECT_FALSE(desk.Host().COMAddIns().Item(kTest).Connect());
    EXPECT_TRUE(desk.Host().COMAddIns().Item(kDemand).Connect());
    auto& window = *desk.Windows().front();
    EXPECT_EQ(window.findChild<QToolBar*>("DeskTest"), nullptr);
    EXPECT_EQ(test::ActionNamed(window, "Paperloom.DeskTestAddIn.First"), nullptr);
    EXPECT_NE(window.findChild<QToolBar*>("DeskDemand"), nullptr);
    EXPECT_NE(test::ActionNamed(window, "Paperloom.DeskDemandAddIn.First"), nullptr);
    // Not loaded at the next start-up either.
    EXPECT_EQ(registry.Find(kTest)->loadBehavior, lb::loadAtStartup);
    EXPECT_FALSE(model.Dirty());

    // Checked again: connected after start-up, its controls back.
    testRow = model.Rows()[0].progId == kTest ? 0 : 1;
    model.SetChecked(testRow, true);
    EXPECT_TRUE(model.Apply().empty());
    test::Settle();
    EXPECT_TRUE(desk.Host().COMAddIns().Item(kTest).Connect());
    EXPECT_NE(window.findChild<QToolBar*>("DeskTest"), nullptr);
    EXPECT_EQ(registry.Find(kTest)->loadBehavior, lb::connected | lb::loadAtStartup);
}

TEST_F(DeskAddInsTest, TheRunTimeAddInsPaperloomMenuAndToolbarAppear) {
#ifndef PAPERLOOM_RUN_LIBRARY
    GTEST_SKIP() << "the run-time add-in is not built";
#else
    word::AddInRegistry registry(folder_.File("addins.xml"));
    registry.Unregister(kTest);
    word::AddInRegistration run;
    run.progId = "OsPLRun.conPLRun";
    run.libraryPath = PAPERLOOM_RUN_LIBRARY;
    run.loadBehavior = lb::connected | lb::loadAtStartup;
    registry.Register(run);
    DeskApplication desk(folder_.Path());
    desk.Start();
    test::Settle();
    ASSERT_TRUE(desk.Host().StartupErrors().empty());
    auto& window = *desk.Windows().front();

    QMenu* tools = test::MenuNamed(window, "&Tools");
    ASSERT_NE(tools, nullptr);
    QAction* paperloom = tools->actions().last();
    ASSERT_NE(paperloom->menu(), nullptr);
    EXPECT_EQ(paperloom->text(), "&Paperloom");
    const auto run_ = paperloom->menu()->actions();
    ASSERT_EQ(run_.size(), 1);
    EXPECT_EQ(run_[0]->text(), "実行(&R)");
    QStringList captions;
    int separators = 0;
    for (QAction* item : run_[0]->menu()->actions()) {
        if (item->isSeparator())
            ++separators;
        else
            captions << item->text();
    }
    ASSERT_EQ(captions.size(), 17);
    EXPECT_EQ(captions.front(), "基本データ部を先頭のレコードへ移動(&F)");
    EXPECT_EQ(captions[2], "基本データ部を任意のレコードへ移動(&M)...");
    EXPECT_EQ(captions.back(), "バージョン情報(&A)...");
    EXPECT_EQ(separators, 6);

    auto* toolbar = window.findChild<QToolBar*>("Paperloom(実行)");
    ASSERT_NE(toolbar, nullptr);
    EXPECT_EQ(window.toolBarArea(toolbar), Qt::TopToolBarArea);
    int buttons = 0;
    for (QAction* item : toolbar->actions()) {
        if (item->isSeparator()) continue;
        ++buttons;
        EXPECT_FALSE(item->icon().isNull()) << item->objectName().toStdString();
    }
    EXPECT_EQ(buttons, 16);
    QAction* move = test::ActionNamed(window, "ToolHeadMove");
    ASSERT_NE(move, nullptr);
    EXPECT_EQ(move->toolTip(), "基本データ部を任意のレコードへ移動");
#endif
}

TEST_F(DeskAddInsTest, ScreenUpdatingOffDefersRepaintingUntilOn) {
    const auto file = folder_.File("text.docx");
    {
        auto document = word::Document::Blank("text");
        document->Content().InsertAfter("最初の行");
        document->SaveAs(file);
    }
    DeskApplication desk(folder_.Path());
    desk.Start();
    auto document = desk.Open(file);
    ASSERT_NE(document, nullptr);
    test::Settle();
    DocumentWindow* window = desk.WindowOf(*document);
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->View().ShownText().contains("最初の行"));

    desk.Application().SetScreenUpdating(false);
    document->Content().InsertAfter("追加の行");
    desk.RequestRefresh();
    QTest::qWait(250);
    EXPECT_FALSE(window->View().ShownText().contains("追加の行"));
    EXPECT_FALSE(window->updatesEnabled());

    desk.Application().SetScreenUpdating(true);
    QTest::qWait(350);
    EXPECT_TRUE(window->View().ShownText().contains("追加の行"));
    EXPECT_TRUE(window->updatesEnabled());
}

}  // namespace
}  // namespace paperloom::desk
