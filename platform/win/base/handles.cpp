#include "platform/win/base/handles.h"

#include <mutex>
#include <string>
#include <unordered_map>

namespace win {
namespace {

struct Entry {
  void* object;
  const std::type_info* type;
};

struct Table {
  std::mutex mutex;
  std::unordered_map<int, Entry> entries;
  int next = 1;
};

Table& TheTable() {
  static Table table;
  return table;
}

}  // namespace

int RegisterHandle(void* object, const std::type_info& type) {
  if (!object) return 0;
  Table& t = TheTable();
  std::lock_guard lock(t.mutex);
  // Handles are never reused while the process lives, so a stale handle cannot reach a newer object.
  int h = t.next++;
  if (t.next <= 0) t.next = 1;
  t.entries[h] = Entry{object, &type};
  return h;
}

void* LookupHandle(int handle, const std::type_info& type) {
  if (handle <= 0) return nullptr;
  Table& t = TheTable();
  std::lock_guard lock(t.mutex);
  auto it = t.entries.find(handle);
  if (it == t.entries.end() || *it->second.type != type) return nullptr;
  return it->second.object;
}

void ReleaseHandle(int handle) {
  Table& t = TheTable();
  std::lock_guard lock(t.mutex);
  t.entries.erase(handle);
}

}  // namespace win
