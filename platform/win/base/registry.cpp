#include "platform/win/base/registry.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <pugixml.hpp>

#include <algorithm>
#include <array>
#include <cerrno>
#include <charconv>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/base/leftovers.h"
#include "platform/win/base/paths.h"
#include "platform/win/base/replace.h"

namespace {

constexpr std::size_t kRootCount = 7;
constexpr std::uintptr_t kFirstRoot = 0x80000000u;
constexpr const char* kRootNames[kRootCount] = {"HKEY_CLASSES_ROOT", "HKEY_CURRENT_USER",     "HKEY_LOCAL_MACHINE",
                                                "HKEY_USERS",        "HKEY_PERFORMANCE_DATA", "HKEY_CURRENT_CONFIG",
                                                "HKEY_DYN_DATA"};

// --- Names ---

// Folds ASCII letters and the Latin-1 letters of UTF-8 (U+00C0..U+00DE but U+00D7) to lower case; the length stays.
std::string Fold(std::string_view s) {
  std::string out(s);
  for (std::size_t i = 0; i < out.size(); ++i) {
    auto c = static_cast<unsigned char>(out[i]);
    if (c >= 'A' && c <= 'Z') {
      out[i] = char(c + 32);
    } else if (c == 0xC3 && i + 1 < out.size()) {
      auto d = static_cast<unsigned char>(out[i + 1]);
      if (d >= 0x80 && d <= 0x9E && d != 0x97) out[i + 1] = char(d + 0x20);
      ++i;
    }
  }
  return out;
}

bool SameName(std::string_view a, std::string_view b) { return a.size() == b.size() && Fold(a) == Fold(b); }

// A key path split at "\"; empty pieces ("a\\b", a trailing "\") are skipped.
std::vector<std::string> SplitPath(const char* path) {
  std::vector<std::string> parts;
  std::string part;
  for (const char* p = path ? path : ""; *p; ++p) {
    if (*p == '\\') {
      if (!part.empty()) parts.push_back(std::move(part));
      part.clear();
    } else {
      part += *p;
    }
  }
  if (!part.empty()) parts.push_back(std::move(part));
  return parts;
}

// --- The tree ---

std::uint64_t FileTimeNow() {
  using namespace std::chrono;
  constexpr std::uint64_t kEpochDifference = 116444736000000000ull;  // 1601-01-01 to 1970-01-01 in 100 ns
  auto ticks = duration_cast<duration<std::int64_t, std::ratio<1, 10000000>>>(system_clock::now().time_since_epoch());
  return kEpochDifference + std::uint64_t(ticks.count());
}

FILETIME ToFileTime(std::uint64_t t) { return FILETIME{DWORD(t & 0xFFFFFFFFu), DWORD(t >> 32)}; }

struct Value {
  std::string name;
  DWORD type = REG_NONE;
  std::vector<BYTE> data;
};

struct Key {
  std::string name;
  std::string className;
  std::uint64_t written = 0;
  std::vector<std::unique_ptr<Key>> subkeys;  // ordered by folded name
  std::vector<Value> values;                  // in the order first written

