#include "DeskApplication.h"

#include <QApplication>
#include <QFileDialog>

#include <algorithm>
#include <exception>

#include "ComAddInsDialog.h"
#include "DocumentWindow.h"
#include "PrintPreview.h"
#include "SystemClipboard.h"
#include "edit/DocumentEditor.h"
#include "edit/EditClipboard.h"
#include "host/HostError.h"
#include "host/ui/UiServices.h"
#include "host/ui/qt/DialogPlacement.h"
#include "host/word/Application.h"
#include "host/word/Document.h"
#include "host/word/addins/CommandBars.h"

namespace paperloom::desk {
namespace {

namespace fs = std::filesystem;

std::string Reason(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const host::HostError& e) {
        return e.Description();
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "不明なエラー";
    }
}

long Ask(const std::string& text, ui::MessageButtons buttons) {
    ui::MessageRequest request;
    request.strText = text;
    request.icon = ui::MessageIcon::Exclamation;
    request.buttons = buttons;
    return ui::Messages().Show(request);
}

const QString kDocumentFilter = "Word 文書 (*.docx);;すべてのファイル (*)";

}  // namespace

DeskApplication::DeskApplication(fs::path configFolder)
    : host_(std::make_shared<word::Application>(), configFolder),
      clipboard_(std::make_shared<edit::EditClipboard>(host_.Clipboard())),
      recent_(configFolder / "recent-files.txt") {
    openChooser_ = [](QWidget* owner, const std::string& suggested) -> std::optional<fs::path> {
        const QString file = QFileDialog::getOpenFileName(owner, "開く", QString::fromStdString(suggested), kDocumentFilter);
        if (file.isEmpty()) return std::nullopt;
        return fs::path(file.toStdString());
    };
    saveAsChooser_ = [](QWidget* owner, const std::string& suggested) -> std::optional<fs::path> {
        const QString file =
            QFileDialog::getSaveFileName(owner, "名前を付けて保存", QString::fromStdString(suggested), kDocumentFilter);
        if (file.isEmpty()) return std::nullopt;
        return fs::path(file.toStdString());
    };
    // Faces the add-ins paste go through the desktop's clipboard.
    host_.Clipboard().UseStore(std::make_shared<SystemClipboard>());
    deferredRefresh_.setInterval(100);
    QObject::connect(&deferredRefresh_, &QTimer::timeout, [this] { CheckDeferredRefresh(); });
    host_.CommandBars().SetChangeHandler([this] {
        if (barsDirty_) return;
        barsDirty_ = true;
        // Add-ins change many controls in a row; the windows follow once they are done.
        QTimer::singleShot(0, &deferredRefresh_, [this] { RebuildBars(); });
    });
}

DeskApplication::~DeskApplication() {
    host_.CommandBars().SetChangeHandler({});
    windows_.clear();
    try {
        if (!quit_) host_.Shutdown();
    } catch (...) {
        // Quit reports a failed save of the command bars; here the process is ending anyway.
    }
}

void DeskApplication::Start() {
    host_.Startup();
    if (!host_.StartupErrors().empty()) {
        std::string text = "次のアドインを読み込めませんでした。";
        for (const auto& error : host_.StartupErrors()) text += "\n" + error;
        ShowError(text);
    }
    SyncWindows();
}

std::vector<DocumentWindow*> DeskApplication::Windows() const {
    std::vector<DocumentWindow*> list;
    for (const auto& window : windows_) list.push_back(window.get());
    return list;
}

DocumentWindow* DeskApplication::WindowOf(const word::Document& document) const {
    for (const auto& window : windows_)
        if (window->Document().get() == &document) return window.get();
    return nullptr;
}

void DeskApplication::ShowError(const std::string& text) {
    ui::MessageRequest request;
    request.strText = text;
    request.icon = ui::MessageIcon::Critical;
    ui::Messages().Show(request);
}

std::shared_ptr<word::Document> DeskApplication::New() {
    try {
        auto document = Application().Documents().Add();
        SyncWindows();
        return document;
    } catch (...) {
        ShowError("新しい文書を作成できませんでした。" + Reason(std::current_exception()));
        return nullptr;
    }
}

std::shared_ptr<word::Document> DeskApplication::Open(const fs::path& file) {
    std::shared_ptr<word::Document> document;
    try {
        document = Application().Documents().Open(file);
    } catch (...) {
        ShowError(file.string() + " を開けませんでした。" + Reason(std::current_exception()));
        std::error_code ec;
        if (!fs::exists(file, ec)) recent_.Remove(file);
        SyncWindows();
        return nullptr;
    }
    recent_.Add(file);
    SyncWindows();
    if (DocumentWindow* window = WindowOf(*document)) {
        window->raise();
        window->activateWindow();
        WindowActivated(*window);
    }
    RequestRefresh();
    return document;
}

