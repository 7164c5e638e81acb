#pragma once
// The find dialog's logic: a condition on one header field (a value, or blank), searched
// forward or backward from the current record of the binding given to Init, with the
// question whether to go on from the other end. The record shown before is restored when the
// user declines; a record found is shown and the next search starts after it. The window
// (forms library) calls the virtual members, so it needs none of the engine's code.

#include <memory>
#include <string>
#include <vector>

#include "Run/OsPLRController.h"
#include "Run/RunState.h"
#include "Run/clsPLRDBBind.h"
#include "host/ado/Connection.h"

namespace paperloom {

class frmPLRFind {
public:
    static constexpr const char* kCaption = "基本データ部のフィールドの検索";
    static constexpr const char* kWrapForward = "最終レコードまで検索しました。先頭レコードから再度検索しますか?";
    static constexpr const char* kWrapBackward = "先頭レコードまで検索しました。最終レコードから再度検索しますか?";

    frmPLRFind(run::RunState& state, OsPLRController& controller) : mState(state), mController(controller) {}
    virtual ~frmPLRFind() = default;
    frmPLRFind(const frmPLRFind&) = delete;
    frmPLRFind& operator=(const frmPLRFind&) = delete;

    void Init(std::shared_ptr<clsPLRDBBind> binding) { mBinding = std::move(binding); }
    // The field names of the record source (its type and text as the template stores them)
    // become cboDataField's list; the typed text stays. No names when it does not open.
    void AddDataFields(const std::shared_ptr<host::ado::Connection>& conTarget, const std::string& strRecordSourceType,
                       const std::string& strRecordSource);
    void DoModal();
    void Unload() { mBinding.reset(); }
    const std::shared_ptr<clsPLRDBBind>& Binding() const { return mBinding; }

    std::vector<std::string> DataFieldList;
    std::string cboDataField;
    std::string txtComparisonValue;
    int optComparisonValue = 0;  // 0 the value in txtComparisonValue, 1 blank
    int optSearchDirection = 0;  // 0 forward, 1 backward

    // Field and value emptied, value and forward chosen.
    virtual void Form_Load();
    bool ValueEnabled() const { return optComparisonValue == 0; }
    // Searches; what went wrong is shown in a message box and the dialog stays open.
    // Returns whether a record was found.
    virtual bool cmdFind_Click();

private:
    run::RunState& mState;
    OsPLRController& mController;
    std::shared_ptr<clsPLRDBBind> mBinding;
};

}  // namespace paperloom