  Key* FindSub(std::string_view n) const {
    for (const auto& k : subkeys)
      if (SameName(k->name, n)) return k.get();
    return nullptr;
  }
  Value* FindValue(std::string_view n) {
    for (auto& v : values)
      if (SameName(v.name, n)) return &v;
    return nullptr;
  }
  Key& AddSub(std::string n) {
    auto key = std::make_unique<Key>();
    key->name = std::move(n);
    std::string folded = Fold(key->name);
    auto at = std::find_if(subkeys.begin(), subkeys.end(), [&](const auto& k) { return Fold(k->name) > folded; });
    return **subkeys.insert(at, std::move(key));
  }
  void Clear() {
    className.clear();
    written = 0;
    subkeys.clear();
    values.clear();
  }
};

// --- File form ---

struct TypeName {
  DWORD type;
  const char* name;
};
constexpr TypeName kTypeNames[] = {{REG_NONE, "REG_NONE"},           {REG_SZ, "REG_SZ"},
                                   {REG_EXPAND_SZ, "REG_EXPAND_SZ"}, {REG_BINARY, "REG_BINARY"},
                                   {REG_DWORD, "REG_DWORD"},         {REG_DWORD_BIG_ENDIAN, "REG_DWORD_BIG_ENDIAN"},
                                   {REG_LINK, "REG_LINK"},           {REG_MULTI_SZ, "REG_MULTI_SZ"},
                                   {REG_QWORD, "REG_QWORD"}};

std::string TypeToText(DWORD type) {
  for (const auto& t : kTypeNames)
    if (t.type == type) return t.name;
  return std::to_string(type);
}

bool TypeFromText(const char* text, DWORD& type) {
  for (const auto& t : kTypeNames)
    if (std::strcmp(t.name, text) == 0) {
      type = t.type;
      return true;
    }
  const char* end = text + std::strlen(text);
  auto [p, ec] = std::from_chars(text, end, type);
  return ec == std::errc() && p == end && p != text;
}

bool ValidUtf8(std::string_view s) {
  for (std::size_t i = 0; i < s.size();) {
    auto c = static_cast<unsigned char>(s[i]);
    std::size_t n = 0;
    if (c < 0x80)
      n = 0;
    else if ((c & 0xE0) == 0xC0 && c >= 0xC2)
      n = 1;
    else if ((c & 0xF0) == 0xE0)
      n = 2;
    else if ((c & 0xF8) == 0xF0 && c <= 0xF4)
      n = 3;
    else
      return false;
    if (i + n >= s.size()) return false;
    for (std::size_t k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n + 1;
  }
  return true;
}

// Text that can stand in an XML attribute and come back unchanged.
bool PlainText(std::string_view s) {
  for (char c : s)
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r') return false;
  return ValidUtf8(s);
}

std::string ToHex(const std::vector<BYTE>& data) {
  static const char digits[] = "0123456789abcdef";
  std::string out;
  out.reserve(data.size() * 2);
  for (BYTE b : data) {
    out += digits[b >> 4];
    out += digits[b & 15];
  }
  return out;
}

bool FromHex(std::string_view text, std::vector<BYTE>& data) {
  if (text.size() % 2) return false;
  auto nibble = [](char c) -> int {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
  };
  data.clear();
  for (std::size_t i = 0; i < text.size(); i += 2) {
    int hi = nibble(text[i]), lo = nibble(text[i + 1]);
    if (hi < 0 || lo < 0) return false;
    data.push_back(BYTE(hi * 16 + lo));
  }
  return true;
}

// The strings of a well-formed multi-string: each non-empty and terminated, then one more terminator.
bool SplitMultiString(const std::vector<BYTE>& data, std::vector<std::string>& items) {
  items.clear();
  if (data.empty() || data.back() != 0) return false;
  std::string current;
  for (std::size_t i = 0; i + 1 < data.size(); ++i) {
    if (data[i] == 0) {
      if (current.empty()) return false;
      items.push_back(std::move(current));
      current.clear();
    } else {
      current += char(data[i]);
    }
  }
  return current.empty();
}

void WriteValue(pugi::xml_node parent, const Value& v) {
  pugi::xml_node node = parent.append_child("value");
  node.append_attribute("name") = v.name.c_str();
  node.append_attribute("type") = TypeToText(v.type).c_str();
  if ((v.type == REG_SZ || v.type == REG_EXPAND_SZ) && !v.data.empty() && v.data.back() == 0) {
    std::string text(v.data.begin(), v.data.end() - 1);
    if (text.find('\0') == std::string::npos && PlainText(text)) {
      node.append_attribute("text") = text.c_str();
      return;
    }
  } else if (v.type == REG_DWORD && v.data.size() == 4) {
    DWORD d = DWORD(v.data[0]) | DWORD(v.data[1]) << 8 | DWORD(v.data[2]) << 16 | DWORD(v.data[3]) << 24;
    node.append_attribute("dword") = std::to_string(d).c_str();
    return;
  } else if (v.type == REG_MULTI_SZ) {
    std::vector<std::string> items;
    if (SplitMultiString(v.data, items) &&
        std::all_of(items.begin(), items.end(), [](const std::string& s) { return PlainText(s); })) {
      for (const auto& item : items) node.append_child("string").append_attribute("text") = item.c_str();
      return;
    }
  }
  node.append_attribute("hex") = ToHex(v.data).c_str();
}

bool ReadValue(pugi::xml_node node, Value& v) {
  pugi::xml_attribute name = node.attribute("name"), type = node.attribute("type");
  if (!name || !type || !TypeFromText(type.value(), v.type)) return false;
  v.name = name.value();
  if (pugi::xml_attribute hex = node.attribute("hex")) return !node.first_child() && FromHex(hex.value(), v.data);
  v.data.clear();
  if (v.type == REG_SZ || v.type == REG_EXPAND_SZ) {
    pugi::xml_attribute text = node.attribute("text");
    if (!text) return false;
    std::string_view s = text.value();
    v.data.assign(s.begin(), s.end());
    v.data.push_back(0);
    return !node.first_child();
  }
  if (v.type == REG_DWORD) {
    std::string_view s = node.attribute("dword").value();
    DWORD d = 0;
    auto [p, ec] = std::from_chars(s.data(), s.data() + s.size(), d);
    if (s.empty() || ec != std::errc() || p != s.data() + s.size() || node.first_child()) return false;
    v.data = {BYTE(d), BYTE(d >> 8), BYTE(d >> 16), BYTE(d >> 24)};
    return true;
  }
  if (v.type == REG_MULTI_SZ) {
    for (pugi::xml_node item : node.children()) {
      pugi::xml_attribute text = item.attribute("text");
      if (std::strcmp(item.name(), "string") != 0 || !text || !*text.value()) return false;
      std::string_view s = text.value();
      v.data.insert(v.data.end(), s.begin(), s.end());
      v.data.push_back(0);
    }
    v.data.push_back(0);
    return true;
  }
  return false;
}

void WriteKey(pugi::xml_node node, const Key& key) {
  if (!key.className.empty()) node.append_attribute("class") = key.className.c_str();
  if (key.written) node.append_attribute("written") = std::to_string(key.written).c_str();
  for (const auto& v : key.values) WriteValue(node, v);
  for (const auto& sub : key.subkeys) {
    pugi::xml_node child = node.append_child("key");
    child.append_attribute("name") = sub->name.c_str();
    WriteKey(child, *sub);
  }
}

bool ReadKey(pugi::xml_node node, Key& key) {
  key.className = node.attribute("class").value();
  std::string_view written = node.attribute("written").value();
  if (!written.empty()) {
    auto [p, ec] = std::from_chars(written.data(), written.data() + written.size(), key.written);
    if (ec != std::errc() || p != written.data() + written.size()) return false;
  }
  for (pugi::xml_node child : node.children()) {
    if (child.type() != pugi::node_element) return false;
    if (std::strcmp(child.name(), "value") == 0) {
      Value v;
      if (!ReadValue(child, v) || key.FindValue(v.name)) return false;
      key.values.push_back(std::move(v));
    } else if (std::strcmp(child.name(), "key") == 0) {
      std::string_view name = child.attribute("name").value();
      if (name.empty() || name.find('\\') != std::string_view::npos || key.FindSub(name)) return false;
      if (!ReadKey(child, key.AddSub(std::string(name)))) return false;
    } else {
      return false;
    }
  }
  return true;
}

// --- The file ---

struct Stamp {
  bool exists = false;
  dev_t device = 0;
  ino_t inode = 0;
  off_t size = 0;
  std::int64_t modifiedNs = 0;
  bool operator==(const Stamp&) const = default;
};

Stamp StampOf(const struct stat& st) {
  std::int64_t modified = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
  return Stamp{true, st.st_dev, st.st_ino, st.st_size, modified};
}

Stamp StampOfPath(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0 ? StampOf(st) : Stamp{};
}

// The folder of a write's temporary beside the registry file.
constexpr const char* kScratchPrefix = ".kolumo-registry-";

// Serialises the changes of all processes on one registry file. A process that holds it longer than a save waits
// (stopped, hung) keeps every other from changing the file: their changes are dropped rather than waiting for ever.
class FileLock {
 public:
  explicit FileLock(const std::string& registryPath) {
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(registryPath).parent_path(), ec);
    fd_ = ::open((registryPath + ".lock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    busy_ = fd_ >= 0 && !win::LockWithin(fd_, win::kLockWait) && errno == EWOULDBLOCK;
  }
  ~FileLock() {
    if (fd_ >= 0) ::close(fd_);  // closing releases the lock
  }
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;
  // Another process held the lock all the time this one waited.
  bool Busy() const { return busy_; }

 private:
  int fd_ = -1;
  bool busy_ = false;
};

std::string UserHome() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  struct passwd pw {};
  struct passwd* found = nullptr;
  std::vector<char> buffer(16384);
  if (::getpwuid_r(::getuid(), &pw, buffer.data(), buffer.size(), &found) == 0 && found && pw.pw_dir) return pw.pw_dir;
  return ".";
}

// --- The store ---

struct OpenKey {
  std::size_t root = 0;
  std::vector<std::string> path;
  REGSAM access = 0;
};

class Store {
 public:
  std::mutex mutex;
  bool fileLocked = false;  // this process holds the file lock (a second flock of its own would wait forever)

  // Brings the tree up to date with the file (another process may have written it, or the path changed).
  void Sync(bool force) {
    std::string path = win::registry::FilePath();
    if (path != path_) {
      path_ = path;
      force = true;
      // Runs that only read the registry remove the temporaries of killed writers too.
      win::RemoveLeftScratchFolders(std::filesystem::path(path_).parent_path().string(), kScratchPrefix);
    }
    // File times advance in coarse steps, and a replaced file may get the old one's inode back: a file written in
    // the last moments may have changed unseen, so its content is compared.
    Stamp now = StampOfPath(path_);
    if (!force && now == stamp_ && !(now.exists && RecentlyWritten(now))) return;
    Load(force);
  }

  bool Unreadable() const { return unreadable_; }
  Key& Root(std::size_t i) { return roots_[i]; }

  // Writes the tree through a temporary file that then replaces the registry file.
  bool Persist() {
    pugi::xml_document doc;
    pugi::xml_node decl = doc.append_child(pugi::node_declaration);
    decl.append_attribute("version") = "1.0";
    decl.append_attribute("encoding") = "UTF-8";
    pugi::xml_node top = doc.append_child("registry");
    for (std::size_t i = 0; i < kRootCount; ++i) {
      if (roots_[i].subkeys.empty() && roots_[i].values.empty()) continue;
      pugi::xml_node hive = top.append_child("hive");
      hive.append_attribute("name") = kRootNames[i];
      WriteKey(hive, roots_[i]);
    }
    struct Writer : pugi::xml_writer {
      std::string text;
      void write(const void* data, size_t size) override { text.append(static_cast<const char*>(data), size); }
    } writer;
    doc.save(writer, "  ", pugi::format_default, pugi::encoding_utf8);

    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(path_).parent_path(), ec);
    // The temporary lives as every other one does: in a marked folder beside the file, locked until renamed in, and
    // swept by a later write once a run killed before the rename is gone.
    win::ReplaceOptions options;
    options.scratchPrefix = kScratchPrefix;
    options.newFileMode = 0600;
    std::string error;
    if (!win::ReplaceFile(path_, writer.text, options, error)) return false;
    // the file lock keeps every other writer out: what stands there is what was written
    stamp_ = StampOfPath(path_);
    text_ = std::move(writer.text);
    return true;
  }

  // Handles of open keys.
  HKEY AddHandle(OpenKey key) {
    std::uintptr_t id = nextHandle_++;
    handles_[id] = std::move(key);
    return reinterpret_cast<HKEY>(id);
  }
  bool CloseHandle(HKEY key) { return handles_.erase(reinterpret_cast<std::uintptr_t>(key)) != 0; }
  const OpenKey* FindHandle(HKEY key) const {
    auto it = handles_.find(reinterpret_cast<std::uintptr_t>(key));
    return it == handles_.end() ? nullptr : &it->second;
  }
  std::size_t HandleCount() const { return handles_.size(); }

 private:
  static bool RecentlyWritten(const Stamp& stamp) {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    return stamp.modifiedNs > std::chrono::duration_cast<std::chrono::nanoseconds>(now).count() - 2000000000;
  }

  void Load(bool force) {
    int fd = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
      Reset();
      // A file we may not read must not be replaced by an empty tree.
      unreadable_ = errno != ENOENT && errno != ENOTDIR;
      return;
    }
    struct stat st {};
    std::string text;
    bool ok = ::fstat(fd, &st) == 0;
    if (ok) {
      text.resize(std::size_t(st.st_size));
      std::size_t done = 0;
      while (ok && done < text.size()) {
        ssize_t n = ::read(fd, text.data() + done, text.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0)
          ok = false;
        else
          done += std::size_t(n);
      }
    }
    ::close(fd);
    Stamp read = StampOf(st);
    if (ok && !force && stamp_.exists && text == text_) {
      stamp_ = read;  // the same content
      return;
    }
    Reset();
    if (!ok) {
      unreadable_ = true;
      return;
    }
    if (Parse(text)) {
      stamp_ = read;
      text_ = std::move(text);
      return;
    }
    Reset();
    // Keep the unreadable file for inspection, unless another process has replaced it meanwhile.
    std::optional<FileLock> lock;
    if (!fileLocked) lock.emplace(path_);
    if (lock && lock->Busy()) return;
    if (StampOfPath(path_) == read) {
      ::rename(path_.c_str(), (path_ + ".bad").c_str());
      return;
    }
    Load(true);
  }

