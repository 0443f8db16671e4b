// The module's exports: the application object built when the host loads the module, and the interface
// dispatcher through which the host creates and drives the input dialog and the position documents.
#include <signal.h>

#include <array>
#include <cstring>
#include <exception>
#include <memory>
#include <new>
#include <utility>

#include "column/calcfunc.h"
#include "framework/module_interface.h"
#include "column/kolumodata.h"
#include "document/subdata.h"
#include "editor/macroeditor.h"
#include "report/querschnittskizze.h"
#include "report/rtfausgabe.h"
#include "transfer/importdlg.h"
#include "transfer/ludata.h"
#include "column_ui/kolumodlg.h"
#include "column_ui/kolumovorschau.h"
#include "framework_ui/dlgvardef.h"
#include "framework/calldoc.h"
#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"

#define KOLUMO_EXPORT extern "C" __attribute__((visibility("default")))

namespace {

CString Tr(const char* text) { return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoData", text)); }

class CKolumoApp : public CWinApp {
 public:
  CKolumoApp() : CWinApp(nullptr) {
    // A write beyond the file-size limit must fail with its reason, not end the host's process without a word;
    // a host that handles the signal itself keeps its handler.
    struct sigaction current {};
    if (sigaction(SIGXFSZ, nullptr, &current) == 0 && current.sa_handler == SIG_DFL) signal(SIGXFSZ, SIG_IGN);
    RegisterLoadTransfer();
    RegisterDocumentPart();
    InstallActionBudgets();
    RegisterImportDialogs();
    // the script host's edit call (macro dialog, repairing macros that do not load) opens the editor window
    InstallMacroEditor();
    // the variables page's "Auswahl" takes values of other positions through the value-import dialog
    VarDefGrid::ValueImport() = [](BaseData& data) {
      DlgImportVal dialog;
      dialog.SetPosition(&data);
      return dialog.DoModal() == IDOK;
    };
  }
  // The host may unload the module before it exits: nothing of it may stay registered with the framework.
  ~CKolumoApp() override {
    SetLoadTransferListFactory(nullptr);
    SetDocumentPartFactory(nullptr);
    RemoveActionBudgets();
    UnregisterImportDialogs();
    RemoveMacroEditor();
    VarDefGrid::ValueImport() = nullptr;
    win::res::ForgetPainted();
  }

  DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CKolumoApp, CWinApp)
END_MESSAGE_MAP()

// The first of the module's static objects.
CKolumoApp theApp __attribute__((init_priority(101)));

// The input dialog behind a window parameter; nullptr for any other window.
CKolumoDlg* InputDialog(int handle) {
  CWnd* window = win::FromHandle<CWnd>(handle);
  if (!window || std::strcmp(window->GetRuntimeClass()->m_lpszClassName, "CKolumoDlg") != 0) return nullptr;
  return dynamic_cast<CKolumoDlg*>(window);
}

using Params = std::array<int, 4>;

int CreateInputDlg(const Params& p) {
  // The dialog is a child window: it is made in the host's window (where MFC would have taken the application's
  // main window for a missing parent), and the host owns it from now on and destroys it.
  CWnd* parent = win::FromHandle<CWnd>(p[0]);
  if (!parent) return 0;
  // The cross-section dialog shows the report's sketch of the section types; a position opened without a report
  // run before would show an empty frame.
  report::EnsureQuerschnittSkizze();
  auto dialog = std::make_unique<CKolumoDlg>();
  if (!dialog->Create(CKolumoDlg::IDD, parent)) return 0;
  dialog->SetParent(parent);
  return win::MakeHandle<CWnd>(dialog.release());
}

int CreatePreviewDlg(const Params& p) {
  CKolumoDlg* input = InputDialog(p[1]);
  CWnd* parent = win::FromHandle<CWnd>(p[0]);
  if (!input || !parent) return 0;
  // The host owns the preview from now on and destroys it before the input dialog.
  auto preview = std::make_unique<CKolumoVorschauDlg>(input->m_data);
  input->SetPreview(preview.get());
  preview->m_bCombined = TRUE;
  // The 3D view, the side views and the section frame, which holds the column's X-Y plane; the input dialog's
  // page changes share the width among them.
  preview->m_nViewMask =
      CPreviewDlg::k3D | CPreviewDlg::kXZ | CPreviewDlg::kYZ | CPreviewDlg::kQuer | CPreviewDlg::kAusgabe;
  preview->m_aViewWidth = {30, 25, 0, 25, 20, 0};
  preview->showTip = &CKolumoDlg::ShowRtfTip;
  preview->InitViewTabs();
  // It stands in the host's window as its child.
  if (!preview->Create(CPreviewDlg::IDD, parent)) {
    input->SetPreview(nullptr);
    return 0;
  }
  preview->SetParent(parent);
  preview->ShowWindow(SW_SHOW);
  return win::MakeHandle<CWnd>(preview.release());
}

int SetData(const Params& p) {
  CKolumoDlg* dialog = InputDialog(p[0]);
  if (!dialog) return 1;
  CKolumoData& data = dialog->m_data;
  const int document = p[1];
  if (data.doc != document) {
    data.doc = document;
    if (document) {
      // Another document is read into clean data, so that nothing of the previous one stays or is doubled.
      data.SetDefaults();
      data.doc = document;
      data.ReadData(document);
      dialog->CheckInputRead();
      dialog->ExchangeData(FALSE);
      dialog->GetTabCtrl().SendMessage(TCM_SETCURSEL, WPARAM(data.GetStartTab(2)));
      dialog->OnPageChange();
    }
  }
  data.varDefs.CheckImportedValues();
  if (DlgVarDef* page = DlgVarDef::FindIn(dialog)) {
    // The page shows the data of the dialog it sits in, whoever made it.
    if (page->m_pData != &data) page->SetData(&data);
    page->TransferData(FALSE);
  }
  dialog->OnPageChange();
  return 1;
}

int GetData(const Params& p) {
  CKolumoDlg* dialog = InputDialog(p[0]);
  if (!dialog || p[1] != dialog->m_data.doc) return 1;
  dialog->ExchangeData(TRUE);
  dialog->m_data.WriteData(p[1]);
  dialog->m_data.SetTabForDoc(int(dialog->GetTabCtrl().SendMessage(TCM_GETCURSEL)));
  return 1;
}

int CreateEmptyDoc(const Params& p) {
  CKolumoDlg* dialog = InputDialog(p[0]);
  if (!dialog) return 0;
  CKolumoData& data = dialog->m_data;
  data.SetDefaults();
  const int document = VIDUV_CreateDoc("");
  data.doc = document;
  data.WriteData(document);
  return document;
}

int SilentCalc(const Params& p) {
  auto data = std::make_unique<CKolumoData>();
  data->doc = p[0];
  data->ReadData(p[0]);
  data->SilentCalc();
  return 1;
}

int Annotation(const Params& p) {
  CKolumoDlg* dialog = InputDialog(p[0]);
  CString* text = win::FromHandle<CString>(p[1]);
  if (!dialog || !text) return 1;
  if (p[2])
    dialog->SetAnnotation(*text);
  else
    dialog->GetAnnotation(*text);
  return 1;
}

int PosAnnotation(const Params& p) {
  CKolumoDlg* dialog = InputDialog(p[0]);
  CString* text = win::FromHandle<CString>(p[1]);
  if (!dialog || !text) return 1;
  if (p[2])
    dialog->m_posAnnotation = *text;
  else
    *text = dialog->m_posAnnotation;
  return 1;
}

int RegisterShowRtfTip(const Params& p) {
  CKolumoDlg::s_showRtfTip = p[0];
  return 1;
}

int CanExportTo(const Params& p) {
  if (vecExportToStruct* targets = win::FromHandle<vecExportToStruct>(p[0])) targets->clear();
  return 1;
}

int Export(const Params&) {
  AfxMessageBox(Tr("Export wird von diesem Modul in der vorliegenden Version nicht unterstützt."));
  return 0;
}

int PreTranslate(const Params& p) {
  MSG* msg = win::FromHandle<MSG>(p[0]);
  return msg ? theApp.PreTranslateMessage(msg) : 0;
}

struct Command {
  const char* action;
  std::array<const char*, 4> types;  // nullptr after the last
  int (*handler)(const Params&);
};

constexpr Command kCommands[] = {
    {"PreTranslateMessage", {"MSG*"}, PreTranslate},
    {"CreateInputDlg", {"CWnd*"}, CreateInputDlg},
    {"CreatePreviewDlg", {"CWnd*", "CWnd*", "BOOL"}, CreatePreviewDlg},
    {"SetData", {"CWnd*", "int"}, SetData},
    {"GetData", {"CWnd*", "int"}, GetData},
    {"CreateEmptyDoc", {"CWnd*"}, CreateEmptyDoc},
    {"SilentCalc", {"int"}, SilentCalc},
    {"Annotation", {"CWnd*", "CString*", "BOOL"}, Annotation},
    {"PosAnnotation", {"CWnd*", "CString*", "BOOL"}, PosAnnotation},
    {"RegisterShowRtfTip", {"TYPE_SHOWRTFTIP"}, RegisterShowRtfTip},
    {"CanExportTo", {"vecExportToStruct*", "int"}, CanExportTo},
    {"Export", {"int", "CString*", "CString*", "CString*"}, Export},
};

int Dispatch(int callDocument) {
  const CString action = GetInterfaceAction(callDocument);
  for (const Command& command : kCommands) {
    if (action != command.action) continue;
    int expected = 0;
    while (expected < int(command.types.size()) && command.types[std::size_t(expected)]) ++expected;
    if (GetInterfaceNumOfParams(callDocument) != expected) {
      AfxMessageBox("Wrong number of parameters!");
      return 0;
    }
    Params values{};
    for (int i = 0; i < expected; ++i) {
      CString type;
      GetInterfaceParam(callDocument, i, type, values[std::size_t(i)]);
      if (type != command.types[std::size_t(i)]) {
        AfxMessageBox("Type mismatch!");
        return 0;
      }
    }
    return command.handler(values);
  }
  if (VIDUV_GetInt(VIDUV_GetRootElement(callDocument), "NotImplementedWarning")) {
    CString text;
    text.Format(Tr("Funktion '%s' nicht implementiert!").GetString(), action.GetString());
    AfxMessageBox(text);
  }
  return 0;
}

// Whether an export stopped short of memory since the host last asked (shortageFunc).
bool g_ranShort = false;

// Runs the body of an export: nothing is thrown across the module's C boundary. A failure is shown as a message and
// answered with `failed`; a shortage of memory is also kept for the host to ask about. The texts are made only for a
// failure: a call that has the memory it needs makes none.
template <class Body, class ShortageText>
int Guarded(int failed, Body&& body, ShortageText&& shortageText, const char* unknown) {
  try {
    return body();
  } catch (const std::bad_alloc&) {
    g_ranShort = true;
    AfxMessageBox(shortageText(), MB_ICONSTOP);
  } catch (const std::exception& e) {
    AfxMessageBox(e.what(), MB_ICONSTOP);
  } catch (...) {
    AfxMessageBox(Tr(unknown), MB_ICONSTOP);
  }
  return failed;
}

}  // namespace

KOLUMO_EXPORT int interfaceFunc(int callDocument) {
  return Guarded(
      0, [&] { return Dispatch(callDocument); },
      [&] {
        CString text;
        text.Format(Tr("Zu wenig Speicher: \"%s\" wurde abgebrochen.").GetString(),
                    GetInterfaceAction(callDocument).GetString());
        return text;
      },
      "Unbekannter Fehler im Modul.");
}

// Calculates the position document; success is the presence of the new "result" element, unless the run ran short
// of memory (shortageFunc), which leaves none.
KOLUMO_EXPORT int calcFunc(int document, int flag) {
  return Guarded(
      1,
      [&] {
        if (!KolumoCalc(document, flag)) g_ranShort = true;
        return 1;
      },
      [] { return Tr("Zu wenig Speicher: die Berechnung wurde abgebrochen."); }, "Unbekannter Fehler im Modul.");
}

// Writes the report of the position document beside its file (bOutput 0 only reads the position).
KOLUMO_EXPORT int RtfKolumo(int document, int bOutput) {
  return Guarded(
      1,
      [&] {
        report::RtfKolumo(document, bOutput);
        return 1;
      },
      [] { return Tr("Zu wenig Speicher: der Bericht wurde abgebrochen."); }, "RtfKolumo: unbekannter Fehler");
}

// 1 when a call of the exports above ran short of memory and stopped since the last time the host asked, else 0.
// Such a call said so in a message; what it left in a document or on disk is no result of it.
KOLUMO_EXPORT int shortageFunc() { return std::exchange(g_ranShort, false) ? 1 : 0; }
