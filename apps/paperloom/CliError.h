#pragma once
// A failure the command line reports as one message and an exit status: bad input, a template
// that cannot be used, a refused output. Errors of the add-in and the platform arrive as
// HostError and are reported with their number and source.

#include <stdexcept>
#include <string>

namespace paperloom::cli {

namespace exitcode {
inline constexpr int ok = 0;
inline constexpr int notFound = 1;  // find: no record matches (as grep)
inline constexpr int failed = 2;
}  // namespace exitcode

class CliError : public std::runtime_error {
public:
    explicit CliError(const std::string& message, int exitCode = exitcode::failed)
        : std::runtime_error(message), exitCode_(exitCode) {}
    int ExitCode() const noexcept { return exitCode_; }

private:
    int exitCode_;
};

}  // namespace paperloom::cli
