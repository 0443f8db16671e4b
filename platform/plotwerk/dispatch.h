// Late-bound calls into the graphics controls: a member is named by its dispatch id and takes a list of typed
// arguments, as a control container would pass them. A control checks the count and the types of the arguments
// of every call, so a caller that passes a wrong type is told so instead of drawing nonsense.
#pragma once

#include <string>
#include <vector>

#include "platform/win/winapi.h"

namespace plotwerk {

using DISPID = long;

// Argument types: I2, I4, R4, R8, BOOL, string, and arrays passed by reference to their first element.
enum class VarType { Empty, I2, I4, R4, R8, Bool, String, R4Ref, R8Ref, Variant };

struct Variant {
  VarType vt = VarType::Empty;
  long i = 0;      // I2, I4, BOOL
  double r = 0.0;  // R4, R8
  const float* r4 = nullptr;
  const double* r8 = nullptr;
  std::string s;

  static Variant I2(short v) { return Make(VarType::I2, v); }
  static Variant I4(long v) { return Make(VarType::I4, v); }
  static Variant Bool(BOOL v) { return Make(VarType::Bool, v ? 1 : 0); }
  static Variant R4(float v) { return Make(VarType::R4, 0, double(v)); }
  static Variant R8(double v) { return Make(VarType::R8, 0, v); }
  static Variant Str(const char* v) {
    Variant r = Make(VarType::String);
    r.s = v ? v : "";
    return r;
  }
  static Variant R4Array(const float& first) {
    Variant r = Make(VarType::R4Ref);
    r.r4 = &first;
    return r;
  }
  static Variant R8Array(const double& first) {
    Variant r = Make(VarType::R8Ref);
    r.r8 = &first;
    return r;
  }

 private:
  static Variant Make(VarType t, long i = 0, double r = 0.0) {
    Variant v;
    v.vt = t;
    v.i = i;
    v.r = r;
    return v;
  }
};

using Args = std::vector<Variant>;

// Results of a call, as the dispatch interface reports them.
inline constexpr long S_DISP_OK = 0;
inline constexpr long DISP_E_MEMBERNOTFOUND = long(0x80020003);
inline constexpr long DISP_E_TYPEMISMATCH = long(0x80020005);
inline constexpr long DISP_E_BADPARAMCOUNT = long(0x8002000E);
inline constexpr long DISP_E_NOCONTROL = long(0x80020009);

// Kinds of call.
inline constexpr WORD DISPATCH_METHOD = 1, DISPATCH_PROPERTYGET = 2, DISPATCH_PROPERTYPUT = 4;

// What a control offers to late-bound callers.
class IDispatchTarget {
 public:
  virtual ~IDispatchTarget() = default;
  virtual long Invoke(DISPID member, WORD kind, const Args& args, Variant* result) = 0;
};

// The dispatch target behind a control window, registered when the control is created.
void RegisterDispatch(HWND control, IDispatchTarget* target);
void UnregisterDispatch(HWND control);
IDispatchTarget* DispatchOf(HWND control);

// Calls a member of the control behind the window; DISP_E_NOCONTROL when the window hosts no control.
long Invoke(HWND control, DISPID member, WORD kind, const Args& args, Variant* result = nullptr);

// Checks a call's arguments against the member's parameter types; S_DISP_OK or the dispatch error.
long CheckArgs(const Args& args, std::initializer_list<VarType> types);

}  // namespace plotwerk
