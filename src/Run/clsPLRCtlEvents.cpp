#include "Run/clsPLRCtlEvents.h"

#include "Run/ReportRunError.h"
#include "Run/modPLRFunction.h"
#include "Run/resources/RunFaces.h"
#include "common/modPLCommandBar.h"
#include "host/DebugLog.h"

namespace paperloom {

namespace {

constexpr std::string_view kToolsBar = "Tools";
constexpr std::string_view kPopupTag = "Paperloom";
constexpr std::string_view kPopupCaption = "&Paperloom";
constexpr std::string_view kRunTag = "Run";
constexpr std::string_view kRunCaption = "実行(&R)";
constexpr std::string_view kToolbarName = "Paperloom(実行)";

}  // namespace

using debuglog::IgnoringErrors;
using C = clsPLRCtlEvents;

// The print-all entry carries the tag "MenuDocAll" and the document-all entry "MenuPrintAll",
// and the about entry "MenuAbout": menus saved by earlier versions are found by these tags.
const C::MenuButton C::kMenuButtons[17] = {
    {1, "MenuHeadFirst", "基本データ部を先頭のレコードへ移動(&F)", false, "mctlMenuHeadFirstEvts", &C::mctlMenuHeadFirstEvts, &C::mctlMenuHeadFirstEvts_Click},
    {2, "MenuHeadPrev", "基本データ部を前のレコードへ移動(&P)", false, "mctlMenuHeadPrevEvts", &C::mctlMenuHeadPrevEvts, &C::mctlMenuHeadPrevEvts_Click},
    {3, "MenuHeadMove", "基本データ部を任意のレコードへ移動(&M)...", false, "mctlMenuHeadMoveEvts", &C::mctlMenuHeadMoveEvts, &C::mctlMenuHeadMoveEvts_Click},
    {4, "MenuHeadNext", "基本データ部を次のレコードへ移動(&N)", false, "mctlMenuHeadNextEvts", &C::mctlMenuHeadNextEvts, &C::mctlMenuHeadNextEvts_Click},
    {5, "MenuHeadLast", "基本データ部を最後のレコードへ移動(&L)", false, "mctlMenuHeadLastEvts", &C::mctlMenuHeadLastEvts, &C::mctlMenuHeadLastEvts_Click},
    {6, "MenuHeadFind", "基本データ部のフィールドの検索(&S)...", false, "mctlMenuHeadFindEvts", &C::mctlMenuHeadFindEvts, &C::mctlMenuHeadFindEvts_Click},
    {7, "MenuHeadFilter", "基本データ部の抽出(&W)...", true, "mctlMenuHeadFilterEvts", &C::mctlMenuHeadFilterEvts, &C::mctlMenuHeadFilterEvts_Click},
    {8, "MenuHeadSort", "基本データ部のソート(&R)...", false, "mctlMenuHeadSortEvts", &C::mctlMenuHeadSortEvts, &C::mctlMenuHeadSortEvts_Click},
    {9, "MenuHeadTest", "基本データ部の設定テスト(&T)", true, "mctlMenuHeadTestEvts", &C::mctlMenuHeadTestEvts, &C::mctlMenuHeadTestEvts_Click},
    {10, "MenuDetailTest", "明細データ部の設定テスト(&I)", false, "mctlMenuDetailTestEvts", &C::mctlMenuDetailTestEvts, &C::mctlMenuDetailTestEvts_Click},
    {11, "MenuPrintCurrent", "カレントレコードを印刷(&P)", true, "mctlMenuPrintCurrentEvts", &C::mctlMenuPrintCurrentEvts, &C::mctlMenuPrintCurrentEvts_Click},
    {12, "MenuDocAll", "全てのレコードを印刷(&Q)", false, "mctlMenuPrintAllEvts", &C::mctlMenuPrintAllEvts, &C::mctlMenuPrintAllEvts_Click},
    {13, "MenuDocCurrent", "カレントレコードを文書化(&D)", true, "mctlMenuDocCurrentEvts", &C::mctlMenuDocCurrentEvts, &C::mctlMenuDocCurrentEvts_Click},
    {14, "MenuPrintAll", "全てのレコードを文書化(&E)", false, "mctlMenuDocAllEvts", &C::mctlMenuDocAllEvts, &C::mctlMenuDocAllEvts_Click},
    {15, "MenuOption", "オプション(&O)...", true, "mctlMenuOptionEvts", &C::mctlMenuOptionEvts, &C::mctlMenuOptionEvts_Click},
    {16, "MenuRunHelp", "ヘルプ(&H)", true, "mctlMenuRunHelpEvts", &C::mctlMenuRunHelpEvts, &C::mctlMenuRunHelpEvts_Click},
    {17, "MenuAbout", "バージョン情報(&A)...", false, "mctlMenuRunAboutEvts", &C::mctlMenuRunAboutEvts, &C::mctlMenuRunAboutEvts_Click},
};

const C::ToolButton C::kToolButtons[16] = {
    {1, "ToolHeadFirst", "基本データ部を先頭のレコードへ移動", 0, 154, false, "mctlToolHeadFirstEvts", &C::mctlToolHeadFirstEvts, &C::mctlToolHeadFirstEvts_Click},
    {2, "ToolHeadPrev", "基本データ部を前のレコードへ移動", 0, 155, false, "mctlToolHeadPrevEvts", &C::mctlToolHeadPrevEvts, &C::mctlToolHeadPrevEvts_Click},
    {3, "ToolHeadMove", "基本データ部を任意のレコードへ移動", 108, 0, false, "mctlToolHeadMoveEvts", &C::mctlToolHeadMoveEvts, &C::mctlToolHeadMoveEvts_Click},
    {4, "ToolHeadNext", "基本データ部を次のレコードへ移動", 0, 156, false, "mctlToolHeadNextEvts", &C::mctlToolHeadNextEvts, &C::mctlToolHeadNextEvts_Click},
    {5, "ToolHeadLast", "基本データ部を最後のレコードへ移動", 0, 157, false, "mctlToolHeadLastEvts", &C::mctlToolHeadLastEvts, &C::mctlToolHeadLastEvts_Click},
    {6, "ToolHeadFind", "基本データ部のフィールドの検索", 107, 0, false, "mctlToolHeadFindEvts", &C::mctlToolHeadFindEvts, &C::mctlToolHeadFindEvts_Click},
    {7, "ToolHeadFilter", "基本データ部の抽出", 106, 0, true, "mctlToolHeadFilterEvts", &C::mctlToolHeadFilterEvts, &C::mctlToolHeadFilterEvts_Click},
    {8, "ToolHeadSort", "基本データ部のソート", 109, 0, false, "mctlToolHeadSortEvts", &C::mctlToolHeadSortEvts, &C::mctlToolHeadSortEvts_Click},
    {9, "ToolHeadTest", "基本データ部の設定テスト", 111, 0, true, "mctlToolHeadTestEvts", &C::mctlToolHeadTestEvts, &C::mctlToolHeadTestEvts_Click},
    {10, "ToolDetailTest", "明細データ部の設定テスト", 101, 0, false, "mctlToolDetailTestEvts", &C::mctlToolDetailTestEvts, &C::mctlToolDetailTestEvts_Click},
    {11, "ToolPrintCurrent", "カレントレコードを印刷", 102, 0, true, "mctlToolPrintCurrentEvts", &C::mctlToolPrintCurrentEvts, &C::mctlToolPrintCurrentEvts_Click},
    {12, "ToolPrintAll", "全てのレコードを印刷", 103, 0, false, "mctlToolPrintAllEvts", &C::mctlToolPrintAllEvts, &C::mctlToolPrintAllEvts_Click},
    {13, "ToolDocCurrent", "カレントレコードを文書化", 104, 0, true, "mctlToolDocCurrentEvts", &C::mctlToolDocCurrentEvts, &C::mctlToolDocCurrentEvts_Click},
    {14, "ToolDocAll", "全てのレコードを文書化", 105, 0, false, "mctlToolDocAllEvts", &C::mctlToolDocAllEvts, &C::mctlToolDocAllEvts_Click},
    {15, "ToolOption", "オプション", 110, 0, true, "mctlToolOptionEvts", &C::mctlToolOptionEvts, &C::mctlToolOptionEvts_Click},
    {16, "ToolRunHelp", "ヘルプ", 0, 49, true, "mctlToolRunHelpEvts", &C::mctlToolRunHelpEvts, &C::mctlToolRunHelpEvts_Click},
};

void C::ButtonEvents::Release() noexcept {
    subscription.Reset();
    control.reset();
}

void C::ApplicationEvents::Connect(word::Application& application, clsPLRCtlEvents& events) {
    Disconnect();
    application_ = &application;
    openCookie_ = application.OnDocumentOpen(
        [&events](const std::shared_ptr<word::Document>& doc) { events.mappTargetEvts_DocumentOpen(doc); });
    closeCookie_ = application.OnDocumentBeforeClose(
        [&events](const std::shared_ptr<word::Document>& doc, bool& cancel) {
            events.mappTargetEvts_DocumentBeforeClose(doc, cancel);
        });
}

void C::ApplicationEvents::Disconnect() noexcept {
    if (!application_) return;
    application_->RemoveHandler(openCookie_);
    application_->RemoveHandler(closeCookie_);
    application_ = nullptr;
}

clsPLRCtlEvents::clsPLRCtlEvents(word::AddInHost& application, run::RunState& state, OsPLRController& controller)
    : mApplication(application), mState(state), mController(controller) {}

clsPLRCtlEvents::~clsPLRCtlEvents() = default;

void clsPLRCtlEvents::Init(const word::COMAddIn& addInInst) {
    try {
        mappTargetEvts.Connect(mApplication.Application(), *this);
        mState.registry.Clear();
        BuildMenu(addInInst);
        BuildToolbar(addInInst);
    } catch (...) {
        run::ReportRunError(mState, std::current_exception(), false);
    }
}

void clsPLRCtlEvents::BuildMenu(const word::COMAddIn& addInInst) {
    const auto popup = modPLCommandBar::FindOrAddPopup(mApplication.CommandBars().Item(kToolsBar), kPopupTag,
                                                       kPopupCaption, 0);
    // The design-time submenu goes to position 1, so this one follows it.
    const auto run = modPLCommandBar::FindOrAddPopup(popup->CommandBar(), kRunTag, kRunCaption, 0);
    for (const auto& button : kMenuButtons) {
        auto control = modPLCommandBar::AddMenuButton(button.tag, button.caption, button.position, run, addInInst,
                                                      button.beginGroup);
        Connect(this->*button.events, std::move(control), button.handler);
    }
}

void clsPLRCtlEvents::BuildToolbar(const word::COMAddIn& addInInst) {
    const auto bar = modPLCommandBar::FindOrAddToolbar(mApplication.CommandBars(), kToolbarName);
    const modPLCommandBar::FaceSource faces{mApplication.Clipboard(), &run::LoadRunBitmap};
    for (const auto& button : kToolButtons) {
        auto control = modPLCommandBar::AddToolButton(button.tag, button.caption, word::cbr::controlButton,
                                                      button.position, button.bitmap, button.faceId, bar, addInInst,
                                                      button.beginGroup, 0, faces);
        Connect(this->*button.events, std::move(control), button.handler);
    }
}

void clsPLRCtlEvents::Connect(ButtonEvents& events, Control control, Handler handler) {
    events.Release();
    events.subscription = control->OnClick([this, handler](const Control& ctrl, bool& cancelDefault) {
        (this->*handler)(ctrl, cancelDefault);
    });
    events.control = std::move(control);
}

void clsPLRCtlEvents::Terminate() {
    IgnoringErrors("clsPLRCtlEvents.cpp: Terminate (bindings)", [&] { mState.registry.Clear(); });
    for (const auto& button : kMenuButtons) (this->*button.events).Release();
    for (const auto& button : kToolButtons) (this->*button.events).Release();
    // The progress dialog belongs to each print build and is gone when it ends.
    if (mDialogs) mDialogs->Unload();
    mDialogs.reset();
}

void clsPLRCtlEvents::DeleteCommandBar() {
    auto& bars = mApplication.CommandBars();
    IgnoringErrors("clsPLRCtlEvents.cpp: DeleteCommandBar (menu)", [&] {
        const auto popup = bars.Item(kToolsBar)->FindControl(kPopupTag);
        if (!popup) return;
        const auto popupBar = popup->CommandBar();
        const auto run = popupBar->FindControl(kRunTag);
        if (!run) return;
        run->Delete();
        if (popupBar->Controls().Count() == 0) popup->Delete();
    });
    IgnoringErrors("clsPLRCtlEvents.cpp: DeleteCommandBar (toolbar)", [&] {
        for (const auto& bar : bars)
            if (bar->Name() == kToolbarName) {
                const auto toolbar = bar;  // deleting it changes the collection being walked
                toolbar->Delete();
                break;
            }
    });
}

void clsPLRCtlEvents::mappTargetEvts_DocumentOpen(const std::shared_ptr<word::Document>& doc) {
    try {
        if (const auto binding = modPLRFunction::OpenDocumentBind(mState.registry, doc)) {
            binding->MoveFirst();
            // The opened document itself is refilled, not whichever document is active: at
            // connection every open template is walked while one other document is active.
            auto target = doc;
            mController.UpdateView(target);
        }
    } catch (...) {
        run::ReportRunError(mState, std::current_exception(), false);
    }
}

void clsPLRCtlEvents::mappTargetEvts_DocumentBeforeClose(const std::shared_ptr<word::Document>& doc, bool& cancel) {
    (void)cancel;  // closing always proceeds
    try {
        modPLRFunction::CloseDocumentBind(mState.registry, *doc);
    } catch (...) {
        run::ReportRunError(mState, std::current_exception(), false);
    }
}

clsPLRCtlEvents::Control clsPLRCtlEvents::MenuControl(std::string_view reference) const {
    for (const auto& button : kMenuButtons)
        if (button.reference == reference) return (this->*button.events).control;
    return nullptr;
}

clsPLRCtlEvents::Control clsPLRCtlEvents::ToolControl(std::string_view reference) const {
    for (const auto& button : kToolButtons)
        if (button.reference == reference) return (this->*button.events).control;
    return nullptr;
}

}  // namespace paperloom
