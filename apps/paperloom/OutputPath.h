#pragma once
// Where a command may write: never onto its template unless the user asked for that, and only
// into a folder that exists.

#include <filesystem>

namespace paperloom::cli {

// True when both paths name the same file (the same inode when both exist, else the same
// normalised absolute path).
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

// Refuses (CliError) an output that is the template itself, a folder, a block device or a
// socket, or in a folder that does not exist. A character device or a pipe (/dev/null, a named
// pipe, /dev/stdout) is fine: the save streams into it. `what` names the option in messages ("-o"); `inPlaceOffered`: the command can
// change the template with --in-place, which the message then suggests.
void CheckOutput(const std::filesystem::path& templatePath, const std::filesystem::path& output, const char* what,
                 bool inPlaceOffered = false);

// True when the path leads to what standard output is connected to (-o /dev/stdout).
bool IsStandardOutput(const std::filesystem::path& output);

// True when the path names a regular file or nothing yet (not a device or a pipe).
bool IsFileOrNew(const std::filesystem::path& output);

// Refuses a template that is missing or not a file.
void CheckTemplate(const std::filesystem::path& templatePath);

}  // namespace paperloom::cli
