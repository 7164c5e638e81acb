#pragma once
// Forms libraries: an add-in keeps its dialogs (widgets) in a shared library of its own, which
// is loaded only where the host shows windows. A desktop host installs the service that loads
// them; the headless set has none, so the engine and the command line never load a toolkit.

#include <filesystem>
#include <memory>
#include <string>

namespace paperloom::ui {

class FormsService {
public:
    virtual ~FormsService() = default;
    // The address of `symbol` in the forms library at `library`, loaded on first use and kept
    // until the service ends. Throws HostError when the library or the symbol cannot be found.
    virtual void* Entry(const std::filesystem::path& library, const std::string& symbol) = 0;
};

// Loads forms libraries with the dynamic loader.
std::shared_ptr<FormsService> MakeLibraryFormsService();

}  // namespace paperloom::ui
