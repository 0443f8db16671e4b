// Process-wide handle table: objects that the suite's exports pass as 32-bit integers travel as small integer handles.
// The table lives in the shared window-system library, so a handle means the same object in host and module.
#pragma once

#include <typeinfo>

namespace win {

// A new handle (> 0) for the object, tagged with its type; the object stays owned by the caller.
int RegisterHandle(void* object, const std::type_info& type);
// The object of the handle when it was registered with that type; nullptr for 0, unknown or released handles.
void* LookupHandle(int handle, const std::type_info& type);
// Forgets the handle; later look-ups give nullptr. Releasing 0 or an unknown handle does nothing.
void ReleaseHandle(int handle);

template <class T>
int MakeHandle(T* object) {
  return object ? RegisterHandle(object, typeid(T)) : 0;
}

template <class T>
T* FromHandle(int handle) {
  return static_cast<T*>(LookupHandle(handle, typeid(T)));
}

// Registers an object for the lifetime of this guard (a call's parameters live as long as the call).
template <class T>
class ScopedHandle {
 public:
  explicit ScopedHandle(T* object) : handle_(MakeHandle(object)) {}
  ~ScopedHandle() { ReleaseHandle(handle_); }
  ScopedHandle(const ScopedHandle&) = delete;
  ScopedHandle& operator=(const ScopedHandle&) = delete;
  int get() const { return handle_; }

 private:
  int handle_;
};

}  // namespace win
