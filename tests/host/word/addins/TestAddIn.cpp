// An add-in library for the host's tests. It writes each notification it gets to the file
// named by PAPERLOOM_TEST_ADDIN_LOG, publishes an object with one member, and puts a button
// of its own on the Standard bar. "Paperloom.FailingAddIn" refuses to connect.

#include <cstdlib>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "host/HostError.h"
#include "host/word/addins/AddInHost.h"
#include "host/word/addins/COMAddIns.h"
#include "host/word/addins/Dispatch.h"
#include "host/word/addins/Extensibility.h"

namespace {

using namespace paperloom::word;

void Log(const std::string& line) {
    if (const char* file = std::getenv("PAPERLOOM_TEST_ADDIN_LOG")) std::ofstream(file, std::ios::app) << line << "\n";
}

class TestAddIn final : public IDTExtensibility2 {
public:
    explicit TestAddIn(bool failing) : failing_(failing) {}

    void OnConnection(AddInHost& application, ext_ConnectMode mode, COMAddIn& addInInst, CustomArgs&) override {
        Log(addInInst.ProgId() + " connect " + std::to_string(static_cast<long>(mode)));
        if (failing_) throw paperloom::host::HostError(1004, "TestAddIn", "refused to connect");
        auto button = application.CommandBars().Item("Standard")->FindControl("TestAddIn");
        if (!button) {
            button = application.CommandBars().Item("Standard")->Controls().Add(cbr::controlButton, 0, true);
            button->SetTag("TestAddIn");
            button->SetOnAction("!<" + addInInst.ProgId() + ">");
        }
        click_ = button->OnClick([](const auto&, bool&) { Log("click"); });
        auto object = std::make_shared<DispatchTable>();
        object->Add("Documents", 0, 0, [&application](DispArgs&) -> DispValue {
            return application.Application().Documents().Count();
        });
        addInInst.SetObject(object);
    }
    void OnDisconnection(ext_DisconnectMode mode, CustomArgs&) override {
        click_.Reset();
        Log("disconnect " + std::to_string(static_cast<long>(mode)));
    }
    void OnAddInsUpdate(CustomArgs&) override { Log("addins-update"); }
    void OnStartupComplete(CustomArgs&) override { Log("startup-complete"); }
    void OnBeginShutdown(CustomArgs&) override { Log("begin-shutdown"); }

private:
    bool failing_;
    ClickSubscription click_;
};

}  // namespace

extern "C" __attribute__((visibility("default"))) int PaperloomCreateAddIn(
    unsigned abiVersion, const char* progId, std::shared_ptr<IDTExtensibility2>* addIn) noexcept {
    if (abiVersion != kAddInAbiVersion || !progId || !addIn) return 1;
    const std::string_view id(progId);
    if (id != "Paperloom.TestAddIn" && id != "Paperloom.FailingAddIn") return 2;
    *addIn = std::make_shared<TestAddIn>(id == "Paperloom.FailingAddIn");
    return 0;
}