  // An empty tree that stands for no file.
  void Reset() {
    for (auto& root : roots_) root.Clear();
    stamp_ = Stamp{};
    text_.clear();
    unreadable_ = false;
  }

  bool Parse(const std::string& text) {
    pugi::xml_document doc;
    unsigned options = pugi::parse_default & ~pugi::parse_wconv_attribute;
    if (!doc.load_buffer(text.data(), text.size(), options, pugi::encoding_utf8)) return false;
    pugi::xml_node top = doc.document_element();
    if (std::strcmp(top.name(), "registry") != 0) return false;
    for (pugi::xml_node hive : top.children()) {
      if (hive.type() != pugi::node_element || std::strcmp(hive.name(), "hive") != 0) return false;
      auto name = std::find_if(std::begin(kRootNames), std::end(kRootNames),
                               [&](const char* n) { return std::strcmp(n, hive.attribute("name").value()) == 0; });
      if (name == std::end(kRootNames)) return false;
      Key& root = roots_[std::size_t(name - std::begin(kRootNames))];
      if (!root.subkeys.empty() || !root.values.empty() || !ReadKey(hive, root)) return false;
    }
    return true;
  }

  std::string path_;
  Stamp stamp_;       // of the file the tree was read from or written to; "no file" otherwise
  std::string text_;  // that file's content
  bool unreadable_ = false;
  std::array<Key, kRootCount> roots_;
  std::map<std::uintptr_t, OpenKey> handles_;
  std::uintptr_t nextHandle_ = 1;
};

