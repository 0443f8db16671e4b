// For the screen test: on the X display, a window "Knopfprobe" with two buttons of the module. "Hilfe" carries a
// tip and a web address, which a click hands to the desktop's opener. "Bearbeiten" drops down an owner-drawn icon
// menu: "&Kopieren" (red image) and "&Einfügen" (blue image) with their shortcuts after a tab, a separator and
// "&Löschen". Printed: "help X Y W H" and "edit X Y W H" (the buttons on the screen) once shown, and "command ID" for
// each command the menu sends. With PICTURE, SIGUSR1 makes the program write its own picture of its windows there.
#include <cstdio>
#include <string>

#include "controls/HoverButton.h"
#include "platform/win/afx.h"
#include "platform/win/resources/resources.h"
#include "tests/support/probe_screen.h"

namespace {

constexpr UINT kRed = 29001, kBlue = 29002;

class Probe : public CWnd {
 public:
  BOOL OnCommand(WPARAM w, LPARAM l) override {
    if (l == 0) {
      std::printf("command %u\n", unsigned(LOWORD(w)));
      std::fflush(stdout);
    }
    return CWnd::OnCommand(w, l);
  }
};

// A 16 x 15 image: a square of the colour on the bars' transparent grey.
void RegisterImage(UINT id, double r, double g, double b) {
  win::res::RegisterBitmap(id, 16, 15, [=](cairo_t* cr, int, int) {
    cairo_set_source_rgb(cr, 192 / 255.0, 192 / 255.0, 192 / 255.0);
    cairo_paint(cr);
    cairo_set_source_rgb(cr, r, g, b);
    cairo_rectangle(cr, 2, 2, 12, 11);
    cairo_fill(cr);
  });
}

void PrintPlace(const char* name, CWnd& button) {
  CRect r;
  button.GetWindowRect(&r);
  std::printf("%s %ld %ld %d %d\n", name, long(r.left), long(r.top), r.Width(), r.Height());
  std::fflush(stdout);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc > 2) {
    std::fprintf(stderr, "usage: screen_hover [PICTURE]\n");
    return 2;
  }
  test_support::ProbeScreen screen;
  if (!screen.Open("screen_hover", argc == 2 ? argv[1] : "")) return 1;
  {
    Probe probe;
    probe.CreateEx(0, nullptr, "Knopfprobe", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 60, 40, 400, 220, nullptr,
                   nullptr);
    auto button = [&](CHoverButton& b, const char* text, int x, UINT id) {
      HWND wnd = ::CreateWindowEx(0, "Button", text, WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, x, 20, 110, 30,
                                  probe.m_hWnd, reinterpret_cast<HMENU>(std::uintptr_t(id)), nullptr, nullptr);
      b.SubclassWindow(wnd);
    };
    CHoverButton help, edit;
    button(help, "Hilfe", 20, 101);
    help.SetTooltipText("Öffnet die Hilfe im Browser");
    help.SetURL("https://example.org/kolumo/hilfe");
    button(edit, "Bearbeiten", 200, 102);
    RegisterImage(kRed, 1, 0, 0);
    RegisterImage(kBlue, 0, 0, 1);
    CBitmap red, blue;
    red.LoadBitmap(kRed);
    blue.LoadBitmap(kBlue);
    CIconMenu menu;
    menu.AppendOwnerDrawnItem("&Kopieren\tStrg+C", MF_STRING, 2001);
    menu.AppendOwnerDrawnItem("&Einfügen\tStrg+V", MF_STRING, 2002);
    menu.AppendOwnerDrawnItem("", MF_SEPARATOR, 0);
    menu.AppendOwnerDrawnItem("&Löschen\tEntf", MF_STRING, 2003);
    menu.SetCommandImage(2001, &red);
    menu.SetCommandImage(2002, &blue);
    edit.SetMenu(&menu, &probe);
    win::PumpMessages();
    PrintPlace("help", help);
    PrintPlace("edit", edit);
    while (probe.GetSafeHwnd() && ::IsWindow(probe.m_hWnd)) {
      win::PumpMessages();
      if (!screen.screen().WaitForInput(win::NextTimerDelay())) break;
    }
  }
  return 0;
}
