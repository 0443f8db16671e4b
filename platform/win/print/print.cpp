// Printer DCs over cairo's PDF surface: what is drawn on a page goes onto the PDF page as drawn (texts as text,
// lines and fills as vectors, pictures at their own resolution); the document is written to a temporary file beside
// the target and renamed only when every byte reached the disk.
#include "platform/win/print/print.h"

#include <cairo-pdf.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/win/draw/afxgdi.h"
#include "platform/win/draw/gdi_internal.h"
#include "platform/win/base/leftovers.h"
#include "platform/win/base/paths.h"

namespace win::detail {

struct PrintJob {
  print::PageSetup setup;
  std::string target, temp;
  // the temporary's folder beside the target, held while the job lasts
  win::ScratchFolder scratch;
  std::FILE* file = nullptr;
  bool writeFailed = false;
  int writeErrno = 0;
  cairo_surface_t* pdf = nullptr;
  bool inDoc = false, inPage = false;
  int pages = 0;

  ~PrintJob() { Abandon(); }
  // Closes and removes an unfinished document.
  void Abandon() {
    if (pdf) {
      cairo_surface_finish(pdf);
      cairo_surface_destroy(pdf);
      pdf = nullptr;
    }
    if (file) {
      std::fclose(file);
      file = nullptr;
    }
    temp.clear();
    scratch.Remove();
    inDoc = inPage = false;
  }
  int PixelsX() const { return int(std::lround(setup.widthMm / 25.4 * setup.dpi)); }
  int PixelsY() const { return int(std::lround(setup.heightMm / 25.4 * setup.dpi)); }
  int Margin() const { return int(std::lround(setup.marginMm / 25.4 * setup.dpi)); }
};

cairo_t* PrinterPage(const Dc& d) {
  if (!d.printer) return nullptr;
  const PrintJob& j = *d.printer;
  // Between pages what is drawn goes nowhere, as on a printer: onto the one pixel of the paper's stand-in.
  cairo_t* cr = cairo_create(j.inPage && j.pdf ? j.pdf : d.surface->surface);
  const double k = 72.0 / j.setup.dpi;
  cairo_scale(cr, k, k);
  cairo_translate(cr, j.Margin(), j.Margin());
  return cr;
}

int PrinterCaps(const Dc& d, int index) {
  const PrintJob& j = *d.printer;
  switch (index) {
    case LOGPIXELSX:
    case LOGPIXELSY: return j.setup.dpi;
    case HORZRES: return j.PixelsX() - 2 * j.Margin();
    case VERTRES: return j.PixelsY() - 2 * j.Margin();
    case PHYSICALWIDTH: return j.PixelsX();
    case PHYSICALHEIGHT: return j.PixelsY();
    case PHYSICALOFFSETX:
    case PHYSICALOFFSETY: return j.Margin();
    case HORZSIZE: return int(std::lround(j.setup.widthMm - 2 * j.setup.marginMm));
    case VERTSIZE: return int(std::lround(j.setup.heightMm - 2 * j.setup.marginMm));
    case BITSPIXEL: return j.setup.monochrome ? 1 : 24;
    case PLANES: return 1;
    case NUMCOLORS: return j.setup.monochrome ? 2 : -1;
    case RASTERCAPS: return RC_BITBLT | RC_STRETCHBLT;
    case TECHNOLOGY: return DT_RASPRINTER;
    default: return 0;
  }
}

}  // namespace win::detail

using namespace win::detail;

