// The run-time commands behind the menu and toolbar: each runs inside one frame that marks a
// command as running (so errors of document events it causes are shown) and reports any
// error through the shared error box. Toolbar handlers call the menu handler of their command.

#include <string>

#include "Run/RunDialogs.h"
#include "Run/RunForms.h"
#include "Run/clsPLRCtlEvents.h"
#include "Run/modPLRFunction.h"
#include "common/clsPLProperty.h"
#include "common/modPLConst.h"
#include "common/modPLDataFields.h"
#include "common/modPLFunction.h"
#include "host/DebugLog.h"
#include "host/HostError.h"
#include "host/ado/Variant.h"
#include "host/ui/UiServices.h"

namespace paperloom {
namespace {

using C = clsPLRCtlEvents;

constexpr const char* kDetailTestQuestion = "明細データ部にデータを設定します";
constexpr const char* kPrintQuestion = "印刷を開始します";
constexpr const char* kDocumentQuestion = "印刷用文書を作成します";
constexpr const char* kFilterCaption = "基本データ部の抽出";
constexpr const char* kSortCaption = "基本データ部のソート";
constexpr const char* kAboutSubTitle = "Run time Add-in";
constexpr const char* kAboutCaption = "About Ostrander/COM Paperloom 2000";

// gblnInCommand is True while the body runs and False afterwards, however it ends.
class InCommand {
public:
    explicit InCommand(run::RunState& state) : mState(state) { mState.gblnInCommand = true; }
    ~InCommand() { mState.gblnInCommand = false; }
    InCommand(const InCommand&) = delete;
    InCommand& operator=(const InCommand&) = delete;

private:
    run::RunState& mState;
};

template <typename Body>
void RunCommand(run::RunState& state, Body&& body) noexcept {
    const InCommand running(state);
    try {
        body();
    } catch (...) {
        try {
            modPLFunction::ShowErrorMessage(modPLConst::RUN_APP_TITLE, std::current_exception());
        } catch (...) {
            // A box that cannot be shown must not take the host down with it.
            debuglog::Swallowed("clsPLRCtlEventsCommands.cpp: RunCommand (error box)");
        }
    }
}

// Information box with OK and Cancel under the add-in's title; true for OK.
bool Confirm(const char* text) {
    ui::MessageRequest request;
    request.strText = text;
    request.strTitle = std::string(modPLConst::RUN_APP_TITLE);
    request.icon = ui::MessageIcon::Information;
    request.buttons = ui::MessageButtons::OKCancel;
    return ui::Messages().Show(request) == ui::vbOK;
}

std::string DocVariable(word::Document& document, std::string_view name, std::string_view fallback) {
    return clsPLProperty().GetDocVariable(name, document, fallback);
}

// An option as a check box: "" unticked, otherwise the Boolean the text stands for; text
// that is not a Boolean text is an error of the command.
int OptionToCheck(const std::string& text) {
    if (text.empty()) return 0;
    return host::ado::CBool(host::ado::Variant(text)) ? 1 : 0;
}

}  // namespace

std::shared_ptr<word::Document> C::ActiveDocument() const {
    const auto& application = mState.application;
    if (!application) throw host::HostError(91, "OsPLRun", "The add-in is not connected.");
    auto document = application->ActiveDocument();
    if (!document) throw host::HostError(4248, "OsPLRun", "No document is open.");
    return document;
}

std::shared_ptr<clsPLRDBBind> C::ActiveBinding() const {
    const auto& application = mState.application;
    if (!application) return nullptr;
    const auto document = application->ActiveDocument();
    return document ? modPLRFunction::FindDocumentBind(mState.registry, *document) : nullptr;
}

run::RunDialogs& C::Dialogs() {
    if (!mDialogs) mDialogs = std::make_unique<run::RunDialogs>(mState, mController);
    return *mDialogs;
}

void C::RefreshActive() {
    auto document = ActiveDocument();
    mController.UpdateView(document);
}

void C::mctlMenuHeadFirstEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        const auto binding = ActiveBinding();
        if (!binding) return;
        binding->MoveFirst();
        RefreshActive();
    });
}

void C::mctlMenuHeadPrevEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        const auto binding = ActiveBinding();
        if (!binding) return;
        binding->MovePrev(false);
        RefreshActive();
    });
}