// Never destroyed: static objects of other libraries save their settings from their destructors.
Store& TheStore() {
  alignas(Store) static unsigned char storage[sizeof(Store)];
  static Store* store = ::new (storage) Store;
  return *store;
}

bool IsPredefined(HKEY key, std::size_t* root = nullptr) {
  auto v = reinterpret_cast<std::uintptr_t>(key);
  if (v < kFirstRoot || v >= kFirstRoot + kRootCount) return false;
  if (root) *root = v - kFirstRoot;
  return true;
}

// The key a handle stands for, with the handle's root, path and access. Call with the store locked and synced.
struct Resolved {
  Key* key = nullptr;
  OpenKey where;
};

LSTATUS Resolve(Store& s, HKEY handle, REGSAM needed, Resolved& out) {
  std::size_t root = 0;
  if (IsPredefined(handle, &root)) {
    out.where = OpenKey{root, {}, KEY_ALL_ACCESS};
  } else if (const OpenKey* open = handle ? s.FindHandle(handle) : nullptr) {
    out.where = *open;
  } else {
    return ERROR_INVALID_HANDLE;
  }
  Key* key = &s.Root(out.where.root);
  for (const auto& part : out.where.path) {
    key = key->FindSub(part);
    if (!key) return ERROR_KEY_DELETED;
  }
  if ((out.where.access & needed) != needed) return ERROR_ACCESS_DENIED;
  out.key = key;
  return ERROR_SUCCESS;
}

