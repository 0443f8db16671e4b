#include "column_ui/kolumoresultdlg.h"

#include <algorithm>
#include <cstdio>

#include "column_ui/ergebniskatalog.h"
#include "column_ui/kolumodraw.h"
#include "framework/treepath.h"
#include "platform/tolkar/tolkar.h"

namespace {

CString Tr(const char* text) {
  return CString(TOLK_Translate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoResultDlg", text));
}

win::DialogTemplate ResultTemplate() {
  win::DialogTemplate t;
  t.style = WS_CHILD | DS_CONTROL | WS_CLIPCHILDREN;
  t.cx = 574;
  t.cy = 124;
  constexpr DWORD kBaum = TVS_HASBUTTONS | TVS_HASLINES | TVS_LINESATROOT | TVS_SHOWSELALWAYS | WS_BORDER | WS_TABSTOP;
  t.items = {
      {int(CKolumoResultDlg::kIdKombiBaum), "SysTreeView32", "", kBaum, 2, 2, 140, 110},
      {int(CKolumoResultDlg::kIdErgebnisBaum), "SysTreeView32", "", kBaum, 146, 2, 200, 110},
      {int(CKolumoResultDlg::kIdText), "Edit", "", ES_MULTILINE | ES_READONLY | WS_BORDER, 350, 2, 200, 70},
      {int(CKolumoResultDlg::kIdAusgabe), "Button", "Ausgabe erzeugen", BS_PUSHBUTTON | WS_TABSTOP, 350, 76, 95, 14},
  };
  return t;
}
const win::DialogTemplateRegistrar kTemplate(CKolumoResultDlg::IDD, ResultTemplate());

// The item of `tree` that carries `code`, depth first.
HTREEITEM FindeCode(CTreeCtrl& tree, HTREEITEM start, int code) {
  for (HTREEITEM i = tree.GetChildItem(start); i; i = tree.GetNextSiblingItem(i)) {
    if (int(tree.GetItemData(i)) == code) return i;
    if (HTREEITEM unten = FindeCode(tree, i, code)) return unten;
  }
  return nullptr;
}

}  // namespace

BEGIN_MESSAGE_MAP(CKolumoResultDlg, CDialog)
ON_NOTIFY(TVN_SELCHANGED, CKolumoResultDlg::kIdKombiBaum, OnSelChangedKombi)
ON_NOTIFY(TVN_SELCHANGED, CKolumoResultDlg::kIdErgebnisBaum, OnSelChangedErgebnis)
ON_BN_CLICKED(CKolumoResultDlg::kIdAusgabe, OnAusgabe)
END_MESSAGE_MAP()

BOOL CKolumoResultDlg::OnInitDialog() {
  CDialog::OnInitDialog();
  TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_kolumo", "CKolumoResultDlg", m_hWnd);
  return TRUE;
}

void CKolumoResultDlg::DoDataExchange(CDataExchange* dx) {
  CDialog::DoDataExchange(dx);
  DDX_Control(dx, kIdKombiBaum, m_kombiBaum);
  DDX_Control(dx, kIdErgebnisBaum, m_ergebnisBaum);
  DDX_Text(dx, kIdText, m_text);
}

int CKolumoResultDlg::Stufe() const {
  const int s = m_pStage ? *m_pStage : m_pData ? m_pData->aktBauZustand : 0;
  return std::clamp(s, 0, CKolumoData::kStages - 1);
}

BOOL CKolumoResultDlg::ExchangeData(BOOL saveAndValidate) {
  if (!m_hWnd) return FALSE;
  const BOOL ok = UpdateData(saveAndValidate);
  if (!saveAndValidate) {
    BaueKombiBaum(true);
    Invalidate(TRUE);
  }
  return ok;
}

void CKolumoResultDlg::BaueKombiBaum(bool mitAuswahl) {
  if (!m_kombiBaum.m_hWnd || !m_pData) return;
  m_baut = true;
  m_kombiBaum.SelectItem(nullptr);
  m_kombiBaum.DeleteAllItems();
  m_kombiLK.clear();
  const KombiBaum baum = BaueKombinationen(*m_pData, Stufe());
  for (const KombiEintrag& e : baum.eintraege) {
    HTREEITEM item = nullptr;
    if (TreeInsertPath(item, e.pfad, m_kombiBaum, TVI_LAST, TRUE) && item) {
      m_kombiBaum.SetItemData(item, DWORD_PTR(e.code));
      m_kombiLK[e.code] = e.satzLK;
    }
  }
  HTREEITEM erfAs = m_kombiBaum.InsertItem(Tr("erf. As pro Feld"));
  m_kombiBaum.SetItemData(erfAs, DWORD_PTR(kArtErfAs * 10000));
  m_baut = false;
  if (baum.ueberlauf)
    AfxMessageBox(
        Tr("Max. Anzahl der Lastkollektive von 9999 überschritten.\nErgebnisse werden nur bis 9999 "
           "dargestellt!"));
  // A new calculation or stage never keeps the previous diagram: without a combination the page is empty.
  m_art = 0;
  m_nummer = m_satzLK = 0;
  if (!mitAuswahl || baum.erstesEd.IsEmpty()) {
    BaueErgebnisBaum(false);
    ZeigeErgebnis();
    return;
  }
  HTREEITEM item = nullptr;
  TreeSelectPath(item, baum.erstesEd, m_kombiBaum, TRUE);
  if (!m_art) {  // the selection did not reach the handler (no window messages)
    LRESULT r = 0;
    OnSelChangedKombi(nullptr, &r);
  }
}

void CKolumoResultDlg::OnSelChangedKombi(NMHDR*, LRESULT* result) {
  if (result) *result = 0;
  if (m_baut) return;
  UpdateData(TRUE);
  HTREEITEM item = m_kombiBaum.GetSelectedItem();
  if (!item) return;
  const int code = int(m_kombiBaum.GetItemData(item));
  const int art = code / 10000;
  m_nummer = code % 10000;
  const auto lk = m_kombiLK.find(code);
  m_satzLK = lk == m_kombiLK.end() ? 0 : lk->second;
  m_art = art;
  // The quantity stays chosen when the new combination has it too.
  BaueErgebnisBaum(true);
}

void CKolumoResultDlg::BaueErgebnisBaum(bool mitAuswahl) {
  if (!m_ergebnisBaum.m_hWnd || !m_pData) return;
  const int vorher = m_code;
  m_baut = true;
  m_ergebnisBaum.SelectItem(nullptr);
  m_ergebnisBaum.DeleteAllItems();
  const std::vector<ErgebnisBlatt> blaetter = ErgebnisBlaetter(m_pData->ergebnisse, m_art, m_satzLK, Stufe());
  CString normalkraft;
  for (const ErgebnisBlatt& b : blaetter) {
    HTREEITEM item = nullptr;
    if (!TreeInsertPath(item, b.pfad, m_ergebnisBaum, TVI_LAST, TRUE) || !item) continue;
    m_ergebnisBaum.SetItemData(item, DWORD_PTR(b.code));
    if (normalkraft.IsEmpty() && (b.code == 1101 || (m_art == kArtGebrauch && b.code == 3101))) normalkraft = b.pfad;
  }
  for (HTREEITEM i = m_ergebnisBaum.GetRootItem(); i; i = m_ergebnisBaum.GetNextSiblingItem(i))
    m_ergebnisBaum.Expand(i, TVE_EXPAND);
  m_baut = false;
  m_code = 0;
  if (mitAuswahl) {
    HTREEITEM item = vorher ? FindeCode(m_ergebnisBaum, TVI_ROOT, vorher) : nullptr;
    if (item) {
      m_baut = true;
      m_ergebnisBaum.SelectItem(item);
      m_baut = false;
    } else if (!normalkraft.IsEmpty()) {
      m_baut = true;
      TreeSelectPath(item, normalkraft, m_ergebnisBaum, TRUE);
      m_baut = false;
    }
  }
  ZeigeErgebnis();
}

void CKolumoResultDlg::OnSelChangedErgebnis(NMHDR*, LRESULT* result) {
  if (result) *result = 0;
  if (m_baut) return;
  UpdateData(TRUE);
  ZeigeErgebnis();
}

void CKolumoResultDlg::ZeigeErgebnis() {
  m_stationen.clear();
  m_werte.clear();
  m_punktWerte = FALSE;
  m_code = 0;
  HTREEITEM item = m_ergebnisBaum.m_hWnd ? m_ergebnisBaum.GetSelectedItem() : nullptr;
  if (m_pData && m_art == kArtErfAs) {
    for (const auto& r : m_pData->ergebnisse.ErfAs) {
      if (!r) continue;
      const std::size_t n = std::min(r->Kote.size(), r->As.size());
      m_stationen.insert(m_stationen.end(), r->Kote.begin(), r->Kote.begin() + std::ptrdiff_t(n));
      m_werte.insert(m_werte.end(), r->As.begin(), r->As.begin() + std::ptrdiff_t(n));
    }
    m_titel = Tr("erf. As mindestens feldweise einlegen");
  } else if (m_pData && item && m_ergebnisBaum.GetChildItem(item) == nullptr) {
    const int code = int(m_ergebnisBaum.GetItemData(item));
    CString pfad;
    TreeGetItemPath(pfad, item, m_ergebnisBaum);
    const int erster = pfad.Find('\\'), letzter = pfad.ReverseFind('\\');
    m_titel.Format(Tr("LK[%d] ").GetString(), m_satzLK);
    m_titel += pfad.Left(erster) + " " + pfad.Mid(letzter + 1);
    const ErgebnisSpalte s = SucheSpalte(m_pData->ergebnisse, m_art, code, m_satzLK, Stufe());
    if (s.kote && s.werte && s.kote->size() == s.werte->size()) {
      m_stationen = *s.kote;
      m_werte = *s.werte;
      m_punktWerte = s.punktWerte;
      m_code = code;
    }
  } else {
    // Nothing chosen: the empty state, never the previous quantity's title.
    m_titel.Empty();
  }
  Extremwerte(m_werte, m_max, m_min);
  CString zeilen;
  zeilen.Format("\r\nmax = %.2lf\r\nmin =  %.2lf", m_max, m_min);
  m_text = m_titel + zeilen;
  if (m_hWnd) UpdateData(FALSE);
  // The preview's Y-Z view draws the quantity beside the column; the page itself has no picture.
  if (m_pData) m_pData->Draw2D(FALSE);
}

void CKolumoResultDlg::ShowNoResults() {
  m_baut = true;
  for (CTreeCtrl* tree : {&m_kombiBaum, &m_ergebnisBaum})
    if (tree->m_hWnd) {
      tree->SelectItem(nullptr);
      tree->DeleteAllItems();
    }
  m_baut = false;
  m_kombiLK.clear();
  m_art = 0;
  m_nummer = m_satzLK = 0;
  ZeigeErgebnis();
}

void CKolumoResultDlg::OnAusgabe() {
  if (!m_pData) return;
  const CString datei = m_pData->GetOutputFileName();
  if (!datei.IsEmpty()) std::remove(win::ToFsPath(datei.str()).c_str());
  m_pData->OpenOutput();
  // Writing the report draws its pictures through the window system; on a screen the page's trees and text were
  // left unpainted after it, so the page is drawn whole again.
  if (m_hWnd) RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
}
