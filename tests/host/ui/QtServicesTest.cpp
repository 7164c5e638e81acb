// The services as windows: message boxes, dialog placement, progress and help.

#include <gtest/gtest.h>

#include <QMainWindow>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QUrl>

#include <sstream>

#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"
#include "host/ui/qt/DialogPlacement.h"
#include "host/ui/qt/QtServices.h"
#include "host/ui/QtTestSupport.h"
#include "support/TestFiles.h"

namespace paperloom::ui {
namespace {

class QtServicesTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::TestApplication(); }
};

struct BoxCase {
    MessageIcon icon;
    MessageButtons buttons;
    long defaultButton;
    QMessageBox::Icon expectedIcon;
    QMessageBox::StandardButtons expectedButtons;
    QMessageBox::StandardButton expectedDefault;
    QMessageBox::StandardButton expectedEscape;
};

TEST_F(QtServicesTest, MessageBoxStylesGiveIconsButtonsDefaultAndEscape) {
    const BoxCase cases[] = {
        {MessageIcon::Critical, MessageButtons::OK, 1, QMessageBox::Critical, QMessageBox::Ok, QMessageBox::Ok,
         QMessageBox::Ok},
        {MessageIcon::Question, MessageButtons::YesNo, 2, QMessageBox::Question, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::No, QMessageBox::No},
        {MessageIcon::Exclamation, MessageButtons::YesNoCancel, 1, QMessageBox::Warning,
         QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::Yes, QMessageBox::Cancel},
        {MessageIcon::Information, MessageButtons::OKCancel, 2, QMessageBox::Information,
         QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel, QMessageBox::Cancel},
        // A default past the last button falls back to the first.
        {MessageIcon::None, MessageButtons::YesNo, 5, QMessageBox::NoIcon, QMessageBox::Yes | QMessageBox::No,
         QMessageBox::Yes, QMessageBox::No},
    };
    for (const auto& c : cases) {
        MessageRequest request;
        request.strText = "本文";
        request.strTitle = "Paperloom 実行";
        request.icon = c.icon;
        request.buttons = c.buttons;
        request.lngDefaultButton = c.defaultButton;
        const auto box = qt::MakeMessageBox(request, nullptr);
        EXPECT_EQ(box->icon(), c.expectedIcon);
        EXPECT_EQ(box->standardButtons(), c.expectedButtons);
        EXPECT_EQ(box->standardButton(box->defaultButton()), c.expectedDefault);
        EXPECT_EQ(box->standardButton(box->escapeButton()), c.expectedEscape);
        EXPECT_EQ(box->windowTitle(), "Paperloom 実行");
    }
    MessageRequest untitled;
    untitled.buttons = MessageButtons::OK;
    EXPECT_EQ(qt::MakeMessageBox(untitled, nullptr)->windowTitle(), "Paperloom");
}

TEST_F(QtServicesTest, ShownBoxReturnsTheButtonPressed) {
    qt::QtMessageService service;
    const std::pair<QMessageBox::StandardButton, long> answers[] = {
        {QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
    for (const auto& [press, expected] : answers) {
        test::WhenModalShows([press = press](QWidget& modal) {
            auto* box = qobject_cast<QMessageBox*>(&modal);
            ASSERT_NE(box, nullptr);
            box->button(press)->click();
        });
        MessageRequest request;
        request.strText = "保存しますか?";
        request.icon = MessageIcon::Question;
        request.buttons = MessageButtons::YesNoCancel;
        EXPECT_EQ(service.Show(request), expected);
    }
    // Closed without a button (Escape, the window's close box): the escape button's answer.
    test::WhenModalShows([](QWidget& modal) { modal.close(); });
    MessageRequest request;
    request.buttons = MessageButtons::YesNo;
    EXPECT_EQ(service.Show(request), vbNo);
}

TEST_F(QtServicesTest, DialogsAreCentredOverTheirOwnerAndKeptOnScreen) {
    EXPECT_EQ(qt::CentredPosition({200, 100}, {100, 100, 800, 600}, {0, 0, 1280, 900}), QPoint(400, 350));
    // Larger than the screen: its top-left corner stays visible.
    EXPECT_EQ(qt::CentredPosition({2000, 1000}, {0, 0, 1280, 900}, {0, 0, 1280, 900}), QPoint(0, 0));
    // An owner at the right edge: the dialog is pulled back onto the screen.
    EXPECT_EQ(qt::CentredPosition({400, 200}, {1100, 100, 300, 300}, {0, 0, 1280, 900}), QPoint(880, 150));

    QMainWindow owner;
    owner.setGeometry(120, 80, 900, 640);
    owner.show();
    QDialog dialog(&owner);
    dialog.resize(300, 200);
    test::WhenModalShows([&](QWidget& modal) {
        const QPoint centre = modal.frameGeometry().center();
        const QPoint ownerCentre = owner.frameGeometry().center();
        EXPECT_LE(std::abs(centre.x() - ownerCentre.x()), 1);
        EXPECT_LE(std::abs(centre.y() - ownerCentre.y()), 1);
        modal.close();
    });
    // Shown modally as the add-ins' dialogs are, centred when shown.
    QTimer::singleShot(0, &dialog, [&] { qt::CentreDialog(dialog); });
    dialog.exec();
}

TEST_F(QtServicesTest, ProgressWindowShowsTextAndBarWhileShown) {
    qt::QtProgressService service;
    auto window = service.CreateProgressWindow();
    EXPECT_FALSE(window->Visible());
    window->SetCaption("印刷");
    window->SetText("3 / 25 件目");
    window->SetValue(3, 25);
    window->Show();
    EXPECT_TRUE(window->Visible());
    QProgressBar* bar = nullptr;
    for (QWidget* top : QApplication::topLevelWidgets())
        if (top->isVisible() && top->windowTitle() == "印刷") bar = top->findChild<QProgressBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->maximum(), 25);
    EXPECT_EQ(bar->value(), 3);
    window->SetValue(30, 25);  // never past the end
    EXPECT_EQ(bar->value(), 25);
    window->SetValue(0, 0);
    EXPECT_FALSE(bar->isVisible());
    window->Hide();
    EXPECT_FALSE(window->Visible());
}

TEST_F(QtServicesTest, HelpOpensTheFileWithTheDesktopHandlerOrSaysWhy) {
    test::ScratchFolder folder("paperloom-qt-help");
    folder.Write("manual.html", "<html></html>");
    std::vector<QUrl> opened;
    bool handlerAnswers = true;
    qt::QtHelpService help([&](const QUrl& url) {
        opened.push_back(url);
        return handlerAnswers;
    });
    std::ostringstream log;
    auto messages = std::make_shared<HeadlessMessageService>(log);
    const ScopedServices scoped({messages, nullptr, nullptr, nullptr});

    help.ShowContents(folder.File("manual.html"));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl::fromLocalFile(QString::fromStdString(folder.File("manual.html").string())));
    EXPECT_TRUE(messages->Shown().empty());

    help.ShowContents(folder.File("missing.html"));
    EXPECT_EQ(opened.size(), 1u);  // nothing to open
    handlerAnswers = false;
    help.ShowContents(folder.File("manual.html"));
    ASSERT_EQ(messages->Shown().size(), 2u);
    EXPECT_NE(messages->Shown()[0].request.strText.find("見つかりません"), std::string::npos);
    EXPECT_NE(messages->Shown()[1].request.strText.find("開くプログラムがありません"), std::string::npos);
}

}  // namespace
}  // namespace paperloom::ui
