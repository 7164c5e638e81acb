#include "ComAddInsModel.h"

#include <exception>

#include "host/HostError.h"
#include "host/word/addins/AddInHost.h"
#include "host/word/addins/COMAddIns.h"

namespace paperloom::desk {

namespace lb = word::loadbehavior;

std::string LoadBehaviorText(long loadBehavior) {
    if ((loadBehavior & lb::connectFirstTime) != 0) return "次回のスタートアップ時に読み込む";
    if ((loadBehavior & lb::connected) == 0) return "読み込まない";
    if ((loadBehavior & lb::loadAtStartup) != 0) return "スタートアップ時に読み込む";
    if ((loadBehavior & lb::loadOnDemand) != 0) return "要求時に読み込む";
    return "読み込む";
}

ComAddInsModel::ComAddInsModel(word::AddInHost& host) : host_(host) { Read(); }

void ComAddInsModel::Read() {
    rows_.clear();
    for (const auto& addIn : host_.COMAddIns()) {
        Row row;
        row.progId = addIn->ProgId();
        row.friendlyName = addIn->FriendlyName().empty() ? addIn->ProgId() : addIn->FriendlyName();
        row.location = addIn->Registration().libraryPath.string();
        row.loadBehavior = addIn->Registration().loadBehavior;
        row.connected = row.checked = addIn->Connect();
        rows_.push_back(std::move(row));
    }
}

void ComAddInsModel::SetChecked(std::size_t row, bool checked) { rows_.at(row).checked = checked; }

bool ComAddInsModel::Dirty() const {
    for (const auto& row : rows_)
        if (row.checked != row.connected) return true;
    return false;
}

std::string ComAddInsModel::DetailsText(std::size_t row) const {
    const Row& r = rows_.at(row);
    return "場所: " + r.location + "\n読み込み時の動作: " + LoadBehaviorText(r.loadBehavior);
}

std::vector<std::string> ComAddInsModel::Apply() {
    std::vector<std::string> errors;
    for (auto& row : rows_) {
        if (row.checked == row.connected) continue;
        word::COMAddIn* addIn = host_.COMAddIns().Find(row.progId);
        if (!addIn) continue;
        try {
            addIn->SetConnect(row.checked);
        } catch (const host::HostError& e) {
            errors.push_back(row.friendlyName + ": " + e.Description());
        } catch (const std::exception& e) {
            errors.push_back(row.friendlyName + ": " + e.what());
        }
        // Loaded at the next start-up exactly when the box is ticked; a failed connection
        // leaves the registry as it was.
        if (addIn->Connect() == row.checked) {
            auto registration = addIn->Registration();
            registration.loadBehavior = row.checked ? (registration.loadBehavior | lb::connected)
                                                    : (registration.loadBehavior & ~lb::connected);
            try {
                host_.Registry().Register(registration);
                addIn->UpdateRegistration(std::move(registration));
            } catch (const std::exception& e) {
                errors.push_back(row.friendlyName + ": " + e.what());
            }
        }
    }
    Read();
    return errors;
}

}  // namespace paperloom::desk
