#pragma once
// A loaded add-in library. The library is opened once and never unmapped: objects an add-in
// hands to the host (documents, published objects, shared-pointer control blocks) run code
// that lives in it, and they may outlive the connection.

#include <filesystem>
#include <memory>
#include <string>

#include "host/word/addins/Extensibility.h"

namespace paperloom::word {

class AddInLibrary {
public:
    // Opens the library; HostError (number 53 for a missing file, 48 for a file that is not a
    // loadable library or lacks the entry point) with the path and the loader's reason.
    explicit AddInLibrary(const std::filesystem::path& path);
    ~AddInLibrary();
    AddInLibrary(const AddInLibrary&) = delete;
    AddInLibrary& operator=(const AddInLibrary&) = delete;

    const std::filesystem::path& Path() const noexcept { return path_; }

    // A new add-in object for the ProgID through the library's entry point; HostError 429
    // when the library does not provide that ProgID.
    std::shared_ptr<IDTExtensibility2> CreateAddIn(const std::string& progId) const;

private:
    std::filesystem::path path_;
    void* handle_ = nullptr;
    AddInEntryPoint entry_ = nullptr;
};

}  // namespace paperloom::word
