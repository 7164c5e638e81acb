#include "host/word/addins/COMAddIns.h"

#include "host/word/WordError.h"
#include "host/word/addins/AddInHost.h"

namespace paperloom::word {

COMAddIn::COMAddIn(AddInHost& host, AddInRegistration registration)
    : host_(host), registration_(std::move(registration)) {}

COMAddIn::~COMAddIn() {
    try {
        DisconnectAs(ext_DisconnectMode::ext_dm_HostShutdown);
    } catch (...) {
        // Nothing can report an add-in's failure while the host itself goes away.
    }
}

void COMAddIn::SetConnect(bool connect) {
    if (connect)
        ConnectAs(ext_ConnectMode::ext_cm_AfterStartup);
    else
        DisconnectAs(ext_DisconnectMode::ext_dm_UserClosed);
}

void COMAddIn::ConnectAs(ext_ConnectMode mode) {
    if (addIn_) return;
    auto library = std::make_shared<AddInLibrary>(registration_.libraryPath);
    auto addIn = library->CreateAddIn(registration_.progId);
    CustomArgs custom;
    try {
        addIn->OnConnection(host_, mode, *this, custom);
    } catch (...) {
        // An add-in that failed to connect publishes nothing.
        object_.reset();
        throw;
    }
    library_ = std::move(library);
    addIn_ = std::move(addIn);
    host_.Connected(*this);
}

void COMAddIn::DisconnectAs(ext_DisconnectMode mode) {
    if (!addIn_) return;
    // The add-in counts as disconnected whatever its OnDisconnection does.
    const auto addIn = std::move(addIn_);
    addIn_.reset();
    host_.Disconnected(*this);
    struct Release {
        COMAddIn& self;
        ~Release() {
            self.object_.reset();
            self.library_.reset();
        }
    } release{*this};
    CustomArgs custom;
    addIn->OnDisconnection(mode, custom);
}

void COMAddIn::NotifyStartupComplete() {
    CustomArgs custom;
    if (addIn_) addIn_->OnStartupComplete(custom);
}

void COMAddIn::NotifyBeginShutdown() {
    CustomArgs custom;
    if (addIn_) addIn_->OnBeginShutdown(custom);
}

void COMAddIn::NotifyAddInsUpdate() {
    CustomArgs custom;
    if (addIn_) addIn_->OnAddInsUpdate(custom);
}

COMAddIn& COMAddIns::Item(long index) const {
    if (index < 1 || index > Count()) throw NoSuchMember();
    return *items_[static_cast<std::size_t>(index) - 1];
}

COMAddIn& COMAddIns::Item(std::string_view progId) const {
    if (auto* found = Find(progId)) return *found;
    throw NoSuchMember();
}

COMAddIn* COMAddIns::Find(std::string_view progId) const noexcept {
    for (const auto& item : items_)
        if (SameProgId(item->ProgId(), progId)) return item.get();
    return nullptr;
}

void COMAddIns::Update(const std::vector<AddInRegistration>& registrations) {
    std::erase_if(items_, [&](const auto& item) {
        if (item->Connect()) return false;
        for (const auto& r : registrations)
            if (SameProgId(r.progId, item->ProgId())) return false;
        return true;
    });
    for (const auto& registration : registrations) {
        if (auto* existing = Find(registration.progId))
            existing->UpdateRegistration(registration);
        else
            items_.push_back(std::make_unique<COMAddIn>(host_, registration));
    }
    for (const auto& item : items_) {
        try {
            item->NotifyAddInsUpdate();
        } catch (...) {
            // One add-in's failure must not keep the others from the news.
        }
    }
}

}  // namespace paperloom::word
