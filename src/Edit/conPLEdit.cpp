#include "Edit/conPLEdit.h"

namespace paperloom {

void conPLEdit::OnConnection(word::AddInHost& application, word::ext_ConnectMode, word::COMAddIn& addInInst,
                             word::CustomArgs&) {
    mApplication = &application;
    mEvents = std::make_unique<clsPLECtlEvents>(application);
    mEvents->Init(addInInst);
}

void conPLEdit::OnDisconnection(word::ext_DisconnectMode removeMode, word::CustomArgs&) {
    if (mEvents) {
        if (removeMode == word::ext_DisconnectMode::ext_dm_UserClosed) mEvents->DeleteCommandBar();
        mEvents->Terminate();
    }
    mEvents.reset();
    mApplication = nullptr;
}

}  // namespace paperloom
