// The table dialog: column layout, row and column count and total width of one table of the document, edited
// on a schematic before the editor inserts the table or replaces the selected one; layouts kept as templates.
#pragma once

#include <string>
#include <vector>

#include "document/rtfchunks.h"
#include "platform/win/afx.h"

inline constexpr UINT IDD_SKRIB_TABLE = 11503;
inline constexpr int IDC_TABLE_SCHEMATIC = 11522, IDC_TABLE_SAVE_TEMPLATE = 11555, IDC_TABLE_LOAD_TEMPLATE = 11556,
                     IDC_TABLE_WIDTH_LABEL = 1016, IDC_TABLE_NEW_WIDTH = 1017, IDC_TABLE_WIDTH_MODE = 1018,
                     IDC_TABLE_APPLY_WIDTH = 1019, IDC_TABLE_APPLY_COUNTS = 1021, IDC_TABLE_HELP = 1022,
                     IDC_TABLE_COLUMNS = 11549, IDC_TABLE_ROWS = 11550;

int TwipsFromCm(double cm);
double CmFromTwips(int twips);

// A table template (".ttp"); the document's table defaults use the same element.
struct TableTemplate {
  int nCol = 0;
  int nRow = 0;
  int nWidth = 0;             // twips
  std::vector<int> colWidth;  // twips, one per column
  std::vector<std::string> defaultText;
};
// False, with the reason, when the file cannot be read or holds no "table" element.
bool ReadTableTemplate(const std::string& path, TableTemplate& out, std::string& reason);
bool WriteTableTemplate(const std::string& path, const TableTemplate& in, std::string& reason);

// The table's operations on its rows. Rows may have fewer cells than the first row (a table pasted from
// elsewhere); every operation touches only the cells a row has.
namespace table {
// Column c (1-based) removed from every row that has it and more than one cell.
void DeleteColumn(std::vector<RtfTableRow>& rows, int c);
// Column c split in two halves; the left half is new and holds " ".
void InsertColumnLeft(std::vector<RtfTableRow>& rows, int c);
// Column c's right boundary moves left by half its width; the new cell at its right holds "".
void InsertColumnRight(std::vector<RtfTableRow>& rows, int c);
// Boundary k (0-based) moves by d twips in every row, unless it would pass a neighbour in the first row.
bool MoveBoundary(std::vector<RtfTableRow>& rows, int k, int d);
// mode 0 scales, 1 changes the first column, 2 the last; false (nothing changed) when that column would fall
// below 50 twips.
bool ChangeWidth(std::vector<RtfTableRow>& rows, int width, int mode);
void SetRowCount(std::vector<RtfTableRow>& rows, int count);
void SetColumnCount(std::vector<RtfTableRow>& rows, int count);
void ApplyTemplate(std::vector<RtfTableRow>& rows, const TableTemplate& t);
}  // namespace table

class CTableSchematic;

class GridDlg : public CDialog {
 public:
  explicit GridDlg(CWnd* parent = nullptr);
  ~GridDlg() override;

  // The table model; the caller fills it before DoModal and reads it with the counts after OK.
  std::vector<RtfTableRow> m_rows;
  CString m_sWidthLabel;
  double m_dNewWidth = 16.0;  // cm
  int m_nWidthMode = 0;
  int m_nCols = 0;
  int m_nRows = 0;
  int m_nSelected = 0;

  // The schematic's events: an object picked, a boundary dragged by x cm, a column command chosen.
  void OnObjectPicked(int id);
  void OnDragMove(double x);
  void OnControlCommand(int value);
  // The column commands the schematic's context menu offers now (command, text).
  std::vector<std::pair<int, CString>> ContextCommands() const;
  int CellCount() const { return m_rows.empty() ? 0 : m_rows[0].cellCount; }
  void Redraw();
  // For driving the schematic by mouse: an object's point in the schematic's client area, its pixels per cm.
  CPoint ObjectPoint(int id) const;
  double SchematicScale() const;
  HWND SchematicWindow() const;

 protected:
  BOOL OnInitDialog() override;
  void DoDataExchange(CDataExchange* dx) override;
  void OnChangeWidth();
  void OnChangeCounts();
  void OnLoadTemplate();
  void OnSaveTemplate();
  void OnHelp();
  DECLARE_MESSAGE_MAP()

 private:
  CTableSchematic* m_schematic = nullptr;
  CString TemplateFolder() const;
};
