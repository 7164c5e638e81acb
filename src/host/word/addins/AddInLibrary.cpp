#include "host/word/addins/AddInLibrary.h"

#include <dlfcn.h>

#include "host/HostError.h"

namespace paperloom::word {

namespace {
const char* const kSource = "Paperloom.AddIns";
}

AddInLibrary::AddInLibrary(const std::filesystem::path& path) : path_(path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec))
        throw host::HostError(53, kSource, "The add-in library " + path.string() + " was not found.");
    // A bare file name would make the loader search the system's library folders and maybe
    // load some other file of that name; the registered file is meant.
    const auto absolute = std::filesystem::absolute(path);
    // RTLD_NODELETE: see the class comment; RTLD_LOCAL keeps one add-in's symbols from
    // answering another's.
    handle_ = ::dlopen(absolute.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle_) {
        const char* why = ::dlerror();
        throw host::HostError(48, kSource,
                              "The add-in library " + path.string() + " cannot be loaded: " + (why ? why : "unknown"));
    }
    ::dlerror();
    void* symbol = ::dlsym(handle_, kAddInEntryPoint);
    if (!symbol) {
        ::dlclose(handle_);
        handle_ = nullptr;
        throw host::HostError(48, kSource,
                              "The library " + path.string() + " is not an add-in (it lacks " + kAddInEntryPoint + ").");
    }
    entry_ = reinterpret_cast<AddInEntryPoint>(symbol);
}

AddInLibrary::~AddInLibrary() {
    if (handle_) ::dlclose(handle_);
}

std::shared_ptr<IDTExtensibility2> AddInLibrary::CreateAddIn(const std::string& progId) const {
    std::shared_ptr<IDTExtensibility2> addIn;
    const int status = entry_(kAddInAbiVersion, progId.c_str(), &addIn);
    if (status != 0 || !addIn)
        throw host::HostError(429, kSource,
                              "The library " + path_.string() + " cannot create the add-in " + progId + ".");
    return addIn;
}

}  // namespace paperloom::word
