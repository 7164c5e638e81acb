#pragma once
// The logic of the sort condition dialog without a window: the key list, the input controls,
// the button actions with their dirty flag, and the conversion between the list and sort text.

#include "common/clsPLConditionList.h"
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

class clsPLSortEditor : public clsPLConditionList<clsPLSortEditor, SortCondition, SortControls> {
public:
    static constexpr std::string_view CAPTION_ASCENDING = "昇順";
    static constexpr std::string_view CAPTION_DESCENDING = "降順";

    void SetConditionToList(std::size_t lngRow);
    void SetConditionToControls(std::size_t lngRow);

    std::string GetSort() const;
    // Fields and direction words alternate within each comma-separated part; a field without a
    // direction word is loaded with an empty direction. Fewer than two words leave the list.
    void SetSort(std::string_view strSort);

    static std::string SortCapToSort(std::string_view strSortCap);
    static std::string SortToSortCap(std::string_view strSort);

    void cmdOK_Click() { result_ = true; }
};

}  // namespace paperloom
