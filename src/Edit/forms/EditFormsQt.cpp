// The designer's forms library: its entry point and the windows it keeps. A window shows its
// model and passes every edit and click on; the model decides.

#include <QPointer>

#include "BindForm.h"
#include "CalculatorForm.h"
#include "ConditionForms.h"
#include "ConnectionForms.h"
#include "DetailInsertForm.h"
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
    void ShowHeadField(frmPLEHeadField& form) override { FormFor(headField_, form).Run(); }
    void ShowStatistics(frmPLEStatistics& form) override { FormFor(statistics_, form).Run(); }
    void ShowCalculator(frmPLECalculator& form) override { FormFor(calculator_, form).Run(); }
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
        Destroy(headField_);
        Destroy(statistics_);
        Destroy(calculator_);
        Destroy(filter_);
        Destroy(sort_);
    }

private:
    QPointer<BindForm> bind_;
    QPointer<DetailInsertForm> detail_;
    QPointer<HeadFieldForm> headField_;
    QPointer<StatisticsForm> statistics_;
    QPointer<CalculatorForm> calculator_;
    QPointer<runforms::FilterForm> filter_;
    QPointer<runforms::SortForm> sort_;
};

}  // namespace
}  // namespace paperloom::editforms

extern "C" __attribute__((visibility("default"))) paperloom::edit::EditForms* PaperloomEditForms() {
    // Kept for the process: the add-in may connect again and reuse it.
    static paperloom::editforms::QtEditForms forms;
    return &forms;
}
