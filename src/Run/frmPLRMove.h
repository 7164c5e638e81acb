#pragma once
// The move dialog's logic: a record number typed into txtRecordIndex moves the binding given
// to Init there and refills the active document. The dialog stays open for further moves.
// The window (forms library) calls the virtual members, so it needs none of the engine's code.

#include <memory>
#include <string>

#include "Run/OsPLRController.h"
#include "Run/RunState.h"
#include "Run/clsPLRDBBind.h"

namespace paperloom {

class frmPLRMove {
public:
    static constexpr const char* kCaption = "基本データ部を任意のレコードへ移動";

    frmPLRMove(run::RunState& state, OsPLRController& controller) : mState(state), mController(controller) {}
    virtual ~frmPLRMove() = default;
    frmPLRMove(const frmPLRMove&) = delete;
    frmPLRMove& operator=(const frmPLRMove&) = delete;

    void Init(std::shared_ptr<clsPLRDBBind> binding) { mBinding = std::move(binding); }
    // Shows the dialog until it is closed; nothing where no windows are shown.
    void DoModal();
    // Drops the binding.
    void Unload() { mBinding.reset(); }
    const std::shared_ptr<clsPLRDBBind>& Binding() const { return mBinding; }

    std::string txtRecordIndex;

    // The box is emptied whenever the window is made.
    virtual void Form_Load() { txtRecordIndex.clear(); }
    // Empty or not a number: "レコード番号を設定してください" and no move. Otherwise the
    // binding goes to that record (1-based; outside the records: the first or last one), the
    // active document is refilled and redrawn; a failure there shows the same message.
    virtual void cmdMove_Click();

private:
    run::RunState& mState;
    OsPLRController& mController;
    std::shared_ptr<clsPLRDBBind> mBinding;
};

// The whole number a record-number text stands for, rounded; numbers beyond long's range are
// held at its ends. Only for texts that read as numbers.
long RecordIndexFromText(const std::string& strText);

}  // namespace paperloom
