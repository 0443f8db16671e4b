#include "platform/rtfx/rtfx_settings.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>

namespace rtfx {
namespace {

std::mutex g_mutex;

// Values are one line each: newlines and backslashes are escaped.
std::string Escape(const std::string& v) {
  std::string out;
  for (char c : v) {
    if (c == '\\')
      out += "\\\\";
    else if (c == '\n')
      out += "\\n";
    else if (c == '\r')
      out += "\\r";
    else
      out += c;
  }
  return out;
}

std::string Unescape(const std::string& v) {
  std::string out;
  for (std::size_t i = 0; i < v.size(); ++i) {
    if (v[i] == '\\' && i + 1 < v.size()) {
      char n = v[++i];
      out += n == 'n' ? '\n' : (n == 'r' ? '\r' : n);
    } else {
      out += v[i];
    }
  }
  return out;
}

std::map<std::string, std::string> Load() {
  std::map<std::string, std::string> values;
  std::ifstream in(SettingsPath());
  std::string line;
  while (std::getline(in, line)) {
    auto eq = line.find('=');
    if (eq != std::string::npos) values[line.substr(0, eq)] = Unescape(line.substr(eq + 1));
  }
  return values;
}

}  // namespace

std::string SettingsPath() {
  if (const char* env = std::getenv("ORMI_RTFX_SETTINGS"); env && *env) return env;
  std::string base;
  if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && *xdg)
    base = xdg;
  else if (const char* home = std::getenv("HOME"); home && *home)
    base = std::string(home) + "/.config";
  else
    base = ".";
  return base + "/ormi/rtfx.ini";
}

bool ReadSetting(const std::string& key, char* buffer, int size) {
  if (!buffer || size <= 0) return false;
  std::lock_guard lock(g_mutex);
  auto values = Load();
  auto it = values.find(key);
  if (it == values.end()) return false;
  std::snprintf(buffer, std::size_t(size), "%s", it->second.c_str());
  return true;
}

bool WriteSetting(const std::string& key, const std::string& value) {
  if (key.empty() || key.find('=') != std::string::npos || key.find('\n') != std::string::npos) return false;
  std::lock_guard lock(g_mutex);
  auto values = Load();
  values[key] = value;
  std::string path = SettingsPath();
  std::error_code ec;
  std::filesystem::create_directories(std::filesystem::path(path).parent_path(), ec);
  std::string tmp = path + ".part" + std::to_string(::getpid());
  {
    std::ofstream out(tmp, std::ios::trunc);
    for (const auto& [k, v] : values) out << k << '=' << Escape(v) << '\n';
    out.flush();
    if (!out) {
      std::remove(tmp.c_str());
      return false;
    }
  }
  if (std::rename(tmp.c_str(), path.c_str()) != 0) {
    std::remove(tmp.c_str());
    return false;
  }
  return true;
}

}  // namespace rtfx
