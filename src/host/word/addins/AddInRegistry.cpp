#include "host/word/addins/AddInRegistry.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cctype>
#include <cstdlib>
#include <sstream>

#include <pugixml.hpp>

#include "host/HostError.h"
#include "host/docx/AtomicFile.h"

namespace paperloom::word {

namespace {

const char* const kSource = "Paperloom.AddIns";


bool Blank(std::string_view text) noexcept {
    for (const char c : text)
        if (!std::isspace(static_cast<unsigned char>(c))) return false;
    return true;
}

host::HostError Unreadable(const std::filesystem::path& file, const std::string& why) {
    return host::HostError(75, kSource, "The add-in registry " + file.string() + " cannot be read: " + why);
}

// Serialises changes of several processes to one registry: each change reads, edits and
// writes the file under an exclusive lock on a companion lock file.
class RegistryLock {
public:
    explicit RegistryLock(const std::filesystem::path& file) {
        std::filesystem::create_directories(file.parent_path());
        const auto lockPath = file.string() + ".lock";
        fd_ = ::open(lockPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
        if (fd_ < 0 || ::flock(fd_, LOCK_EX) != 0) {
            if (fd_ >= 0) ::close(fd_);
            throw host::HostError(70, kSource, "The add-in registry " + file.string() + " cannot be locked.");
        }
    }
    ~RegistryLock() {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
    }
    RegistryLock(const RegistryLock&) = delete;
    RegistryLock& operator=(const RegistryLock&) = delete;

private:
    int fd_ = -1;
};

}  // namespace

bool SameProgId(std::string_view a, std::string_view b) noexcept {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::filesystem::path UserConfigFolder() {
    if (const char* dir = std::getenv("PAPERLOOM_CONFIG_DIR"); dir && *dir) return std::filesystem::path(dir);
    // The base-directory rules ignore a relative XDG_CONFIG_HOME.
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg && std::filesystem::path(xdg).is_absolute())
        return std::filesystem::path(xdg) / "paperloom";
    if (const char* home = std::getenv("HOME"); home && *home)
        return std::filesystem::path(home) / ".config" / "paperloom";
    throw host::HostError(76, kSource,
                          "No configuration folder: set PAPERLOOM_CONFIG_DIR, XDG_CONFIG_HOME or HOME.");
}

AddInRegistry::AddInRegistry(std::filesystem::path file) : file_(std::move(file)) {}

AddInRegistry AddInRegistry::ForCurrentUser() { return AddInRegistry(UserConfigFolder() / "addins.xml"); }

std::vector<AddInRegistration> AddInRegistry::List() const {
    std::error_code ec;
    if (!std::filesystem::exists(file_, ec)) {
        if (ec) throw Unreadable(file_, ec.message());
        return {};
    }
    pugi::xml_document xml;
    const auto parsed = xml.load_file(file_.c_str());
    if (!parsed) throw Unreadable(file_, parsed.description());
    const auto root = xml.child("addins");
    if (!root) throw Unreadable(file_, "it holds no <addins> element");
    std::vector<AddInRegistration> entries;
    for (const auto node : root.children("addin")) {
        AddInRegistration entry;
        entry.progId = node.attribute("progId").as_string();
        entry.libraryPath = node.attribute("path").as_string();
        entry.friendlyName = node.attribute("friendlyName").as_string();
        entry.description = node.attribute("description").as_string();
        const std::string behaviour = node.attribute("loadBehavior").as_string("3");
        std::size_t used = 0;
        try {
            entry.loadBehavior = std::stol(behaviour, &used);
        } catch (const std::exception&) {
            used = 0;
        }
        if (used != behaviour.size() || behaviour.empty())
            throw Unreadable(file_, "load behaviour \"" + behaviour + "\" of " + entry.progId + " is not a number");
        if (Blank(entry.progId) || entry.libraryPath.empty())
            throw Unreadable(file_, "an entry lacks its ProgID or library path");
        entries.push_back(std::move(entry));
    }
    return entries;
}

std::optional<AddInRegistration> AddInRegistry::Find(std::string_view progId) const {
    for (auto& entry : List())
        if (SameProgId(entry.progId, progId)) return entry;
    return std::nullopt;
}

void AddInRegistry::Register(const AddInRegistration& registration) {
    if (Blank(registration.progId) || registration.libraryPath.empty())
        throw host::HostError(5, kSource, "An add-in needs a ProgID and a library path to be registered.");
    RegistryLock lock(file_);
    auto entries = List();
    bool replaced = false;
    for (auto& entry : entries)
        if (SameProgId(entry.progId, registration.progId)) {
            entry = registration;
            replaced = true;
        }
    if (!replaced) entries.push_back(registration);
    Write(entries);
}

bool AddInRegistry::Unregister(std::string_view progId) {
    RegistryLock lock(file_);
    auto entries = List();
    const auto removed = std::erase_if(entries, [&](const auto& e) { return SameProgId(e.progId, progId); });
    if (removed == 0) return false;
    Write(entries);
    return true;
}

void AddInRegistry::Write(const std::vector<AddInRegistration>& entries) const {
    pugi::xml_document xml;
    auto declaration = xml.append_child(pugi::node_declaration);
    declaration.append_attribute("version") = "1.0";
    declaration.append_attribute("encoding") = "UTF-8";
    auto root = xml.append_child("addins");
    for (const auto& entry : entries) {
        auto node = root.append_child("addin");
        node.append_attribute("progId") = entry.progId.c_str();
        node.append_attribute("path") = entry.libraryPath.c_str();
        node.append_attribute("friendlyName") = entry.friendlyName.c_str();
        node.append_attribute("description") = entry.description.c_str();
        node.append_attribute("loadBehavior") = std::to_string(entry.loadBehavior).c_str();
    }
    std::ostringstream out;
    xml.save(out, "  ", pugi::format_default, pugi::encoding_utf8);
    const auto text = out.str();
    std::filesystem::create_directories(file_.parent_path());
    docx::WriteFileAtomically(file_, std::as_bytes(std::span(text.data(), text.size())));
}

bool EnsureRegistered(AddInRegistry& registry, const AddInRegistration& registration) {
    if (const auto existing = registry.Find(registration.progId)) {
        std::error_code ec;
        const bool sameLibrary = existing->libraryPath == registration.libraryPath ||
                                 std::filesystem::equivalent(existing->libraryPath, registration.libraryPath, ec);
        if (sameLibrary) return false;
    }
    registry.Register(registration);
    return true;
}

bool EnsureRegistered(const AddInRegistration& registration) {
    auto registry = AddInRegistry::ForCurrentUser();
    return EnsureRegistered(registry, registration);
}

}  // namespace paperloom::word
