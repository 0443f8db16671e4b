// The database import dialog: one entry of the material database or of the profile catalogue, and the values of
// it that go into the document as a table. The choice is remembered per entry group in the document part.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "controls/OrmiGridCtrl.h"
#include "document/subdata.h"

inline constexpr UINT IDD_SKRIB_DB_IMPORT = 11512;
inline constexpr int IDC_DBIMPORT_TREE = 11561, IDC_DBIMPORT_GRID = 11562;

struct MatValueRow {
  int active = 0;
  CString name, variable, value, unit;
};

// Where the entries and their values come from; the default reads the material database and the profiles.
class MatCatalogue {
 public:
  virtual ~MatCatalogue() = default;
  // Every entry as a "\" path: category\subcategory\code\object, or Profile\series\profile.
  virtual void Entries(std::vector<std::string>& paths) = 0;
  // The values of an entry and the title of its table; false for an entry that is not there.
  virtual bool Values(const std::string& path, std::vector<MatValueRow>& rows, CString& title) = 0;
};
std::unique_ptr<MatCatalogue> MakeDatabaseCatalogue();

// Bit i of the mask for row i; rows beyond the 32nd take no part.
int ChoiceMask(const std::vector<MatValueRow>& rows);
void ApplyChoiceMask(std::vector<MatValueRow>& rows, int mask);

class MatGrid : public COrmiGridCtrl {
 public:
  void Layout() override;
  void InitRow(int row) override;
  // FALSE: rows to grid; TRUE: check boxes to the rows' active flags.
  void Exchange(std::vector<MatValueRow>& rows, BOOL save);
};

class MatDlg : public CDialog {
 public:
  explicit MatDlg(CWnd* parent = nullptr);
  ~MatDlg() override;

  SubData* m_pDocument = nullptr;
  MatCatalogue* m_pCatalogue = nullptr;  // null: the databases
  std::vector<MatValueRow> m_rows;
  CString m_sTitle;

  virtual void TransferData(BOOL save);
  CTreeCtrl& Tree() { return m_tree; }
  MatGrid& Grid() { return m_grid; }

 protected:
  BOOL OnInitDialog() override;
  void OnOK() override;
  void OnSelChanged(NMHDR* header, LRESULT* result);
  DECLARE_MESSAGE_MAP()

 private:
  void ShowEntry(HTREEITEM item);
  HTREEITEM InsertPath(const std::string& path);
  CTreeCtrl m_tree;
  MatGrid m_grid;
  HTREEITEM m_selected = nullptr;
  std::vector<std::unique_ptr<std::string>> m_paths;  // the leaves' item data
  std::unique_ptr<MatCatalogue> m_ownCatalogue;
};
