// Where the file of another position of the project lies. A project's positions lie side by side: a reference
// names its source relative to the position that holds the reference, never to the folder the program runs in.
#pragma once

#include <string>
#include <string_view>

// The file-system path of the source file `name` (a stored name: "\" or "/" separators, ".tqx" included) named
// by the position whose file is `referringFile`. A relative name lies in the referring file's folder; an
// absolute one stays as it is. When no file of that exact name exists, one whose name differs only in the case
// of its ".tqx" is taken. Empty when a relative name has nothing to lie beside (the referring position has no
// file yet).
std::string SourcePositionFile(std::string_view referringFile, std::string_view name);