std::shared_ptr<word::Document> DeskApplication::OpenWithChooser() {
    std::string folder;
    if (!recent_.Items().empty()) folder = recent_.Items().front().parent_path().string();
    const auto file = openChooser_(ui::qt::DialogOwner(), folder);
    return file ? Open(*file) : nullptr;
}

bool DeskApplication::SaveTo(const std::shared_ptr<word::Document>& document, const fs::path& file) {
    const auto full = fs::absolute(file).lexically_normal();
    for (const auto& other : Application().Documents())
        if (other != document && fs::path(other->FullName()) == full) {
            ShowError(full.string() + " は別のウィンドウで開いているため、その名前では保存できません。");
            return false;
        }
    try {
        if (fs::path(document->FullName()) == full && !document->Path().empty())
            document->Save();
        else
            document->SaveAs(full);
    } catch (...) {
        ShowError(full.string() + " に保存できませんでした。" + Reason(std::current_exception()));
        return false;
    }
    recent_.Add(full);
    SyncWindows();
    RequestRefresh();
    return true;
}

bool DeskApplication::Save(const std::shared_ptr<word::Document>& document) {
    if (!document || document->Closed()) return false;
    if (document->Path().empty()) return SaveAs(document);
    return SaveTo(document, document->FullName());
}

bool DeskApplication::SaveAs(const std::shared_ptr<word::Document>& document) {
    if (!document || document->Closed()) return false;
    std::string suggested = document->Path().empty() ? document->Name() + ".docx" : document->FullName();
    DocumentWindow* window = WindowOf(*document);
    const auto chosen = saveAsChooser_(window, suggested);
    if (!chosen) return false;
    fs::path file = *chosen;
    if (!file.has_extension()) {
        file += ".docx";
        // The user chose the name without ".docx"; a file that has it is theirs to replace.
        std::error_code ec;
        if (fs::exists(file, ec) &&
            Ask(file.string() + " は既に存在します。置き換えますか?", ui::MessageButtons::YesNo) != ui::vbYes)
            return false;
    }
    return SaveTo(document, file);
}

bool DeskApplication::Close(const std::shared_ptr<word::Document>& document) {
    if (!document || document->Closed()) return true;
    if (!document->Saved()) {
        const long answer =
            Ask("'" + document->Name() + "' への変更を保存しますか?", ui::MessageButtons::YesNoCancel);
        if (answer == ui::vbCancel) return false;
        if (answer == ui::vbYes && !Save(document)) return false;
    }
    try {
        document->Close(word::wdDoNotSaveChanges);
    } catch (...) {
        ShowError(document->Name() + " を閉じることができませんでした。" + Reason(std::current_exception()));
    }
    const bool closed = document->Closed();
    SyncWindows();
    return closed;
}

bool DeskApplication::CloseWindow(DocumentWindow& window) {
    if (window.Document()) return Close(window.Document());
    // The empty frame: closing it ends the program.
    return quit_ || Quit();
}

bool DeskApplication::Quit() {
    if (quit_) return true;
    quit_ = true;
    std::vector<std::shared_ptr<word::Document>> shown;
    for (const auto& window : windows_)
        if (window->Document()) shown.push_back(window->Document());
    for (const auto& document : shown)
        if (!Close(document)) {
            quit_ = false;
            SyncWindows();
            return false;
        }
    try {
        host_.Shutdown();
    } catch (...) {
        ShowError("コマンド バーを保存できませんでした。" + Reason(std::current_exception()));
    }
    // What add-ins left open (hidden copies) goes without questions.
    while (Application().Documents().Count() > 0) {
        auto document = Application().Documents().Item(1);
        try {
            document->Close(word::wdDoNotSaveChanges);
        } catch (...) {
        }
        if (!document->Closed()) break;
    }
    for (auto& window : windows_) {
        window->hide();
        window.release()->deleteLater();
    }
    windows_.clear();
    QCoreApplication::quit();
    return true;
}

void DeskApplication::Print(const std::shared_ptr<word::Document>& document) {
    if (document && !document->Closed()) ShowPrintDialog(*document, WindowOf(*document));
}

void DeskApplication::PrintPreview(const std::shared_ptr<word::Document>& document) {
    if (document && !document->Closed()) ShowPrintPreview(*document, WindowOf(*document));
}

void DeskApplication::ShowComAddIns() {
    ComAddInsModel model(host_);
    ComAddInsDialog dialog(model, ui::qt::DialogOwner());
    if (dialog.exec() != QDialog::Accepted) return;
    const auto errors = model.Apply();
    if (!errors.empty()) {
        std::string text = "次のアドインを接続できませんでした。";
        for (const auto& error : errors) text += "\n" + error;
        ShowError(text);
    }
    SyncWindows();
    RequestRefresh();
}

