#pragma once
// The platform services as windows: message boxes, help opened with the desktop's handler for
// the file, progress windows over the active window, and the screen's work area. A desktop
// host installs them once its QApplication exists (InstallDesktopServices).

#include <QUrl>

#include <functional>
#include <memory>

#include "host/ui/HelpService.h"
#include "host/ui/MessageService.h"
#include "host/ui/ProgressService.h"
#include "host/ui/ScreenService.h"
#include "host/ui/UiServices.h"

class QMessageBox;
class QWidget;

namespace paperloom::ui::qt {

// The box a request shows, not yet shown: its icon, buttons (default and escape set) and
// title ("Paperloom" when the request has none), owned by `owner`.
std::unique_ptr<QMessageBox> MakeMessageBox(const MessageRequest& request, QWidget* owner);
// The platform's number for the button of `box` that was pressed (the escape button when
// the box was closed another way).
long AnswerOf(const QMessageBox& box);

class QtMessageService final : public MessageService {
public:
    long Show(const MessageRequest& request) override;
};

class QtHelpService final : public HelpService {
public:
    using Opener = std::function<bool(const QUrl&)>;
    // `opener` defaults to the desktop's handler for the file's type.
    explicit QtHelpService(Opener opener = {});
    // A file that does not exist or that nothing opens is reported in a message box.
    void ShowContents(const std::filesystem::path& helpFile) override;

private:
    Opener opener_;
};

class QtProgressService final : public ProgressService {
public:
    std::unique_ptr<ProgressWindow> CreateProgressWindow() override;
};

class QtScreenService final : public ScreenService {
public:
    ScreenArea WorkArea() const override;
};

// Messages, help, progress and the work area as windows; printing stays as it is.
UiServices MakeDesktopServices();

}  // namespace paperloom::ui::qt
