#include "common/PathText.h"

namespace paperloom::pathtext {
namespace {

bool IsAsciiLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool IsSeparator(char c) {
    return c == '/' || c == '\\';
}

bool HasDriveLetter(std::string_view path) {
    return path.size() >= 2 && IsAsciiLetter(path[0]) && path[1] == ':';
}

bool IsNetworkPath(std::string_view path) {
    return path.size() >= 2 && path[0] == '\\' && path[1] == '\\';
}

}  // namespace

std::string GetDriveName(std::string_view strPath) {
    if (HasDriveLetter(strPath)) {
        return std::string(strPath.substr(0, 2));
    }
    if (IsNetworkPath(strPath)) {
        // server and share: up to the separator after the share name
        const auto serverEnd = strPath.find('\\', 2);
        if (serverEnd == std::string_view::npos) {
            return std::string(strPath);
        }
        const auto shareEnd = strPath.find('\\', serverEnd + 1);
        return std::string(strPath.substr(0, shareEnd));
    }
    return {};
}

bool IsAbsolutePath(std::string_view strPath) {
    return (!strPath.empty() && strPath[0] == '/') || HasDriveLetter(strPath) || IsNetworkPath(strPath);
}

std::string BuildPath(std::string_view strFolder, std::string_view strName) {
    if (strFolder.empty()) {
        return std::string(strName);
    }
    if (strName.empty()) {
        return std::string(strFolder);
    }
    std::string result(strFolder);
    if (!IsSeparator(result.back()) && !IsSeparator(strName.front())) {
        const bool windowsFolder = HasDriveLetter(strFolder) || strFolder.find('\\') != std::string_view::npos;
        result.push_back(windowsFolder ? '\\' : '/');
    }
    result.append(strName);
    return result;
}

}  // namespace paperloom::pathtext
