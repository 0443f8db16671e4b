#include "platform/plotwerk/dispatch.h"

#include <map>

namespace plotwerk {

namespace {
std::map<HWND, IDispatchTarget*>& Targets() {
  static std::map<HWND, IDispatchTarget*> targets;
  return targets;
}
}  // namespace

void RegisterDispatch(HWND control, IDispatchTarget* target) { Targets()[control] = target; }

void UnregisterDispatch(HWND control) { Targets().erase(control); }

IDispatchTarget* DispatchOf(HWND control) {
  auto it = Targets().find(control);
  return it == Targets().end() ? nullptr : it->second;
}

long Invoke(HWND control, DISPID member, WORD kind, const Args& args, Variant* result) {
  IDispatchTarget* target = DispatchOf(control);
  if (!target) return DISP_E_NOCONTROL;
  return target->Invoke(member, kind, args, result);
}

long CheckArgs(const Args& args, std::initializer_list<VarType> types) {
  if (args.size() != types.size()) return DISP_E_BADPARAMCOUNT;
  std::size_t i = 0;
  for (VarType t : types) {
    const Variant& a = args[i++];
    if (t == VarType::Variant) continue;
    if (a.vt != t) return DISP_E_TYPEMISMATCH;
    if ((t == VarType::R4Ref && !a.r4) || (t == VarType::R8Ref && !a.r8)) return DISP_E_TYPEMISMATCH;
  }
  return S_DISP_OK;
}

}  // namespace plotwerk
