// The headless services: scripted and default answers, the log lines, progress only on a
// terminal, and installing services for the process.

#include <gtest/gtest.h>

#include "host/HostError.h"
#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"

#include <sstream>

namespace paperloom::ui {
namespace {

MessageRequest Box(std::string text, MessageButtons buttons, MessageIcon icon = MessageIcon::Question) {
    MessageRequest request;
    request.strText = std::move(text);
    request.strTitle = "Paperloom(実行)";
    request.icon = icon;
    request.buttons = buttons;
    return request;
}

TEST(HeadlessMessages, ScriptedAnswersAreUsedInOrderThenDefaultsApply) {
    std::ostringstream log;
    HeadlessMessageService service(log);
    service.QueueAnswer(vbYes);
    service.QueueAnswer(vbCancel);
    EXPECT_EQ(service.Show(Box("first?", MessageButtons::YesNo)), vbYes);
    EXPECT_EQ(service.Show(Box("second?", MessageButtons::YesNoCancel)), vbCancel);
    EXPECT_EQ(service.PendingAnswers(), 0U);
    // Unscripted: the answer that changes nothing.
    EXPECT_EQ(service.Show(Box("a", MessageButtons::OK, MessageIcon::Information)), vbOK);
    EXPECT_EQ(service.Show(Box("b", MessageButtons::OKCancel)), vbCancel);
    EXPECT_EQ(service.Show(Box("c", MessageButtons::YesNo)), vbNo);
    EXPECT_EQ(service.Show(Box("d", MessageButtons::YesNoCancel)), vbCancel);

    ASSERT_EQ(service.Shown().size(), 6U);
    EXPECT_TRUE(service.Shown()[0].scripted);
    EXPECT_FALSE(service.Shown()[5].scripted);
    EXPECT_EQ(service.Shown()[1].request.strText, "second?");

    // One line per box; unscripted questions say so.
    std::istringstream lines(log.str());
    std::string line;
    std::vector<std::string> all;
    while (std::getline(lines, line)) all.push_back(line);
    ASSERT_EQ(all.size(), 6U);
    EXPECT_EQ(all[0], "Paperloom(実行): [question] first? [Yes/No: Yes]");
    EXPECT_EQ(all[2], "Paperloom(実行): [information] a");
    EXPECT_EQ(all[4], "Paperloom(実行): [question] c [Yes/No: No (default, unscripted)]");
}

TEST(HeadlessMessages, AScriptedAnswerThatIsNoButtonOfTheBoxIsAScriptFault) {
    std::ostringstream log;
    HeadlessMessageService service(log);
    service.QueueAnswer(vbYes);
    try {
        service.Show(Box("ok only", MessageButtons::OK, MessageIcon::Critical));
        FAIL() << "accepted Yes for an OK box";
    } catch (const host::HostError& error) {
        EXPECT_EQ(error.Number(), 5);
        EXPECT_NE(error.Description().find("ok only"), std::string::npos);
    }
    EXPECT_TRUE(service.Shown().empty());
    EXPECT_TRUE(log.str().empty());
}

TEST(HeadlessMessages, LogLineKeepsMultiLineTextOnOneLineWithItsHelp) {
    MessageRequest request = Box("srcエラー(1A)\r\n\r\nNo such table", MessageButtons::OK, MessageIcon::Critical);
    request.strHelpFile = "OsPL2K.chm";
    request.lngHelpContext = 1200;
    EXPECT_EQ(MessageLogLine(request, vbOK, false),
              "Paperloom(実行): [error] srcエラー(1A) / No such table [help: OsPL2K.chm #1200]");
    request.strTitle.clear();
    request.strText = "\nlead\n";
    request.icon = MessageIcon::None;
    // Breaks at either end do not leave dangling separators.
    EXPECT_EQ(MessageLogLine(request, vbOK, false), "Paperloom: lead [help: OsPL2K.chm #1200]");
}

TEST(HeadlessHelp, RequestsAreLoggedAndKept) {
    std::ostringstream log;
    HeadlessHelpService help(log);
    help.ShowContents("/opt/paperloom/OsPL2K.chm");
    ASSERT_EQ(help.Requests().size(), 1U);
    EXPECT_EQ(help.Requests()[0], "/opt/paperloom/OsPL2K.chm");
    EXPECT_EQ(log.str(), "help: /opt/paperloom/OsPL2K.chm (contents)\n");
}

TEST(HeadlessProgress, WritesNothingWhenTheLogIsNoTerminal) {
    std::ostringstream log;
    HeadlessProgressService service(log, false);
    auto window = service.CreateProgressWindow();
    window->Show();
    window->SetText("印刷用文書の作成中です...(3-2/10)");
    window->SetValue(3, 10);
    EXPECT_TRUE(window->Visible());
    window->Hide();
    window.reset();
    EXPECT_TRUE(log.str().empty());
}

TEST(HeadlessProgress, OnATerminalOneLineIsRewrittenAndClearedOnHide) {
    std::ostringstream log;
    HeadlessProgressService service(log, true);
    auto window = service.CreateProgressWindow();
    window->SetText("hidden yet");  // not shown before Show
    EXPECT_TRUE(log.str().empty());
    window->SetCaption("Paperloom(実行)");
    window->Show();
    window->SetText("step\nnext");
    window->SetValue(2, 5);
    window->Hide();
    EXPECT_FALSE(window->Visible());
    const std::string out = log.str();
    EXPECT_EQ(out.find('\n'), std::string::npos);
    EXPECT_NE(out.find("\rPaperloom(実行): step / next (2/5)\x1b[K"), std::string::npos);
    EXPECT_EQ(out.substr(out.size() - 4), "\r\x1b[K");
    // A window destroyed while shown clears its line too.
    std::ostringstream log2;
    HeadlessProgressService service2(log2, true);
    {
        auto shown = service2.CreateProgressWindow();
        shown->Show();
    }
    EXPECT_EQ(log2.str(), "\r\x1b[K\r\x1b[K");
}

TEST(HeadlessProgress, LineLeavesOutEmptyParts) {
    EXPECT_EQ(ProgressLine("", "", 0, 0), "");
    EXPECT_EQ(ProgressLine("", "text", 1, 0), "text");
    EXPECT_EQ(ProgressLine("cap", "", 1, 4), "cap (1/4)");
}

TEST(CurrentServices, ScopedInstallReplacesOnlyWhatIsGivenAndRestores) {
    std::ostringstream log;
    auto messages = std::make_shared<HeadlessMessageService>(log);
    MessageService* before = &Messages();
    HelpService* helpBefore = &Help();
    {
        ScopedServices scope({messages, nullptr, nullptr, nullptr});
        EXPECT_EQ(&Messages(), messages.get());
        EXPECT_EQ(&Help(), helpBefore);
        EXPECT_EQ(Screen().WorkArea(), (ScreenArea{0, 0, 1920, 1040}));
        Messages().Show(Box("via current", MessageButtons::OK));
    }
    EXPECT_EQ(&Messages(), before);
    ASSERT_EQ(messages->Shown().size(), 1U);
    EXPECT_EQ(messages->Shown()[0].request.strText, "via current");
}

TEST(MessageButtonsSet, AnswersBelongToTheirBoxes) {
    EXPECT_TRUE(IsAnswerOf(MessageButtons::OKCancel, vbCancel));
    EXPECT_FALSE(IsAnswerOf(MessageButtons::YesNo, vbCancel));
    EXPECT_FALSE(IsAnswerOf(MessageButtons::OK, vbNo));
    EXPECT_TRUE(IsAnswerOf(MessageButtons::YesNoCancel, vbNo));
}

}  // namespace
}  // namespace paperloom::ui
