#pragma once
// The "design" command group of the paperloom program: its options, and running the one given.

#include <CLI/CLI.hpp>

#include <memory>

namespace paperloom::cli {

class DesignCommandLine {
public:
    // Adds "design" with bind, insert-detail, sources and fields to the program's commands.
    explicit DesignCommandLine(CLI::App& app);
    ~DesignCommandLine();
    DesignCommandLine(const DesignCommandLine&) = delete;
    DesignCommandLine& operator=(const DesignCommandLine&) = delete;

    // Whether the command line named a design command.
    bool Given() const;
    // Runs it; the exit status. Failures are CliError or HostError, as for the other commands.
    int Run();

private:
    struct Options;
    std::unique_ptr<Options> options_;
};

}  // namespace paperloom::cli
