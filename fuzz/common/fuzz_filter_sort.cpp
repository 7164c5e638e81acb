// Filter and sort texts: any text loads; text written from a loaded list is stable.
#include "FuzzInput.h"
#include "common/clsPLFilterEditor.h"
#include "common/clsPLSortEditor.h"

#include <algorithm>
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

using paperloom::fuzz::Check;

namespace {

std::vector<std::string> SplitAt(const std::string& text, char separator) {
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == separator) {
            parts.emplace_back();
        } else {
            parts.back().push_back(c);
        }
    }
    return parts;
}

bool IsWord(const std::string& text, std::string_view word) {
    return std::equal(text.begin(), text.end(), word.begin(), word.end(),
                      [](char a, char b) { return std::tolower(static_cast<unsigned char>(a)) == b; });
}

// A field name as a user picks it from the list: no blanks, quotes or parentheses, and not one
// of the joining words, which the filter text reads in any case.
bool IsUsableField(const std::string& field) {
    return !field.empty() && !IsWord(field, "and") && !IsWord(field, "or") &&
           field.find_first_of(" \t\r\n'\"()") == std::string::npos;
}

// A typed value: single blanks between words, none around.
std::string TypedValue(const std::string& raw) {
    std::string value;
    for (char c : raw) {
        if (c == '\t' || c == '\r' || c == '\n') {
            c = ' ';
        }
        if (c == ' ' && (value.empty() || value.back() == ' ')) {
            continue;
        }
        value.push_back(c);
    }
    while (!value.empty() && value.back() == ' ') {
        value.pop_back();
    }
    return value;
}

// Rows entered through the controls come back unchanged from their own filter text.
void CheckEnteredRowsRoundTrip(const std::string& spec) {
    paperloom::clsPLFilterEditor editor;
    editor.Init("");
    for (const std::string& line : SplitAt(spec, '\n')) {
        const auto cells = SplitAt(line, '\x02');
        if (cells.size() < 4 || cells[0].size() < 4 || !IsUsableField(cells[1])) {
            continue;
        }
        auto& controls = editor.Controls();
        controls.blnOr = (cells[0][0] & 1) != 0;
        controls.intOpenParenthesisIndex = static_cast<unsigned char>(cells[0][1]) % 5;
        controls.intCloseParenthesisIndex = static_cast<unsigned char>(cells[0][2]) % 5;
        controls.strDataField = cells[1];
        editor.cboComparisonOperator_Click(static_cast<unsigned char>(cells[0][3]) % 9);
        if (controls.blnValueEnabled) {
            controls.strValue = TypedValue(cells[2]);
        }
        Check(!editor.cmdEdit_Click(paperloom::clsPLFilterEditor::CMD_ADD).has_value());
    }
    if (editor.IsCleared()) {
        return;
    }
    paperloom::clsPLFilterEditor reader;
    reader.Init("");
    reader.SetFilter(editor.GetFilter());
    Check(reader.Conditions().size() == editor.Conditions().size());
    for (std::size_t i = 0; i < editor.Conditions().size(); ++i) {
        auto expected = editor.Conditions()[i];
        auto actual = reader.Conditions()[i];
        expected.blnSelected = actual.blnSelected = false;
        Check(actual == expected);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const auto pieces = paperloom::fuzz::Pieces(data, size, 3);
    CheckEnteredRowsRoundTrip(pieces[2]);

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
