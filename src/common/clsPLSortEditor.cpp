#include "common/clsPLSortEditor.h"

#include "common/modPLFunction.h"

#include <algorithm>

namespace paperloom {

void clsPLSortEditor::SetConditionToList(std::size_t lngRow) {
    SortCondition& row = rows_.at(lngRow);
    row.strDataField = controls_.strDataField;
    row.strSortCaption = std::string(controls_.intSortIndex == 0 ? CAPTION_ASCENDING : CAPTION_DESCENDING);
}

void clsPLSortEditor::SetConditionToControls(std::size_t lngRow) {
    const SortCondition& row = rows_.at(lngRow);
    controls_.strDataField = row.strDataField;
    controls_.intSortIndex = row.strSortCaption == CAPTION_ASCENDING ? 0 : 1;
}

std::string clsPLSortEditor::GetSort() const {
    std::string sort;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        if (i > 0) {
            sort += ",";
        }
        sort += rows_[i].strDataField + " " + SortCapToSort(rows_[i].strSortCaption);
    }
    return sort;
}

void clsPLSortEditor::SetSort(std::string_view strSort) {
    std::vector<std::string> tokens;
    if (modPLFunction::SplitTokensKeepDelimiters(strSort, tokens, ",") < 1) {
        return;
    }
    // Keys are the comma-separated parts; within a part fields and direction words alternate.
    // Reading part by part keeps every key even when one lacks its direction word.
    std::vector<std::vector<std::string>> parts(1);
    std::size_t words = 0;
    for (std::string& token : tokens) {
        const char first = token.front();
        const bool delimiterRun = first == ' ' || first == '\t' || first == '\r' || first == '\n' || first == ',';
        if (!delimiterRun) {
            parts.back().push_back(std::move(token));
            ++words;
        } else if (token.find(',') != std::string::npos && !parts.back().empty()) {
            parts.emplace_back();
        }
    }
    if (words < 2) {
        return;
    }
    rows_.clear();
    for (const auto& part : parts) {
        for (std::size_t i = 0; i < part.size(); i += 2) {
            const std::size_t row = AddConditionToList();
            rows_[row].strDataField = part[i];
            rows_[row].strSortCaption = i + 1 < part.size() ? SortToSortCap(part[i + 1]) : std::string();
        }
    }
    SelectOnly(0);
    SetConditionToControls(0);
}

std::string clsPLSortEditor::SortCapToSort(std::string_view strSortCap) {
    if (strSortCap == CAPTION_ASCENDING) {
        return "ASC";
    }
    if (strSortCap == CAPTION_DESCENDING) {
        return "DESC";
    }
    return {};
}

std::string clsPLSortEditor::SortToSortCap(std::string_view strSort) {
    if (strSort == "ASC") {
        return std::string(CAPTION_ASCENDING);
    }
    if (strSort == "DESC") {
        return std::string(CAPTION_DESCENDING);
    }
    return {};
}

}  // namespace paperloom
