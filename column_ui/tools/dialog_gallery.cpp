// Renders every page of the column's input dialog to PNG files, with the example column read in, to look at:
//   column_dialog_gallery [position.tqx] [output folder]
// Besides one picture per tab it shows the pages in their other states: the national annex chosen, the
// grade lists of two codes, the eccentricity kinds, a construction stage and the transport stage, the loads with
// and without creep factors.
#include <cstdio>
#include <string>

#include "column_ui/kolumodlg.h"
#include "platform/viduv/viduv.h"
#include "platform/win/screen/headless.h"

namespace {

bool Save(CWnd& window, const std::string& folder, const char* name) {
  const std::string path = folder + "/" + name + ".png";
  if (!win::SaveWindowPng(window.m_hWnd, path)) {
    std::fprintf(stderr, "column_dialog_gallery: cannot write %s\n", path.c_str());
    return false;
  }
  std::printf("%s\n", path.c_str());
  return true;
}

void ShowTab(CKolumoDlg& dialog, int tab) {
  dialog.GetTabCtrl().SetCurSel(tab);
  dialog.OnPageChange();
}

void ShowStage(CKolumoDlg& dialog, int stage) {
  dialog.GetStageBox().SetCurSel(stage);
  dialog.SendMessage(WM_COMMAND, MAKEWPARAM(CKolumoDlg::kIdStage, CBN_SELCHANGE), LPARAM(dialog.GetStageBox().m_hWnd));
}

}  // namespace

int main(int argc, char** argv) {
  const std::string position = argc > 1 ? argv[1] : KOLUMO_SOURCE_DIR "/data/examples/Stuetze.tqx";
  const std::string folder = argc > 2 ? argv[2] : ".";
  const int doc = VIDUV_OpenDoc(position.c_str());
  if (!doc) {
    std::fprintf(stderr, "column_dialog_gallery: cannot read the position %s\n", position.c_str());
    return 1;
  }
  CWnd host;
  host.CreateEx(0, nullptr, "Stütze", WS_POPUP | WS_VISIBLE, 0, 0, 1040, 300, nullptr, nullptr);
  CKolumoDlg dialog;
  if (!dialog.Create(CKolumoDlg::IDD, &host)) {
    std::fprintf(stderr, "column_dialog_gallery: the input dialog cannot be made\n");
    return 1;
  }
  CRect size;
  dialog.GetWindowRect(&size);
  host.SetWindowPos(nullptr, 0, 0, size.Width(), size.Height(), SWP_NOZORDER | SWP_NOMOVE);
  dialog.SetWindowPos(nullptr, 0, 0, size.Width(), size.Height(), SWP_NOZORDER);
  dialog.ShowWindow(SW_SHOW);
  dialog.m_data.doc = doc;
  dialog.m_data.ReadData(doc);
  dialog.ExchangeData(FALSE);

  bool ok = true;
  static const char* names[] = {"tab0_variablen", "tab1_steuerwerte", "tab2_system", "tab3_vorverformung",
                                "tab4_belastung"};
  for (int tab = 0; tab < 5; ++tab) {
    ShowTab(dialog, tab);
    ok &= Save(dialog, folder, names[tab]);
  }

  ShowTab(dialog, 1);
  dialog.m_data.iNorm = 0;
  dialog.m_data.Fertigteil = 1;
  dialog.ExchangeData(FALSE);
  ok &= Save(dialog, folder, "steuerwerte_din_fertigteil");
  dialog.m_data.iNorm = 12;
  dialog.ExchangeData(FALSE);
  ok &= Save(dialog, folder, "steuerwerte_na_grossbritannien");

  // The system page with the grade lists of the annex and of the Swiss code.
  ShowTab(dialog, 2);
  ok &= Save(dialog, folder, "system_na_sorten");
  dialog.m_data.iNorm = 2;
  dialog.ExchangeData(FALSE);
  ok &= Save(dialog, folder, "system_sia_sorten");

  ShowTab(dialog, 3);
  CKolumoVorver& vorver = dialog.m_data.vorver[0];
  vorver.bDirekteVorgabe = 0;
  dialog.ExchangeData(FALSE);
  ok &= Save(dialog, folder, "vorverformung_resultierend");
  vorver.type = 3;
  dialog.ExchangeData(FALSE);
  ok &= Save(dialog, folder, "vorverformung_knickfigur_teiler");
  vorver.bAusmitte = 0;
  dialog.ExchangeData(FALSE);
  ok &= Save(dialog, folder, "vorverformung_knickfigur_ausmitte");
  ShowStage(dialog, 2);
  ok &= Save(dialog, folder, "vorverformung_bauzustand1");
  ShowStage(dialog, 1);
  ok &= Save(dialog, folder, "vorverformung_transport");

  // The loads page of the final system with a creep kind shows the creep factors; the transport stage has none.
  ShowTab(dialog, 4);
  ok &= Save(dialog, folder, "belastung_transport");
  ShowStage(dialog, 0);
  ok &= Save(dialog, folder, "belastung_kriechen");

  dialog.DestroyWindow();
  host.DestroyWindow();
  VIDUV_CloseDoc(doc);
  return ok ? 0 : 1;
}
