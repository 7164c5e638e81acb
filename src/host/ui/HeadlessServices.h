#pragma once
// Services for runs without a screen (the command line, tests, automation):
// - messages: one line each on the log stream, with the title; answers come from a script
//   (a queue) or, unscripted, are the cautious default below, which is logged as such;
// - help: each request logged and kept;
// - progress: one line rewritten in place, only while the log is a terminal;
// - work area: a fixed 1920 x 1040.

#include <deque>
#include <iosfwd>
#include <memory>
#include <string>
#include <vector>

#include "host/ui/HelpService.h"
#include "host/ui/MessageService.h"
#include "host/ui/ProgressService.h"
#include "host/ui/ScreenService.h"

namespace paperloom::ui {

// The answer to an unscripted question: the choice that changes nothing. OK for an OK box,
// Cancel where offered, otherwise No.
long DefaultAnswer(MessageButtons buttons);

// One line for the log: line breaks of the text become " / ".
std::string MessageLogLine(const MessageRequest& request, long answer, bool scripted);

class HeadlessMessageService final : public MessageService {
public:
    struct ShownMessage {
        MessageRequest request;
        long answer = vbOK;
        bool scripted = false;
    };

    explicit HeadlessMessageService(std::ostream& log);

    // The next box shown answers this; a scripted answer that is not a button of that box is
    // a fault of the script and raises HostError 5.
    void QueueAnswer(long answer);
    std::size_t PendingAnswers() const { return answers_.size(); }
    const std::vector<ShownMessage>& Shown() const { return shown_; }

    long Show(const MessageRequest& request) override;

private:
    std::ostream& log_;
    std::deque<long> answers_;
    std::vector<ShownMessage> shown_;
};

class HeadlessHelpService final : public HelpService {
public:
    explicit HeadlessHelpService(std::ostream& log);
    void ShowContents(const std::filesystem::path& helpFile) override;
    const std::vector<std::filesystem::path>& Requests() const { return requests_; }

private:
    std::ostream& log_;
    std::vector<std::filesystem::path> requests_;
};

class HeadlessProgressService final : public ProgressService {
public:
    // `terminal`: whether the log is a terminal; nothing is written otherwise.
    HeadlessProgressService(std::ostream& log, bool terminal);
    std::unique_ptr<ProgressWindow> CreateProgressWindow() override;

private:
    std::ostream& log_;
    bool terminal_;
};

// The line a progress window shows: "caption: text (value/max)", parts left out when empty.
std::string ProgressLine(const std::string& strCaption, const std::string& strText, long lngValue, long lngMax);

class HeadlessScreenService final : public ScreenService {
public:
    ScreenArea WorkArea() const override { return {0, 0, 1920, 1040}; }
};

}  // namespace paperloom::ui
