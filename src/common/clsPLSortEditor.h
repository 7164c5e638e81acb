#pragma once
// The logic of the sort condition dialog without a window: the key list, the input controls,
// the button actions with their dirty flag, and the conversion between the list and sort text.

#include "common/modPLConst.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace paperloom {

// One row of lstCondition: the field (item text) and the direction caption (sub-item 1).
struct SortCondition {
    std::string strDataField;
    std::string strSortCaption;  // "昇順", "降順", or "" for a direction word not understood
    bool blnSelected = false;

    friend bool operator==(const SortCondition&, const SortCondition&) = default;
};

struct SortControls {
    std::string strDataField;  // cboDataField text
    int intSortIndex = 0;      // optSort: 0 ascending, 1 descending
};

class clsPLSortEditor {
public:
    static constexpr int CMD_ADD = 0;
    static constexpr int CMD_CHANGE = 1;
    static constexpr int CMD_REMOVE = 2;
    static constexpr int CMD_CLEAR = 3;
    static constexpr std::string_view CAPTION_ASCENDING = "昇順";
    static constexpr std::string_view CAPTION_DESCENDING = "降順";

    void Init(std::string_view strCaption);
    const std::string& Caption() const { return caption_; }

    void BeginModal();
    bool Result() const { return result_; }
    bool IsDirty() const { return dirty_; }
    void Clear();
    bool IsCleared() const;

    void SetConditionToList(std::size_t lngRow);
    std::size_t AddConditionToList();
    void SetConditionToControls(std::size_t lngRow);

    void SetDataFieldList(std::vector<std::string> strFields);
    const std::vector<std::string>& DataFieldList() const { return dataFields_; }

    std::string GetSort() const;
    // Fields and direction words alternate within each comma-separated part; a field without a
    // direction word is loaded with an empty direction. Fewer than two words leave the list.
    void SetSort(std::string_view strSort);

    static std::string SortCapToSort(std::string_view strSortCap);
    static std::string SortToSortCap(std::string_view strSort);

    std::optional<modPLConst::PLMessage> cmdEdit_Click(int intIndex);
    void lstCondition_ItemClick(std::size_t lngRow);
    void SelectRow(std::size_t lngRow, bool blnSelected);
    void cmdOK_Click();
    void cmdCancel_Click();

    const std::vector<SortCondition>& Conditions() const { return rows_; }
    SortControls& Controls() { return controls_; }
    const SortControls& Controls() const { return controls_; }

private:
    void SelectOnly(std::size_t row);
    void RemoveSelectedRows();

    std::string caption_;
    std::vector<SortCondition> rows_;
    SortControls controls_;
    std::vector<std::string> dataFields_;
    bool result_ = false;
    bool dirty_ = false;
};

}  // namespace paperloom