namespace {

struct PrintState {
  std::string outputFile;
  std::string lastError;
};
PrintState& P() {
  static PrintState p;
  return p;
}

PrintJob* JobOf(HDC dc, Dc** out = nullptr) {
  Dc* d = GetDc(dc);
  if (out) *out = d;
  return d && d->printer ? d->printer.get() : nullptr;
}

int Fail(const std::string& why) {
  P().lastError = why;
  return SP_ERROR;
}

cairo_status_t WritePdf(void* closure, const unsigned char* data, unsigned int length) {
  auto* job = static_cast<PrintJob*>(closure);
  if (job->writeFailed) return CAIRO_STATUS_WRITE_ERROR;
  if (std::fwrite(data, 1, length, job->file) != length) {
    job->writeFailed = true;
    job->writeErrno = errno;
    return CAIRO_STATUS_WRITE_ERROR;
  }
  return CAIRO_STATUS_SUCCESS;
}

std::string WriteFailure(const PrintJob& j) {
  return "Die Druckdatei " + j.target + " konnte nicht geschrieben werden" +
         (j.writeErrno ? std::string(": ") + std::strerror(j.writeErrno) : std::string("."));
}

}  // namespace

namespace win::print {

HDC CreatePrinterDC(const PageSetup& setup) {
  PageSetup s = setup;
  if (!(s.widthMm > 0) || !(s.heightMm > 0) || s.dpi < 36 || s.dpi > 1200 || !(s.marginMm >= 0) ||
      2 * s.marginMm >= std::min(s.widthMm, s.heightMm)) {
    P().lastError = "Ungültige Seiteneinrichtung.";
    return nullptr;
  }
  auto job = std::make_shared<PrintJob>();
  job->setup = s;
  int w = job->PixelsX() - 2 * job->Margin(), h = job->PixelsY() - 2 * job->Margin();
  // The pages are drawn into the PDF; the DC's surface gives their extent and holds no pixels.
  auto surface = std::make_shared<Surface>(w, h, false);
  HDC dc = CreateSurfaceDc(surface, {0, 0}, Region::FromRect({0, 0, w, h}), nullptr);
  GetDc(dc)->printer = job;
  return dc;
}

void SetOutputFile(const std::string& path) { P().outputFile = path; }

int PageCount(HDC dc) {
  PrintJob* j = JobOf(dc);
  return j ? j->pages : 0;
}

std::string LastError() { return P().lastError; }

bool PrintDocument(const std::string& pdfPath, const std::string& title, const Job& job, const PageSetup& setup) {
  HDC hdc = CreatePrinterDC(setup);
  if (!hdc) return false;
  CDC dc;
  dc.Attach(hdc);
  CPrintInfo info;
  info.m_rectDraw.SetRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
  DOCINFO di{};
  di.cbSize = sizeof(di);
  di.lpszDocName = title.c_str();
  di.lpszOutput = pdfPath.c_str();
  bool ok = StartDoc(hdc, &di) > 0;
  if (ok) {
    if (job.begin) job.begin(&dc, &info);
    for (info.m_nCurPage = info.GetFromPage(); info.m_nCurPage <= info.GetToPage() && info.m_bContinuePrinting;
         ++info.m_nCurPage) {
      if (StartPage(hdc) <= 0) {
        ok = false;
        break;
      }
      info.m_rectDraw.SetRect(0, 0, dc.GetDeviceCaps(HORZRES), dc.GetDeviceCaps(VERTRES));
      if (job.page) job.page(&dc, &info);
      if (EndPage(hdc) <= 0) {
        ok = false;
        break;
      }
    }
    if (job.end) job.end(&dc, &info);
    ok = ok ? EndDoc(hdc) > 0 : (AbortDoc(hdc), false);
  }
  dc.DeleteDC();
  return ok;
}

}  // namespace win::print

namespace {
// The folders of print temporaries beside the file printed to.
constexpr const char* kScratchPrefix = ".kolumo-druck-";
}  // namespace

