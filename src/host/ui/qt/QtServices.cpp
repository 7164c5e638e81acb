#include "host/ui/qt/QtServices.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>
#include <QWidget>

#include <filesystem>
#include <vector>

#include "host/ui/qt/DialogPlacement.h"

namespace paperloom::ui::qt {
namespace {

struct ButtonSpec {
    QMessageBox::StandardButton button;
    long answer;
};

std::vector<ButtonSpec> ButtonsOf(MessageButtons buttons) {
    switch (buttons) {
        case MessageButtons::OK:
            return {{QMessageBox::Ok, vbOK}};
        case MessageButtons::OKCancel:
            return {{QMessageBox::Ok, vbOK}, {QMessageBox::Cancel, vbCancel}};
        case MessageButtons::YesNo:
            return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}};
        case MessageButtons::YesNoCancel:
            return {{QMessageBox::Yes, vbYes}, {QMessageBox::No, vbNo}, {QMessageBox::Cancel, vbCancel}};
    }
    return {{QMessageBox::Ok, vbOK}};
}

QMessageBox::Icon IconOf(MessageIcon icon) {
    switch (icon) {
        case MessageIcon::Information:
            return QMessageBox::Information;
        case MessageIcon::Exclamation:
            return QMessageBox::Warning;
        case MessageIcon::Critical:
            return QMessageBox::Critical;
        case MessageIcon::Question:
            return QMessageBox::Question;
        case MessageIcon::None:
            break;
    }
    return QMessageBox::NoIcon;
}

// Runs while a long command keeps the event loop busy, so the window shows each step.
void ShowNow() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }

class QtProgressWindow final : public ProgressWindow {
public:
    QtProgressWindow() : window_(std::make_unique<QWidget>(DialogOwner(), Qt::Dialog)) {
        window_->setWindowModality(Qt::NonModal);
        auto* layout = new QVBoxLayout(window_.get());  // owned by the window
        label_ = new QLabel(window_.get());
        label_->setMinimumWidth(320);
        bar_ = new QProgressBar(window_.get());
        bar_->setVisible(false);
        layout->addWidget(label_);
        layout->addWidget(bar_);
    }
    void SetCaption(const std::string& strCaption) override {
        window_->setWindowTitle(QString::fromStdString(strCaption));
    }
    void SetText(const std::string& strText) override {
        label_->setText(QString::fromStdString(strText));
        if (window_->isVisible()) ShowNow();
    }
    void SetValue(long lngValue, long lngMax) override {
        bar_->setVisible(lngMax > 0);
        if (lngMax > 0) {
            bar_->setRange(0, static_cast<int>(lngMax));
            bar_->setValue(static_cast<int>(std::min(lngValue, lngMax)));
        }
        if (window_->isVisible()) ShowNow();
    }
    void Show() override {
        CentreDialog(*window_);
        window_->show();
        ShowNow();
    }
    void Hide() override { window_->hide(); }
    bool Visible() const override { return window_->isVisible(); }

private:
    std::unique_ptr<QWidget> window_;
    QLabel* label_ = nullptr;
    QProgressBar* bar_ = nullptr;
};

}  // namespace

std::unique_ptr<QMessageBox> MakeMessageBox(const MessageRequest& request, QWidget* owner) {
    auto box = std::make_unique<QMessageBox>(owner);
    box->setIcon(IconOf(request.icon));
    box->setWindowTitle(QString::fromStdString(request.strTitle.empty() ? "Paperloom" : request.strTitle));
    box->setText(QString::fromStdString(request.strText));
    const auto buttons = ButtonsOf(request.buttons);
    for (const auto& spec : buttons) box->addButton(spec.button);
    const auto defaultIndex = static_cast<std::size_t>(request.lngDefaultButton) - 1;
    box->setDefaultButton(buttons[defaultIndex < buttons.size() ? defaultIndex : 0].button);
    // Escape answers the choice that changes nothing: Cancel, else No, else OK.
    box->setEscapeButton(buttons.back().button == QMessageBox::Yes ? QMessageBox::No : buttons.back().button);
    if (request.buttons == MessageButtons::YesNo) box->setEscapeButton(QMessageBox::No);
    if (!request.strHelpFile.empty()) {
        QPushButton* help = box->addButton(QMessageBox::Help);
        // Help opens the file and leaves the question open.
        help->disconnect();
        const auto file = std::filesystem::path(request.strHelpFile);
        QObject::connect(help, &QPushButton::clicked, [file] { ui::Help().ShowContents(file); });
    }
    return box;
}

long AnswerOf(const QMessageBox& box) {
    QAbstractButton* clicked = box.clickedButton();
    if (!clicked) clicked = box.escapeButton();
    switch (box.standardButton(clicked)) {
        case QMessageBox::Cancel:
            return vbCancel;
        case QMessageBox::Yes:
            return vbYes;
        case QMessageBox::No:
            return vbNo;
        default:
            return vbOK;
    }
}

long QtMessageService::Show(const MessageRequest& request) {
    const auto box = MakeMessageBox(request, DialogOwner());
    box->exec();
    return AnswerOf(*box);
}

QtHelpService::QtHelpService(Opener opener) : opener_(std::move(opener)) {
    if (!opener_) opener_ = [](const QUrl& url) { return QDesktopServices::openUrl(url); };
}

void QtHelpService::ShowContents(const std::filesystem::path& helpFile) {
    std::error_code ec;
    const bool exists = std::filesystem::is_regular_file(helpFile, ec);
    const auto url = QUrl::fromLocalFile(QString::fromStdString(std::filesystem::absolute(helpFile, ec).string()));
    if (exists && opener_(url)) return;
    MessageRequest request;
    request.strText = exists ? "ヘルプ ファイル " + helpFile.string() + " を開くプログラムがありません。"
                             : "ヘルプ ファイル " + helpFile.string() + " が見つかりません。";
    request.icon = MessageIcon::Exclamation;
    ui::Messages().Show(request);
}

std::unique_ptr<ProgressWindow> QtProgressService::CreateProgressWindow() {
    return std::make_unique<QtProgressWindow>();
}

ScreenArea QtScreenService::WorkArea() const {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return {0, 0, 1920, 1040};
    const QRect area = screen->availableGeometry();
    return {area.x(), area.y(), area.width(), area.height()};
}

UiServices MakeDesktopServices() {
    UiServices services;
    services.messages = std::make_shared<QtMessageService>();
    services.help = std::make_shared<QtHelpService>();
    services.progress = std::make_shared<QtProgressService>();
    services.screen = std::make_shared<QtScreenService>();
    services.forms = MakeLibraryFormsService();
    return services;
}

}  // namespace paperloom::ui::qt
