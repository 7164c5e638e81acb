// An add-in for the desktop host's tests. "Paperloom.DeskTestAddIn" puts a popup "テスト(&T)"
// into the Tools menu and a toolbar "DeskTest" docked left; "Paperloom.DeskDemandAddIn" the
// popup "デマンド(&D)" and a toolbar "DeskDemand" docked at the bottom. Each toolbar holds a
// button with a pasted red face and one with built-in face 49 beginning a group. Controls are
// permanent and found by tag, as the real add-ins make them; unloading by the user (remove
// mode 1) deletes them. The published object answers Clicks(tag) and Connections.

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "host/word/addins/AddInHost.h"
#include "host/word/addins/Bitmap.h"
#include "host/word/addins/COMAddIns.h"
#include "host/word/addins/Dispatch.h"
#include "host/word/addins/Extensibility.h"

namespace {

using namespace paperloom::word;

struct Counts {
    std::map<std::string, long> clicks;
    long connections = 0;
};

// Survives connections, so a test sees clicks made before an unload too.
Counts& CountsOf(const std::string& progId) {
    static std::map<std::string, Counts> all;
    return all[progId];
}

class DeskTestAddIn final : public IDTExtensibility2 {
public:
    explicit DeskTestAddIn(std::string progId) : progId_(std::move(progId)) {
        demand_ = progId_ == "Paperloom.DeskDemandAddIn";
    }

    void OnConnection(AddInHost& application, ext_ConnectMode, COMAddIn& addInInst, CustomArgs&) override {
        host_ = &application;
        ++CountsOf(progId_).connections;
        const std::string action = "!<" + addInInst.ProgId() + ">";
        auto tools = application.CommandBars().Item("Tools");
        auto popup = tools->FindControl(Tag("Menu"));
        if (!popup) {
            popup = tools->Controls().Add(cbr::controlPopup);
            popup->SetCaption(demand_ ? "デマンド(&D)" : "テスト(&T)");
            popup->SetTag(Tag("Menu"));
        }
        Button(*popup->CommandBar(), "First", "最初(&F)", false, action);
        Button(*popup->CommandBar(), "Second", "二番目(&S)", true, action);

        auto bar = application.CommandBars().Find(BarName());
        if (!bar) {
            bar = application.CommandBars().Add(BarName(), demand_ ? cbr::barBottom : cbr::barLeft);
            bar->SetVisible(true);
        }
        if (!bar->FindControl(Tag("Face"))) {
            std::vector<Rgb> red(16 * 16, Rgb{255, 0, 0});
            application.Clipboard().SetBitmap(EncodeBitmap(16, 16, red, 24));
            auto face = Button(*bar, "Face", "赤", false, action);
            face->PasteFace();
        }
        if (!bar->FindControl(Tag("Help"))) Button(*bar, "Help", "ヘルプ", true, action)->SetFaceId(49);

        for (const char* tag : {"First", "Second", "Face", "Help"}) {
            const auto control = application.CommandBars().FindControl(Tag(tag));
            subscriptions_.push_back(control->OnClick(
                [this, tag = std::string(tag)](const auto&, bool&) { ++CountsOf(progId_).clicks[tag]; }));
        }
        auto object = std::make_shared<DispatchTable>();
        object->Add("Clicks", 1, 1, [this](DispArgs& args) -> DispValue {
            return CountsOf(progId_).clicks[disparg::String(args, 0)];
        });
        object->Add("Connections", 0, 0, [this](DispArgs&) -> DispValue { return CountsOf(progId_).connections; });
        addInInst.SetObject(object);
    }

    void OnDisconnection(ext_DisconnectMode mode, CustomArgs&) override {
        subscriptions_.clear();
        if (mode != ext_DisconnectMode::ext_dm_UserClosed || !host_) return;
        if (auto popup = host_->CommandBars().FindControl(Tag("Menu"))) popup->Delete();
        if (auto bar = host_->CommandBars().Find(BarName())) bar->Delete();
    }
    void OnAddInsUpdate(CustomArgs&) override {}
    void OnStartupComplete(CustomArgs&) override {}
    void OnBeginShutdown(CustomArgs&) override {}

private:
    std::string Tag(std::string_view name) const { return progId_ + "." + std::string(name); }
    std::string BarName() const { return demand_ ? "DeskDemand" : "DeskTest"; }

    std::shared_ptr<CommandBarControl> Button(CommandBar& bar, std::string_view name, const std::string& caption,
                                              bool beginGroup, const std::string& action) {
        if (auto existing = bar.FindControl(Tag(name))) return existing;
        auto button = bar.Controls().Add(cbr::controlButton);
        button->SetCaption(caption);
        button->SetTag(Tag(name));
        button->SetBeginGroup(beginGroup);
        button->SetOnAction(action);
        return button;
    }

    std::string progId_;
    bool demand_ = false;
    AddInHost* host_ = nullptr;
    std::vector<ClickSubscription> subscriptions_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) int PaperloomCreateAddIn(
    unsigned abiVersion, const char* progId, std::shared_ptr<IDTExtensibility2>* addIn) noexcept {
    if (abiVersion != kAddInAbiVersion || !progId || !addIn) return 1;
    const std::string_view id(progId);
    if (id != "Paperloom.DeskTestAddIn" && id != "Paperloom.DeskDemandAddIn") return 2;
    *addIn = std::make_shared<DeskTestAddIn>(std::string(id));
    return 0;
}
