// For the screen test: on the X display, an owner window, then a message box of each type and icon and an open and
// a save file dialog in FOLDER, one after the other; each answer is printed as it comes ("box N -> ID",
// "open -> PATH"), and so is each help request that reaches the owner ("help -> ID of the focused control"). With
// PICTURE, SIGUSR1 makes the program write its own picture of its windows there.
#include <cstdio>
#include <string>

#include "platform/win/afx.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/screen/x11screen.h"
#include "tests/support/probe_screen.h"

namespace {

LRESULT OwnerProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_HELP) {
    const auto* info = reinterpret_cast<const HELPINFO*>(lParam);
    std::printf("help -> %d\n", info ? info->iCtrlId : -1);
    std::fflush(stdout);
    return TRUE;
  }
  return DefWindowProc(wnd, msg, wParam, lParam);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: screen_boxes FOLDER [PICTURE]\n");
    return 2;
  }
  test_support::ProbeScreen screen;
  if (!screen.Open("screen_boxes", argc == 3 ? argv[2] : "")) return 1;
  WNDCLASS ownerClass{};
  ownerClass.lpfnWndProc = &OwnerProc;
  ownerClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  ownerClass.lpszClassName = "Dialogprobe";
  RegisterClass(&ownerClass);
  HWND owner = CreateWindowEx(0, "Dialogprobe", "Dialogprobe", WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE, 60, 40,
                              900, 640, nullptr, nullptr, nullptr, nullptr);
  win::PumpMessages();

  struct Box {
    UINT type;
    const char* text;
  };
  const Box boxes[] = {
      {MB_OK | MB_ICONINFORMATION, "Die Berechnung ist beendet."},
      {MB_OKCANCEL | MB_ICONQUESTION, "Die Lastfälle werden neu gebildet.\nFortfahren?"},
      {MB_YESNO | MB_ICONQUESTION, "Sollen die Änderungen gespeichert werden?"},
      {MB_YESNOCANCEL | MB_ICONWARNING | MB_DEFBUTTON2,
       "Die Datei ist schreibgeschützt.\nUnter neuem Namen speichern?"},
      {MB_RETRYCANCEL | MB_ICONERROR, "Die Datei kann nicht gelesen werden."},
      {MB_YESNO | MB_ICONWARNING, "Die Position wurde geändert.\nSollen die Änderungen verworfen werden?"},
      {MB_YESNOCANCEL | MB_ICONQUESTION, "Sollen die Lastfälle übernommen werden?"},
      {MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, "Soll der Bauzustand gelöscht werden?"},
      {MB_RETRYCANCEL | MB_ICONWARNING, "Der Drucker antwortet nicht."},
      {MB_OK | MB_ICONERROR,
       "Die Bewehrung kann im Querschnitt 3 nicht untergebracht werden, weil der Abstand der Stäbe kleiner als der "
       "zulässige Mindestabstand wird.\n\nBitte den Querschnitt vergrößern oder einen größeren Stabdurchmesser "
       "wählen."},
  };
  int n = 0;
  for (const Box& b : boxes) {
    const std::string caption = "Meldung " + std::to_string(++n);
    const int answer = MessageBox(owner, b.text, caption.c_str(), b.type);
    std::printf("box %d -> %d\n", n, answer);
    std::fflush(stdout);
  }
  const std::string folder = argv[1];
  for (BOOL open : {TRUE, FALSE}) {
    CFileDialog dialog(open, "tqx", nullptr, OFN_HIDEREADONLY | (open ? OFN_FILEMUSTEXIST : OFN_OVERWRITEPROMPT),
                       "Positionen (*.tqx)|*.tqx|Alle Dateien (*.*)|*.*||");
    dialog.m_ofn.hwndOwner = owner;
    dialog.m_ofn.lpstrInitialDir = folder.c_str();
    const bool ok = dialog.DoModal() == IDOK;
    std::printf("%s -> %s\n", open ? "open" : "save", ok ? dialog.GetPathName().GetString() : "cancel");
    std::fflush(stdout);
  }
  DestroyWindow(owner);
  return 0;
}
