#pragma once
// The logic of the filter condition dialog without a window: the condition list, the state of
// its input controls, the button actions with their dirty flag, and the conversion between
// the list and filter text. The dialog shows this model and reports clicks to it; messages
// come back as values for the dialog to show.

#include "common/clsPLConditionList.h"
#include "common/modPLConst.h"

#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace paperloom {

// One row of lstCondition: item text and sub-items 1 to 5.
struct FilterCondition {
    std::string strLogicalOperator;  // "And", "Or"; "" on the first row
    std::string strOpenParenthesis;
    std::string strDataField;
    std::string strComparisonCaption;
    std::string strValue;
    std::string strCloseParenthesis;
    bool blnSelected = false;

    friend bool operator==(const FilterCondition&, const FilterCondition&) = default;
};

// The input controls under the list.
struct FilterControls {
    bool blnOr = false;                // optLogicalOperator: And (false) or Or (true)
    int intOpenParenthesisIndex = 0;   // 0 none .. 4 "(((("; -1 no selection
    std::string strDataField;          // cboDataField text
    int intComparisonIndex = -1;       // cboComparisonOperator list index; -1 no selection
    std::string strValue;              // txtComparisonValue
    bool blnValueEnabled = true;
    int intCloseParenthesisIndex = 0;  // 0 none .. 4 "))))"; -1 no selection
};

class clsPLFilterEditor : public clsPLConditionList<clsPLFilterEditor, FilterCondition, FilterControls> {
public:
    static const std::array<std::string_view, 5>& OpenParentheses();
    static const std::array<std::string_view, 5>& CloseParentheses();
    // Comparison captions in list order; index 6 and 7 are the blank comparisons.
    static const std::array<std::string_view, 9>& ComparisonCaptions();

    void SetConditionToList(std::size_t lngRow);
    void SetConditionToControls(std::size_t lngRow);

    std::string GetFilter() const;
    void SetFilter(std::string_view strFilter);

    static std::string CompCapToCompOp(std::string_view strCompCap);
    static std::string CompOpToCompCap(std::string_view strCompOp);
    bool CheckParenthesis() const;

    // User actions. A returned message means the action stopped; the dialog shows it.
    void cboComparisonOperator_Click(int intListIndex);
    std::optional<modPLConst::PLMessage> cmdOK_Click();  // std::nullopt: accepted, dialog hides

private:
    friend class clsPLConditionList<clsPLFilterEditor, FilterCondition, FilterControls>;
    // The first row carries no logical operator.
    void RowsRemoved();
};

}  // namespace paperloom
