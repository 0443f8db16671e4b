// File access of the library: whole-file reads and writes that replace a file only once the new one is
// complete.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "platform/win/base/replace.h"

namespace viduv::detail {

// LOCAL STAND-IN: maps a path that may use "\" to the file system's "/" form. To be replaced by the
// project's one path-mapping helper once platform/win offers it.
std::string fileSystemPath(std::string_view path);

// The path as given, made absolute against the current folder when it is relative.
std::string absolutePath(std::string_view path);

// Reads a regular file whole. On failure returns false with a message naming the file.
bool readWholeFile(std::string_view path, std::string& bytes, std::string& error);

// Writes a temporary file in the target's folder, flushes it to disk and renames it over the target; with `accept`,
// only when it accepts the file standing there (see win::ReplaceOptions). On failure returns false with a message;
// the target is untouched and no temporary file is left.
bool writeFileAtomically(std::string_view path, std::string_view bytes, std::string& error,
                         const std::function<bool(const win::StandingFile&, std::string&)>& accept = {});

}  // namespace viduv::detail
