#include "host/ui/PageSelection.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace paperloom::ui {
namespace {

std::string Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return std::string(text);
}

[[noreturn]] void Refuse(const std::string& part, const std::string& why) {
    throw std::invalid_argument("ページ指定「" + part + "」" + why +
                                "ページ番号と範囲をカンマで区切って入力してください (例: 1-3,5)。");
}

// A page number of `part`: digits only, 1 or more.
int PageNumber(const std::string& digits, const std::string& part) {
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](unsigned char c) { return std::isdigit(c); }))
        Refuse(part, "は読み取れません。");
    // Ten digits or more cannot be a page of any document this prints.
    if (digits.size() > 9) Refuse(part, "のページ番号が大きすぎます。");
    const int page = std::stoi(digits);
    if (page < 1) Refuse(part, "のページ番号は 1 以上にしてください。");
    return page;
}

}  // namespace

PageSelection PageSelection::Parse(const std::string& text) {
    PageSelection selection;
    if (Trimmed(text).empty()) throw std::invalid_argument("印刷するページを入力してください (例: 1-3,5)。");
    std::size_t start = 0;
    while (start <= text.size()) {
        const std::size_t comma = std::min(text.find(',', start), text.size());
        const std::string part = Trimmed(std::string_view(text).substr(start, comma - start));
        start = comma + 1;
        if (part.empty()) Refuse(text, "に空の項目があります。");
        const std::size_t dash = part.find('-');
        Range range;
        if (dash == std::string::npos) {
            range.first = PageNumber(part, part);
            range.last = range.first;
        } else {
            const std::string from = Trimmed(std::string_view(part).substr(0, dash));
            const std::string to = Trimmed(std::string_view(part).substr(dash + 1));
            if (from.empty() && to.empty()) Refuse(part, "は読み取れません。");
            range.first = from.empty() ? 1 : PageNumber(from, part);
            if (!to.empty()) range.last = PageNumber(to, part);
            if (range.last && *range.last < range.first) Refuse(part, "は終わりのページが始めのページより前です。");
        }
        selection.ranges_.push_back(range);
    }
    return selection;
}

std::string PageSelection::Text() const {
    std::string text;
    for (const auto& range : ranges_) {
        if (!text.empty()) text += ',';
        text += std::to_string(range.first);
        if (!range.last)
            text += '-';
        else if (*range.last != range.first)
            text += '-' + std::to_string(*range.last);
    }
    return text;
}

std::vector<int> PageSelection::PagesOf(int pageCount) const {
    std::vector<int> pages;
    for (int page = 1; page <= pageCount; ++page) {
        const bool selected = All() || std::any_of(ranges_.begin(), ranges_.end(), [page](const Range& range) {
                                  return page >= range.first && (!range.last || page <= *range.last);
                              });
        if (selected) pages.push_back(page);
    }
    return pages;
}

}  // namespace paperloom::ui
