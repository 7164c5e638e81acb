#pragma once
// The run-time add-in's event receiver: the application's document events (bind a template
// when it opens, unbind it before it closes) and the Click of each of its thirty-three menu
// and toolbar buttons. Init builds the "実行(&R)" submenu in the shared "&Paperloom" popup of
// the Tools menu and the "Paperloom(実行)" toolbar, creating only the controls that are
// missing (all are found by tag and are permanent, so they survive restarts).

#include <memory>
#include <string_view>

#include "Run/OsPLRController.h"
#include "Run/RunState.h"
#include "Run/RunDialogs.h"
#include "host/word/addins/AddInHost.h"
#include "host/word/addins/COMAddIns.h"
#include "host/word/addins/CommandBars.h"

namespace paperloom {

class clsPLRCtlEvents {
public:
    using Control = std::shared_ptr<word::CommandBarControl>;

    clsPLRCtlEvents(word::AddInHost& application, run::RunState& state, OsPLRController& controller);
    ~clsPLRCtlEvents();
    clsPLRCtlEvents(const clsPLRCtlEvents&) = delete;
    clsPLRCtlEvents& operator=(const clsPLRCtlEvents&) = delete;

    // Connects the document events, starts an empty binding registry, builds the menu and the
    // toolbar and connects the button references. An error ends Init where it happened (the
    // controls made so far stay) and goes to ReportRunError without raising.
    void Init(const word::COMAddIn& addInInst);
    // Empties the binding registry and releases the button references (errors ignored).
    void Terminate();
    // Removes the "Run" submenu, the shared popup once it is empty, and the toolbar (errors
    // ignored step by step).
    void DeleteCommandBar();

    void mappTargetEvts_DocumentOpen(const std::shared_ptr<word::Document>& doc);
    void mappTargetEvts_DocumentBeforeClose(const std::shared_ptr<word::Document>& doc, bool& cancel);

    // The connected button references (null before Init and after Terminate), for tests and
    // for the commands that follow.
    Control MenuControl(std::string_view reference) const;
    Control ToolControl(std::string_view reference) const;

    // Click handlers (clsPLRCtlEventsCommands.cpp): each runs its command under one error
    // frame; the toolbar handlers call the menu handler of the same command.
    void mctlMenuHeadFirstEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuHeadPrevEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuHeadMoveEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuHeadNextEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuHeadLastEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuHeadFindEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuHeadFilterEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuHeadSortEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuHeadTestEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuDetailTestEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuPrintCurrentEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuDocCurrentEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuPrintAllEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuDocAllEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuOptionEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuRunHelpEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuRunAboutEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolHeadFirstEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolHeadPrevEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolHeadMoveEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolHeadNextEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolHeadLastEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolHeadFindEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolHeadFilterEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolHeadSortEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolHeadTestEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolDetailTestEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolPrintCurrentEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolPrintAllEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolDocCurrentEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolDocAllEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolOptionEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolRunHelpEvts_Click(const Control& ctrl, bool& cancelDefault);

    // The run-time's dialogs, made on first use; unloaded by Terminate.
    run::RunDialogs& Dialogs();

private:
    // The application's active document; an error when there is none.
    std::shared_ptr<word::Document> ActiveDocument() const;
    // The binding of the active document; nullptr when it has none.
    std::shared_ptr<clsPLRDBBind> ActiveBinding() const;
    // Refills the active document (controller UpdateView).
    void RefreshActive();

    // An event-receiving reference to one button: the control and its Click connection.
    struct ButtonEvents {
        Control control;
        word::ClickSubscription subscription;
        void Release() noexcept;
    };
    using Handler = void (clsPLRCtlEvents::*)(const Control&, bool&);
    struct MenuButton {
        long position;
        std::string_view tag;
        std::string_view caption;
        bool beginGroup;
        std::string_view reference;
        ButtonEvents clsPLRCtlEvents::*events;
        Handler handler;
    };
    struct ToolButton {
        long position;
        std::string_view tag;
        std::string_view caption;
        long bitmap;  // 0: the built-in face below
        long faceId;
        bool beginGroup;
        std::string_view reference;
        ButtonEvents clsPLRCtlEvents::*events;
        Handler handler;
    };

    // The application's document events, disconnected when this ends.
    class ApplicationEvents {
    public:
        ApplicationEvents() = default;
        ~ApplicationEvents() { Disconnect(); }
        ApplicationEvents(const ApplicationEvents&) = delete;
        ApplicationEvents& operator=(const ApplicationEvents&) = delete;
        void Connect(word::Application& application, clsPLRCtlEvents& events);
        void Disconnect() noexcept;

    private:
        word::Application* application_ = nullptr;
        long openCookie_ = 0;
        long closeCookie_ = 0;
    };

    void BuildMenu(const word::COMAddIn& addInInst);
    void BuildToolbar(const word::COMAddIn& addInInst);
    void Connect(ButtonEvents& events, Control control, Handler handler);

    static const MenuButton kMenuButtons[17];
    static const ToolButton kToolButtons[16];

    word::AddInHost& mApplication;
    run::RunState& mState;
    OsPLRController& mController;
    ApplicationEvents mappTargetEvts;
    std::unique_ptr<run::RunDialogs> mDialogs;

    ButtonEvents mctlMenuHeadFirstEvts, mctlMenuHeadPrevEvts, mctlMenuHeadMoveEvts, mctlMenuHeadNextEvts,
        mctlMenuHeadLastEvts, mctlMenuHeadFindEvts, mctlMenuHeadFilterEvts, mctlMenuHeadSortEvts,
        mctlMenuHeadTestEvts, mctlMenuDetailTestEvts, mctlMenuPrintCurrentEvts, mctlMenuDocCurrentEvts,
        mctlMenuPrintAllEvts, mctlMenuDocAllEvts, mctlMenuOptionEvts, mctlMenuRunHelpEvts, mctlMenuRunAboutEvts;
    ButtonEvents mctlToolHeadFirstEvts, mctlToolHeadPrevEvts, mctlToolHeadMoveEvts, mctlToolHeadNextEvts,
        mctlToolHeadLastEvts, mctlToolHeadFindEvts, mctlToolHeadFilterEvts, mctlToolHeadSortEvts,
        mctlToolHeadTestEvts, mctlToolDetailTestEvts, mctlToolPrintCurrentEvts, mctlToolPrintAllEvts,
        mctlToolDocCurrentEvts, mctlToolDocAllEvts, mctlToolOptionEvts, mctlToolRunHelpEvts;
};

}  // namespace paperloom