// Runs a reading call on the current tree.
template <class F>
LSTATUS Read(F&& call) {
  Store& s = TheStore();
  std::lock_guard lock(s.mutex);
  s.Sync(false);
  return call(s);
}

// Runs a changing call under the file lock; `changed` set by the call means the file is written.
template <class F>
LSTATUS Change(F&& call) {
  Store& s = TheStore();
  std::lock_guard lock(s.mutex);
  FileLock fileLock(win::registry::FilePath());
  if (fileLock.Busy()) return ERROR_REGISTRY_IO_FAILED;
  s.fileLocked = true;
  struct Unlocked {
    Store& s;
    ~Unlocked() { s.fileLocked = false; }
  } unlocked{s};
  s.Sync(false);
  bool changed = false;
  LSTATUS rc = call(s, changed);
  if (rc == ERROR_SUCCESS && changed) {
    if (s.Unreadable() || !s.Persist()) {
      s.Sync(true);  // drop the change that could not be stored
      return ERROR_REGISTRY_IO_FAILED;
    }
  }
  return rc;
}

bool CopyName(const std::string& name, LPSTR buffer, LPDWORD size) {
  if (name.size() + 1 > *size) return false;
  std::memcpy(buffer, name.c_str(), name.size() + 1);
  *size = DWORD(name.size());
  return true;
}

}  // namespace

