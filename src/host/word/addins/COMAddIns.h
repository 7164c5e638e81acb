#pragma once
// The host's list of COM add-ins: one COMAddIn per registered ProgID. Setting Connect loads
// the library, creates the add-in object and connects it; clearing it disconnects the add-in
// as the user unloading it. Object is what the connected add-in published for other programs.

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "host/word/addins/AddInLibrary.h"
#include "host/word/addins/AddInRegistry.h"
#include "host/word/addins/Dispatch.h"
#include "host/word/addins/Extensibility.h"

namespace paperloom::word {

class AddInHost;

class COMAddIn {
public:
    COMAddIn(AddInHost& host, AddInRegistration registration);
    ~COMAddIn();
    COMAddIn(const COMAddIn&) = delete;
    COMAddIn& operator=(const COMAddIn&) = delete;

    const std::string& ProgId() const noexcept { return registration_.progId; }
    const std::string& Description() const noexcept { return registration_.description; }
    const std::string& FriendlyName() const noexcept { return registration_.friendlyName; }
    const AddInRegistration& Registration() const noexcept { return registration_; }

    bool Connect() const noexcept { return addIn_ != nullptr; }
    // True: connects as after start-up (nothing when already connected); a library that is
    // missing or fails, or an add-in whose OnConnection raises, leaves it disconnected and
    // raises that error. False: disconnects as the user unloading it.
    void SetConnect(bool connect);

    // What the add-in published; Nothing while disconnected.
    const DispatchPtr& Object() const noexcept { return object_; }
    void SetObject(DispatchPtr object) { object_ = std::move(object); }

    // The host's own steps.
    void ConnectAs(ext_ConnectMode mode);
    void DisconnectAs(ext_DisconnectMode mode);
    // Notifications passed on to a connected add-in.
    void NotifyStartupComplete();
    void NotifyBeginShutdown();
    void NotifyAddInsUpdate();
    void UpdateRegistration(AddInRegistration registration) { registration_ = std::move(registration); }

private:
    AddInHost& host_;
    AddInRegistration registration_;
    std::shared_ptr<AddInLibrary> library_;
    std::shared_ptr<IDTExtensibility2> addIn_;
    DispatchPtr object_;
};

class COMAddIns {
public:
    explicit COMAddIns(AddInHost& host) : host_(host) {}
    COMAddIns(const COMAddIns&) = delete;
    COMAddIns& operator=(const COMAddIns&) = delete;

    long Count() const noexcept { return static_cast<long>(items_.size()); }
    // 1-based; error 5941 when out of range.
    COMAddIn& Item(long index) const;
    // By ProgID (letter case ignored); error 5941 when not registered.
    COMAddIn& Item(std::string_view progId) const;
    COMAddIn* Find(std::string_view progId) const noexcept;

    // Re-reads the registry: new ProgIDs are added, changed ones take the new settings, and
    // unregistered ones leave the list unless they are connected.
    void Update(const std::vector<AddInRegistration>& registrations);

    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

private:
    AddInHost& host_;
    std::vector<std::unique_ptr<COMAddIn>> items_;
};

}  // namespace paperloom::word
