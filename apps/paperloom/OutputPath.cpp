#include "OutputPath.h"

#include "CliError.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fmt/format.h>

namespace paperloom::cli {

namespace fs = std::filesystem;

bool SameFile(const fs::path& a, const fs::path& b) {
    std::error_code ec;
    if (fs::exists(a, ec) && fs::exists(b, ec)) return fs::equivalent(a, b, ec);
    return fs::weakly_canonical(fs::absolute(a), ec) == fs::weakly_canonical(fs::absolute(b), ec);
}

bool IsStandardOutput(const fs::path& output) {
    struct stat target {};
    struct stat standardOutput {};
    return !output.empty() && ::stat(output.c_str(), &target) == 0 && ::fstat(STDOUT_FILENO, &standardOutput) == 0 &&
           target.st_dev == standardOutput.st_dev && target.st_ino == standardOutput.st_ino;
}

bool IsFileOrNew(const fs::path& output) {
    std::error_code ec;
    const fs::file_status status = fs::status(output, ec);
    return status.type() == fs::file_type::not_found || status.type() == fs::file_type::regular;
}

void CheckTemplate(const fs::path& templatePath) {
    std::error_code ec;
    if (!fs::exists(templatePath, ec)) throw CliError(fmt::format("The template {} does not exist.", templatePath.string()));
    if (!fs::is_regular_file(templatePath, ec))
        throw CliError(fmt::format("The template {} is not a file.", templatePath.string()));
}

void CheckOutput(const fs::path& templatePath, const fs::path& output, const char* what, bool inPlaceOffered) {
    if (output.empty()) throw CliError(fmt::format("The output path of {} is empty.", what));
    if (SameFile(templatePath, output))
        throw CliError(fmt::format("{} {} is the template itself, which is not overwritten{}.", what, output.string(),
                                   inPlaceOffered ? " (use --in-place to change the template)" : ""));
    std::error_code ec;
    if (fs::is_directory(output, ec))
        throw CliError(fmt::format("{} {} is a folder; give a file name.", what, output.string()));
    const fs::file_type type = fs::status(output, ec).type();
    if (type == fs::file_type::block || type == fs::file_type::socket)
        throw CliError(fmt::format("{} {} is a {}, which is not written; give a file name.", what, output.string(),
                                   type == fs::file_type::block ? "block device" : "socket"));
    const fs::path folder = fs::absolute(output).parent_path();
    if (!fs::is_directory(folder, ec))
        throw CliError(fmt::format("The folder {} for {} does not exist.", folder.string(), what));
}

}  // namespace paperloom::cli
