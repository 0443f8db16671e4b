#include "transfer/sourcefile.h"

#include <strings.h>

#include <cctype>
#include <filesystem>
#include <system_error>

#include "platform/win/base/paths.h"

namespace {

constexpr std::string_view kExtension = ".tqx";

// A drive-letter path is absolute too: a file stored on another system is not looked for in this folder.
bool IsAbsolute(std::string_view path) {
  if (!path.empty() && path[0] == '/') return true;
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

bool EndsWithExtension(std::string_view name) {
  return name.size() > kExtension.size() &&
         strncasecmp(name.data() + name.size() - kExtension.size(), kExtension.data(), kExtension.size()) == 0;
}

// The file beside `path` whose name differs from it only in the case of the extension; `path` when none does.
std::string WithExtensionOfAnyCase(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::exists(path, error) || !EndsWithExtension(path)) return path;
  const fs::path wanted(path);
  const std::string stem = wanted.filename().string().substr(0, wanted.filename().string().size() - kExtension.size());
  const fs::path folder = wanted.has_parent_path() ? wanted.parent_path() : fs::path(".");
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.size() == stem.size() + kExtension.size() && name.compare(0, stem.size(), stem) == 0 &&
        EndsWithExtension(name))
      return (wanted.has_parent_path() ? win::JoinPath(folder.string(), name) : name);
  }
  return path;
}

}  // namespace

std::string SourcePositionFile(std::string_view referringFile, std::string_view name) {
  const std::string source = win::ToFsPath(name);
  if (source.empty()) return {};
  if (IsAbsolute(source)) return WithExtensionOfAnyCase(source);
  const std::string referring = win::ToFsPath(referringFile);
  if (referring.empty()) return {};
  const std::size_t slash = referring.rfind('/');
  // A referring file named without a folder lies in the current one, and so does its source.
  if (slash == std::string::npos) return WithExtensionOfAnyCase(source);
  return WithExtensionOfAnyCase(win::JoinPath(referring.substr(0, slash == 0 ? 1 : slash), source));
}
