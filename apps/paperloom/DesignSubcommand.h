#pragma once
// One command of the "design" group that keeps its options and its run together, so each
// designer command lives in a file of its own (DesignFieldCommands.cpp, DesignDetailCommands.cpp, ...). DesignCommandLine
// makes one of each and runs the one the command line named.

#include <CLI/CLI.hpp>

#include <filesystem>
#include <iosfwd>
#include <memory>
#include <vector>

namespace paperloom::cli {

class DesignSubcommand {
public:
    virtual ~DesignSubcommand() = default;
    // Whether the command line named this command.
    bool Parsed() const { return command_ != nullptr && command_->parsed(); }
    // Runs it; the exit status. Failures are CliError or HostError.
    virtual int Run(std::ostream& out) = 0;

protected:
    CLI::App* command_ = nullptr;  // set by the command as it adds itself to "design"
};

using DesignSubcommands = std::vector<std::unique_ptr<DesignSubcommand>>;

// -o OUT or --in-place, the two ways a design command may write (DesignSession checks that one
// is given).
inline void AddWriteOptions(CLI::App& command, std::filesystem::path& output, bool& inPlace) {
    auto* in = command.add_flag("--in-place", inPlace, "Change the template itself (saved atomically)");
    command.add_option("-o,--output", output, "Write the changed template here instead")->excludes(in);
}

// Each adds its commands to "design" (one line per file of commands; several people add here).
void AddFieldCommands(CLI::App& design, DesignSubcommands& commands);        // field
void AddDetailCommands(CLI::App& design, DesignSubcommands& commands);       // detail
void AddColumnCommands(CLI::App& design, DesignSubcommands& commands);       // column
void AddCalculationCommands(CLI::App& design, DesignSubcommands& commands);  // statistics, formula
void AddBookmarkCommands(CLI::App& design, DesignSubcommands& commands);     // bookmark

}  // namespace paperloom::cli
