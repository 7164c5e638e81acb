#include "Edit/clsPLECtlEvents.h"

#include "Edit/resources/EditFaces.h"
#include "common/modPLCommandBar.h"
#include "common/modPLConst.h"
#include "common/modPLFunction.h"
#include "host/DebugLog.h"

namespace paperloom {

namespace {

constexpr std::string_view kToolsBar = "Tools";
constexpr std::string_view kPopupTag = "Paperloom";
constexpr std::string_view kPopupCaption = "&Paperloom";
constexpr std::string_view kEditTag = "Edit";
constexpr std::string_view kEditCaption = "開発(&E)";
constexpr std::string_view kToolbarName = "Paperloom(開発)";

}  // namespace

using debuglog::IgnoringErrors;
using C = clsPLECtlEvents;

const C::MenuButton C::kMenuButtons[10] = {
    {1, "MenuHeadBind", "基本データ部のデータ バインド(&B)...", false, "mctlMenuHeadBindEvts", &C::mctlMenuHeadBindEvts, &C::mctlMenuHeadBindEvts_Click},
    {2, "MenuHeadField", "基本データ部のフィールド(&F)...", false, "mctlMenuHeadFieldEvts", &C::mctlMenuHeadFieldEvts, &C::mctlMenuHeadFieldEvts_Click},
    {3, "MenuDetailInsert", "明細データ部の挿入(&I)...", true, "mctlMenuDetailInsertEvts", &C::mctlMenuDetailInsertEvts, &C::mctlMenuDetailInsertEvts_Click},
    {4, "MenuDetailProp", "明細データ部のプロパティ(&D)...", false, "mctlMenuDetailPropEvts", &C::mctlMenuDetailPropEvts, &C::mctlMenuDetailPropEvts_Click},
    {5, "MenuDetailColProp", "明細データ部の列のプロパティ(&C)...", false, "mctlMenuDetailColPropEvts", &C::mctlMenuDetailColPropEvts, &C::mctlMenuDetailColPropEvts_Click},
    {6, "MenuStatistics", "統計フィールド(&S)...", true, "mctlMenuStatisticsEvts", &C::mctlMenuStatisticsEvts, &C::mctlMenuStatisticsEvts_Click},
    {7, "MenuBookmark", "ブックマーク(&B)...", true, "mctlMenuBookmarkEvts", &C::mctlMenuBookmarkEvts, &C::mctlMenuBookmarkEvts_Click},
    {8, "MenuCalculator", "計算式(&C)...", false, "mctlMenuCalculatorEvts", &C::mctlMenuCalculatorEvts, &C::mctlMenuCalculatorEvts_Click},
    {9, "MenuEditHelp", "ヘルプ(&H)...", true, "mctlMenuEditHelpEvts", &C::mctlMenuEditHelpEvts, &C::mctlMenuEditHelpEvts_Click},
    {10, "MenuEditAbout", "バージョン情報(&A)...", false, "mctlMenuEditAboutEvts", &C::mctlMenuEditAboutEvts, &C::mctlMenuEditAboutEvts_Click},
};

const C::ToolButton C::kToolButtons[9] = {
    {1, "ToolHeadBind", "基本データ部のデータ バインド", 101, 0, false, "mctlToolHeadBindEvts", &C::mctlToolHeadBindEvts, &C::mctlToolHeadBindEvts_Click},
    {2, "ToolHeadField", "基本データ部のフィールド", 102, 0, false, "mctlToolHeadFieldEvts", &C::mctlToolHeadFieldEvts, &C::mctlToolHeadFieldEvts_Click},
    {3, "ToolDetailInsert", "明細データ部の挿入", 103, 0, true, "mctlToolDetailInsertEvts", &C::mctlToolDetailInsertEvts, &C::mctlToolDetailInsertEvts_Click},
    {4, "ToolDetailProp", "明細データ部のプロパティ", 104, 0, false, "mctlToolDetailPropEvts", &C::mctlToolDetailPropEvts, &C::mctlToolDetailPropEvts_Click},
    {5, "ToolDetailColProp", "明細データ部の列のプロパティ", 105, 0, false, "mctlToolDetailColPropEvts", &C::mctlToolDetailColPropEvts, &C::mctlToolDetailColPropEvts_Click},
    {6, "ToolStatistics", "統計フィールド", 106, 0, true, "mctlToolStatisticsEvts", &C::mctlToolStatisticsEvts, &C::mctlToolStatisticsEvts_Click},
    {7, "ToolBookmark", "ブックマーク", 110, 0, true, "mctlToolEditBookmarkEvts", &C::mctlToolEditBookmarkEvts, &C::mctlToolEditBookmarkEvts_Click},
    {8, "ToolCalculator", "計算式", 111, 0, false, "mctlToolEditCalculatorEvts", &C::mctlToolEditCalculatorEvts, &C::mctlToolEditCalculatorEvts_Click},
    {9, "ToolEditHelp", "ヘルプ", 0, 49, true, "mctlToolEditHelpEvts", &C::mctlToolEditHelpEvts, &C::mctlToolEditHelpEvts_Click},
};

void C::ButtonEvents::Release() noexcept {
    subscription.Reset();
    control.reset();
}

clsPLECtlEvents::clsPLECtlEvents(word::AddInHost& application) : mApplication(application) {}

clsPLECtlEvents::~clsPLECtlEvents() = default;

void clsPLECtlEvents::Init(const word::COMAddIn& addInInst) {
    try {
        BuildMenu(addInInst);
        BuildToolbar(addInInst);
    } catch (...) {
        IgnoringErrors("clsPLECtlEvents.cpp: Init (error box)", [] {
            modPLFunction::ShowErrorMessage(modPLConst::EDIT_APP_TITLE, std::current_exception());
        });
    }
}

void clsPLECtlEvents::BuildMenu(const word::COMAddIn& addInInst) {
    const auto popup = modPLCommandBar::FindOrAddPopup(mApplication.CommandBars().Item(kToolsBar), kPopupTag,
                                                       kPopupCaption, 0);
    // First in the popup; the run-time's submenu follows it.
    const auto edit = modPLCommandBar::FindOrAddPopup(popup->CommandBar(), kEditTag, kEditCaption, 1);
    for (const auto& button : kMenuButtons) {
        auto control = modPLCommandBar::AddMenuButton(button.tag, button.caption, button.position, edit, addInInst,
                                                      button.beginGroup);
        Connect(this->*button.events, std::move(control), button.handler);
    }
}

void clsPLECtlEvents::BuildToolbar(const word::COMAddIn& addInInst) {
    const auto bar = modPLCommandBar::FindOrAddToolbar(mApplication.CommandBars(), kToolbarName);
    const modPLCommandBar::FaceSource faces{mApplication.Clipboard(), &edit::LoadEditBitmap};
    for (const auto& button : kToolButtons) {
        auto control = modPLCommandBar::AddToolButton(button.tag, button.caption, word::cbr::controlButton,
                                                      button.position, button.bitmap, button.faceId, bar, addInInst,
                                                      button.beginGroup, 0, faces);
        Connect(this->*button.events, std::move(control), button.handler);
    }
}

void clsPLECtlEvents::Connect(ButtonEvents& events, Control control, Handler handler) {
    events.Release();
    events.subscription = control->OnClick([this, handler](const Control& ctrl, bool& cancelDefault) {
        (this->*handler)(ctrl, cancelDefault);
    });
    events.control = std::move(control);
}

edit::EditDialogs& clsPLECtlEvents::Dialogs() {
    if (!mDialogs) mDialogs = std::make_unique<edit::EditDialogs>();
    return *mDialogs;
}

void clsPLECtlEvents::Terminate() {
    for (const auto& button : kMenuButtons) (this->*button.events).Release();
    for (const auto& button : kToolButtons) (this->*button.events).Release();
    // The forms library destroys every window of the designer together.
    edit::EditDialogs::Unload();
    mDialogs.reset();
}

void clsPLECtlEvents::DeleteCommandBar() {
    auto& bars = mApplication.CommandBars();
    IgnoringErrors("clsPLECtlEvents.cpp: DeleteCommandBar (menu)", [&] {
        const auto popup = bars.Item(kToolsBar)->FindControl(kPopupTag);
        if (!popup) return;
        const auto popupBar = popup->CommandBar();
        const auto edit = popupBar->FindControl(kEditTag);
        if (!edit) return;
        edit->Delete();
        if (popupBar->Controls().Count() == 0) popup->Delete();
    });
    IgnoringErrors("clsPLECtlEvents.cpp: DeleteCommandBar (toolbar)", [&] {
        for (const auto& bar : bars)
            if (bar->Name() == kToolbarName) {
                const auto toolbar = bar;  // deleting it changes the collection being walked
                toolbar->Delete();
                break;
            }
    });
}

clsPLECtlEvents::Control clsPLECtlEvents::MenuControl(std::string_view reference) const {
    for (const auto& button : kMenuButtons)
        if (button.reference == reference) return (this->*button.events).control;
    return nullptr;
}

clsPLECtlEvents::Control clsPLECtlEvents::ToolControl(std::string_view reference) const {
    for (const auto& button : kToolButtons)
        if (button.reference == reference) return (this->*button.events).control;
    return nullptr;
}

}  // namespace paperloom
