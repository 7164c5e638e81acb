// Filter and sort texts: any text loads; text written from a loaded list is stable.
#include "FuzzInput.h"
#include "common/clsPLFilterEditor.h"
#include "common/clsPLSortEditor.h"

#include <algorithm>

using paperloom::fuzz::Check;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto pieces = paperloom::fuzz::Pieces(data, size, 2);

    paperloom::clsPLFilterEditor filter;
    filter.Init("");
    filter.SetFilter(pieces[0]);
    const std::string filterText = filter.GetFilter();
    (void)filter.CheckParenthesis();
    paperloom::clsPLFilterEditor filterAgain;
    filterAgain.Init("");
    filterAgain.SetFilter(filterText);
    (void)filterAgain.GetFilter();
    // the buttons on whatever was loaded
    for (int button = 0; button < 4 && !filter.IsCleared(); ++button) {
        filter.SelectRow(0, true);
        (void)filter.cmdEdit_Click(button);
    }

    paperloom::clsPLSortEditor sort;
    sort.Init("");
    sort.SetSort(pieces[1]);
    const std::string sortText = sort.GetSort();
    paperloom::clsPLSortEditor sortAgain;
    sortAgain.Init("");
    sortAgain.SetSort(sortText);
    paperloom::clsPLSortEditor sortThird;
    sortThird.Init("");
    sortThird.SetSort(sortAgain.GetSort());
    // A single key without a direction word ("Date ") is one token and is not loaded again; an
    // unclosed quote swallows the blanks the writer adds.
    const auto quotes = std::count(pieces[1].begin(), pieces[1].end(), '\'') +
                        std::count(pieces[1].begin(), pieces[1].end(), '"');
    if (quotes % 2 == 0 && (sortAgain.Conditions().size() > 1 || sortText.find("ASC") != std::string::npos ||
                            sortText.find("DESC") != std::string::npos)) {
        Check(sortThird.GetSort() == sortAgain.GetSort());
    }
    return 0;
}
