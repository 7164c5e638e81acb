#pragma once
// The design-time add-in's event receiver: the Click of each of its nineteen menu and toolbar
// buttons. Init builds the "開発(&E)" submenu in the shared "&Paperloom" popup of the Tools
// menu and the "Paperloom(開発)" toolbar, creating only the controls that are missing (all are
// found by tag and are permanent, so they survive restarts and are completed in place).

#include <memory>
#include <string_view>

#include "Edit/EditCommands.h"
#include "Edit/EditDialogs.h"
#include "host/word/addins/AddInHost.h"
#include "host/word/addins/COMAddIns.h"
#include "host/word/addins/CommandBars.h"

namespace paperloom {

class clsPLECtlEvents {
public:
    using Control = std::shared_ptr<word::CommandBarControl>;

    explicit clsPLECtlEvents(word::AddInHost& application);
    ~clsPLECtlEvents();
    clsPLECtlEvents(const clsPLECtlEvents&) = delete;
    clsPLECtlEvents& operator=(const clsPLECtlEvents&) = delete;

    // Builds the menu and the toolbar and connects the button references. An error ends Init
    // where it happened (the controls made so far stay) and is shown in the shared error box.
    void Init(const word::COMAddIn& addInInst);
    // Releases the button references and unloads the dialogs (errors ignored).
    void Terminate();
    // Removes the "Edit" submenu, the shared popup once it is empty, and the toolbar (errors
    // ignored step by step).
    void DeleteCommandBar();

    // The connected button references (null before Init and after Terminate).
    Control MenuControl(std::string_view reference) const;
    Control ToolControl(std::string_view reference) const;

    // Click handlers (clsPLECtlEventsCommands.cpp): each runs its command under one error
    // frame; the toolbar handlers call the menu handler of the same command.
    void mctlMenuHeadBindEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuHeadFieldEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuDetailInsertEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuDetailPropEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuDetailColPropEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuStatisticsEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuBookmarkEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuCalculatorEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuEditHelpEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlMenuEditAboutEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolHeadBindEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolHeadFieldEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolDetailInsertEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolDetailPropEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolDetailColPropEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolStatisticsEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolEditBookmarkEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolEditCalculatorEvts_Click(const Control& ctrl, bool& cancelDefault);
    void mctlToolEditHelpEvts_Click(const Control& ctrl, bool& cancelDefault);

    // The designer's dialogs, made on first use; unloaded by Terminate.
    edit::EditDialogs& Dialogs();

private:
    // An event-receiving reference to one button: the control and its Click connection.
    struct ButtonEvents {
        Control control;
        word::ClickSubscription subscription;
        void Release() noexcept;
    };
    using Handler = void (clsPLECtlEvents::*)(const Control&, bool&);
    struct MenuButton {
        long position;
        std::string_view tag;
        std::string_view caption;
        bool beginGroup;
        std::string_view reference;
        ButtonEvents clsPLECtlEvents::*events;
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
        ButtonEvents clsPLECtlEvents::*events;
        Handler handler;
    };

    void BuildMenu(const word::COMAddIn& addInInst);
    void BuildToolbar(const word::COMAddIn& addInInst);
    void Connect(ButtonEvents& events, Control control, Handler handler);
    // Runs a command on the designer's command class under the one error frame.
    template <typename Body>
    void RunCommand(Body&& body) noexcept;

    static const MenuButton kMenuButtons[10];
    static const ToolButton kToolButtons[9];

    word::AddInHost& mApplication;
    std::unique_ptr<edit::EditDialogs> mDialogs;

    ButtonEvents mctlMenuHeadBindEvts, mctlMenuHeadFieldEvts, mctlMenuDetailInsertEvts, mctlMenuDetailPropEvts,
        mctlMenuDetailColPropEvts, mctlMenuStatisticsEvts, mctlMenuBookmarkEvts, mctlMenuCalculatorEvts,
        mctlMenuEditHelpEvts, mctlMenuEditAboutEvts;
    ButtonEvents mctlToolHeadBindEvts, mctlToolHeadFieldEvts, mctlToolDetailInsertEvts, mctlToolDetailPropEvts,
        mctlToolDetailColPropEvts, mctlToolStatisticsEvts, mctlToolEditBookmarkEvts, mctlToolEditCalculatorEvts,
        mctlToolEditHelpEvts;
};

}  // namespace paperloom
