#pragma once
// The run-time add-in's connection class. Connected by the host, it keeps the application,
// creates the automation controller, builds its menu and toolbar, binds every template that
// is already open, and publishes itself as the add-in's Object: automation clients reach the
// controller through its Controller member, late-bound.

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Run/OsPLRController.h"
#include "Run/RunState.h"
#include "Run/clsPLRCtlEvents.h"
#include "host/word/addins/Dispatch.h"
#include "host/word/addins/Extensibility.h"

namespace paperloom {

class conPLRun final : public word::IDTExtensibility2,
                       public word::IDispatch,
                       public std::enable_shared_from_this<conPLRun> {
public:
    conPLRun();
    ~conPLRun() override;
    conPLRun(const conPLRun&) = delete;
    conPLRun& operator=(const conPLRun&) = delete;

    // In this order: keep the application, create the controller, build the command bars and
    // connect the events, bind the documents already open (as if each had just opened), and
    // publish this object as the add-in instance's Object.
    void OnConnection(word::AddInHost& application, word::ext_ConnectMode connectMode, word::COMAddIn& addInInst,
                      word::CustomArgs& custom) override;
    // The user unloading the add-in (ext_dm_UserClosed) also removes its menu and toolbar;
    // the host shutting down leaves them for the next start. Everything else is released.
    void OnDisconnection(word::ext_DisconnectMode removeMode, word::CustomArgs& custom) override;
    void OnAddInsUpdate(word::CustomArgs&) override {}
    void OnStartupComplete(word::CustomArgs&) override {}
    void OnBeginShutdown(word::CustomArgs&) override {}

    // The controller; null while the add-in is not connected.
    std::shared_ptr<OsPLRController> Controller() const { return mController; }
    // The headless counterpart of the move dialog: the document's binding goes to the 1-based
    // record (out of range: the first or last record) and the document is refilled. Nothing
    // for a document without a binding; error 91 while the add-in is not connected.
    void MoveRecord(std::shared_ptr<word::Document>& docTarget, long lngRecordIndex);

    // Late-bound members: Controller (the controller's dispatch object, Nothing while not
    // connected), MoveRecord(docTarget, lngRecordIndex), RecordIndex(docTarget) (the 1-based
    // current record, 0 without one) and FieldType(docTarget, strFieldName) (the value kind
    // the find dialog writes a value by, 0 for an unknown field); 0 for a document without a
    // binding. WritePrintDoc(docTarget, strPath[, lngFirst[, lngLast]]) writes the print
    // document of all records, or of records lngFirst to lngLast (0: to the last), straight
    // into the file as it is built, and returns how many records it holds.
    word::DispValue Invoke(std::string_view name, word::DispArgs& args) override;
    std::vector<std::string> MemberNames() const override;

    // For tests and the commands: the shell's event receiver while connected.
    clsPLRCtlEvents* Events() const noexcept { return mEvents.get(); }
    run::RunState& State() noexcept { return *mState; }

private:
    // The document's binding; null without one; error 91 while not connected.
    std::shared_ptr<clsPLRDBBind> BindingOf(const std::shared_ptr<word::Document>& docTarget) const;

    std::shared_ptr<run::RunState> mState;
    std::shared_ptr<OsPLRController> mController;
    word::DispatchPtr mControllerDispatch;
    std::unique_ptr<clsPLRCtlEvents> mEvents;
    word::DispatchTable mMembers;
};

// The controller reached late-bound: its twelve methods by name, every one taking the target
// document first (by reference). Optional arguments left out take their defaults (True).
// Once the add-in has disconnected the controller is gone and every call is error 91.
class OsPLRControllerDispatch final : public word::IDispatch {
public:
    OsPLRControllerDispatch(std::weak_ptr<OsPLRController> controller, std::shared_ptr<run::RunState> state);

    word::DispValue Invoke(std::string_view name, word::DispArgs& args) override;
    std::vector<std::string> MemberNames() const override { return mMembers.MemberNames(); }

private:
    std::shared_ptr<OsPLRController> Require() const;

    std::weak_ptr<OsPLRController> mController;
    std::shared_ptr<run::RunState> mState;  // what the controller works on, kept while a call runs
    word::DispatchTable mMembers;
};

}  // namespace paperloom