void C::mctlMenuHeadNextEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        const auto binding = ActiveBinding();
        if (!binding) return;
        binding->MoveNext(false);
        RefreshActive();
    });
}

void C::mctlMenuHeadLastEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        const auto binding = ActiveBinding();
        if (!binding) return;
        binding->MoveLast();
        RefreshActive();
    });
}

void C::mctlMenuHeadMoveEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        auto binding = ActiveBinding();
        if (!binding) return;
        auto& move = Dialogs().frmPLRMove;
        move.Init(std::move(binding));
        move.DoModal();
    });
}

void C::mctlMenuHeadFindEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        auto binding = ActiveBinding();
        if (!binding) return;
        const auto document = ActiveDocument();
        const auto connection = modPLFunction::ConnectHeaderDataSource(*document);
        auto& find = Dialogs().frmPLRFind;
        find.Init(std::move(binding));
        find.AddDataFields(connection, DocVariable(*document, modPLConst::PROP_RECORD_SOURCE_TYPE, ""),
                           DocVariable(*document, modPLConst::PROP_RECORD_SOURCE, ""));
        if (connection) connection->Close();
        find.DoModal();
    });
}

// Filter and sort: the editor preset from the stored text; a change is written (or the
// variable removed when the list was emptied) and the header reopened on it.
template <typename Editor, typename Read, typename Write>
void EditHeaderSetting(Editor& editor, const char* caption, std::string_view variable,
                       const std::shared_ptr<word::Document>& document, Read read, Write write,
                       OsPLRController& controller) {
    const auto connection = modPLFunction::ConnectHeaderDataSource(*document);
    editor.Init(caption);
    editor.SetDataFieldList(modPLDataFields::DataFieldNames(connection,
                                                            DocVariable(*document, modPLConst::PROP_RECORD_SOURCE_TYPE, ""),
                                                            DocVariable(*document, modPLConst::PROP_RECORD_SOURCE, "")));
    write(editor, DocVariable(*document, variable, ""));
    if (connection) connection->Close();
    run::RunDialogs::DoModal(editor);
    if (!editor.IsDirty()) return;
    if (editor.IsCleared()) {
        document->Variables().Delete(variable);
    } else {
        document->Variables().SetValue(variable, read(editor));
    }
    auto target = document;
    controller.ReopenHeader(target);
    controller.UpdateView(target);
}

void C::mctlMenuHeadFilterEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        EditHeaderSetting(
            Dialogs().frmPLFilter, kFilterCaption, modPLConst::PROP_HEAD_FILTER, ActiveDocument(),
            [](const clsPLFilterEditor& e) { return e.GetFilter(); },
            [](clsPLFilterEditor& e, const std::string& text) { e.SetFilter(text); }, mController);
    });
}

void C::mctlMenuHeadSortEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        EditHeaderSetting(
            Dialogs().frmPLSort, kSortCaption, modPLConst::PROP_HEAD_SORT, ActiveDocument(),
            [](const clsPLSortEditor& e) { return e.GetSort(); },
            [](clsPLSortEditor& e, const std::string& text) { e.SetSort(text); }, mController);
    });
}

void C::mctlMenuHeadTestEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        if (const auto binding = ActiveBinding()) binding->SetHeadDatas();
    });
}

void C::mctlMenuDetailTestEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        const auto binding = ActiveBinding();
        if (!binding || !Confirm(kDetailTestQuestion)) return;
        binding->SetDetailDatas(false);
        binding->SetHeadDatas();
    });
}

void C::mctlMenuPrintCurrentEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        if (!Confirm(kPrintQuestion)) return;
        auto document = ActiveDocument();
        mController.PrintData(document, false);
    });
}

void C::mctlMenuPrintAllEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        if (!Confirm(kPrintQuestion)) return;
        auto document = ActiveDocument();
        mController.PrintData(document, true);
    });
}

void C::mctlMenuDocCurrentEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        if (!Confirm(kDocumentQuestion)) return;
        auto document = ActiveDocument();
        mController.CreatePrintDoc(document, false);  // stays open for the user
    });
}

void C::mctlMenuDocAllEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        if (!Confirm(kDocumentQuestion)) return;
        auto document = ActiveDocument();
        mController.CreatePrintDoc(document, true);
    });
}

