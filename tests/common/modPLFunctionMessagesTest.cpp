// The message routines and help through the headless services: what box each shows, the
// shared error box for the error being handled, and when help opens.

#include <gtest/gtest.h>

#include "CommonTestSupport.h"
#include "common/clsPLBaseForm.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/HostError.h"
#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace paperloom::modPLFunction {
namespace {

class Messages : public ::testing::Test {
protected:
    std::ostringstream log_;
    std::shared_ptr<ui::HeadlessMessageService> messages_ = std::make_shared<ui::HeadlessMessageService>(log_);
    std::shared_ptr<ui::HeadlessHelpService> help_ = std::make_shared<ui::HeadlessHelpService>(log_);
    ui::ScopedServices scope_{{messages_, help_, nullptr, nullptr}};
};

TEST_F(Messages, ErrorBoxForTheErrorBeingHandled) {
    try {
        throw host::HostError(-2147217865, "Microsoft JET Database Engine", "テーブル 'Orders' が見つかりません。",
                              "jeterr40.chm", 5003011);
    } catch (...) {
        ShowErrorMessage(modPLConst::RUN_APP_TITLE);
    }
    ASSERT_EQ(messages_->Shown().size(), 1U);
    const auto& box = messages_->Shown()[0].request;
    EXPECT_EQ(box.strText,
              "Microsoft JET Database Engineエラー(80040E37)\n\nテーブル 'Orders' が見つかりません。");
    EXPECT_EQ(box.strTitle, "Paperloom(実行)");
    EXPECT_EQ(box.icon, ui::MessageIcon::Critical);
    EXPECT_EQ(box.buttons, ui::MessageButtons::OK);
    EXPECT_EQ(box.strHelpFile, "jeterr40.chm");
    EXPECT_EQ(box.lngHelpContext, 5003011);
    // One line in the log, with the title.
    EXPECT_EQ(log_.str(),
              "Paperloom(実行): [error] Microsoft JET Database Engineエラー(80040E37) / テーブル 'Orders' が見つかりません。"
              " [help: jeterr40.chm #5003011]\n");
}

TEST_F(Messages, NoBoxWithoutAnErrorOrForNumberZero) {
    ShowErrorMessage(modPLConst::EDIT_APP_TITLE);  // nothing in flight
    ShowErrorMessage(modPLConst::EDIT_APP_TITLE, std::make_exception_ptr(host::HostError(0, "x", "cleared")));
    EXPECT_TRUE(messages_->Shown().empty());
}

TEST_F(Messages, OtherErrorsAreShownWithTheirMessage) {
    ShowErrorMessage(modPLConst::EDIT_APP_TITLE, std::make_exception_ptr(std::runtime_error("disk full")));
    try {
        throw 42;
    } catch (...) {
        ShowErrorMessage(modPLConst::EDIT_APP_TITLE);
    }
    ASSERT_EQ(messages_->Shown().size(), 2U);
    EXPECT_EQ(messages_->Shown()[0].request.strText, "Paperloomエラー(33)\n\ndisk full");
    EXPECT_EQ(messages_->Shown()[0].request.strTitle, "Paperloom(開発)");
    EXPECT_EQ(messages_->Shown()[1].request.strText, "Paperloomエラー(33)\n\nUnknown error");
}

TEST_F(Messages, CriticalAndInformationBoxes) {
    ShowCriticalMessage(modPLConst::MSG_BAD_DATA_SOURCE, modPLConst::EDIT_APP_TITLE);
    ShowInformationMessage(modPLConst::MSG_TEST_COMPLETED, modPLConst::EDIT_APP_TITLE);
    ASSERT_EQ(messages_->Shown().size(), 2U);
    EXPECT_EQ(messages_->Shown()[0].request.strText, "データ ソース、ユーザ名、パスワードの設定に不正があります");
    EXPECT_EQ(messages_->Shown()[0].request.icon, ui::MessageIcon::Critical);
    EXPECT_EQ(messages_->Shown()[1].request.strText, "テストは無事に完了しました!");
    EXPECT_EQ(messages_->Shown()[1].request.icon, ui::MessageIcon::Information);
    EXPECT_TRUE(messages_->Shown()[1].request.strHelpFile.empty());
}

TEST_F(Messages, HelpOpensOnlyAnExistingFile) {
    const test::TempFolder folder;
    const auto manual = folder.Path() / "help" / "index.html";
    std::filesystem::create_directories(manual.parent_path());
    std::ofstream(manual) << "<html></html>";
    ShowHelpFile(modPLConst::HELP_FILE, folder.Path().string());
    ShowHelpFile("missing.html", folder.Path().string());
    ShowHelpFile("help", folder.Path().string());  // a folder is not a help file
    ShowHelpFile("", folder.Path().string());
    ShowHelpFile(manual.string());  // a full path is used as it is
    ASSERT_EQ(help_->Requests().size(), 2U);
    EXPECT_EQ(help_->Requests()[0], manual);
    EXPECT_EQ(help_->Requests()[1], manual);
}

TEST(AddInFolder, IsTheFolderOfTheBinaryHoldingTheCode) {
    // Linked into this test program, the code's binary is the program itself.
    char self[4096] = {};
    const ssize_t n = ::readlink("/proc/self/exe", self, sizeof(self) - 1);
    ASSERT_GT(n, 0);
    EXPECT_EQ(AddInFolder(), std::filesystem::path(self).parent_path().string());
}

TEST_F(Messages, BookmarkNamesTestedOnTheDocument) {
    auto doc = test::DocumentWithTable(1, 1);
    doc->Bookmarks().Add("明細1", doc->Range(0, 0));
    EXPECT_FALSE(IsInvalidBookmarkName("明細1", *doc, modPLConst::EDIT_APP_TITLE));
    EXPECT_FALSE(IsInvalidBookmarkName("Detail_2", *doc, modPLConst::EDIT_APP_TITLE));
    // The trial bookmark is gone again; the existing one stays.
    EXPECT_FALSE(doc->Bookmarks().Exists("Detail_2"));
    EXPECT_TRUE(doc->Bookmarks().Exists("明細1"));
    EXPECT_TRUE(messages_->Shown().empty());
    EXPECT_TRUE(IsInvalidBookmarkName("2nd detail", *doc, modPLConst::EDIT_APP_TITLE));
    ASSERT_EQ(messages_->Shown().size(), 1U);
    EXPECT_EQ(messages_->Shown()[0].request.icon, ui::MessageIcon::Critical);
    EXPECT_FALSE(messages_->Shown()[0].request.strText.empty());
    EXPECT_EQ(doc->Bookmarks().Count(), 1);
}

class FixedScreen final : public ui::ScreenService {
public:
    ui::ScreenArea WorkArea() const override { return {100, 40, 1280, 984}; }
};

TEST(DialogPlacement, CentresOnThePlatformsWorkArea) {
    {
        // The headless work area.
        const clsPLBaseForm form;
        EXPECT_FLOAT_EQ(form.GetCenterLeftPos(400), 760);
        EXPECT_FLOAT_EQ(form.GetCenterTopPos(200), 420);
    }
    const ui::ScopedServices scope({nullptr, nullptr, nullptr, std::make_shared<FixedScreen>()});
    const clsPLBaseForm form;
    EXPECT_FLOAT_EQ(form.GetCenterLeftPos(400), 100 + 640 - 200);
    EXPECT_FLOAT_EQ(form.GetCenterTopPos(200), 40 + 492 - 100);
}

}  // namespace
}  // namespace paperloom::modPLFunction
