#include <dlfcn.h>

#include <map>
#include <string>

#include "host/HostError.h"
#include "host/ui/FormsService.h"

namespace paperloom::ui {
namespace {

constexpr long kErrFileNotFound = 53;
constexpr long kErrEntryPoint = 453;

// Never closed: classes a toolkit registered from the library (and windows still being torn
// down) may outlive this service, and unloading their code under them would crash the host.
using Library = void*;

class LibraryFormsService final : public FormsService {
public:
    void* Entry(const std::filesystem::path& library, const std::string& symbol) override {
        auto found = libraries_.find(library);
        if (found == libraries_.end()) {
            Library handle = ::dlopen(library.c_str(), RTLD_NOW | RTLD_LOCAL);
            if (!handle) {
                const char* why = ::dlerror();
                throw host::HostError(kErrFileNotFound, "Paperloom.Forms",
                                      "The forms library " + library.string() + " cannot be loaded: " +
                                          (why ? why : "unknown reason"));
            }
            found = libraries_.emplace(library, handle).first;
        }
        ::dlerror();
        void* address = ::dlsym(found->second, symbol.c_str());
        if (!address)
            throw host::HostError(kErrEntryPoint, "Paperloom.Forms",
                                  "The forms library " + library.string() + " has no entry point " + symbol + ".");
        return address;
    }

private:
    std::map<std::filesystem::path, Library> libraries_;
};

}  // namespace

std::shared_ptr<FormsService> MakeLibraryFormsService() { return std::make_shared<LibraryFormsService>(); }

}  // namespace paperloom::ui
