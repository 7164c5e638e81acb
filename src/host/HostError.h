#pragma once
// The error object every host layer raises: what the add-ins read as the platform's error
// (number, source, description, help file, help context).

#include <stdexcept>
#include <string>

namespace paperloom::host {

class HostError : public std::runtime_error {
public:
    HostError(long number, std::string source, std::string description,
              std::string helpFile = {}, long helpContext = 0)
        : std::runtime_error(description),
          number_(number),
          source_(std::move(source)),
          description_(std::move(description)),
          helpFile_(std::move(helpFile)),
          helpContext_(helpContext) {}

    long Number() const noexcept { return number_; }
    const std::string& Source() const noexcept { return source_; }
    const std::string& Description() const noexcept { return description_; }
    const std::string& HelpFile() const noexcept { return helpFile_; }
    long HelpContext() const noexcept { return helpContext_; }

private:
    long number_;
    std::string source_;
    std::string description_;
    std::string helpFile_;
    long helpContext_;
};

}  // namespace paperloom::host
