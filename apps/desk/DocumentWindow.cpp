#include "DocumentWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QFontDatabase>
#include <QPlainTextEdit>

#include "DeskApplication.h"
#include "host/word/Document.h"

namespace paperloom::desk {
namespace {

// The text as the model reads it, with its paragraph and cell marks as line breaks and tabs.
QString ShownText(word::Document& document) {
    std::string text = document.Content().Text();
    std::string shown;
    shown.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\a') {
            // A cell's end mark; a second one right after it ends the row.
            const bool rowEnd = !shown.empty() && shown.back() == '\t' && i >= 2 && text[i - 1] == '\a';
            if (rowEnd) shown.back() = '\n';
            else shown += '\t';
            ++i;
        } else if (c == '\r' || c == '\v' || c == '\f') {
            shown += '\n';
        } else if (c == '\a') {
            shown += '\n';
        } else if (static_cast<unsigned char>(c) >= 0x20 || c == '\t') {
            shown += c;
        }
    }
    return QString::fromStdString(shown);
}

}  // namespace

DocumentWindow::DocumentWindow(DeskApplication& desk, std::shared_ptr<word::Document> document)
    : desk_(desk), document_(std::move(document)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(1000, 720);
    text_ = new QPlainTextEdit(this);  // owned by the window
    text_->setObjectName("documentText");
    text_->setReadOnly(true);
    text_->setEnabled(document_ != nullptr);
    setCentralWidget(text_);

    const bool hasDocument = document_ != nullptr;
    const auto doc = [this] { return document_; };
    QAction* close = nullptr;
    QAction* save = nullptr;
    QAction* print = nullptr;
    file_ = {AddAction("新規作成(&N)", QKeySequence::New, [this] { desk_.New(); }),
             AddAction("開く(&O)...", QKeySequence::Open, [this] { desk_.OpenWithChooser(); }),
             close = AddAction("閉じる(&C)", QKeySequence::Close, [this, doc] { desk_.Close(doc()); }),
             nullptr,
             save = AddAction("上書き保存(&S)", QKeySequence::Save, [this, doc] { desk_.Save(doc()); }),
             AddAction("名前を付けて保存(&A)...", QKeySequence::SaveAs, [this, doc] { desk_.SaveAs(doc()); }),
             nullptr,
             AddAction("印刷プレビュー(&V)", {}, [this, doc] { desk_.PrintPreview(doc()); }),
             print = AddAction("印刷(&P)...", QKeySequence::Print, [this, doc] { desk_.Print(doc()); })};
    for (qsizetype i = 2; i < file_.size(); ++i)
        if (file_[i]) file_[i]->setEnabled(hasDocument);
    QAction* copy = AddAction("コピー(&C)", QKeySequence::Copy, [this] { text_->copy(); });
    QAction* selectAll = AddAction("すべて選択(&L)", QKeySequence::SelectAll, [this] { text_->selectAll(); });
    edit_ = {copy, selectAll};
    view_ = {AddAction("最新の情報に更新(&R)", QKeySequence::Refresh, [this] { desk_.RequestRefresh(); })};
    // Inserting needs the document view; until it exists the entry is there, switched off.
    QAction* pageBreak = AddAction("改ページ(&B)", {}, [] {});
    pageBreak->setEnabled(false);
    insert_ = {pageBreak};
    tools_ = {AddAction("COM アドイン(&C)...", {}, [this] { desk_.ShowComAddIns(); })};
    windowFixed_ = {AddAction("次のウィンドウ(&N)", QKeySequence::NextChild, [this] { desk_.ActivateNext(this); })};
    help_ = {AddAction("バージョン情報(&A)...", {}, [this] { desk_.About(); })};
    standard_ = {file_[0], file_[1], save, nullptr, print};
    quit_ = AddAction("終了(&X)", QKeySequence::Quit, [this] { desk_.Quit(); });
    (void)close;

    bars_ = std::make_unique<CommandBarView>(*this, desk_.Host().CommandBars(), HostMenus(),
                                             std::map<std::string, HostItems>{{"Standard", {"標準", standard_}},
                                                                              {"Formatting", {"書式設定", {}}}},
                                             [this](const auto& control) { desk_.Execute(control); });
    Refresh();
}

QAction* DocumentWindow::AddAction(const QString& caption, const QKeySequence& shortcut, std::function<void()> run) {
    auto* action = new QAction(caption, this);  // owned by the window
    action->setShortcut(shortcut);
    connect(action, &QAction::triggered, this, [run = std::move(run)] { run(); });
    return action;
}

std::map<std::string, HostItems> DocumentWindow::HostMenus() {
    QList<QAction*> file = file_;
    if (!recent_.isEmpty()) {
        file.append(nullptr);
        file.append(recent_);
    }
    file.append(nullptr);
    file.append(quit_);
    QList<QAction*> window = windowFixed_;
    if (!windowList_.isEmpty()) {
        window.append(nullptr);
        window.append(windowList_);
    }
    return {{"&File", {"ファイル(&F)", file}},   {"&Edit", {"編集(&E)", edit_}},
            {"&View", {"表示(&V)", view_}},      {"&Insert", {"挿入(&I)", insert_}},
            {"F&ormat", {"書式(&O)", {}}},       {"&Tools", {"ツール(&T)", tools_}},
            {"T&able", {"罫線(&A)", {}}},        {"&Window", {"ウィンドウ(&W)", window}},
            {"&Help", {"ヘルプ(&H)", help_}}};
}

void DocumentWindow::UpdateHostMenus() {
    qDeleteAll(recent_);
    recent_.clear();
    int n = 0;
    for (const auto& file : desk_.Recent().Items()) {
        const auto path = file;
        recent_.append(AddAction(QString("&%1 %2").arg(++n).arg(QString::fromStdString(file.string())), {},
                                 [this, path] { desk_.Open(path); }));
    }
    qDeleteAll(windowList_);
    windowList_.clear();
    n = 0;
    for (DocumentWindow* window : desk_.Windows()) {
        if (!window->Document()) continue;
        QAction* action = AddAction(QString("&%1 %2").arg(++n).arg(window->windowTitle().section(" - ", 0, 0)), {},
                                    [window] {
                                        window->raise();
                                        window->activateWindow();
                                    });
        action->setCheckable(true);
        action->setChecked(window == this);
        windowList_.append(action);
    }
    bars_->SetHostMenus(HostMenus());
    bars_->Rebuild();
}

void DocumentWindow::Refresh() {
    if (!document_ || document_->Closed()) {
        setWindowTitle("Paperloom");
        text_->clear();
        return;
    }
    setWindowTitle(QString::fromStdString(document_->Name()) + " - Paperloom");
    const QString shown = ShownText(*document_);
    if (shown != text_->toPlainText()) text_->setPlainText(shown);
}

void DocumentWindow::closeEvent(QCloseEvent* event) {
    // The window goes when its document closes; a user who cancels keeps both.
    if (desk_.CloseWindow(*this))
        event->accept();
    else
        event->ignore();
}

void DocumentWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow()) desk_.WindowActivated(*this);
}

}  // namespace paperloom::desk
