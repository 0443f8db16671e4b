// The small settings dialogs of the control values page: the scope of the numeric report, the report's graphics
// and the fire verification. Each works directly on the column data it is given before the modal run.
#pragma once

#include "column/kolumodata.h"
#include "controls/OrmiParamGrid.h"
#include "platform/win/afx.h"

// A dialog made of OK, Cancel and one parameter grid in the place of the template's placeholder.
class CKolumoParamDlg : public CDialog {
 public:
  CKolumoParamDlg(UINT templateId, UINT gridId, const char* context, CWnd* parent);

  COrmiParamGrid& Grid() { return m_grid; }
  CKolumoData* m_pData = nullptr;

 protected:
  // Translates the dialog, creates the grid, lets AddRows fill it, lays it out with the column shares and shows
  // the bound fields.
  void BuildGrid(int labelPercent, int valuePercent);
  virtual void AddRows() = 0;
  CString Tr(const char* text) const;
  CStringArray Options(std::initializer_list<const char*> texts) const;

  UINT m_gridId;
  const char* m_context;
  COrmiParamGrid m_grid;
};

class CKolumoNumAus : public CKolumoParamDlg {
 public:
  enum { IDD = 26022, kIdGrid = 26036 };
  explicit CKolumoNumAus(CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void OnOK() override;
  // The fire rows exist only for the codes whose fire verification the program makes.
  static bool HatBrandschutz(int iNorm) { return iNorm == 0 || iNorm == 10; }

 protected:
  void AddRows() override;
};

class CKolumogridausgraf : public CKolumoParamDlg {
 public:
  enum { IDD = 26026, kIdGrid = 26038 };
  explicit CKolumogridausgraf(CWnd* parent = nullptr);
  BOOL OnInitDialog() override;
  void OnOK() override;

 protected:
  void AddRows() override;

 private:
  CString m_breiteText;
};

class CKolumoBrandDlg : public CKolumoParamDlg {
 public:
  enum { IDD = 26020, kIdGrid = 27062 };
  explicit CKolumoBrandDlg(CWnd* parent = nullptr);
  void SetData(CKolumoData* data) { m_pData = data; }
  BOOL OnInitDialog() override;
  void OnOK() override;

 protected:
  void AddRows() override;
  LRESULT OnHelp(WPARAM, LPARAM);
  DECLARE_MESSAGE_MAP()

 private:
  CStringArray m_klassen, m_seiten;
};
