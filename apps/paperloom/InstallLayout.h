#pragma once
// Where the programs find what is installed with them. An installed tree keeps the programs in
// bin/ and their libraries and add-ins in lib/paperloom/; a program run from the folder the
// build left it in uses the build's own copies instead. An installed program never looks into
// the build tree, so a library missing from an installation is reported, not borrowed.

#include <unistd.h>

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "host/word/addins/AddInRegistry.h"

namespace paperloom::cli {

// The folder of the running program; empty when the system does not say.
inline std::filesystem::path ExecutableFolder() {
    std::array<char, 4096> buffer{};
    const ssize_t n = ::readlink("/proc/self/exe", buffer.data(), buffer.size() - 1);
    if (n <= 0) return {};
    return std::filesystem::path(std::string(buffer.data(), static_cast<std::size_t>(n))).parent_path();
}

// The private library folder of the installed tree the program runs from (../lib/paperloom).
inline std::filesystem::path InstalledLibraryFolder(const std::filesystem::path& programFolder) {
    return (programFolder / ".." / "lib" / "paperloom").lexically_normal();
}

// True when the program runs from `buildFolder`, the folder the build writes it to.
inline bool RunsFromBuildFolder(const std::filesystem::path& programFolder, const std::filesystem::path& buildFolder) {
    if (programFolder.empty() || buildFolder.empty()) return false;
    std::error_code ec;
    return std::filesystem::equivalent(programFolder, buildFolder, ec);
}

// The library `fileName` installed with the program (beside it or in its lib/paperloom
// folder), or `built` when the program runs from its build folder and that file exists.
inline std::optional<std::filesystem::path> FindBundledLibrary(const std::string& fileName,
                                                               const std::filesystem::path& programFolder,
                                                               const std::filesystem::path& buildFolder,
                                                               const std::filesystem::path& built) {
    std::error_code ec;
    if (!programFolder.empty()) {
        for (const auto& candidate : {programFolder / fileName, InstalledLibraryFolder(programFolder) / fileName})
            if (std::filesystem::is_regular_file(candidate, ec)) return std::filesystem::canonical(candidate, ec);
    }
    if (!built.empty() && RunsFromBuildFolder(programFolder, buildFolder) && std::filesystem::is_regular_file(built, ec))
        return built;
    return std::nullopt;
}

// How the run-time add-in shipped with the programs is registered: one place for its ProgID,
// names and load behaviour, whichever program registers it first.
inline word::AddInRegistration BundledRunAddInRegistration(const std::filesystem::path& library) {
    word::AddInRegistration registration;
    registration.progId = "OsPLRun.conPLRun";
    registration.libraryPath = library;
    registration.friendlyName = "Paperloom 実行";
    registration.description = "ｱﾄﾞｲﾝ ﾌﾟﾛｼﾞｪｸﾄ ﾃﾝﾌﾟﾚｰﾄ";
    registration.loadBehavior = word::loadbehavior::connected | word::loadbehavior::loadAtStartup;
    return registration;
}

// The same for the design-time add-in: connected at the host's next start, then loaded when one
// of its buttons is used.
inline word::AddInRegistration BundledEditAddInRegistration(const std::filesystem::path& library) {
    word::AddInRegistration registration;
    registration.progId = "OsPLEdit.conPLEdit";
    registration.libraryPath = library;
    registration.friendlyName = "Paperloom 開発";
    registration.description = "ｱﾄﾞｲﾝ ﾌﾟﾛｼﾞｪｸﾄ ﾃﾝﾌﾟﾚｰﾄ";
    registration.loadBehavior = word::loadbehavior::connectFirstTime;
    return registration;
}

}  // namespace paperloom::cli
