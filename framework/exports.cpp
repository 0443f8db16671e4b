#include "framework/exports.h"

#include <string>
#include <string_view>

#include "formula/exportvalue.h"
#include "platform/viduv/viduv.h"

namespace {

// Children are told apart by "desc" alone, whatever their element name; the first match is the one meant.
int FindOrAdd(int parent, std::string_view desc, const char* elementName) {
  std::string text(desc);
  int child = VIDUV_FindFirstChildWithAttr(parent, "desc", text.c_str());
  if (!child) child = VIDUV_AddChildElement(parent, elementName);
  VIDUV_SetString(child, "desc", text.c_str());
  return child;
}

}  // namespace

void WriteExportValue(int parent, const char* path, const char* desc, const char* varName, double val, const char* unit,
                      const char* failure) {
  if (!parent) return;
  std::string_view rest = path ? path : "";
  // Folder by folder rather than recursively: a path from a file cannot exhaust the stack.
  for (std::size_t slash = rest.find('\\'); slash != std::string_view::npos; slash = rest.find('\\')) {
    parent = FindOrAdd(parent, rest.substr(0, slash), "folder");
    if (!parent) return;
    rest.remove_prefix(slash + 1);
  }
  const int value = FindOrAdd(parent, desc ? desc : "", failure && *failure ? kFailedExportedValue : kExportedValue);
  SetExportedValue(value, varName, val, unit, failure);
}
