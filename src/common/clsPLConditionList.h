#pragma once
// What the filter and sort dialogs share without a window: the condition list with its
// selection, the input controls, the field box's list, and the result and dirty flags.
// `Derived` moves a row into the controls and back (`SetConditionToControls`,
// `SetConditionToList`); everything else about the list is here once.

#include "common/modPLConst.h"

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace paperloom {

template <class Derived, class Row, class ControlState>
class clsPLConditionList {
public:
    static constexpr int CMD_ADD = 0;
    static constexpr int CMD_CHANGE = 1;
    static constexpr int CMD_REMOVE = 2;
    static constexpr int CMD_CLEAR = 3;

    void Init(std::string_view strCaption) {
        caption_ = std::string(strCaption);
        rows_.clear();
        controls_ = ControlState{};
    }
    const std::string& Caption() const { return caption_; }

    // Called as the dialog is shown modally: resets the result and dirty flags.
    void BeginModal() {
        result_ = false;
        dirty_ = false;
    }
    bool Result() const { return result_; }
    bool IsDirty() const { return dirty_; }
    void Clear() { rows_.clear(); }
    bool IsCleared() const { return rows_.empty(); }

    std::size_t AddConditionToList() {
        rows_.emplace_back();
        return rows_.size() - 1;
    }

    // The field box's list; its typed text is kept.
    void SetDataFieldList(std::vector<std::string> strFields) { dataFields_ = std::move(strFields); }
    const std::vector<std::string>& DataFieldList() const { return dataFields_; }

    // Add, change, remove and clear; a returned message means the action stopped (a row needs
    // its field) and the dialog shows it. Every action that went through makes the list dirty.
    std::optional<modPLConst::PLMessage> cmdEdit_Click(int intIndex) {
        switch (intIndex) {
        case CMD_ADD:
        case CMD_CHANGE:
            if (controls_.strDataField.empty()) {
                return modPLConst::PLMessage{modPLConst::MSG_SET_DATA_FIELD, modPLConst::PLMessageIcon::Critical};
            }
            if (intIndex == CMD_ADD) {
                AddRow();
            } else {
                ChangeRow();
            }
            break;
        case CMD_REMOVE:
            RemoveSelectedRows();
            break;
        case CMD_CLEAR:
            Clear();
            break;
        default:
            return std::nullopt;
        }
        dirty_ = true;
        return std::nullopt;
    }

    // Selects that row alone and loads it into the controls.
    void lstCondition_ItemClick(std::size_t lngRow) {
        if (lngRow >= rows_.size()) {
            return;
        }
        SelectOnly(lngRow);
        self().SetConditionToControls(lngRow);
    }
    // Multi-selection as the list allows.
    void SelectRow(std::size_t lngRow, bool blnSelected) { rows_.at(lngRow).blnSelected = blnSelected; }
    void cmdCancel_Click() { result_ = false; }

    const std::vector<Row>& Conditions() const { return rows_; }
    ControlState& Controls() { return controls_; }
    const ControlState& Controls() const { return controls_; }

protected:
    void SelectOnly(std::size_t row) {
        for (std::size_t i = 0; i < rows_.size(); ++i) {
            rows_[i].blnSelected = i == row;
        }
    }

    void AddRow() {
        const std::size_t row = AddConditionToList();
        self().SetConditionToList(row);
        SelectOnly(row);
    }

    // The last selected row takes the controls' values.
    void ChangeRow() {
        for (std::size_t i = rows_.size(); i-- > 0;) {
            if (rows_[i].blnSelected) {
                self().SetConditionToList(i);
                return;
            }
        }
    }

    // Removes every selected row; the row that moved into the first removed place (or the last
    // row) becomes the selection and is loaded. Returns whether anything was removed.
    bool RemoveSelectedRows() {
        std::optional<std::size_t> lowestRemoved;
        for (std::size_t i = rows_.size(); i-- > 0;) {
            if (rows_[i].blnSelected) {
                rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(i));
                lowestRemoved = i;
            }
        }
        if (!lowestRemoved) {
            return false;
        }
        self().RowsRemoved();
        if (!rows_.empty()) {
            const std::size_t next = std::min(*lowestRemoved, rows_.size() - 1);
            SelectOnly(next);
            self().SetConditionToControls(next);
        }
        return true;
    }
    // Hook for a list whose first row differs from the others.
    void RowsRemoved() {}

    std::string caption_;
    std::vector<Row> rows_;
    ControlState controls_;
    std::vector<std::string> dataFields_;
    bool result_ = false;
    bool dirty_ = false;

private:
    Derived& self() { return static_cast<Derived&>(*this); }
};

}  // namespace paperloom