LSTATUS RegOpenKeyEx(HKEY key, LPCSTR subKey, DWORD, REGSAM access, PHKEY result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  return Read([&](Store& s) -> LSTATUS {
    Resolved base;
    if (LSTATUS rc = Resolve(s, key, 0, base)) return rc;
    OpenKey open{base.where.root, base.where.path, access};
    Key* k = base.key;
    for (auto& part : SplitPath(subKey)) {
      k = k->FindSub(part);
      if (!k) return ERROR_FILE_NOT_FOUND;
      open.path.push_back(k->name);
    }
    *result = s.AddHandle(std::move(open));
    return ERROR_SUCCESS;
  });
}

LSTATUS RegCreateKeyEx(HKEY key, LPCSTR subKey, DWORD, LPCSTR className, DWORD, REGSAM access, LPSECURITY_ATTRIBUTES,
                       PHKEY result, LPDWORD disposition) {
  if (!result || !subKey) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  OpenKey open;
  bool created = false;
  LSTATUS rc = Change([&](Store& s, bool& changed) -> LSTATUS {
    Resolved base;
    if (LSTATUS rc = Resolve(s, key, 0, base)) return rc;
    std::vector<std::string> parts = SplitPath(subKey);
    // Check before creating anything, so that a refused call leaves the tree as it was.
    Key* existing = base.key;
    for (const auto& part : parts)
      if (existing && !(existing = existing->FindSub(part))) break;
    if (!existing && !(base.where.access & KEY_CREATE_SUB_KEY)) return ERROR_ACCESS_DENIED;

    open = OpenKey{base.where.root, base.where.path, access};
    Key* k = base.key;
    std::uint64_t now = FileTimeNow();
    for (auto& part : parts) {
      Key* sub = k->FindSub(part);
      if (!sub) {
        sub = &k->AddSub(part);
        sub->written = now;
        if (&part == &parts.back() && className) sub->className = className;
        k->written = now;
        changed = true;
      }
      open.path.push_back(sub->name);
      k = sub;
    }
    created = changed;
    return ERROR_SUCCESS;
  });
  // The handle only once the new key is stored.
  if (rc != ERROR_SUCCESS) return rc;
  if (disposition) *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
  Store& s = TheStore();
  std::lock_guard lock(s.mutex);
  *result = s.AddHandle(std::move(open));
  return ERROR_SUCCESS;
}

LSTATUS RegCloseKey(HKEY key) {
  if (IsPredefined(key)) return ERROR_SUCCESS;
  Store& s = TheStore();
  std::lock_guard lock(s.mutex);
  return s.CloseHandle(key) ? ERROR_SUCCESS : ERROR_INVALID_HANDLE;
}

LSTATUS RegConnectRegistry(LPCSTR machineName, HKEY predefinedKey, PHKEY result) {
  if (!result) return ERROR_INVALID_PARAMETER;
  *result = nullptr;
  std::size_t root = 0;
  if (!IsPredefined(predefinedKey, &root)) return ERROR_INVALID_HANDLE;
  if (machineName && *machineName) {
    std::string machine = machineName;
    if (machine.rfind("\\\\", 0) == 0) machine.erase(0, 2);
    char local[256] = {};
    DWORD size = sizeof local;
    if (!GetComputerName(local, &size) || !SameName(machine, local)) return ERROR_BAD_NETPATH;
  }
  Store& s = TheStore();
  std::lock_guard lock(s.mutex);
  *result = s.AddHandle(OpenKey{root, {}, KEY_ALL_ACCESS});
  return ERROR_SUCCESS;
}

LSTATUS RegFlushKey(HKEY key) {
  // Every change is on disk when its call returns.
  return Read([&](Store& s) -> LSTATUS {
    Resolved r;
    return Resolve(s, key, 0, r);
  });
}

