#pragma once
// Path texts as the add-ins treat them: a path is absolute when it starts with "/", a drive
// letter ("C:") or a server part ("\\server"); relative paths are joined to a folder.
// Pure text work; nothing here touches the file system.

#include <string>
#include <string_view>

namespace paperloom::pathtext {

// "C:" for "C:\a", "\\server\share" for "\\server\share\a", "" otherwise.
std::string GetDriveName(std::string_view strPath);

bool IsAbsolutePath(std::string_view strPath);

// Folder and name joined by one separator: "/" for a POSIX folder, "\" for a drive or
// network folder. An empty folder gives the name; an empty name gives the folder.
std::string BuildPath(std::string_view strFolder, std::string_view strName);

}  // namespace paperloom::pathtext
