#include "DocumentWindow.h"

#include <QAction>
#include <QCloseEvent>
#include <QEvent>
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QSignalBlocker>

#include "DeskApplication.h"
#include "edit/DocumentEditor.h"
#include "edit/EditActions.h"
#include "host/word/Document.h"
#include "view/DocumentView.h"

namespace paperloom::desk {

DocumentWindow::DocumentWindow(DeskApplication& desk, std::shared_ptr<word::Document> document)
    : desk_(desk), document_(std::move(document)) {
    setAttribute(Qt::WA_DeleteOnClose, false);
    resize(1000, 720);
    docView_ = new view::DocumentView(document_, this);  // owned by the window
    docView_->setEnabled(document_ != nullptr);
    setCentralWidget(docView_);
    if (document_) {
        editor_ = std::make_unique<edit::DocumentEditor>(document_, desk_.SharedClipboard());
        editor_->SetChangedHandler([this] { docView_->Refresh(); });
        docView_->SetEditor(editor_.get());
    }

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
    // The editing keys reach the view as key presses; the menu entries do the same work.
    const auto edit = [this](void (edit::DocumentEditor::*step)()) {
        return [this, step] {
            if (!editor_) return;
            try {
                ((*editor_).*step)();
            } catch (...) {
                QApplication::beep();
            }
            docView_->Refresh();
        };
    };
    QAction* undo = AddAction("元に戻す(&U)", {}, edit(&edit::DocumentEditor::Undo));
    QAction* redo = AddAction("やり直し(&R)", {}, edit(&edit::DocumentEditor::Redo));
    QAction* cut = AddAction("切り取り(&T)", {}, edit(&edit::DocumentEditor::Cut));
    QAction* copy = AddAction("コピー(&C)", {}, [this] {
        if (editor_) {
            try {
                editor_->Copy();
            } catch (...) {
                QApplication::beep();
            }
        } else {
            QApplication::clipboard()->setText(docView_->SelectedText());
        }
    });
    QAction* paste = AddAction("貼り付け(&P)", {}, edit(&edit::DocumentEditor::Paste));
    QAction* selectAll = AddAction("すべて選択(&L)", {}, [this] {
        docView_->setFocus();
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::ControlModifier);
        QApplication::sendEvent(docView_, &press);
    });
    for (QAction* action : {undo, redo, cut, copy, paste, selectAll}) action->setEnabled(hasDocument);
    edit_ = {undo, redo, nullptr, cut, copy, paste, nullptr, selectAll};
    // Formatting, tables and editing in the office suite.
    editActions_ = new edit::EditActions(*this, desk_, editor_.get(), [this] { docView_->Refresh(); });
    edit_.append(editActions_->EditMenu());
    // The view's settings, as the object model's View holds them (an add-in may set them too).
    const auto viewFlag = [this](const QString& caption, bool (word::View::*get)() const, void (word::View::*set)(bool)) {
        QAction* action = AddAction(caption, {}, [] {});
        action->setCheckable(true);
        action->setEnabled(document_ != nullptr);
        connect(action, &QAction::toggled, this, [this, get, set](bool on) {
            if (!document_ || document_->Closed()) return;
            auto view = document_->Windows().Item(1).View();
            if ((view.*get)() != on) (view.*set)(on);
            docView_->Refresh();
        });
        viewFlags_.push_back({action, get});
        return action;
    };
    view_ = {AddAction("最新の情報に更新(&R)", QKeySequence::Refresh, [this] { desk_.RequestRefresh(); }), nullptr,
                 viewFlag("隠し文字(&H)", &word::View::ShowHiddenText, &word::View::SetShowHiddenText),
                 viewFlag("フィールド コード(&F)", &word::View::ShowFieldCodes, &word::View::SetShowFieldCodes)};
    QAction* pageBreak = AddAction("改ページ(&B)", {}, [this] {
        if (!editor_) return;
        try {
            editor_->Edit([this] { document_->Selection().Range().InsertBreak(word::wdPageBreak); });
            document_->Selection().Collapse(word::wdCollapseEnd);
        } catch (...) {
            QApplication::beep();
        }
        docView_->Refresh();
    });
    pageBreak->setEnabled(hasDocument);
    insert_ = {pageBreak};
    tools_ = {AddAction("COM アドイン(&C)...", {}, [this] { desk_.ShowComAddIns(); })};
    windowFixed_ = {AddAction("次のウィンドウ(&N)", QKeySequence::NextChild, [this] { desk_.ActivateNext(this); })};
    help_ = {AddAction("バージョン情報(&A)...", {}, [this] { desk_.About(); })};
    standard_ = {file_[0], file_[1], save, nullptr, print};
    quit_ = AddAction("終了(&X)", QKeySequence::Quit, [this] { desk_.Quit(); });
    (void)close;

    bars_ = std::make_unique<CommandBarView>(*this, desk_.Host().CommandBars(), HostMenus(),
                                             std::map<std::string, HostItems>{{"Standard", {"標準", standard_}},
                                                                              {"Formatting", {"書式設定", editActions_->FormattingBar()}}},
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
    // Undo and redo are offered only when there is a step to take back or to do again.
    const auto showUndo = [this] {
        if (edit_.size() < 2) return;
        edit_[0]->setEnabled(editor_ && editor_->CanUndo());
        edit_[1]->setEnabled(editor_ && editor_->CanRedo());
    };
    return {{"&File", {"ファイル(&F)", file}},   {"&Edit", {"編集(&E)", edit_, showUndo}},
            {"&View", {"表示(&V)", view_}},      {"&Insert", {"挿入(&I)", insert_}},
            {"F&ormat", {"書式(&O)", editActions_->FormatMenu()}}, {"&Tools", {"ツール(&T)", tools_}},
            {"T&able", {"罫線(&A)", editActions_->TableMenu()}}, {"&Window", {"ウィンドウ(&W)", window}},
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

DocumentWindow::~DocumentWindow() = default;

void DocumentWindow::Refresh() {
    if (!document_ || document_->Closed()) {
        setWindowTitle("Paperloom");
        docView_->Refresh();
        return;
    }
    setWindowTitle(QString::fromStdString(document_->Name()) + " - Paperloom");
    const auto view = document_->Windows().Item(1).View();
    for (const auto& flag : viewFlags_) {
        const QSignalBlocker quiet(flag.action);
        flag.action->setChecked((view.*flag.get)());
    }
    docView_->Refresh();
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
