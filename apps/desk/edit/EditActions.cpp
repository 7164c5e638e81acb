#include "edit/EditActions.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QFormLayout>
#include <QInputDialog>
#include <QMainWindow>
#include <QSpinBox>

#include "DeskApplication.h"
#include "edit/DocumentEditor.h"
#include "edit/OfficeEdit.h"
#include "host/HostError.h"
#include "host/ui/MessageService.h"
#include "host/ui/UiServices.h"
#include "host/word/Constants.h"
#include "host/word/Document.h"

namespace paperloom::desk::edit {
namespace {

long Ask(const std::string& text) {
    ui::MessageRequest request;
    request.strText = text;
    request.icon = ui::MessageIcon::Exclamation;
    request.buttons = ui::MessageButtons::YesNo;
    return ui::Messages().Show(request);
}

void ShowError(const std::string& text) {
    ui::MessageRequest request;
    request.strText = text;
    request.icon = ui::MessageIcon::Critical;
    ui::Messages().Show(request);
}

// Rows and columns of a new table, in the limits the document model takes.
std::optional<std::pair<long, long>> AskTableSize(QWidget* owner) {
    QDialog dialog(owner);
    dialog.setWindowTitle("表の挿入");
    auto* layout = new QFormLayout(&dialog);  // owned by the dialog
    auto* columns = new QSpinBox(&dialog);
    columns->setObjectName("spnColumns");
    columns->setRange(1, 63);
    columns->setValue(2);
    auto* rows = new QSpinBox(&dialog);
    rows->setObjectName("spnRows");
    rows->setRange(1, 32767);
    rows->setValue(2);
    layout->addRow("列数(&C):", columns);
    layout->addRow("行数(&R):", rows);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted) return std::nullopt;
    return std::pair<long, long>{rows->value(), columns->value()};
}

}  // namespace

EditActions::EditActions(QMainWindow& window, DeskApplication& desk, DocumentEditor* editor,
                         std::function<void()> refresh)
    : QObject(&window), window_(window), desk_(desk), editor_(editor), refresh_(std::move(refresh)) {
    QAction* office = Add("Office スイートで編集(&O)...", [this](DocumentEditor&) { EditInOfficeSuite(); });
    edit_ = {nullptr, office};

    QAction* bold = Add("太字(&B)", [](DocumentEditor& e) { e.ToggleBold(); });
    QAction* italic = Add("斜体(&I)", [](DocumentEditor& e) { e.ToggleItalic(); });
    QAction* underline = Add("下線(&U)", [](DocumentEditor& e) { e.ToggleUnderline(); });
    // The view takes these keys itself; the menu only shows them.
    bold->setShortcut(QKeySequence::Bold);
    italic->setShortcut(QKeySequence::Italic);
    underline->setShortcut(QKeySequence::Underline);
    for (QAction* action : {bold, italic, underline}) action->setShortcutContext(Qt::WidgetShortcut);
    const auto family = [this](bool farEast, DocumentEditor& e) {
        const auto families =
            farEast ? QFontDatabase::families(QFontDatabase::Japanese) : QFontDatabase::families(QFontDatabase::Latin);
        bool ok = false;
        const QString name = QInputDialog::getItem(&window_, farEast ? "日本語用のフォント" : "英数字用のフォント",
                                                   "フォント名(&N):", families, 0, true, &ok);
        if (ok && !name.trimmed().isEmpty()) {
            if (farEast) e.SetFontNameFarEast(name.trimmed().toStdString());
            else e.SetFontName(name.trimmed().toStdString());
        }
    };
    QAction* latin = Add("英数字用のフォント(&F)...", [family](DocumentEditor& e) { family(false, e); });
    QAction* farEast = Add("日本語用のフォント(&J)...", [family](DocumentEditor& e) { family(true, e); });
    QAction* size = Add("フォント サイズ(&S)...", [this](DocumentEditor& e) {
        bool ok = false;
        const double points = QInputDialog::getDouble(&window_, "フォント サイズ", "サイズ (ポイント)(&S):", 10.5, 1, 1638, 1, &ok, {}, 0.5);
        if (ok) e.SetFontSize(static_cast<float>(points));
    });
    const auto align = [this](const QString& caption, long alignment) {
        return Add(caption, [alignment](DocumentEditor& e) { e.SetAlignment(alignment); });
    };
    QAction* left = align("左揃え(&L)", word::wdAlignParagraphLeft);
    QAction* center = align("中央揃え(&E)", word::wdAlignParagraphCenter);
    QAction* right = align("右揃え(&R)", word::wdAlignParagraphRight);
    QAction* justify = align("両端揃え(&J)", word::wdAlignParagraphJustify);
    QAction* distribute = align("均等割り付け(&D)", word::wdAlignParagraphDistribute);
    format_ = {bold, italic, underline, nullptr, latin, farEast, size, nullptr, left, center, right, justify, distribute};
    bar_ = {bold, italic, underline, nullptr, left, center, right, justify};

    table_ = {Add("表の挿入(&I)...", [this](DocumentEditor& e) {
        if (const auto cells = AskTableSize(&window_)) e.InsertTable(cells->first, cells->second);
    })};
}

EditActions::~EditActions() = default;

QAction* EditActions::Add(const QString& caption, std::function<void(DocumentEditor&)> run) {
    auto* action = new QAction(caption, &window_);  // owned by the window
    action->setEnabled(editor_ != nullptr);
    connect(action, &QAction::triggered, this, [this, run = std::move(run)] { Run(run); });
    return action;
}

void EditActions::Run(const std::function<void(DocumentEditor&)>& run) {
    if (!editor_ || editor_->Document()->Closed()) return;
    try {
        run(*editor_);
    } catch (const host::HostError& e) {
        ShowError(e.Description());
    }
    if (refresh_) refresh_();
}

void EditActions::EditInOfficeSuite() {
    const auto document = editor_->Document();
    if (!office_) {
        OfficeEdit::Hooks hooks;
        hooks.askSaveFirst = [](const word::Document& doc) {
            return Ask("Office スイートで編集する前に '" + doc.Name() + "' を保存します。よろしいですか?") == ui::vbYes;
        };
        hooks.save = [this](const std::shared_ptr<word::Document>& doc) { return desk_.Save(doc); };
        hooks.askReload = [](const word::Document& doc) {
            return Ask("'" + doc.Name() +
                       "' は Office スイートで変更されました。このウィンドウでの変更を破棄して、読み込み直しますか?") ==
                   ui::vbYes;
        };
        hooks.showError = ShowError;
        hooks.reloaded = [this] {
            // The history belongs to the document as it was before.
            editor_->ClearUndo();
            if (refresh_) refresh_();
        };
        office_ = std::make_unique<OfficeEdit>(document, std::move(hooks));
    }
    office_->Start();
}

}  // namespace paperloom::desk::edit
