// Printing: printer device contexts whose pages go to a PDF file, the document calls over them, and the print
// information record of the framework. What is drawn on a page in the printer's device pixels goes onto a PDF page of
// the paper's size as drawn: texts as text, lines and fills as vectors, pictures at their own resolution. The file
// appears whole at the end of the document or not at all.
#pragma once

#include <functional>
#include <string>

#include "platform/win/base/afxgeom.h"
#include "platform/win/base/afxstr.h"
#include "platform/win/draw/gdi.h"

struct DOCINFO {
  int cbSize;
  LPCSTR lpszDocName;
  LPCSTR lpszOutput;  // the PDF file; nullptr: the printer's output file (win::print::SetOutputFile)
  LPCSTR lpszDatatype;
  DWORD fwType;
};
inline constexpr int SP_ERROR = -1;

int StartDoc(HDC dc, const DOCINFO* info);
int StartPage(HDC dc);
int EndPage(HDC dc);
int EndDoc(HDC dc);
int AbortDoc(HDC dc);

namespace win::print {

// The paper and the printer's resolution.
struct PageSetup {
  double widthMm = 210.0;  // A4 portrait
  double heightMm = 297.0;
  double marginMm = 5.0;  // unprintable edge on each side
  int dpi = 300;
  bool monochrome = false;  // a two-colour printer (NUMCOLORS 2)
};

// A printer DC on the given paper (DeleteDC ends it; an open document is abandoned).
HDC CreatePrinterDC(const PageSetup& setup = {});
// The file a document goes to when its DOCINFO names none, for printer DCs made after this call.
void SetOutputFile(const std::string& path);
// The number of pages finished in the printer DC's current or last document.
int PageCount(HDC dc);
// The reason of the last failed document call (empty after a success).
std::string LastError();

}  // namespace win::print

class CDC;

// What the framework's print loop tells the drawing code about the job and the page.
class CPrintInfo {
 public:
  CPrintInfo() = default;
  void SetMinPage(UINT page) { m_nMinPage = page; }
  void SetMaxPage(UINT page) { m_nMaxPage = page; }
  UINT GetMinPage() const { return m_nMinPage; }
  UINT GetMaxPage() const { return m_nMaxPage; }
  UINT GetFromPage() const { return m_nFromPage ? m_nFromPage : m_nMinPage; }
  UINT GetToPage() const { return m_nToPage ? m_nToPage : m_nMaxPage; }

  BOOL m_bPreview = FALSE;
  BOOL m_bDirect = TRUE;
  BOOL m_bContinuePrinting = TRUE;
  UINT m_nCurPage = 1;
  UINT m_nNumPreviewPages = 1;
  UINT m_nFromPage = 0;  // 0: from the first page
  UINT m_nToPage = 0;    // 0: to the last page
  CRect m_rectDraw;      // the printable area of the page, device units
  LPVOID m_lpUserData = nullptr;
  CString m_strPageDesc;

 private:
  UINT m_nMinPage = 1;
  UINT m_nMaxPage = 0xFFFF;
};

namespace win::print {

// The framework's print loop: begin, then each page from GetFromPage to GetToPage (the end page count may be set
// by begin through SetMaxPage) while m_bContinuePrinting holds, then end. True when the PDF was written.
struct Job {
  std::function<void(CDC* dc, CPrintInfo* info)> begin;
  std::function<void(CDC* dc, CPrintInfo* info)> page;
  std::function<void(CDC* dc, CPrintInfo* info)> end;
};
bool PrintDocument(const std::string& pdfPath, const std::string& title, const Job& job, const PageSetup& setup = {});

}  // namespace win::print
