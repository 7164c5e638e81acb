#pragma once
// What the print dialog shows and returns, without a window: the printers to choose from (the
// print server's, or the print folder when one is set), the number of copies and the pages.
// OK is refused with a message while the page list cannot be read.

#include <cstddef>
#include <string>
#include <vector>

#include "host/ui/PrintDestinations.h"
#include "host/ui/PrintOfficeService.h"

namespace paperloom::desk {

class PrintDialogModel {
public:
    static constexpr int kMaxCopies = 99;

    struct Printer {
        std::string name;  // "" for the server's default
        std::string caption;
    };

    // `options`: the print folder and programs to print with, as the environment sets them.
    explicit PrintDialogModel(ui::PrintOptions options);

    // The print server's printers after the default entry (ignored when printing to a folder).
    void SetDestinations(const ui::PrintDestinations& destinations);
    const std::vector<Printer>& Printers() const noexcept { return printers_; }
    bool PrintsToFolder() const noexcept { return !options_.printDir.empty(); }
    void SelectPrinter(std::size_t index);
    std::size_t SelectedPrinter() const noexcept { return selected_; }

    // Kept within 1 .. kMaxCopies.
    void SetCopies(int copies);
    int Copies() const noexcept { return copies_; }

    void SetAllPages(bool all) { allPages_ = all; }
    bool AllPages() const noexcept { return allPages_; }
    void SetPageText(std::string text) { pageText_ = std::move(text); }
    const std::string& PageText() const noexcept { return pageText_; }

    // Why OK cannot be accepted, or "".
    std::string Problem() const;
    // OK: the options to print with. Throws std::invalid_argument with Problem()'s text.
    ui::PrintOptions Accept() const;

private:
    ui::PrintOptions options_;
    std::vector<Printer> printers_;
    std::size_t selected_ = 0;
    int copies_ = 1;
    bool allPages_ = true;
    std::string pageText_;
};

}  // namespace paperloom::desk
