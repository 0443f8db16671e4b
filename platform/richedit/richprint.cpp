// Printing a rich text on the pages its RTF asks for: paper, margins, the page header and footer with their page
// numbers, pages broken where a heading stays with what it heads, a table goes on whole where it fits on a page,
// and the heading rows of a table that runs on are repeated at the head of the next page.
#include <algorithm>
#include <climits>
#include <cmath>

#include "platform/richedit/layout.h"
#include "platform/richedit/richeditctrl.h"
#include "platform/win/print/print.h"

namespace richedit {

namespace {

using detail::Block;
using detail::kMargin;

// One printed page: the laid-out text from `from` to `to`, below the repeated heading rows [headFrom, headTo).
struct Page {
  int from = 0, to = INT_MAX;
  int headFrom = 0, headTo = 0;
};

// Whether the block stays on the page of the block after it: a paragraph that says so, and a table row before
// another row of its table (a table is not split where it fits on a page; it does not hold what follows it).
bool Keeps(const std::vector<Block>& b, std::size_t t) {
  if (!b[t].keepNext || t + 1 >= b.size()) return false;
  return b[t].table < 0 || b[t + 1].table == b[t].table;
}

// The heading rows of each table: the laid-out range of the rows it starts with that repeat on each page.
std::vector<std::pair<int, int>> HeadingRows(const std::vector<Block>& b) {
  std::vector<std::pair<int, int>> rows;
  for (std::size_t k = 0; k < b.size(); ++k) {
    if (b[k].table < 0) continue;
    if (rows.size() <= std::size_t(b[k].table)) rows.resize(std::size_t(b[k].table) + 1, {0, 0});
    const bool first = k == 0 || b[k - 1].table != b[k].table;
    auto& r = rows[std::size_t(b[k].table)];
    if (b[k].headerRow && (first || (b[k - 1].headerRow && r.second == b[k].top))) {
      if (first) r.first = b[k].top;
      r.second = b[k].bottom;
    }
  }
  return rows;
}

// Where a page that starts at `from` within a row taller than the page cuts it, so that what stays ends above
// `limit`: at the lowest cut that no line reaches across, else at the lowest line's top; `from` when no line of the
// row starts in between.
int CutIn(const detail::Layout& layout, const Block& row, int from, int limit) {
  const auto first = layout.cuts.begin() + row.cutFrom, last = layout.cuts.begin() + row.cutTo;
  auto at = std::upper_bound(first, last, limit, [](int y, const detail::Cut& c) { return y < c.y; });
  int any = from;
  while (at != first && (at - 1)->y > from) {
    --at;
    if (at->clean) return at->y;
    any = std::max(any, at->y);
  }
  return any;
}

// Pages of the available height from the laid-out blocks. A page starts with its first block: the room a paragraph
// asks above it is left out at the head of a page, except on the first, where the text starts at `start`. A table
// row taller than a page goes on over as many pages as it needs.
std::vector<Page> Paginate(const detail::Layout& layout, int available, int start) {
  const std::vector<Block>& b = layout.blocks;
  std::vector<Page> pages;
  const std::vector<std::pair<int, int>> heads = HeadingRows(b);
  std::size_t k = 0;
  int resume = INT_MIN;  // where a row cut at the foot of the page before goes on
  while (k < b.size()) {
    Page page;
    page.from = resume != INT_MIN ? resume : k == 0 ? std::min(start, b[k].top) : b[k].top;
    // A table that runs on shows its heading rows again.
    if (b[k].table >= 0 && !b[k].headerRow) {
      const auto [hf, ht] = heads[std::size_t(b[k].table)];
      if (ht > hf && ht <= b[k].top) {
        page.headFrom = hf;
        page.headTo = ht;
      }
    }
    const int room = available - (page.headTo - page.headFrom);
    if (b[k].bottom - page.from > room) {
      const int cut = CutIn(layout, b[k], page.from, page.from + room);
      if (cut > page.from) {
        page.to = cut;
        pages.push_back(page);
        resume = cut;
        continue;
      }
    }
    resume = INT_MIN;
    std::size_t j = k + 1;
    while (j < b.size() && !b[j].breakBefore && b[j].bottom - page.from <= room) ++j;
    // A row that no page holds starts where it stands and goes on on the next.
    if (j < b.size() && !b[j].breakBefore && b[j].bottom - b[j].top > room) {
      const int cut = CutIn(layout, b[j], b[j].top, page.from + room);
      if (cut > b[j].top) {
        page.to = cut;
        pages.push_back(page);
        resume = cut;
        k = j;
        continue;
      }
    }
    if (j < b.size() && !b[j].breakBefore) {
      // What keeps with the block that no longer fits goes with it: the whole run of kept blocks where that run
      // fits on a page, else the headings and heading rows right before it.
      std::size_t start = j;
      while (start > k + 1 && Keeps(b, start - 1)) --start;
      std::size_t end = j;
      while (end + 1 < b.size() && Keeps(b, end) && !b[end + 1].breakBefore &&
             b[end].bottom - b[start].top <= available)
        ++end;
      if (start < j) {
        if (b[end].bottom - b[start].top <= available) {
          j = start;
        } else {
          std::size_t t = j;
          while (t > k + 1 && Keeps(b, t - 1) &&
                 (b[t - 1].table != b[j].table || (b[t - 1].headerRow && !b[j].headerRow)))
            --t;
          j = t;
        }
      }
    }
    page.to = j < b.size() ? b[j].top : INT_MAX;
    pages.push_back(page);
    k = j;
  }
  if (pages.empty()) pages.push_back({});
  return pages;
}

}  // namespace

bool PrintToPdf(const richdoc::Document& doc, const std::string& pdfPath, const std::string& title, std::string* error,
                double marginMm) {
  const richdoc::PageFormat format = richdoc::PageFormatOf(doc);
  win::print::PageSetup setup;
  // A paper smaller than two inches is no paper: the default one is printed on.
  if (format.paperWidth >= 2880 && format.paperHeight >= 2880) {
    setup.widthMm = format.paperWidth / 1440.0 * 25.4;
    setup.heightMm = format.paperHeight / 1440.0 * 25.4;
  }
  const double dpi = setup.dpi, scale = dpi / 96.0;
  auto fromTwips = [&](int twips) { return int(std::lround(twips / 1440.0 * dpi)); };
  const int fallback = int(std::lround(marginMm / 25.4 * dpi));
  const int edge = int(std::lround(setup.marginMm / 25.4 * dpi));  // the printer's unprintable edge
  const int paperWidth = int(std::lround(setup.widthMm / 25.4 * dpi));
  const int paperHeight = int(std::lround(setup.heightMm / 25.4 * dpi));
  auto margin = [&](int twips) { return std::max(edge, twips > 0 ? fromTwips(twips) : fallback); };
  int left = margin(format.left), right = margin(format.right), top = margin(format.top),
      bottom = margin(format.bottom);
  // Margins that leave less than an inch of text are not the document's meaning: the default ones are used.
  if (paperWidth - left - right < int(dpi) || paperHeight - top - bottom < int(dpi))
    left = right = top = bottom = std::max(edge, fallback);
  const int headerY = std::max(edge, fromTwips(format.headerY > 0 ? format.headerY : 720));
  const int footerY = std::max(edge, fromTwips(format.footerY > 0 ? format.footerY : 720));
  const int textWidth = paperWidth - left - right + 2 * kMargin;
  const std::string headerGroup = richdoc::HeaderGroupOf(doc, false);
  const std::string footerGroup = richdoc::HeaderGroupOf(doc, true);

  // The header or footer of a page, laid out; none when the document has none or it cannot be read.
  struct PageText {
    richdoc::Document doc;
    detail::Layout layout;
    bool present = false;
  };
  auto pageText = [&](HDC dc, const std::string& group, int page, int pages) {
    PageText t;
    if (group.empty()) return t;
    try {
      t.doc = doc.ReadGroup(richdoc::WithPageNumbers(group, page, pages));
    } catch (const richdoc::RtfError&) {
      return t;
    }
    t.layout = detail::LayOut(t.doc, dc, textWidth, scale);
    t.present = true;
    return t;
  };
  auto drawPageText = [&](HDC dc, const PageText& t, int y) {
    if (!t.present) return;
    ::SetViewportOrgEx(dc, left - edge - kMargin, y - edge - kMargin, nullptr);
    detail::DrawLaidOut(dc, t.doc, t.layout, 0, 0, 0, scale, INT_MIN, INT_MAX);
  };

  detail::Layout layout;
  std::vector<Page> pages;
  int bodyTop = top;
  win::print::Job job;
  job.begin = [&](CDC* dc, CPrintInfo* info) {
    layout = detail::LayOut(doc, dc->m_hDC, textWidth, scale);
    // A header taller than the room above the text pushes the text down, a footer pushes its foot up.
    const PageText header = pageText(dc->m_hDC, headerGroup, 1, 1);
    const PageText footer = pageText(dc->m_hDC, footerGroup, 1, 1);
    if (header.present) bodyTop = std::max(top, headerY + header.layout.height);
    int bodyBottom = paperHeight - bottom;
    if (footer.present) bodyBottom = std::min(bodyBottom, paperHeight - footerY - footer.layout.height);
    pages = Paginate(layout, std::max(int(dpi), bodyBottom - bodyTop), kMargin);
    info->SetMaxPage(UINT(pages.size()));
  };
  job.page = [&](CDC* dc, CPrintInfo* info) {
    const int number = int(info->m_nCurPage), count = int(pages.size());
    const Page& page = pages[std::size_t(number - 1)];
    HDC h = dc->m_hDC;
    ::SetBkMode(h, TRANSPARENT);
    // The page's number counts from the first page number the document sets; the count is the pages printed.
    const int shown = format.firstPage + number - 1;
    drawPageText(h, pageText(h, headerGroup, shown, count), headerY);
    const PageText footer = pageText(h, footerGroup, shown, count);
    drawPageText(h, footer, paperHeight - footerY - footer.layout.height);
    // The text's own margin is part of the laid-out height: it is left out at the head of each page.
    int y = bodyTop - edge - kMargin;
    if (page.headTo > page.headFrom) {
      ::SetViewportOrgEx(h, left - edge - kMargin, y, nullptr);
      detail::DrawLaidOut(h, doc, layout, page.headFrom - kMargin, 0, 0, scale, page.headFrom, page.headTo);
      y += page.headTo - page.headFrom;
    }
    ::SetViewportOrgEx(h, left - edge - kMargin, y, nullptr);
    detail::DrawLaidOut(h, doc, layout, page.from - kMargin, 0, 0, scale, page.from, page.to);
    ::SetViewportOrgEx(h, 0, 0, nullptr);
  };
  const bool written = win::print::PrintDocument(pdfPath, title, job, setup);
  if (!written && error) *error = win::print::LastError();
  return written;
}

}  // namespace richedit
