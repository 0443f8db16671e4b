// Shows one of the framework dialogs on the X11 screen ($DISPLAY) with example data, until it is closed:
//   show_framework_dialog lkdlg|kollektiv|vardef
// With KOLUMO_SCREEN_PICTURE set, SIGUSR1 writes the active window to that PNG file.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "formula/vardef.h"
#include "framework/basedata.h"
#include "framework_ui/dlgvardef.h"
#include "framework_ui/lkdlg.h"
#include "platform/win/afx.h"
#include "platform/win/screen/screen.h"
#include "platform/win/screen/x11screen.h"

namespace {

constexpr UINT kPageHost = 9400;

const win::DialogTemplateRegistrar kHost(kPageHost, [] {
  win::DialogTemplate t;
  t.style |= DS_CENTER;
  t.caption = "Vortexttabelle";
  t.cx = 460;
  t.cy = 180;
  return t;
}());

class Position : public BaseData {
 public:
  bool PrepareCalc(CStringArray&, int) override { return true; }
};

// A modal frame around the variables page, as the input dialog's tab holds it.
class PageHost : public CDialog {
 public:
  explicit PageHost(BaseData& data) : CDialog(kPageHost), m_data(data) {}

 protected:
  BOOL OnInitDialog() override {
    CDialog::OnInitDialog();
    m_page.Create(IDD_DLGVARDEF, this);
    CRect client;
    GetClientRect(&client);
    m_page.MoveWindow(client);
    m_page.SetData(&m_data);
    m_page.TransferData(FALSE);
    m_page.ShowWindow(SW_SHOW);
    return TRUE;
  }
  BaseData& m_data;
  DlgVarDef m_page;
};

void Example(CLKData& data) {
  data.SetNorm(3);
  data.lastfaelle.Add(CLKLastfall{1, 1});
  data.lastfaelle.Add(CLKLastfall{2, 2});
  CEinwirkung g, q;
  g.nr = 1;
  q.nr = 2;
  q.indexGruppe = 1;
  q.indexGruppeHHHH = data.GetLastGruppeIndex(1);
  data.einwirkungen.Add(g);
  data.einwirkungen.Add(q);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string which = argc > 1 ? argv[1] : "";
  if (which != "lkdlg" && which != "kollektiv" && which != "vardef") {
    std::fprintf(stderr, "usage: show_framework_dialog lkdlg|kollektiv|vardef\n");
    return 2;
  }
  std::string error;
  const char* picture = std::getenv("KOLUMO_SCREEN_PICTURE");
  auto screen = win::OpenX11Screen(error, picture ? picture : "");
  if (!screen) {
    std::fprintf(stderr, "show_framework_dialog: %s\n", error.c_str());
    return 1;
  }
  auto clock = win::MakeWallClock();
  win::SetClock(clock.get());
  win::SetScreen(screen.get());
  INT_PTR result = 0;
  {
    CLKData data;
    Example(data);
    if (which == "lkdlg") {
      LKDlg dialog;
      dialog.m_pData = &data;
      *dialog.m_pCopy = data;
      result = dialog.DoModal();
    } else if (which == "kollektiv") {
      data.Calc();
      KollektivDlg dialog(&data);
      result = dialog.DoModal();
    } else {
      Position position;
      auto h = CVarDefEntry::Create(CVarDefEntry::kVariable);
      auto& v = static_cast<CVarDefVariable&>(*h);
      v.desc = "Stützenhöhe";
      v.varName = "h";
      v.unit = "m";
      v.value = 3.5;
      position.varDefs.Add(std::move(h));
      PageHost host(position);
      result = host.DoModal();
    }
  }
  win::SetScreen(nullptr);
  win::SetClock(nullptr);
  std::printf("%d\n", int(result));
  return 0;
}
