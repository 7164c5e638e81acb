#pragma once
// What the designer's dialog tests share: forms that run a script instead of a window, and
// message boxes answered from a queue and recorded.

#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "Edit/ConnectionEditor.h"
#include "Edit/DataLinkEditor.h"
#include "Edit/EditForms.h"
#include "Edit/clsPLEBindForm.h"
#include "Edit/frmPLEDetailInsert.h"
#include "host/ui/HeadlessServices.h"
#include "host/ui/UiServices.h"

namespace paperloom::edit::test {

struct ScriptedEditForms final : EditForms {
    std::function<void(clsPLEBindForm&)> bind;
    std::function<void(frmPLEDetailInsert&)> detail;
    std::function<void(clsPLFilterEditor&)> filter;
    std::function<void(clsPLSortEditor&)> sort;
    std::function<void(ConnectionEditor&)> connection;
    std::function<void(DataLinkEditor&)> dataLink;
    std::function<void(frmPLEHeadField&)> headField;
    std::function<void(frmPLEDetailProp&)> detailProp;
    std::function<void(frmPLEDetailColProp&)> columnProp;
    std::function<void(frmPLEBreak&)> rowBreak;
    std::function<void(frmPLEStatistics&)> statistics;
    std::function<void(frmPLECalculator&)> calculator;
    std::function<void(frmPLEBookmark&)> bookmark;
    std::function<void(const frmPLAboutBox&)> about;
    void ShowDBBind(clsPLEBindForm& f) override { if (bind) bind(f); }
    void ShowDetailInsert(frmPLEDetailInsert& f) override { if (detail) detail(f); }
    void ShowFilter(clsPLFilterEditor& f) override { if (filter) filter(f); }
    void ShowSort(clsPLSortEditor& f) override { if (sort) sort(f); }
    void ShowConnectionEditor(ConnectionEditor& e) override { if (connection) connection(e); }
    void ShowDataLinkEditor(DataLinkEditor& e) override { if (dataLink) dataLink(e); }
    void ShowHeadField(frmPLEHeadField& f) override { if (headField) headField(f); }
    void ShowDetailProp(frmPLEDetailProp& f) override { if (detailProp) detailProp(f); }
    void ShowDetailColProp(frmPLEDetailColProp& f) override { if (columnProp) columnProp(f); }
    void ShowBreak(frmPLEBreak& f) override { if (rowBreak) rowBreak(f); }
    void ShowStatistics(frmPLEStatistics& f) override { if (statistics) statistics(f); }
    void ShowCalculator(frmPLECalculator& f) override { if (calculator) calculator(f); }
    void ShowBookmark(frmPLEBookmark& f) override { if (bookmark) bookmark(f); }
    void ShowAbout(const frmPLAboutBox& f) override { if (about) about(f); }
    void Unload() override {}
};

// Scripted forms and message boxes for the lifetime of a test.
struct EditDialogHarness {
    std::ostringstream log;
    std::shared_ptr<ui::HeadlessMessageService> messages = std::make_shared<ui::HeadlessMessageService>(log);
    ui::ScopedServices services{{messages, nullptr, nullptr, nullptr}};
    ScriptedEditForms forms;
    ScopedEditForms scoped{&forms};

    // The texts of the boxes shown so far, then forgotten.
    std::vector<std::string> TakeShown() {
        std::vector<std::string> texts;
        const auto& shown = messages->Shown();
        for (std::size_t i = taken_; i < shown.size(); ++i) texts.push_back(shown[i].request.strText);
        taken_ = shown.size();
        return texts;
    }

private:
    std::size_t taken_ = 0;
};

}  // namespace paperloom::edit::test