void DeskApplication::About() {
    ui::MessageRequest request;
    request.strText = "Paperloom\nデータベース帳票の作成と実行";
    request.icon = ui::MessageIcon::Information;
    ui::Messages().Show(request);
}

void DeskApplication::ActivateNext(DocumentWindow* from) {
    if (windows_.size() < 2) return;
    auto it = std::find_if(windows_.begin(), windows_.end(), [&](const auto& w) { return w.get() == from; });
    it = (it == windows_.end() || std::next(it) == windows_.end()) ? windows_.begin() : std::next(it);
    (*it)->raise();
    (*it)->activateWindow();
    WindowActivated(**it);
}

std::shared_ptr<word::Document> DeskApplication::ActiveOrNull() {
    try {
        return host_.Application().ActiveDocument();
    } catch (const host::HostError&) {
        return nullptr;
    }
}

void DeskApplication::Execute(const std::shared_ptr<word::CommandBarControl>& control) {
    try {
        // One command, one undo step of the document it works on, however many edits it makes.
        std::optional<edit::UndoGroup> step;
        if (const auto active = ActiveOrNull())
            if (DocumentWindow* window = WindowOf(*active); window && window->Editor())
                step.emplace(window->Editor()->History());
        control->Execute();
    } catch (...) {
        ShowError(Reason(std::current_exception()));
    }
    SyncWindows();
    RequestRefresh();
}

void DeskApplication::SyncWindows() {
    // Windows whose document closed or was hidden go.
    const auto gone = [&](const std::unique_ptr<DocumentWindow>& window) {
        const auto& document = window->Document();
        if (!document) return false;
        return document->Closed() || !document->Windows().Item(1).Visible();
    };
    for (auto& window : windows_)
        if (window && gone(window)) {
            window->hide();
            // It may be the window whose close event is running.
            window.release()->deleteLater();
        }
    std::erase(windows_, nullptr);

    bool anyDocument = false;
    for (const auto& document : Application().Documents()) {
        if (document->Closed() || !document->Windows().Item(1).Visible()) continue;
        anyDocument = true;
        if (WindowOf(*document)) continue;
        windows_.push_back(std::make_unique<DocumentWindow>(*this, document));
        windows_.back()->show();
    }
    // While nothing is open an empty frame holds the menus; it goes once a document shows.
    for (auto& window : windows_)
        if (!window->Document() && (anyDocument || quit_)) {
            window->hide();
            window.release()->deleteLater();
        }
    std::erase(windows_, nullptr);
    if (!anyDocument && !quit_ && windows_.empty()) {
        windows_.push_back(std::make_unique<DocumentWindow>(*this, nullptr));
        windows_.back()->show();
    }
    for (const auto& window : windows_) window->UpdateHostMenus();
    barsDirty_ = false;
}

void DeskApplication::RebuildBars() {
    if (!barsDirty_) return;
    barsDirty_ = false;
    for (const auto& window : windows_) window->Bars().Rebuild();
}

void DeskApplication::RequestRefresh() {
    if (!Application().ScreenUpdating()) {
        // Nothing is repainted until the add-in switches screen updating on again.
        refreshPending_ = true;
        for (const auto& window : windows_) window->setUpdatesEnabled(false);
        if (!deferredRefresh_.isActive()) deferredRefresh_.start();
        return;
    }
    refreshPending_ = false;
    deferredRefresh_.stop();
    for (const auto& window : windows_) {
        window->setUpdatesEnabled(true);
        window->Refresh();
    }
}

void DeskApplication::CheckDeferredRefresh() {
    if (refreshPending_ && Application().ScreenUpdating()) RequestRefresh();
    if (!refreshPending_) deferredRefresh_.stop();
}

void DeskApplication::WindowActivated(DocumentWindow& window) {
    const auto& document = window.Document();
    if (!document || document->Closed()) return;
    document->Activate();
    const auto activate = activateHandlers_;
    for (const auto& [cookie, handler] : activate) handler(document);
    if (lastActive_.lock() != document) {
        lastActive_ = document;
        const auto change = changeHandlers_;
        for (const auto& [cookie, handler] : change) handler();
    }
}

long DeskApplication::OnDocumentChange(std::function<void()> handler) {
    changeHandlers_.emplace_back(nextCookie_, std::move(handler));
    return nextCookie_++;
}

long DeskApplication::OnWindowActivate(DocumentHandler handler) {
    activateHandlers_.emplace_back(nextCookie_, std::move(handler));
    return nextCookie_++;
}

}  // namespace paperloom::desk
