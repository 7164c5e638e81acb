#include "Run/conPLRun.h"

#include "Run/modPLRFunction.h"
#include "Run/modPLRPrint.h"
#include "host/word/addins/AddInHost.h"
#include "host/word/addins/COMAddIns.h"

namespace paperloom {

namespace {
host::HostError NotConnected() {
    return host::HostError(word::disperr::objectNotSet, "OsPLRun.conPLRun",
                           "The run-time add-in is not connected.");
}
}  // namespace

conPLRun::conPLRun() : mState(std::make_shared<run::RunState>()) {
    mMembers.Add("Controller", 0, 0, [this](word::DispArgs&) -> word::DispValue {
        return word::DispValue(mControllerDispatch);
    });
    mMembers.Add("MoveRecord", 2, 2, [this](word::DispArgs& args) -> word::DispValue {
        auto& docTarget = word::disparg::Document(args, 0);
        MoveRecord(docTarget, word::disparg::Long(args, 1));
        return {};
    });
    mMembers.Add("RecordIndex", 1, 1, [this](word::DispArgs& args) -> word::DispValue {
        const auto binding = BindingOf(word::disparg::Document(args, 0));
        return binding ? binding->GetRecordIndex() : 0L;
    });
    mMembers.Add("WritePrintDoc", 2, 4, [this](word::DispArgs& args) -> word::DispValue {
        if (!mController) throw NotConnected();
        const auto& docTarget = word::disparg::Document(args, 0);
        modPLRFunction::PrintDocFile file;
        file.path = word::disparg::String(args, 1);
        if (!args[2].IsEmpty()) file.lngFirstRecord = word::disparg::Long(args, 2);
        if (!args[3].IsEmpty()) file.lngLastRecord = word::disparg::Long(args, 3);
        word::Application* application = docTarget ? docTarget->Application() : nullptr;
        if (!application) application = mState->application.get();
        if (!application) throw NotConnected();
        return modPLRFunction::WritePrintDoc(*application, mState->registry, docTarget, file);
    });
    mMembers.Add("FieldType", 2, 2, [this](word::DispArgs& args) -> word::DispValue {
        const auto binding = BindingOf(word::disparg::Document(args, 0));
        return binding ? static_cast<long>(binding->GetFieldType(word::disparg::String(args, 1))) : 0L;
    });
}

conPLRun::~conPLRun() = default;

void conPLRun::OnConnection(word::AddInHost& application, word::ext_ConnectMode, word::COMAddIn& addInInst,
                            word::CustomArgs&) {
    mState->application = application.SharedApplication();
    mController = std::make_shared<OsPLRController>(*mState);
    mControllerDispatch = std::make_shared<OsPLRControllerDispatch>(mController, mState);
    mEvents = std::make_unique<clsPLRCtlEvents>(application, *mState, *mController);
    mEvents->Init(addInInst);
    // Documents open before the connection are bound exactly like those opened later. The
    // count is read each time: binding a document may open or close others.
    auto& documents = application.Application().Documents();
    for (long index = 1; index <= documents.Count(); ++index)
        mEvents->mappTargetEvts_DocumentOpen(documents.Item(index));
    addInInst.SetObject(shared_from_this());
}

void conPLRun::OnDisconnection(word::ext_DisconnectMode removeMode, word::CustomArgs&) {
    if (mEvents) {
        if (removeMode == word::ext_DisconnectMode::ext_dm_UserClosed) mEvents->DeleteCommandBar();
        mEvents->Terminate();
    }
    mEvents.reset();
    mControllerDispatch.reset();
    mController.reset();
    mState->application.reset();
}

std::shared_ptr<clsPLRDBBind> conPLRun::BindingOf(const std::shared_ptr<word::Document>& docTarget) const {
    if (!mController) throw NotConnected();
    if (!docTarget) return nullptr;
    return modPLRFunction::FindDocumentBind(mState->registry, *docTarget);
}

void conPLRun::MoveRecord(std::shared_ptr<word::Document>& docTarget, long lngRecordIndex) {
    if (!mController) throw NotConnected();
    const auto binding = modPLRFunction::FindDocumentBind(mState->registry, *docTarget);
    if (!binding) return;
    binding->MovePos(lngRecordIndex);
    mController->UpdateView(docTarget);
}

word::DispValue conPLRun::Invoke(std::string_view name, word::DispArgs& args) { return mMembers.Invoke(name, args); }

std::vector<std::string> conPLRun::MemberNames() const { return mMembers.MemberNames(); }

}  // namespace paperloom