LSTATUS RegQueryValueEx(HKEY key, LPCSTR valueName, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD size) {
  if (data && !size) return ERROR_INVALID_PARAMETER;
  return Read([&](Store& s) -> LSTATUS {
    Resolved r;
    if (LSTATUS rc = Resolve(s, key, KEY_QUERY_VALUE, r)) return rc;
    const Value* v = r.key->FindValue(valueName ? valueName : "");
    if (!v) return ERROR_FILE_NOT_FOUND;
    if (type) *type = v->type;
    if (!size) return ERROR_SUCCESS;
    DWORD needed = DWORD(v->data.size());
    if (data && *size < needed) {
      *size = needed;
      return ERROR_MORE_DATA;
    }
    if (data && needed) std::memcpy(data, v->data.data(), needed);
    *size = needed;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegSetValueEx(HKEY key, LPCSTR valueName, DWORD, DWORD type, const BYTE* data, DWORD size) {
  if (!data && size) return ERROR_INVALID_PARAMETER;
  return Change([&](Store& s, bool& changed) -> LSTATUS {
    Resolved r;
    if (LSTATUS rc = Resolve(s, key, KEY_SET_VALUE, r)) return rc;
    std::string name = valueName ? valueName : "";
    Value* v = r.key->FindValue(name);
    // A value set to what it holds leaves the file alone: every program start sets a few, and each write syncs
    // the disk.
    if (v && v->type == type && v->data.size() == size && std::equal(data, data + size, v->data.begin()))
      return ERROR_SUCCESS;
    if (!v) {
      r.key->values.push_back(Value{name, type, {}});
      v = &r.key->values.back();
    }
    v->type = type;
    v->data.assign(data, data + size);
    r.key->written = FileTimeNow();
    changed = true;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegDeleteValue(HKEY key, LPCSTR valueName) {
  return Change([&](Store& s, bool& changed) -> LSTATUS {
    Resolved r;
    if (LSTATUS rc = Resolve(s, key, KEY_SET_VALUE, r)) return rc;
    auto& values = r.key->values;
    std::string_view name = valueName ? valueName : "";
    auto it = std::find_if(values.begin(), values.end(), [&](const Value& v) { return SameName(v.name, name); });
    if (it == values.end()) return ERROR_FILE_NOT_FOUND;
    values.erase(it);
    r.key->written = FileTimeNow();
    changed = true;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegDeleteKey(HKEY key, LPCSTR subKey) {
  std::vector<std::string> parts = SplitPath(subKey);
  if (parts.empty()) return ERROR_INVALID_PARAMETER;
  return Change([&](Store& s, bool& changed) -> LSTATUS {
    Resolved r;
    if (LSTATUS rc = Resolve(s, key, 0, r)) return rc;
    Key* parent = r.key;
    for (std::size_t i = 0; i + 1 < parts.size(); ++i)
      if (!(parent = parent->FindSub(parts[i]))) return ERROR_FILE_NOT_FOUND;
    auto& subs = parent->subkeys;
    auto it = std::find_if(subs.begin(), subs.end(), [&](const auto& k) { return SameName(k->name, parts.back()); });
    if (it == subs.end()) return ERROR_FILE_NOT_FOUND;
    if (!(*it)->subkeys.empty()) return ERROR_ACCESS_DENIED;
    subs.erase(it);
    parent->written = FileTimeNow();
    changed = true;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegEnumKeyEx(HKEY key, DWORD index, LPSTR name, LPDWORD nameSize, LPDWORD, LPSTR className, LPDWORD classSize,
                     PFILETIME lastWriteTime) {
  if (!name || !nameSize || (className && !classSize)) return ERROR_INVALID_PARAMETER;
  return Read([&](Store& s) -> LSTATUS {
    Resolved r;
    if (LSTATUS rc = Resolve(s, key, KEY_ENUMERATE_SUB_KEYS, r)) return rc;
    if (index >= r.key->subkeys.size()) return ERROR_NO_MORE_ITEMS;
    const Key& sub = *r.key->subkeys[index];
    if (!CopyName(sub.name, name, nameSize)) return ERROR_MORE_DATA;
    if (className && !CopyName(sub.className, className, classSize)) return ERROR_MORE_DATA;
    if (lastWriteTime) *lastWriteTime = ToFileTime(sub.written);
    return ERROR_SUCCESS;
  });
}

LSTATUS RegEnumValue(HKEY key, DWORD index, LPSTR valueName, LPDWORD valueNameSize, LPDWORD, LPDWORD type, LPBYTE data,
                     LPDWORD dataSize) {
  if (!valueName || !valueNameSize || (data && !dataSize)) return ERROR_INVALID_PARAMETER;
  return Read([&](Store& s) -> LSTATUS {
    Resolved r;
    if (LSTATUS rc = Resolve(s, key, KEY_QUERY_VALUE, r)) return rc;
    if (index >= r.key->values.size()) return ERROR_NO_MORE_ITEMS;
    const Value& v = r.key->values[index];
    if (!CopyName(v.name, valueName, valueNameSize)) return ERROR_MORE_DATA;
    if (type) *type = v.type;
    if (!dataSize) return ERROR_SUCCESS;
    DWORD needed = DWORD(v.data.size());
    if (data && *dataSize < needed) {
      *dataSize = needed;
      return ERROR_MORE_DATA;
    }
    if (data && needed) std::memcpy(data, v.data.data(), needed);
    *dataSize = needed;
    return ERROR_SUCCESS;
  });
}

LSTATUS RegQueryInfoKey(HKEY key, LPSTR className, LPDWORD classSize, LPDWORD, LPDWORD subKeys, LPDWORD maxSubKeyLength,
                        LPDWORD maxClassLength, LPDWORD values, LPDWORD maxValueNameLength, LPDWORD maxValueLength,
                        LPDWORD securityDescriptorSize, PFILETIME lastWriteTime) {
  if (className && !classSize) return ERROR_INVALID_PARAMETER;
  return Read([&](Store& s) -> LSTATUS {
    Resolved r;
    if (LSTATUS rc = Resolve(s, key, KEY_QUERY_VALUE, r)) return rc;
    const Key& k = *r.key;
    if (className && !CopyName(k.className, className, classSize)) {
      *classSize = DWORD(k.className.size());
      return ERROR_MORE_DATA;
    }
    DWORD longestSub = 0, longestClass = 0, longestName = 0, longestData = 0;
    for (const auto& sub : k.subkeys) {
      longestSub = std::max(longestSub, DWORD(sub->name.size()));
      longestClass = std::max(longestClass, DWORD(sub->className.size()));
    }
    for (const auto& v : k.values) {
      longestName = std::max(longestName, DWORD(v.name.size()));
      longestData = std::max(longestData, DWORD(v.data.size()));
    }
    if (subKeys) *subKeys = DWORD(k.subkeys.size());
    if (maxSubKeyLength) *maxSubKeyLength = longestSub;
    if (maxClassLength) *maxClassLength = longestClass;
    if (values) *values = DWORD(k.values.size());
    if (maxValueNameLength) *maxValueNameLength = longestName;
    if (maxValueLength) *maxValueLength = longestData;
    if (securityDescriptorSize) *securityDescriptorSize = 0;
    if (lastWriteTime) *lastWriteTime = ToFileTime(k.written);
    return ERROR_SUCCESS;
  });
}

LSTATUS RegLoadKey(HKEY, LPCSTR, LPCSTR) { return ERROR_CALL_NOT_IMPLEMENTED; }
LSTATUS RegUnLoadKey(HKEY, LPCSTR) { return ERROR_CALL_NOT_IMPLEMENTED; }
LSTATUS RegReplaceKey(HKEY, LPCSTR, LPCSTR, LPCSTR) { return ERROR_CALL_NOT_IMPLEMENTED; }
LSTATUS RegRestoreKey(HKEY, LPCSTR, DWORD) { return ERROR_CALL_NOT_IMPLEMENTED; }
LSTATUS RegSaveKey(HKEY, LPCSTR, LPSECURITY_ATTRIBUTES) { return ERROR_CALL_NOT_IMPLEMENTED; }
LSTATUS RegNotifyChangeKeyValue(HKEY, BOOL, DWORD, HANDLE, BOOL) { return ERROR_CALL_NOT_IMPLEMENTED; }
LSTATUS RegGetKeySecurity(HKEY, SECURITY_INFORMATION, PSECURITY_DESCRIPTOR, LPDWORD) {
  return ERROR_CALL_NOT_IMPLEMENTED;
}
LSTATUS RegSetKeySecurity(HKEY, SECURITY_INFORMATION, PSECURITY_DESCRIPTOR) { return ERROR_CALL_NOT_IMPLEMENTED; }

BOOL GetComputerName(LPSTR buffer, LPDWORD size) {
  if (!buffer || !size) return FALSE;
  char name[256] = {};
  if (::gethostname(name, sizeof name - 1) != 0) return FALSE;
  std::string host = name;
  if (host.size() + 1 > *size) {
    *size = DWORD(host.size() + 1);
    return FALSE;
  }
  std::memcpy(buffer, host.c_str(), host.size() + 1);
  *size = DWORD(host.size());
  return TRUE;
}

namespace win::registry {

std::string FilePath() {
  if (const char* file = std::getenv("ORMI_REGISTRY"); file && *file) return ToFsPath(file);
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config)
    return JoinPath(JoinPath(config, "ormi"), "registry.xml");
  return JoinPath(JoinPath(UserHome(), ".config/ormi"), "registry.xml");
}

std::size_t OpenHandleCount() {
  Store& s = TheStore();
  std::lock_guard lock(s.mutex);
  return s.HandleCount();
}

}  // namespace win::registry