int StartDoc(HDC dc, const DOCINFO* info) {
  Dc* d = nullptr;
  PrintJob* j = JobOf(dc, &d);
  if (!j) return Fail("Kein Drucker-Gerätekontext.");
  if (j->inDoc) return Fail("Ein Druckauftrag läuft schon.");
  std::string target = info && info->lpszOutput ? info->lpszOutput : P().outputFile;
  if (target.empty()) return Fail("Keine Druckdatei angegeben.");
  target = win::ToFsPath(target);
  std::filesystem::path folder = std::filesystem::path(target).parent_path();
  std::error_code ec;
  if (!folder.empty() && !std::filesystem::is_directory(folder, ec))
    return Fail("Der Ordner " + folder.string() + " der Druckdatei existiert nicht.");
  j->target = target;
  const std::string where = folder.empty() ? std::string(".") : folder.string();
  std::string why;
  if (!j->scratch.Make(where, kScratchPrefix, why))
    return Fail("Die Druckdatei " + target + " kann nicht angelegt werden: " + why);
  j->temp = j->scratch.Path("Druck.pdf");
  j->file = std::fopen(j->temp.c_str(), "wb");
  if (!j->file) {
    why = std::strerror(errno);
    j->temp.clear();
    j->scratch.Remove();
    return Fail("Die Druckdatei " + target + " kann nicht angelegt werden: " + why);
  }
  j->writeFailed = false;
  j->writeErrno = 0;
  double wpt = j->setup.widthMm / 25.4 * 72.0, hpt = j->setup.heightMm / 25.4 * 72.0;
  j->pdf = cairo_pdf_surface_create_for_stream(WritePdf, j, wpt, hpt);
  if (info && info->lpszDocName) cairo_pdf_surface_set_metadata(j->pdf, CAIRO_PDF_METADATA_TITLE, info->lpszDocName);
  j->inDoc = true;
  j->inPage = false;
  j->pages = 0;
  P().lastError.clear();
  return 1;
}

int StartPage(HDC dc) {
  PrintJob* j = JobOf(dc);
  if (!j || !j->inDoc) return Fail("Kein Druckauftrag.");
  if (j->inPage) return Fail("Die Seite ist schon begonnen.");
  // The paper first: what is drawn then lies within one drawn rectangle, which cairo keeps track of cheaply, rather
  // than in as many rectangles as the page has letters.
  cairo_t* cr = cairo_create(j->pdf);
  cairo_set_source_rgb(cr, 1, 1, 1);
  cairo_paint(cr);
  cairo_destroy(cr);
  j->inPage = true;
  return 1;
}

int EndPage(HDC dc) {
  PrintJob* j = JobOf(dc);
  if (!j || !j->inPage) return Fail("Keine Seite begonnen.");
  cairo_surface_show_page(j->pdf);
  j->inPage = false;
  if (cairo_surface_status(j->pdf) != CAIRO_STATUS_SUCCESS || j->writeFailed) {
    std::string why = WriteFailure(*j);
    j->Abandon();
    return Fail(why);
  }
  ++j->pages;
  return 1;
}

int EndDoc(HDC dc) {
  PrintJob* j = JobOf(dc);
  if (!j || !j->inDoc) return Fail("Kein Druckauftrag.");
  if (j->inPage) EndPage(dc);
  if (!j->inDoc) return SP_ERROR;  // the last page failed and abandoned the document
  cairo_surface_finish(j->pdf);
  bool ok = cairo_surface_status(j->pdf) == CAIRO_STATUS_SUCCESS && !j->writeFailed;
  cairo_surface_destroy(j->pdf);
  j->pdf = nullptr;
  if (ok && (std::fflush(j->file) != 0 || ::fsync(::fileno(j->file)) != 0)) {
    ok = false;
    j->writeErrno = errno;
  }
  if (std::fclose(j->file) != 0 && ok) {
    ok = false;
    j->writeErrno = errno;
  }
  j->file = nullptr;
  if (ok) {
    std::error_code ec;
    std::filesystem::rename(j->temp, j->target, ec);
    if (ec) {
      ok = false;
      j->writeErrno = ec.value();
    } else {
      j->temp.clear();
      j->scratch.Remove();
    }
  }
  if (!ok) {
    std::string why = WriteFailure(*j);
    j->Abandon();
    return Fail(why);
  }
  j->inDoc = false;
  P().lastError.clear();
  return 1;
}

int AbortDoc(HDC dc) {
  PrintJob* j = JobOf(dc);
  if (!j) return SP_ERROR;
  j->Abandon();
  return 1;
}
