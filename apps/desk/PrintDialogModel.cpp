#include "PrintDialogModel.h"

#include <algorithm>
#include <stdexcept>

#include "host/ui/PageSelection.h"

namespace paperloom::desk {

PrintDialogModel::PrintDialogModel(ui::PrintOptions options) : options_(std::move(options)) {
    if (PrintsToFolder())
        printers_.push_back({"", "印刷先フォルダー: " + options_.printDir.string()});
    else
        printers_.push_back({"", "既定のプリンター"});
}

void PrintDialogModel::SetDestinations(const ui::PrintDestinations& destinations) {
    if (PrintsToFolder()) return;
    printers_.resize(1);
    selected_ = 0;
    for (const auto& name : destinations.printers)
        printers_.push_back({name, name + (destinations.defaultPrinter == name ? " (既定)" : "")});
}

void PrintDialogModel::SelectPrinter(std::size_t index) {
    if (index >= printers_.size()) throw std::out_of_range("no such printer in the print dialog");
    selected_ = index;
}

void PrintDialogModel::SetCopies(int copies) { copies_ = std::clamp(copies, 1, kMaxCopies); }

std::string PrintDialogModel::Problem() const {
    if (allPages_) return {};
    try {
        ui::PageSelection::Parse(pageText_);
    } catch (const std::invalid_argument& e) {
        return e.what();
    }
    return {};
}

ui::PrintOptions PrintDialogModel::Accept() const {
    if (const std::string problem = Problem(); !problem.empty()) throw std::invalid_argument(problem);
    ui::PrintOptions options = options_;
    options.printer = printers_[selected_].name;
    options.pages = allPages_ ? ui::PageSelection() : ui::PageSelection::Parse(pageText_);
    return options;
}

}  // namespace paperloom::desk
