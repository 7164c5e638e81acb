#pragma once
// Printing and print preview from the window. Both go through the print service that
// `paperloom print` uses: the document as it stands is saved to a private copy and rendered
// by the office suite. The preview shows the rendered PDF's pages as pictures (poppler's
// pdftoppm); without the suite or pdftoppm it says what to install.

#include <QDialog>

#include <filesystem>
#include <string>
#include <vector>

class QWidget;

namespace paperloom::word {
class Document;
}

namespace paperloom::desk {

// Renders the document into `folder` and returns its pages as PNG files, in order.
// HostError with what to install when the suite or pdftoppm is missing.
std::vector<std::filesystem::path> RenderPreviewPages(word::Document& document, const std::filesystem::path& folder,
                                                      int dotsPerInch = 60);

class PrintPreviewWindow final : public QDialog {
public:
    PrintPreviewWindow(const std::string& title, const std::vector<std::filesystem::path>& pages, QWidget* owner);
    int PageCount() const noexcept { return pages_; }

private:
    int pages_ = 0;
};

// 印刷プレビュー: renders and shows the window (modeless, closed with the owner); errors in a box.
void ShowPrintPreview(word::Document& document, QWidget* owner);
// 印刷: the print dialog (the print server's printers, copies), then prints.
void ShowPrintDialog(word::Document& document, QWidget* owner);

}  // namespace paperloom::desk
