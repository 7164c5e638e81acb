// The designer's forms library: its entry point and the windows it keeps. A window shows its
// model and passes every edit and click on; the model decides.

#include <QPointer>

#include "AboutForm.h"
#include "BindForm.h"
#include "BookmarkForm.h"
#include "CalculatorForm.h"
#include "ConditionForms.h"
#include "ConnectionForms.h"
#include "BreakForm.h"
#include "DetailColPropForm.h"
#include "DetailInsertForm.h"
#include "DetailPropForm.h"
#include "Edit/EditForms.h"
#include "EditFormWidgets.h"
#include "HeadFieldForm.h"
#include "StatisticsForm.h"
#include "common/modPLConst.h"
#include "host/ui/qt/DialogPlacement.h"

namespace paperloom::editforms {
namespace {

using runforms::Destroy;
using runforms::FormFor;

class QtEditForms final : public edit::EditForms {
public:
    QtEditForms() { runforms::MessageTitle() = std::string(modPLConst::EDIT_APP_TITLE); }
    void ShowDBBind(clsPLEBindForm& form) override { FormFor(bind_, form).Run(); }
    void ShowDetailInsert(frmPLEDetailInsert& form) override { FormFor(detail_, form).Run(); }
    void ShowDetailProp(frmPLEDetailProp& form) override { FormFor(detailProp_, form).Run(); }
    void ShowHeadField(frmPLEHeadField& form) override { FormFor(headField_, form).Run(); }
    void ShowDetailColProp(frmPLEDetailColProp& form) override { FormFor(colProp_, form).Run(); }
    void ShowBreak(frmPLEBreak& form) override { FormFor(break_, form).Run(); }
    void ShowStatistics(frmPLEStatistics& form) override { FormFor(statistics_, form).Run(); }
    void ShowCalculator(frmPLECalculator& form) override { FormFor(calculator_, form).Run(); }
    void ShowBookmark(frmPLEBookmark& form) override { FormFor(bookmark_, form).Run(); }
    void ShowAbout(const frmPLAboutBox& form) override {
        if (!about_) about_ = new runforms::AboutForm(ui::qt::DialogOwner());
        about_->Run(form);
    }
    void ShowFilter(clsPLFilterEditor& form) override { FormFor(filter_, form).Run(); }
    void ShowSort(clsPLSortEditor& form) override { FormFor(sort_, form).Run(); }
    // The outside components are made for each use (their models are too).
    void ShowConnectionEditor(edit::ConnectionEditor& editor) override {
        ConnectionForm form(editor, ui::qt::DialogOwner());
        form.Run();
    }
    void ShowDataLinkEditor(edit::DataLinkEditor& editor) override {
        DataLinkForm form(editor, ui::qt::DialogOwner());
        form.Run();
    }
    void Unload() override {
        Destroy(bind_);
        Destroy(detail_);
        Destroy(detailProp_);
        Destroy(headField_);
        Destroy(break_);  // before the column dialog it opens over
        Destroy(colProp_);
        Destroy(statistics_);
        Destroy(calculator_);
        Destroy(filter_);
        Destroy(sort_);
        Destroy(bookmark_);
        Destroy(about_);
    }

private:
    QPointer<BindForm> bind_;
    QPointer<DetailInsertForm> detail_;
    QPointer<DetailPropForm> detailProp_;
    QPointer<HeadFieldForm> headField_;
    QPointer<DetailColPropForm> colProp_;
    QPointer<BreakForm> break_;
    QPointer<StatisticsForm> statistics_;
    QPointer<CalculatorForm> calculator_;
    QPointer<runforms::FilterForm> filter_;
    QPointer<runforms::SortForm> sort_;
    QPointer<BookmarkForm> bookmark_;
    QPointer<runforms::AboutForm> about_;
};

}  // namespace
}  // namespace paperloom::editforms

extern "C" __attribute__((visibility("default"))) paperloom::edit::EditForms* PaperloomEditForms() {
    // Kept for the process: the add-in may connect again and reuse it.
    static paperloom::editforms::QtEditForms forms;
    return &forms;
}
