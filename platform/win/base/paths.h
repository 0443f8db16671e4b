// Paths: the system's own data keeps "\" separators; every file-system access maps them here, in one place.
#pragma once

#include <string>
#include <string_view>

namespace win {

// A path usable by the file system: "\" becomes "/". Case is never changed.
std::string ToFsPath(std::string_view path);

// Folder of the running executable, without a trailing separator.
std::string ExeDir();

// The installation root: $KOLUMO_ROOT, else the parent of the executable's folder.
std::string InstallRoot();

// Joins a folder and a relative path with one separator.
std::string JoinPath(std::string_view folder, std::string_view name);

}  // namespace win
