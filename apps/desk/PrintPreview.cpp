#include "PrintPreview.h"

#include "PrintDialogModel.h"

#include <QApplication>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

#include "host/HostError.h"
#include "host/ui/PrintDestinations.h"
#include "host/ui/PrintOfficeService.h"
#include "host/ui/UiServices.h"
#include "host/ui/qt/DialogPlacement.h"
#include "host/word/Document.h"

namespace paperloom::desk {
namespace {

namespace fs = std::filesystem;

host::HostError PreviewError(const std::string& why) { return host::HostError(4198, "Paperloom", why); }

void ShowFailure(const std::string& what, const std::exception_ptr& error) {
    std::string reason;
    try {
        std::rethrow_exception(error);
    } catch (const host::HostError& e) {
        reason = e.Description();
    } catch (const std::exception& e) {
        reason = e.what();
    }
    ui::MessageRequest request;
    request.strText = what + "\n" + reason;
    request.icon = ui::MessageIcon::Critical;
    ui::Messages().Show(request);
}

// Busy cursor for the length of a rendering.
struct WaitCursor {
    WaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

std::vector<fs::path> RenderPreviewPages(word::Document& document, const fs::path& folder, int dotsPerInch) {
    const QString pdftoppm = QStandardPaths::findExecutable("pdftoppm");
    if (pdftoppm.isEmpty())
        throw PreviewError("印刷プレビューには pdftoppm が必要です。パッケージ poppler-utils をインストールしてください。");
    const auto copy = folder / "preview.docx";
    const auto pdf = folder / "preview.pdf";
    // A private copy: the document's own file, name and saved state stay as they are.
    document.Package().Save(copy);
    ui::Printing().RenderPdf(copy, pdf);

    QProcess process;
    process.start(pdftoppm, {"-r", QString::number(dotsPerInch), "-png", QString::fromStdString(pdf.string()),
                             QString::fromStdString((folder / "page").string())});
    if (!process.waitForFinished(120'000) || process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0) {
        process.kill();
        throw PreviewError("PDF のページを画像にできませんでした: " + process.readAllStandardError().toStdString());
    }
    std::vector<fs::path> pages;
    for (const auto& entry : fs::directory_iterator(folder)) {
        const auto name = entry.path().filename().string();
        if (name.starts_with("page-") && entry.path().extension() == ".png") pages.push_back(entry.path());
    }
    // pdftoppm pads the numbers to one width, so the names sort in page order.
    std::sort(pages.begin(), pages.end());
    return pages;
}

PrintPreviewWindow::PrintPreviewWindow(const std::string& title, const std::vector<fs::path>& pages, QWidget* owner)
    : QDialog(owner) {
    setObjectName("printPreview");
    setWindowTitle("印刷プレビュー - " + QString::fromStdString(title));
    // Widgets are owned by the dialog through its layouts.
    auto* layout = new QVBoxLayout(this);
    auto* scroll = new QScrollArea(this);
    auto* sheet = new QWidget(scroll);
    auto* column = new QVBoxLayout(sheet);
    column->setSpacing(16);
    for (const auto& page : pages) {
        QPixmap picture(QString::fromStdString(page.string()));
        if (picture.isNull()) continue;
        auto* label = new QLabel(sheet);
        label->setObjectName("page");
        label->setPixmap(picture);
        label->setFrameShape(QFrame::Box);
        column->addWidget(label, 0, Qt::AlignHCenter);
        ++pages_;
    }
    scroll->setWidget(sheet);
    scroll->setAlignment(Qt::AlignHCenter);
    scroll->setBackgroundRole(QPalette::Dark);
    layout->addWidget(scroll);
    auto* footer = new QHBoxLayout();
    auto* count = new QLabel(QString("%1 ページ").arg(pages_), this);
    count->setObjectName("pageCount");
    footer->addWidget(count);
    footer->addStretch();
    auto* close = new QPushButton("閉じる(&C)", this);
    connect(close, &QPushButton::clicked, this, &QDialog::close);
    footer->addWidget(close);
    layout->addLayout(footer);
    resize(820, 860);
}

void ShowPrintPreview(word::Document& document, QWidget* owner) {
    QTemporaryDir folder;
    std::vector<fs::path> pages;
    try {
        const WaitCursor wait;
        if (!folder.isValid()) throw PreviewError("一時フォルダーを作成できません。");
        pages = RenderPreviewPages(document, folder.path().toStdString());
    } catch (...) {
        ShowFailure(document.Name() + " の印刷プレビューを表示できません。", std::current_exception());
        return;
    }
    auto* window = new PrintPreviewWindow(document.Name(), pages, owner);  // deletes itself on close
    window->setAttribute(Qt::WA_DeleteOnClose);
    window->show();
    ui::qt::CentreDialog(*window);
}

void ShowPrintDialog(word::Document& document, QWidget* owner) {
    PrintDialogModel model(ui::PrintOptionsFromEnvironment());
    if (!model.PrintsToFolder()) {
        QTemporaryDir work;
        try {
            model.SetDestinations(ui::QueryPrintDestinations(model.Accept().statusProgram, std::chrono::seconds(10),
                                                             work.path().toStdString()));
        } catch (...) {
            // Without the print server's list the default printer remains; printing reports why.
        }
    }
    QDialog dialog(owner);
    dialog.setWindowTitle("印刷");
    dialog.setObjectName("printDialog");
    // Widgets are owned by the dialog through its layout.
    auto* form = new QFormLayout(&dialog);
    auto* printer = new QComboBox(&dialog);
    printer->setObjectName("cboPrinter");
    for (const auto& entry : model.Printers()) printer->addItem(QString::fromStdString(entry.caption));
    printer->setEnabled(!model.PrintsToFolder());
    QObject::connect(printer, &QComboBox::currentIndexChanged, &dialog,
                     [&model](int index) { model.SelectPrinter(static_cast<std::size_t>(std::max(index, 0))); });
    auto* copies = new QSpinBox(&dialog);
    copies->setObjectName("txtCopies");
    copies->setRange(1, PrintDialogModel::kMaxCopies);
    QObject::connect(copies, &QSpinBox::valueChanged, &dialog, [&model](int value) { model.SetCopies(value); });

    auto* allPages = new QRadioButton("すべて(&A)", &dialog);
    allPages->setObjectName("optAllPages");
    allPages->setChecked(true);
    auto* somePages = new QRadioButton("ページ指定(&G):", &dialog);
    somePages->setObjectName("optPages");
    auto* pages = new QLineEdit(&dialog);
    pages->setObjectName("txtPages");
    pages->setPlaceholderText("例: 1-3,5");
    pages->setEnabled(false);
    QObject::connect(somePages, &QRadioButton::toggled, &dialog, [&model, pages](bool checked) {
        model.SetAllPages(!checked);
        pages->setEnabled(checked);
        if (checked) pages->setFocus();
    });
    QObject::connect(pages, &QLineEdit::textChanged, &dialog,
                     [&model](const QString& text) { model.SetPageText(text.toStdString()); });
    auto* range = new QGridLayout();
    range->addWidget(allPages, 0, 0);
    range->addWidget(somePages, 1, 0);
    range->addWidget(pages, 1, 1);

    form->addRow("プリンター名(&N):", printer);
    form->addRow("部数(&C):", copies);
    form->addRow("印刷範囲:", range);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    buttons->button(QDialogButtonBox::Cancel)->setText("キャンセル");
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, [&] {
        // A page list that cannot be read keeps the dialog open on it.
        if (const std::string problem = model.Problem(); !problem.empty()) {
            ui::MessageRequest request;
            request.strText = problem;
            request.icon = ui::MessageIcon::Exclamation;
            ui::Messages().Show(request);
            pages->setFocus();
            pages->selectAll();
            return;
        }
        dialog.accept();
    });
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    dialog.adjustSize();
    ui::qt::CentreDialog(dialog);
    if (dialog.exec() != QDialog::Accepted) return;

    try {
        const WaitCursor wait;
        QTemporaryDir folder;
        if (!folder.isValid()) throw PreviewError("一時フォルダーを作成できません。");
        const auto copy = fs::path(folder.path().toStdString()) / "print.docx";
        document.Package().Save(copy);
        ui::OfficePrintService service(model.Accept());
        service.CheckPrograms(true);
        for (int n = 0; n < model.Copies(); ++n) service.PrintDocument(copy, document.Name());
    } catch (...) {
        ShowFailure(document.Name() + " を印刷できませんでした。", std::current_exception());
    }
}

}  // namespace paperloom::desk
