#include "host/ui/HeadlessServices.h"

#include "host/HostError.h"

#include <fmt/format.h>

#include <ostream>

namespace paperloom::ui {
namespace {

std::string_view IconName(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::None:
            return "";
        case MessageIcon::Information:
            return "information";
        case MessageIcon::Exclamation:
            return "warning";
        case MessageIcon::Critical:
            return "error";
        case MessageIcon::Question:
            return "question";
    }
    return "";
}

std::string_view ButtonsName(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OK:
            return "OK";
        case MessageButtons::OKCancel:
            return "OK/Cancel";
        case MessageButtons::YesNo:
            return "Yes/No";
        case MessageButtons::YesNoCancel:
            return "Yes/No/Cancel";
    }
    return "";
}

std::string_view AnswerName(long answer) {
    switch (answer) {
        case vbOK:
            return "OK";
        case vbCancel:
            return "Cancel";
        case vbYes:
            return "Yes";
        case vbNo:
            return "No";
        default:
            return "?";
    }
}

// Every run of CR and LF becomes one " / ", so a box is one line of the log.
std::string OneLine(std::string_view text) {
    std::string line;
    bool inBreak = false;
    for (const char c : text) {
        if (c == '\r' || c == '\n') {
            inBreak = true;
            continue;
        }
        if (inBreak && !line.empty()) {
            line += " / ";
        }
        inBreak = false;
        line += c;
    }
    return line;
}

class HeadlessProgressWindow final : public ProgressWindow {
public:
    HeadlessProgressWindow(std::ostream& log, bool terminal) : log_(log), terminal_(terminal) {}
    ~HeadlessProgressWindow() override { Hide(); }
    HeadlessProgressWindow(const HeadlessProgressWindow&) = delete;
    HeadlessProgressWindow& operator=(const HeadlessProgressWindow&) = delete;

    void SetCaption(const std::string& strCaption) override {
        caption_ = OneLine(strCaption);
        Draw();
    }
    void SetText(const std::string& strText) override {
        text_ = OneLine(strText);
        Draw();
    }
    void SetValue(long lngValue, long lngMax) override {
        value_ = lngValue;
        max_ = lngMax;
        Draw();
    }
    void Show() override {
        visible_ = true;
        Draw();
    }
    void Hide() override {
        if (visible_ && terminal_) {
            log_ << "\r\x1b[K" << std::flush;
        }
        visible_ = false;
    }
    bool Visible() const override { return visible_; }

private:
    void Draw() {
        if (visible_ && terminal_) {
            // Back to the line's start, the new line, then clear what a longer old one left.
            log_ << '\r' << ProgressLine(caption_, text_, value_, max_) << "\x1b[K" << std::flush;
        }
    }

    std::ostream& log_;
    bool terminal_;
    bool visible_ = false;
    std::string caption_;
    std::string text_;
    long value_ = 0;
    long max_ = 0;
};

}  // namespace

long DefaultAnswer(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OK:
            return vbOK;
        case MessageButtons::OKCancel:
        case MessageButtons::YesNoCancel:
            return vbCancel;
        case MessageButtons::YesNo:
            return vbNo;
    }
    return vbCancel;
}

std::string MessageLogLine(const MessageRequest& request, long answer, bool scripted) {
    std::string line = request.strTitle.empty() ? std::string("Paperloom") : request.strTitle;
    line += ':';
    if (const auto icon = IconName(request.icon); !icon.empty()) {
        line += fmt::format(" [{}]", icon);
    }
    line += ' ';
    line += OneLine(request.strText);
    if (!request.strHelpFile.empty()) {
        line += fmt::format(" [help: {} #{}]", request.strHelpFile, request.lngHelpContext);
    }
    if (request.buttons != MessageButtons::OK) {
        line += fmt::format(" [{}: {}{}]", ButtonsName(request.buttons), AnswerName(answer),
                            scripted ? "" : " (default, unscripted)");
    }
    return line;
}

HeadlessMessageService::HeadlessMessageService(std::ostream& log) : log_(log) {}

void HeadlessMessageService::QueueAnswer(long answer) {
    answers_.push_back(answer);
}

long HeadlessMessageService::Show(const MessageRequest& request) {
    bool scripted = false;
    long answer = DefaultAnswer(request.buttons);
    if (!answers_.empty()) {
        answer = answers_.front();
        answers_.pop_front();
        scripted = true;
        if (!IsAnswerOf(request.buttons, answer)) {
            throw host::HostError(5, "Paperloom",
                                  fmt::format("The scripted answer {} is not a button of the {} box \"{}\".",
                                              answer, ButtonsName(request.buttons), OneLine(request.strText)));
        }
    }
    log_ << MessageLogLine(request, answer, scripted) << std::endl;
    shown_.push_back({request, answer, scripted});
    return answer;
}

HeadlessHelpService::HeadlessHelpService(std::ostream& log) : log_(log) {}

void HeadlessHelpService::ShowContents(const std::filesystem::path& helpFile) {
    log_ << "help: " << helpFile.string() << " (contents)" << std::endl;
    requests_.push_back(helpFile);
}

HeadlessProgressService::HeadlessProgressService(std::ostream& log, bool terminal)
    : log_(log), terminal_(terminal) {}

std::unique_ptr<ProgressWindow> HeadlessProgressService::CreateProgressWindow() {
    return std::make_unique<HeadlessProgressWindow>(log_, terminal_);
}

std::string ProgressLine(const std::string& strCaption, const std::string& strText, long lngValue, long lngMax) {
    std::string line = strCaption;
    if (!strText.empty()) {
        line += line.empty() ? "" : ": ";
        line += strText;
    }
    if (lngMax > 0) {
        line += fmt::format("{}({}/{})", line.empty() ? "" : " ", lngValue, lngMax);
    }
    return line;
}

}  // namespace paperloom::ui
