#pragma once
// The process work printing needs: finding a program, running it with a time limit, and
// publishing a finished file into a folder others watch.

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace paperloom::ui {

// The program's path: `name` itself when it holds a slash, otherwise looked up in PATH.
// Empty when there is no executable file of that name.
std::optional<std::filesystem::path> FindProgram(const std::string& name);

struct ProcessResult {
    bool timedOut = false;
    // The exit status, or 128 + the signal that ended the process.
    int exitCode = 0;
};

// Runs `argv` (argv[0] a path) with standard input from /dev/null and its output appended to
// `log`. A run that outlasts `timeout` is killed together with every process it started.
ProcessResult RunProcess(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                         const std::filesystem::path& log);
// The same with `environment` ("NAME=value" entries) added to, or replacing in, the program's
// environment.
ProcessResult RunProcess(const std::vector<std::string>& argv, std::chrono::milliseconds timeout,
                         const std::filesystem::path& log, const std::vector<std::string>& environment);

// The last `maxBytes` of a log, trimmed, for error messages; "" when there is none.
std::string LogTail(const std::filesystem::path& log, std::size_t maxBytes = 600);

// Copies `source` to `target` through a temporary file in the target's folder renamed over
// it, so a reader never sees a partial file.
void ReplaceFileAtomically(const std::filesystem::path& source, const std::filesystem::path& target);

// Copies `source` into `folder` as `stem` + ".pdf", or, when that name is taken, as
// `stem` + "-2.pdf", "-3.pdf" ...; an existing file is never replaced. Returns the new path.
std::filesystem::path PublishFileUniquely(const std::filesystem::path& source, const std::filesystem::path& folder,
                                          const std::string& stem);

// A file-name stem from a free text: path separators and control characters become "_", a
// leading dot is dropped, a ".docx" ending is removed; "print" when nothing is left.
std::string SafeFileStem(const std::string& text);

}  // namespace paperloom::ui
