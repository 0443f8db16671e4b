// Helpers of the catalogue tests: temporary folders, the installation root, and a walk of material trees.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <random>
#include <string>

#include "platform/viduv/viduv.h"

namespace catalogs_test {

inline std::string DataRoot() { return std::string(KOLUMO_SOURCE_DIR) + "/data"; }

// A fresh folder, removed with everything in it at the end of the test.
class TempDir {
 public:
  TempDir() {
    std::random_device rd;
    path_ = std::filesystem::temp_directory_path() / ("kolumo-cat-" + std::to_string(rd()) + std::to_string(rd()));
    std::filesystem::create_directories(path_);
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  std::string Path() const { return path_.string(); }
  std::string File(const std::string& name) const { return (path_ / name).string(); }

 private:
  std::filesystem::path path_;
};

inline void WriteFile(const std::string& path, const std::string& text) {
  std::filesystem::create_directories(std::filesystem::path(path).parent_path());
  std::ofstream(path, std::ios::binary) << text;
}

// Points KOLUMO_ROOT somewhere for the life of the object.
class ScopedRoot {
 public:
  explicit ScopedRoot(const std::string& root) {
    if (const char* old = std::getenv("KOLUMO_ROOT")) old_ = old;
    setenv("KOLUMO_ROOT", root.c_str(), 1);
  }
  ~ScopedRoot() {
    if (old_)
      setenv("KOLUMO_ROOT", old_->c_str(), 1);
    else
      unsetenv("KOLUMO_ROOT");
  }
  ScopedRoot(const ScopedRoot&) = delete;
  ScopedRoot& operator=(const ScopedRoot&) = delete;

 private:
  std::optional<std::string> old_;
};

// First child of any element name whose "Name" is `name`; 0 when none.
inline int ChildNamed(int parent, const std::string& name) {
  return parent ? VIDUV_FindFirstChildWithAttr(parent, "Name", name.c_str()) : 0;
}

// The Objekt element at kat\ukat\norm\objekt below a material database root; 0 when absent.
inline int FindObject(int root, const std::string& kat, const std::string& ukat, const std::string& norm,
                      const std::string& objekt) {
  return ChildNamed(ChildNamed(ChildNamed(ChildNamed(root, kat), ukat), norm), objekt);
}

struct Property {
  std::string value;
  std::string unit;
};

// Kurzname -> (Wert01, Einheit) of the properties directly under an element.
inline std::map<std::string, Property> Properties(int element) {
  std::map<std::string, Property> out;
  for (int p = VIDUV_FindFirstChild(element, "Eigenschaft"); p; p = VIDUV_FindNextChild(p, "Eigenschaft"))
    out[VIDUV_GetString(p, "Kurzname")] = {VIDUV_GetString(p, "Wert01"), VIDUV_GetString(p, "Einheit")};
  return out;
}

}  // namespace catalogs_test
