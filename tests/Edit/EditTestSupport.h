#pragma once
// The designer's dialogs answered by a test: each Show runs the test's script against the model
// (as a user fills the window and presses a button); a dialog without a script closes as
// cancelled. The shop database and templates of the run-time tests serve here too.

#include <functional>

#include "../Run/conPLRunTestSupport.h"
#include "Edit/EditForms.h"
#include "Edit/clsPLEBindForm.h"
#include "Edit/frmPLEDetailInsert.h"
#include "Edit/frmPLEHeadField.h"

namespace paperloom::edit::test {

using namespace paperloom::run::test;

class TestEditForms final : public EditForms {
public:
    std::function<void(clsPLEBindForm&)> bind;
    std::function<void(frmPLEDetailInsert&)> detail;
    int bindShown = 0;
    int detailShown = 0;
    std::function<void(frmPLEHeadField&)> headField;
    int headFieldShown = 0;

    void ShowDBBind(clsPLEBindForm& form) override {
        ++bindShown;
        if (bind) bind(form);
    }
    void ShowDetailInsert(frmPLEDetailInsert& form) override {
        ++detailShown;
        if (detail) detail(form);
    }
    void ShowHeadField(frmPLEHeadField& form) override {
        ++headFieldShown;
        if (headField) headField(form);
    }
    std::function<void(frmPLEDetailColProp&)> columnProp;
    std::function<void(frmPLEBreak&)> rowBreak;
    std::function<void(clsPLSortEditor&)> sort;
    int columnPropShown = 0;
    void ShowDetailColProp(frmPLEDetailColProp& form) override {
        ++columnPropShown;
        if (columnProp) columnProp(form);
    }
    void ShowBreak(frmPLEBreak& form) override {
        if (rowBreak) rowBreak(form);
    }
    void ShowFilter(clsPLFilterEditor&) override {}
    void ShowSort(clsPLSortEditor& form) override {
        if (sort) sort(form);
    }
    void ShowConnectionEditor(ConnectionEditor&) override {}
    void ShowDataLinkEditor(DataLinkEditor&) override {}
    void Unload() override { ++unloads; }
    int unloads = 0;
};

inline word::AddInRegistration EditRegistration() {
    return {"OsPLEdit.conPLEdit", "/not/loaded/libOsPLEdit.so", "Paperloom 開発", "ｱﾄﾞｲﾝ ﾌﾟﾛｼﾞｪｸﾄ ﾃﾝﾌﾟﾚｰﾄ", 16};
}

// The "Edit" submenu's bar, or null.
inline std::shared_ptr<word::CommandBar> EditMenu(word::CommandBars& bars) {
    const auto popup = bars.Item("Tools")->FindControl("Paperloom");
    if (!popup) return nullptr;
    const auto edit = popup->CommandBar()->FindControl("Edit");
    return edit ? edit->CommandBar() : nullptr;
}

inline std::shared_ptr<word::CommandBar> BarNamed(word::CommandBars& bars, const std::string& name) {
    for (const auto& bar : bars)
        if (bar->Name() == name) return bar;
    return nullptr;
}

inline const std::vector<std::string> kEditMenuTags{"MenuHeadBind",   "MenuHeadField",    "MenuDetailInsert",
                                                    "MenuDetailProp", "MenuDetailColProp", "MenuStatistics",
                                                    "MenuBookmark",   "MenuCalculator",    "MenuEditHelp",
                                                    "MenuEditAbout"};
inline const std::vector<std::string> kEditToolTags{"ToolHeadBind",      "ToolHeadField",  "ToolDetailInsert",
                                                    "ToolDetailProp",    "ToolDetailColProp", "ToolStatistics",
                                                    "ToolBookmark",      "ToolCalculator", "ToolEditHelp"};

}  // namespace paperloom::edit::test
