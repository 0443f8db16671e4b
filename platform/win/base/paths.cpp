#include "platform/win/base/paths.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace win {

std::string ToFsPath(std::string_view path) {
  std::string out(path);
  for (char& c : out)
    if (c == '\\') c = '/';
  return out;
}

std::string ExeDir() {
  std::string buf(4096, '\0');
  ssize_t n = readlink("/proc/self/exe", buf.data(), buf.size() - 1);
  if (n <= 0) return ".";
  buf.resize(std::size_t(n));
  auto slash = buf.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return buf.substr(0, slash);
}

std::string InstallRoot() {
  if (const char* env = std::getenv("KOLUMO_ROOT"); env && *env) {
    std::string root = ToFsPath(env);
    while (root.size() > 1 && root.back() == '/') root.pop_back();
    return root;
  }
  std::string exe = ExeDir();
  auto slash = exe.rfind('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return exe.substr(0, slash);
}

std::string JoinPath(std::string_view folder, std::string_view name) {
  std::string out(folder);
  if (!out.empty() && out.back() != '/' && out.back() != '\\' && !name.empty()) out += '/';
  out += name;
  return out;
}

}  // namespace win
