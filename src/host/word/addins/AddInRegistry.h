#pragma once
// The add-ins registered for the current user, by ProgID: where each library is, its display
// name and description, and when the host loads it. Kept in addins.xml in the user's
// configuration folder; every change rewrites the file atomically, and a file that cannot be
// read is reported and never overwritten.

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace paperloom::word {

// Load behaviour bits, as the host reads them.
namespace loadbehavior {
inline constexpr long connected = 1;        // connect (at start-up when combined with loadAtStartup)
inline constexpr long loadAtStartup = 2;    // 3: connected at every start-up
inline constexpr long loadOnDemand = 8;     // 9: connected when one of its commands is used
inline constexpr long connectFirstTime = 16;  // connected at the next start-up only, then on demand
}  // namespace loadbehavior

struct AddInRegistration {
    std::string progId;
    std::filesystem::path libraryPath;
    std::string friendlyName;
    std::string description;
    long loadBehavior = 3;

    bool operator==(const AddInRegistration&) const = default;
};

// The user's configuration folder for Paperloom: $PAPERLOOM_CONFIG_DIR when set, otherwise
// $XDG_CONFIG_HOME/paperloom, otherwise ~/.config/paperloom. Not created here.
std::filesystem::path UserConfigFolder();

// ProgIDs name the same add-in whatever the letter case.
bool SameProgId(std::string_view a, std::string_view b) noexcept;

class AddInRegistry {
public:
    // The registry kept in `file` (which need not exist yet).
    explicit AddInRegistry(std::filesystem::path file);
    // addins.xml in UserConfigFolder().
    static AddInRegistry ForCurrentUser();

    const std::filesystem::path& File() const noexcept { return file_; }

    // Every registration, in the order registered. A missing file is an empty registry; an
    // unreadable or malformed one raises HostError with the file's name.
    std::vector<AddInRegistration> List() const;
    // By ProgID (letter case ignored).
    std::optional<AddInRegistration> Find(std::string_view progId) const;
    // Adds or replaces the registration of its ProgID. A blank ProgID or library path is
    // refused (error 5).
    void Register(const AddInRegistration& registration);
    // False when the ProgID was not registered.
    bool Unregister(std::string_view progId);

private:
    void Write(const std::vector<AddInRegistration>& entries) const;

    std::filesystem::path file_;
};

// Registers the add-in when its ProgID is missing or names another library; an existing
// registration of the same library (with whatever load behaviour the user gave it) is left
// alone. True when the registry was written. For hosts that ship an add-in and register it on
// first use.
bool EnsureRegistered(AddInRegistry& registry, const AddInRegistration& registration);
bool EnsureRegistered(const AddInRegistration& registration);

}  // namespace paperloom::word