void C::mctlMenuOptionEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        const auto document = ActiveDocument();
        auto& option = Dialogs().frmPLROption;
        option.chkUpdateDetail = OptionToCheck(DocVariable(*document, modPLConst::PROP_UPDATE_DETAIL, modPLConst::DEFAULT_UPDATE_DETAIL));
        option.chkCopyPrimaryHeader = OptionToCheck(
            DocVariable(*document, modPLConst::PROP_COPY_PRIMARY_HEADER, modPLConst::DEFAULT_COPY_PRIMARY));
        option.chkCopyPrimaryFooter = OptionToCheck(
            DocVariable(*document, modPLConst::PROP_COPY_PRIMARY_FOOTER, modPLConst::DEFAULT_COPY_PRIMARY));
        if (!option.DoModal() || !option.IsDirty()) return;
        auto variables = document->Variables();
        variables.SetValue(modPLConst::PROP_UPDATE_DETAIL, modPLFunction::FlagToText(option.chkUpdateDetail != 0));
        variables.SetValue(modPLConst::PROP_COPY_PRIMARY_HEADER, modPLFunction::FlagToText(option.chkCopyPrimaryHeader != 0));
        variables.SetValue(modPLConst::PROP_COPY_PRIMARY_FOOTER, modPLFunction::FlagToText(option.chkCopyPrimaryFooter != 0));
    });
}

void C::mctlMenuRunHelpEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] { modPLFunction::ShowHelpFile(modPLConst::HELP_FILE); });
}

void C::mctlMenuRunAboutEvts_Click(const Control&, bool&) {
    RunCommand(mState, [&] {
        auto& about = Dialogs().frmPLAboutBox;
        about.lblSubTitle = kAboutSubTitle;
        about.strCaption = kAboutCaption;
        about.Init();
        run::RunDialogs::ShowAbout(about);
    });
}

void C::mctlToolHeadFirstEvts_Click(const Control& c, bool& d) { mctlMenuHeadFirstEvts_Click(c, d); }
void C::mctlToolHeadPrevEvts_Click(const Control& c, bool& d) { mctlMenuHeadPrevEvts_Click(c, d); }
void C::mctlToolHeadMoveEvts_Click(const Control& c, bool& d) { mctlMenuHeadMoveEvts_Click(c, d); }
void C::mctlToolHeadNextEvts_Click(const Control& c, bool& d) { mctlMenuHeadNextEvts_Click(c, d); }
void C::mctlToolHeadLastEvts_Click(const Control& c, bool& d) { mctlMenuHeadLastEvts_Click(c, d); }
void C::mctlToolHeadFindEvts_Click(const Control& c, bool& d) { mctlMenuHeadFindEvts_Click(c, d); }
void C::mctlToolHeadFilterEvts_Click(const Control& c, bool& d) { mctlMenuHeadFilterEvts_Click(c, d); }
void C::mctlToolHeadSortEvts_Click(const Control& c, bool& d) { mctlMenuHeadSortEvts_Click(c, d); }
void C::mctlToolHeadTestEvts_Click(const Control& c, bool& d) { mctlMenuHeadTestEvts_Click(c, d); }
void C::mctlToolDetailTestEvts_Click(const Control& c, bool& d) { mctlMenuDetailTestEvts_Click(c, d); }
void C::mctlToolPrintCurrentEvts_Click(const Control& c, bool& d) { mctlMenuPrintCurrentEvts_Click(c, d); }
void C::mctlToolPrintAllEvts_Click(const Control& c, bool& d) { mctlMenuPrintAllEvts_Click(c, d); }
void C::mctlToolDocCurrentEvts_Click(const Control& c, bool& d) { mctlMenuDocCurrentEvts_Click(c, d); }
void C::mctlToolDocAllEvts_Click(const Control& c, bool& d) { mctlMenuDocAllEvts_Click(c, d); }
void C::mctlToolOptionEvts_Click(const Control& c, bool& d) { mctlMenuOptionEvts_Click(c, d); }
void C::mctlToolRunHelpEvts_Click(const Control& c, bool& d) { mctlMenuRunHelpEvts_Click(c, d); }

}  // namespace paperloom
