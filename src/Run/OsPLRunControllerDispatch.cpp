// The automation controller's late-bound face.

#include "Run/conPLRun.h"

namespace paperloom {

using word::DispArgs;
using word::DispValue;
namespace disparg = word::disparg;

OsPLRControllerDispatch::OsPLRControllerDispatch(std::weak_ptr<OsPLRController> controller,
                                                 std::shared_ptr<run::RunState> state)
    : mController(std::move(controller)), mState(std::move(state)) {
    // In the controller's interface order.
    mMembers.Add("GetHeaderFilter", 1, 1, [this](DispArgs& a) -> DispValue {
        return Require()->GetHeaderFilter(disparg::Document(a, 0));
    });
    mMembers.Add("SetHeaderFilter", 2, 2, [this](DispArgs& a) -> DispValue {
        Require()->SetHeaderFilter(disparg::Document(a, 0), disparg::String(a, 1));
        return {};
    });
    mMembers.Add("GetHeaderSort", 1, 1, [this](DispArgs& a) -> DispValue {
        return Require()->GetHeaderSort(disparg::Document(a, 0));
    });
    mMembers.Add("SetHeaderSort", 2, 2, [this](DispArgs& a) -> DispValue {
        Require()->SetHeaderSort(disparg::Document(a, 0), disparg::String(a, 1));
        return {};
    });
    mMembers.Add("RebindHeader", 1, 1, [this](DispArgs& a) -> DispValue {
        Require()->RebindHeader(disparg::Document(a, 0));
        return {};
    });
    mMembers.Add("ReopenHeader", 1, 1, [this](DispArgs& a) -> DispValue {
        Require()->ReopenHeader(disparg::Document(a, 0));
        return {};
    });
    mMembers.Add("UpdateHeader", 1, 1, [this](DispArgs& a) -> DispValue {
        Require()->UpdateHeader(disparg::Document(a, 0));
        return {};
    });
    mMembers.Add("UpdateDetail", 1, 1, [this](DispArgs& a) -> DispValue {
        Require()->UpdateDetail(disparg::Document(a, 0));
        return {};
    });
    mMembers.Add("UpdateView", 1, 1, [this](DispArgs& a) -> DispValue {
        Require()->UpdateView(disparg::Document(a, 0));
        return {};
    });
    mMembers.Add("CreatePrintDoc", 1, 2, [this](DispArgs& a) -> DispValue {
        const auto target = Require();
        const bool blnAllRecords = disparg::Bool(a, 1, true);
        return target->CreatePrintDoc(disparg::Document(a, 0), blnAllRecords);
    });
    mMembers.Add("PrintData", 1, 2, [this](DispArgs& a) -> DispValue {
        const auto target = Require();
        const bool blnAllRecords = disparg::Bool(a, 1, true);
        target->PrintData(disparg::Document(a, 0), blnAllRecords);
        return {};
    });
    mMembers.Add("FindData", 2, 3, [this](DispArgs& a) -> DispValue {
        const auto target = Require();
        const auto strCondition = disparg::String(a, 1);
        const bool blnSerchForword = disparg::Bool(a, 2, true);
        return target->FindData(disparg::Document(a, 0), strCondition, blnSerchForword);
    });
}

std::shared_ptr<OsPLRController> OsPLRControllerDispatch::Require() const {
    auto controller = mController.lock();
    if (!controller)
        throw host::HostError(word::disperr::objectNotSet, "OsPLRun.OsPLRController",
                              "The run-time add-in that made this controller is no longer connected.");
    return controller;
}

DispValue OsPLRControllerDispatch::Invoke(std::string_view name, DispArgs& args) {
    return mMembers.Invoke(name, args);
}

}  // namespace paperloom
