// The progress dialog of print-document builds: its label texts, and that every change is
// drawn at once through the platform's progress window.

#include <gtest/gtest.h>

#include "PrintDocTestSupport.h"
#include "Run/frmPLRInProgress.h"
#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"

#include <sstream>

namespace paperloom::run::test {
namespace {

TEST(frmPLRInProgress, LabelShowsRecordAndDetailPageOnlyOnceThereIsACount) {
    EXPECT_EQ(frmPLRInProgress::MakeStatusText("印刷データの作成中です...", 3, 10, 2),
              "印刷データの作成中です...(3-2/10)");
    EXPECT_EQ(frmPLRInProgress::MakeStatusText("印刷データの作成中です...", 3, 10, 0),
              "印刷データの作成中です...(3/10)");
    EXPECT_EQ(frmPLRInProgress::MakeStatusText("印刷用文書の作成中です...", 4, 0, 2), "印刷用文書の作成中です...");
    EXPECT_EQ(frmPLRInProgress::MakeStatusText("", 1, 1, 0), "(1/1)");
}

TEST(frmPLRInProgress, EverySetterRedrawsTheShownLabel) {
    auto progress = std::make_shared<RecordingProgress>();
    const ui::ScopedServices scope({nullptr, nullptr, progress, nullptr});
    const auto log = progress->log;
    {
        frmPLRInProgress dialog;
        EXPECT_EQ(dialog.StatusText(), "");
        EXPECT_FALSE(dialog.Visible());
        dialog.Show();
        EXPECT_TRUE(dialog.Visible());
        dialog.SetMessage("印刷用文書の作成中です...");
        EXPECT_EQ(log->texts.back(), "印刷用文書の作成中です...");
        dialog.SetPageCount(25);
        EXPECT_EQ(log->texts.back(), "印刷用文書の作成中です...(0/25)");
        dialog.SetPageIndex(3);
        dialog.SetDetailPageIndex(1);
        EXPECT_EQ(log->texts.back(), "印刷用文書の作成中です...(3-1/25)");
        dialog.SetDetailPageIndex(0);
        EXPECT_EQ(dialog.StatusText(), "印刷用文書の作成中です...(3/25)");
        EXPECT_EQ(log->texts.back(), dialog.StatusText());
        dialog.Hide();
        EXPECT_FALSE(log->visible);
        dialog.Show();
        EXPECT_TRUE(log->visible);
        EXPECT_EQ(log->shows, 2) << "one window, shown again";
    }
    EXPECT_FALSE(log->visible) << "unloading takes the window off the screen";
}

TEST(frmPLRInProgress, HeadlessOnATerminalTheLabelIsOneLineRewrittenInPlace) {
    std::ostringstream terminal;
    const ui::ScopedServices scope(
        {nullptr, nullptr, std::make_shared<ui::HeadlessProgressService>(terminal, true), nullptr});
    {
        frmPLRInProgress dialog;
        dialog.Show();
        dialog.SetMessage("印刷データの作成中です...");
        dialog.SetPageCount(10);
        dialog.SetPageIndex(3);
        dialog.SetDetailPageIndex(2);
    }
    const std::string written = terminal.str();
    EXPECT_NE(written.find("\rPaperloom(実行): 印刷データの作成中です...(3-2/10)\x1b[K"), std::string::npos) << written;
    EXPECT_EQ(written.find('\n'), std::string::npos) << "never a new line";
    EXPECT_EQ(written.substr(written.size() - 4), "\r\x1b[K") << "the line is cleared when the dialog goes";

    std::ostringstream log;
    const ui::ScopedServices quiet({nullptr, nullptr, std::make_shared<ui::HeadlessProgressService>(log, false), nullptr});
    frmPLRInProgress dialog;
    dialog.Show();
    dialog.SetMessage("印刷データの作成中です...");
    EXPECT_EQ(log.str(), "") << "nothing when standard error is no terminal";
}

}  // namespace
}  // namespace paperloom::run::test
