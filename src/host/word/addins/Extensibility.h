#pragma once
// The interface every add-in library implements so a host can connect and disconnect it, and
// the one C entry point through which the host creates the add-in object.

#include <memory>
#include <vector>

#include "host/word/addins/Dispatch.h"

namespace paperloom::word {

class AddInHost;
class COMAddIn;

// How the add-in came to be connected.
enum class ext_ConnectMode : long {
    ext_cm_AfterStartup = 0,  // connected while the host was already running
    ext_cm_Startup = 1,       // connected as the host started
    ext_cm_External = 2,
    ext_cm_CommandLine = 3,
};

// Why the add-in is being disconnected.
enum class ext_DisconnectMode : long {
    ext_dm_HostShutdown = 0,  // the host is closing; the add-in's menus stay for the next run
    ext_dm_UserClosed = 1,    // the user unloaded the add-in
};

// Arguments a host may pass along with each notification (none today).
using CustomArgs = std::vector<DispValue>;

class IDTExtensibility2 {
public:
    virtual ~IDTExtensibility2() = default;
    // `application` and `addInInst` stay valid until OnDisconnection returns.
    virtual void OnConnection(AddInHost& application, ext_ConnectMode connectMode, COMAddIn& addInInst,
                              CustomArgs& custom) = 0;
    virtual void OnDisconnection(ext_DisconnectMode removeMode, CustomArgs& custom) = 0;
    virtual void OnAddInsUpdate(CustomArgs& custom) = 0;
    virtual void OnStartupComplete(CustomArgs& custom) = 0;
    virtual void OnBeginShutdown(CustomArgs& custom) = 0;
};

// Version of the entry point's contract; a library built for another version is refused.
inline constexpr unsigned kAddInAbiVersion = 1;

// Name of the C entry point an add-in library exports:
//   extern "C" int PaperloomCreateAddIn(unsigned abiVersion, const char* progId,
//                                       std::shared_ptr<IDTExtensibility2>* addIn);
// It stores a new add-in object for the ProgID and returns 0, or returns non-zero (unknown
// ProgID, other version) leaving *addIn empty. It must not let an exception escape.
inline constexpr const char* kAddInEntryPoint = "PaperloomCreateAddIn";
using AddInEntryPoint = int (*)(unsigned abiVersion, const char* progId,
                                std::shared_ptr<IDTExtensibility2>* addIn);

}  // namespace paperloom::word
