#include "platform/rtfx/rtfx.h"

#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <mutex>
#include <sstream>
#include <string_view>

#include "platform/rtfx/rtfx_settings.h"
#include "platform/win/base/codepage.h"
#include "platform/win/base/paths.h"
#include "platform/win/resources/resources.h"

namespace rtfx {
namespace {

constexpr double kTwipsPerCm = 566.9291338582677;
constexpr double kTextWidthCm = 17.0;  // A4 with 2.5 cm left and 1.5 cm right margin

// Colour 2 is the blue of highlighted values; other code rewrites exactly that entry.
constexpr const char* kColourTable =
    "{\\colortbl ;\\red0\\green0\\blue0;\\red0\\green0\\blue255;\\red255\\green0\\blue0;"
    "\\red0\\green128\\blue0;\\red128\\green128\\blue128;}";
constexpr const char* kFontTable =
    "{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}{\\f1\\froman\\fcharset0 Times New Roman;}"
    "{\\f2\\ftech\\fcharset2 Symbol;}{\\f3\\fmodern\\fcharset0 Courier New;}}";

struct Style {
  int level;
  int number;
  const char* name;
  const char* format;  // paragraph and character formatting of the style
};

const Style kStyles[] = {
    {0, 0, "Normal", "\\ql\\sb0\\sa0\\f0\\fs20"},
    {-2, 1, "heading 1", "\\ql\\keepn\\sb360\\sa120\\f0\\fs28\\b"},
    {-3, 2, "heading 2", "\\ql\\keepn\\sb240\\sa120\\f0\\fs24\\b"},
    {-4, 3, "heading 3", "\\ql\\keepn\\sb200\\sa80\\f0\\fs22\\b"},
    {-5, 4, "table heading", "\\ql\\keepn\\sb160\\sa60\\f0\\fs20\\b"},
    {-12, 5, "caption", "\\qc\\sb60\\sa120\\f0\\fs18\\i"},
    {3, 6, "input heading", "\\ql\\keepn\\sb240\\sa120\\f0\\fs22\\b\\ul"},
};

const Style& StyleOf(int level) {
  for (const Style& s : kStyles)
    if (s.level == level) return s;
  return kStyles[0];
}

struct Table {
  std::vector<double> widthsCm;
  bool header = false;
  std::vector<std::string> row;  // cells of the row being filled
  bool headerRowWritten = false;
  std::size_t lastRowAt = std::string::npos;  // where the last written row begins in the body
};

struct Document {
  std::string path;
  bool begun = false;
  bool noHeader = false;
  int firstPage = 1;
  std::string name, title, version, freeText;
  std::string position, description;  // the position's file name and its description
  std::string body;
  bool inTable = false;
  Table table;
  // Where the paragraphs written since the last table or picture begin: they lead into what follows.
  std::vector<std::size_t> leadIn;
  // The paragraph of the last picture, from its start to its end in the body: a caption right after it keeps it.
  std::size_t pictureAt = std::string::npos, pictureEnd = std::string::npos;
  // Font and colour entries beyond the library's own tables, for inserted RTF that needs them.
  std::string extraFonts, extraColours;
  // Why each picture asked for is not in the body, in the order asked.
  std::vector<std::string> picturesLeftOut;
};

struct State {
  std::recursive_mutex mutex;
  Document doc;
  std::string lastError;
  PictureConverter converter = nullptr;
  ResourceResolver resolver = nullptr;
};

State& S() {
  static State s;
  return s;
}

// A picture asked for that the document does not take: its reason is the last error, and stays with the document
// after later calls have set or cleared that.
void LeaveOut(std::string reason) {
  S().lastError = reason;
  S().doc.picturesLeftOut.push_back(std::move(reason));
}

std::string Twips(double cm) { return std::to_string(long(std::lround(cm * kTwipsPerCm))); }

// A word processor keeps a picture's goal size up to 22 inches a side; a larger (or damaged) size is scaled down to
// it with the proportions kept, so that no number leaves RTF's 32-bit range. Each side keeps at least a twip.
constexpr double kMostGoalTwips = 31680.0;
void GoalTwips(double widthCm, double heightCm, long& widthTwips, long& heightTwips) {
  double w = std::isfinite(widthCm) ? widthCm * kTwipsPerCm : kMostGoalTwips;
  double h = std::isfinite(heightCm) ? heightCm * kTwipsPerCm : kMostGoalTwips;
  w = std::max(w, 1.0);
  h = std::max(h, 1.0);
  const double scale = std::min(1.0, kMostGoalTwips / std::max(w, h));
  widthTwips = std::max(1L, std::lround(w * scale));
  heightTwips = std::max(1L, std::lround(h * scale));
}

// A cell format "@n" gives n decimals; anything else is refused in favour of a plain number.
int Decimals(const char* format) {
  if (format && format[0] == '@' && format[1] >= '0' && format[1] <= '9' && format[2] == '\0') return format[1] - '0';
  return -1;
}

std::string FormatNumber(const char* format, double value) {
  char buf[64];
  int d = Decimals(format);
  // A value that shows as zero is written without a sign ("-0.00" reads as a result of its own).
  if (d >= 0 && std::fabs(value) < 0.5 * std::pow(10.0, -d)) value = 0.0;
  if (d >= 0)
    std::snprintf(buf, sizeof buf, "%.*f", d, value);
  else
    std::snprintf(buf, sizeof buf, "%g", value);
  return buf;
}

// Reads a file whole in one piece of its own size (a picture or an inserted block may be large: no buffer that grows
// by doubling, no second copy).
template <typename Bytes>
bool ReadFile(const std::string& path, Bytes& bytes) {
  std::ifstream in(win::ToFsPath(path), std::ios::binary | std::ios::ate);
  if (!in) return false;
  const std::streamoff size = in.tellg();
  if (size < 0 || !in.seekg(0)) return false;
  bytes.resize(std::size_t(size));
  return bool(in.read(reinterpret_cast<char*>(bytes.data()), size)) || size == 0;
}

// The size of a file, -1 when it cannot be told.
long long FileSize(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(win::ToFsPath(path), error);
  return error ? -1 : static_cast<long long>(size);
}

bool PngSize(const std::vector<unsigned char>& png, long& w, long& h) {
  static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  if (png.size() < 24 || std::memcmp(png.data(), sig, 8) != 0) return false;
  auto be32 = [&](std::size_t at) {
    return long(png[at]) << 24 | long(png[at + 1]) << 16 | long(png[at + 2]) << 8 | long(png[at + 3]);
  };
  w = be32(16);
  h = be32(20);
  return w > 0 && h > 0;
}

bool JpegSize(const std::vector<unsigned char>& jpg, long& w, long& h) {
  if (jpg.size() < 4 || jpg[0] != 0xFF || jpg[1] != 0xD8) return false;
  std::size_t i = 2;
  while (i + 9 < jpg.size()) {
    if (jpg[i] != 0xFF) return false;
    unsigned char marker = jpg[i + 1];
    std::size_t len = std::size_t(jpg[i + 2]) << 8 | jpg[i + 3];
    if (marker >= 0xC0 && marker <= 0xC3) {
      h = long(jpg[i + 5]) << 8 | jpg[i + 6];
      w = long(jpg[i + 7]) << 8 | jpg[i + 8];
      return w > 0 && h > 0;
    }
    i += 2 + len;
  }
  return false;
}

// An enhanced metafile: its header record (type 1, the signature " EMF" at byte 40, 88 bytes at least) gives the
// frame it draws in, in hundredths of a millimetre.
bool EmfSize(const std::vector<unsigned char>& emf, long& w, long& h) {
  auto le32 = [&](std::size_t at) {
    return std::int32_t(std::uint32_t(emf[at]) | std::uint32_t(emf[at + 1]) << 8 | std::uint32_t(emf[at + 2]) << 16 |
                        std::uint32_t(emf[at + 3]) << 24);
  };
  if (emf.size() < 88 || le32(0) != 1 || le32(40) != 0x464D4520) return false;
  w = long(le32(32)) - le32(24);
  h = long(le32(36)) - le32(28);
  return w > 0 && h > 0;
}

// Appends the picture group of an image's bytes to out; false, with out as it was, when they cannot be embedded (the
// reason in *why). file names the picture in messages (and is read by the converter), name is what a metafile is
// known by. The hex digits go straight into out, which grows once by their size.
bool AppendPictureGroupOf(std::string& out, std::vector<unsigned char> bytes, const char* file, const char* name,
                          double widthCm, double heightCm, std::string* why = nullptr);

bool AppendPictureGroup(std::string& out, const char* file, double widthCm, double heightCm, const char* name = nullptr,
                        std::string* why = nullptr) {
  const long long size = file ? FileSize(file) : -1;
  if (size > kMostPictureBytes) {
    // in tenths rounded up: a picture a byte above the limit must not read as of the limit's size
    const double tenths = std::ceil(double(size) * 10.0 / (1024.0 * 1024.0));
    char text[160];
    std::snprintf(text, sizeof text, "Bild zu groß: %.1f MB, im Bericht höchstens %lld MB je Bild", tenths / 10.0,
                  kMostPictureBytes / (1024 * 1024));
    std::replace(text, text + std::strlen(text), '.', ',');  // the decimal comma
    LeaveOut(std::string(text) + ": " + file);
    if (why) *why = text;
    return false;
  }
  std::vector<unsigned char> bytes;
  if (!file || size < 0 || !ReadFile(file, bytes)) {
    LeaveOut(std::string("Bilddatei nicht lesbar: ") + (file ? file : ""));
    if (why) *why = "Bilddatei nicht lesbar";
    return false;
  }
  return AppendPictureGroupOf(out, std::move(bytes), file, name, widthCm, heightCm, why);
}

bool AppendPictureGroupOf(std::string& out, std::vector<unsigned char> bytes, const char* file, const char* name,
                          double widthCm, double heightCm, std::string* why) {
  State& s = S();
  long w = 0, h = 0;
  std::string blip = "\\pngblip";
  double unitCm = 2.54 / 96.0;  // of the natural size: a pixel at 96 dpi
  if (!PngSize(bytes, w, h)) {
    if (JpegSize(bytes, w, h)) {
      blip = "\\jpegblip";
    } else if (EmfSize(bytes, w, h)) {
      // Embedded as it is, word processors draw it; readers that cannot show its name in its place.
      std::string shown = name && *name ? name : file;
      if (const std::size_t slash = shown.find_last_of("/\\"); slash != std::string::npos) shown.erase(0, slash + 1);
      blip = "{\\*\\picprop{\\sp{\\sn wzDescription}{\\sv " + LiteralText(shown) + "}}}\\emfblip";
      unitCm = 0.001;
    } else {
      std::vector<unsigned char> png;
      if (!s.converter || !s.converter(file, png) || !PngSize(png, w, h)) {
        LeaveOut(std::string("Bildformat nicht lesbar: ") + file);
        if (why) *why = "Bildformat nicht lesbar (weder PNG, JPEG, EMF noch BMP)";
        return false;
      }
      bytes.swap(png);
    }
  }
  // a header may claim any size: RTF's numbers are 32-bit
  constexpr long kMostRtfNumber = 2147483647L;
  w = std::min(w, kMostRtfNumber);
  h = std::min(h, kMostRtfNumber);
  if (!(widthCm > 0) || !std::isfinite(widthCm)) widthCm = double(w) * unitCm;
  if (!(heightCm > 0) || !std::isfinite(heightCm)) heightCm = widthCm * double(h) / double(w);
  long goalWidth = 0, goalHeight = 0;
  GoalTwips(widthCm, heightCm, goalWidth, goalHeight);
  const std::string head = "{\\pict" + blip + "\\picw" + std::to_string(w) + "\\pich" + std::to_string(h) +
                           "\\picwgoal" + std::to_string(goalWidth) + "\\pichgoal" + std::to_string(goalHeight) +
                           "\r\n";
  // room for the paragraph's end too: a string that grows by a few bytes beyond its room doubles it
  out.reserve(out.size() + head.size() + 2 * bytes.size() + bytes.size() / 32 + 32);
  out += head;
  static const char hex[] = "0123456789abcdef";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    out += hex[bytes[i] >> 4];
    out += hex[bytes[i] & 0xF];
    if (i % 64 == 63) out += "\r\n";
  }
  out += "}";
  return true;
}

// The picture group as a text of its own (a table cell's), empty when the picture cannot be embedded.
std::string PictureGroup(const char* file, double widthCm, double heightCm) {
  std::string pict;
  AppendPictureGroup(pict, file, widthCm, heightCm);
  return pict;
}

// A picture as a centred paragraph of the body; the reason when it cannot be taken, else empty.
std::string PictureParagraph(Document& d, const std::function<bool(std::string&, std::string*)>& append) {
  if (d.inTable) RTFX_EndTable();
  const std::size_t before = d.body.size();
  d.body += "\\pard\\plain\\qc ";
  std::string why;
  if (append(d.body, &why)) {
    d.body += "\\par\r\n";
    d.pictureAt = before;
    d.pictureEnd = d.body.size();
  } else {
    d.body.resize(before);
  }
  d.leadIn.clear();
  return why;
}

void ParagraphRaw(const std::string& rtf, int level) {
  const Style& st = StyleOf(level);
  Document& d = S().doc;
  std::string& b = d.body;
  // A picture keeps with its caption: a reader never leaves the caption alone at the head of the next page.
  static const std::string kPard = "\\pard\\plain";
  if (level == -12 && d.pictureEnd == b.size() && d.pictureAt < b.size() &&
      b.compare(d.pictureAt, kPard.size(), kPard) == 0)
    b.insert(d.pictureAt + kPard.size(), "\\keepn");
  S().doc.leadIn.push_back(b.size());
  b += "\\pard\\plain\\s" + std::to_string(st.number) + st.format + " " + rtf + "\\par\r\n";
}

void WriteRow(Document& d, bool header) {
  Table& t = d.table;
  double total = 0;
  for (double w : t.widthsCm) total += std::max(w, 0.0);
  double scale = total > kTextWidthCm ? kTextWidthCm / total : 1.0;
  // No row splits across pages; header rows repeat on every page and stay with the row that follows them.
  std::string row = "\\trowd\\trgaph70\\trleft0\\trkeep";
  if (header) row += "\\trhdr";
  double right = 0;
  for (double w : t.widthsCm) {
    right += std::max(w, 0.0) * scale;
    row +=
        "\\clbrdrt\\brdrs\\brdrw10\\clbrdrl\\brdrs\\brdrw10\\clbrdrb\\brdrs\\brdrw10\\clbrdrr\\brdrs\\brdrw10\\cellx" +
        Twips(right);
  }
  row += "\r\n";
  for (const std::string& cell : t.row) row += cell;
  row += "\\row\r\n";
  t.lastRowAt = d.body.size();
  d.body += row;
  d.leadIn.clear();
  t.row.clear();
}

std::string EmptyCell() { return "\\pard\\intbl\\keepn\\cell\r\n"; }

// Every row but the last keeps with its next, so a table that fits on a page is never split and its heading
// stays with it; a longer table breaks where the page ends, and its header rows repeat in the readers that
// repeat them.
void ReleaseLastRow(Document& d) {
  std::size_t at = d.table.lastRowAt;
  if (at == std::string::npos || at > d.body.size()) return;
  for (const char* cell : {"\\intbl\\plain\\keepn", "\\intbl\\keepn"})
    for (std::size_t k = at; (k = d.body.find(cell, k)) != std::string::npos;)
      d.body.erase(k + std::strlen(cell) - 6, 6);
}

// The paragraphs that lead into a table keep with it, so that no heading or title line is left at the foot of
// a page; a long lead-in is not kept whole, it could not fit on one page with its table.
void KeepLeadInWithNext(Document& d) {
  constexpr std::size_t kMostKept = 12;
  static const std::string kPard = "\\pard\\plain";
  std::size_t kept = 0;
  for (auto it = d.leadIn.rbegin(); it != d.leadIn.rend() && kept < kMostKept; ++it, ++kept) {
    std::size_t at = *it;
    if (at > d.body.size() || d.body.compare(at, kPard.size(), kPard) != 0) continue;
    std::size_t end = d.body.find(' ', at);
    if (end != std::string::npos && d.body.substr(at, end - at).find("\\keepn") != std::string::npos) continue;
    d.body.insert(at + kPard.size(), "\\keepn");
  }
  d.leadIn.clear();
}

void AddCell(const std::string& content) {
  Document& d = S().doc;
  if (!d.inTable) return;
  d.table.row.push_back("\\pard\\intbl\\plain\\keepn\\f0\\fs18" + std::string(d.table.header ? "\\b" : "") + content +
                        "\\cell\r\n");
  if (d.table.row.size() >= d.table.widthsCm.size()) WriteRow(d, d.table.header);
}

void ParseHeaderBlock(Document& d, const char* block) {
  if (!block) return;
  // Fields end at an empty one; a block is never longer than a few kilobytes, the bound guards a missing end.
  for (const char* p = block; *p && p - block < 65536; p += std::strlen(p) + 1) {
    std::string field(p);
    auto eq = field.find('=');
    if (eq == std::string::npos) continue;
    std::string key = field.substr(0, eq), value = field.substr(eq + 1);
    if (key == "Name")
      d.name = value;
    else if (key == "Titel")
      d.title = value;
    else if (key == "Version")
      d.version = value;
    else if (key == "@T")
      d.freeText = value;
    else if (key == "Position")
      d.position = value;
    else if (key == "Bezeichnung")
      d.description = value;
  }
}

std::string Today() {
  std::time_t now = std::time(nullptr);
  std::tm local{};
  char buf[16] = "";
  if (localtime_r(&now, &local)) std::strftime(buf, sizeof buf, "%d.%m.%Y", &local);
  return buf;
}

// The program's name as the header prints it: the program sets one letter of a name in italics ("TQ-\\i S\\i0 krib"),
// and those switches stay markup, closed in a group of their own; every other character is text.
std::string ProgramName(const std::string& name) {
  std::string out = "{", text;
  for (std::size_t i = 0; i < name.size();) {
    const bool zero = name.compare(i, 3, "\\i0") == 0;
    const std::size_t end = i + (zero ? 3 : 2);
    const bool italic = zero || name.compare(i, 2, "\\i") == 0;
    // a control word ends at a character that is no letter or digit; a blank after it belongs to it
    if (!italic || (end < name.size() && std::isalnum(static_cast<unsigned char>(name[end])))) {
      text += name[i++];
      continue;
    }
    out += LiteralText(text) + (zero ? "\\i0 " : "\\i ");
    text.clear();
    i = end < name.size() && name[end] == ' ' ? end + 1 : end;
  }
  return out + LiteralText(text) + "}";
}

// The field results are what a reader shows before it updates the fields; every reader here updates them.
constexpr const char* kPageOfPages =
    "Seite {\\field{\\*\\fldinst PAGE}{\\fldrslt 1}} von {\\field{\\*\\fldinst NUMPAGES}{\\fldrslt 1}}";

std::string PageHeader(const Document& d) {
  if (d.noHeader) return {};
  char lister[256] = "", customer[256] = "";
  ReadSetting("Lister", lister, sizeof lister);
  ReadSetting("Customer0", customer, sizeof customer);
  // every other field is a person's or the program's plain text: a brace in a position's name must not end the header
  std::string h = "{\\header\\pard\\plain\\f0\\fs16\\tqr\\tx9638 " + ProgramName(d.name) + "  " + LiteralText(d.title);
  if (!d.version.empty()) h += "  " + LiteralText(d.version);
  h += "\\tab " + std::string(kPageOfPages) + "\\par\r\n";
  std::string position = d.position;
  if (!d.description.empty()) position += (position.empty() ? "" : " - ") + d.description;
  if (!position.empty()) position = "Position " + position;
  h += "\\pard\\plain\\f0\\fs16\\tqr\\tx9638 " + LiteralText(position) + "\\tab " + Today() + "\\par\r\n";
  if (!d.freeText.empty()) h += "\\pard\\plain\\f0\\fs16 " + LiteralText(d.freeText) + "\\par\r\n";
  h += "\\pard\\plain\\brdrb\\brdrs\\brdrw10\\fs4\\par}\r\n";
  if (*lister || *customer) {
    h += "{\\footer\\pard\\plain\\f0\\fs14\\tqr\\tx9638 " + LiteralText(customer) + "\\tab " + LiteralText(lister) +
         "\\par}\r\n";
  }
  return h;
}

// One of the library's tables with the document's own entries added before its closing brace.
std::string TableWith(const char* table, const std::string& extra) {
  std::string out = table;
  out.insert(out.size() - 1, extra);
  return out;
}

// The entries that an inserted document's table of this kind holds beyond the library's own; empty when it holds
// none or is not based on the library's table.
std::string ExtraEntries(const std::string& rtf, const char* table) {
  const std::string own(table, std::strlen(table) - 1);
  const std::size_t at = rtf.find(own);
  if (at == std::string::npos) return {};
  int depth = 0;
  for (std::size_t i = at + own.size(); i < rtf.size(); ++i) {
    if (rtf[i] == '\\') {
      ++i;
      continue;
    }
    if (rtf[i] == '{') ++depth;
    if (rtf[i] == '}' && depth-- == 0) return rtf.substr(at + own.size(), i - at - own.size());
  }
  return {};
}

// Takes over the extra entries of an inserted document. Their numbers follow the library's own, so they can be
// taken only into a document that has no other extras; a clash is reported, the text still goes in.
void TakeExtraEntries(Document& d, const std::string& rtf, std::string& error) {
  const std::pair<const char*, std::string Document::*> kinds[] = {{kFontTable, &Document::extraFonts},
                                                                   {kColourTable, &Document::extraColours}};
  for (const auto& [table, member] : kinds) {
    const std::string extra = ExtraEntries(rtf, table);
    if (extra.empty() || d.*member == extra) continue;
    if ((d.*member).empty())
      d.*member = extra;
    else
      error = "Schriften oder Farben des eingefügten RTF-Textes passen nicht zu denen des Dokuments.";
  }
}

// The document's text before its body.
std::string DocumentHead(const Document& d) {
  std::string stylesheet = "{\\stylesheet";
  for (const Style& st : kStyles)
    stylesheet += std::string("{\\s") + std::to_string(st.number) + st.format + " " + st.name + ";}";
  stylesheet += "}";
  std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\deflang1031\r\n";
  out += TableWith(kFontTable, d.extraFonts);
  out += "\r\n";
  out += TableWith(kColourTable, d.extraColours);
  out += "\r\n" + stylesheet + "\r\n";
  out +=
      "\\paperw11906\\paperh16838\\margl1418\\margr851\\margt1134\\margb1134\\headery567\\footery567"
      "\\pgnstart" +
      std::to_string(d.firstPage < 1 ? 1 : d.firstPage) + "\r\n\\sectd\\pgnstarts" +
      std::to_string(d.firstPage < 1 ? 1 : d.firstPage) + "\\pgnrestart\r\n";
  out += PageHeader(d);
  return out;
}
constexpr const char* kDocumentEnd = "}\r\n";

// Writes the file whole or not at all, from its pieces in order (the body is not copied into one text first).
bool WriteAtomically(const std::string& path, std::initializer_list<std::string_view> pieces, std::string& error) {
  std::string fs = win::ToFsPath(path);
  std::string tmp = fs + ".part" + std::to_string(::getpid());
  std::FILE* f = std::fopen(tmp.c_str(), "wb");
  if (!f) {
    error = "Die Datei '" + path + "' kann nicht geschrieben werden: " + std::strerror(errno);
    return false;
  }
  bool ok = true;
  for (const std::string_view piece : pieces) ok = ok && std::fwrite(piece.data(), 1, piece.size(), f) == piece.size();
  ok = std::fflush(f) == 0 && ok;
  ok = ::fsync(::fileno(f)) == 0 && ok;
  ok = std::fclose(f) == 0 && ok;
  if (ok && std::rename(tmp.c_str(), fs.c_str()) != 0) ok = false;
  if (!ok) {
    error = "Die Datei '" + path + "' kann nicht geschrieben werden: " + std::strerror(errno);
    std::remove(tmp.c_str());
  }
  return ok;
}

// The body of an RTF document: everything inside the outer group after its header tables and document settings, as
// a view into the text.
std::string_view RtfBody(const std::string& rtf) {
  std::size_t i = rtf.find("{\\rtf");
  if (i == std::string::npos) return {};
  i += 5;
  while (i < rtf.size() && std::isdigit(static_cast<unsigned char>(rtf[i]))) ++i;
  // Skip leading control words and header groups.
  static const char* headerGroups[] = {"{\\fonttbl", "{\\colortbl",  "{\\stylesheet",
                                       "{\\info",    "{\\*",         "{\\header",
                                       "{\\footer",  "{\\listtable", "{\\listoverridetable"};
  for (;;) {
    while (i < rtf.size() && (rtf[i] == '\r' || rtf[i] == '\n' || rtf[i] == ' ')) ++i;
    if (i >= rtf.size()) return {};
    if (rtf[i] == '{') {
      bool header = false;
      for (const char* g : headerGroups)
        if (rtf.compare(i, std::strlen(g), g) == 0) header = true;
      if (!header) break;
      int depth = 0;
      for (; i < rtf.size(); ++i) {
        if (rtf[i] == '\\') {
          ++i;
          continue;
        }
        if (rtf[i] == '{') ++depth;
        if (rtf[i] == '}' && --depth == 0) {
          ++i;
          break;
        }
      }
      continue;
    }
    if (rtf[i] == '\\') {
      static const char* docWords[] = {"\\ansi",   "\\deff", "\\deflang",  "\\paper", "\\marg",  "\\header",
                                       "\\footer", "\\pgn",  "\\viewkind", "\\uc",    "\\deftab"};
      bool docWord = false;
      for (const char* w : docWords)
        if (rtf.compare(i, std::strlen(w), w) == 0) docWord = true;
      if (!docWord) break;
      ++i;
      while (i < rtf.size() && (std::isalnum(static_cast<unsigned char>(rtf[i])) || rtf[i] == '-')) ++i;
      if (i < rtf.size() && rtf[i] == ' ') ++i;
      continue;
    }
    break;
  }
  std::size_t end = rtf.rfind('}');
  if (end == std::string::npos || end < i) return {};
  return std::string_view(rtf).substr(i, end - i);
}

}  // namespace

void SetPictureConverter(PictureConverter converter) {
  std::lock_guard lock(S().mutex);
  S().converter = converter;
}

void SetResourceResolver(ResourceResolver resolver) {
  std::lock_guard lock(S().mutex);
  S().resolver = resolver;
}

std::string EscapeText(const std::string& utf8) {
  std::string out;
  out.reserve(utf8.size());
  // Whether the Symbol font is on, per open group: its letters go out as Unicode so that they keep the text's
  // size and can be searched, with the Symbol character as the fallback old readers show.
  std::vector<bool> symbol{false};
  for (std::size_t i = 0; i < utf8.size();) {
    auto b = static_cast<unsigned char>(utf8[i]);
    if (b < 0x80) {
      if (b == '\\' && i + 1 < utf8.size() && std::isalpha(static_cast<unsigned char>(utf8[i + 1]))) {
        std::size_t j = i + 1;
        while (j < utf8.size() && std::isalpha(static_cast<unsigned char>(utf8[j]))) ++j;
        std::size_t k = j;
        if (k < utf8.size() && utf8[k] == '-') ++k;
        while (k < utf8.size() && std::isdigit(static_cast<unsigned char>(utf8[k]))) ++k;
        if (utf8.compare(i, j - i, "\\f") == 0 && k > j) symbol.back() = utf8.compare(j, k - j, "2") == 0;
        if (k < utf8.size() && utf8[k] == ' ') ++k;
        out.append(utf8, i, k - i);
        i = k;
        continue;
      }
      if (b == '\\' && i + 1 < utf8.size()) {
        // A control symbol; "\'xx" takes its two hex digits along.
        std::size_t n = utf8[i + 1] == '\'' ? std::min<std::size_t>(4, utf8.size() - i) : 2;
        out.append(utf8, i, n);
        i += n;
        continue;
      }
      if (b == '{') symbol.push_back(symbol.back());
      if (b == '}' && symbol.size() > 1) symbol.pop_back();
      char32_t greek = symbol.back() ? win::SymbolFontChar(b) : 0;
      if (greek) {
        char buf[32];
        std::snprintf(buf, sizeof buf, "{\\uc1\\u%d %c}", int(greek), char(b));
        out += buf;
      } else if (b == '\n') {
        out += "\\line ";
      } else if (b != '\r') {
        out += char(b);
      }
      ++i;
      continue;
    }
    bool raw = false;
    char32_t cp = win::NextCodePoint(utf8, i, &raw);
    int byte = raw ? int(cp) : win::Windows1252Byte(cp);
    char buf[24];
    if (byte == 0xC6 && symbol.back()) {
      // The Symbol font's empty-set sign, which stands for the bar diameter.
      std::snprintf(buf, sizeof buf, "{\\uc1\\u%d \\'c6}", int(win::SymbolFontChar(0xC6)));
      out += buf;
    } else if (byte >= 0) {
      std::snprintf(buf, sizeof buf, "\\'%02x", byte);
      out += buf;
    } else {
      out += win::RtfUnicodeEscape(cp);
    }
  }
  return out;
}

std::string LiteralText(const std::string& utf8) {
  std::string text;
  for (const char c : utf8) {
    if (c == '\\' || c == '{' || c == '}') text += '\\';
    text += c;
  }
  return EscapeText(text);
}

}  // namespace rtfx

using rtfx::S;

extern "C" {

void RTFX_NewDocument() {
  std::lock_guard lock(S().mutex);
  S().doc = rtfx::Document{};
  S().lastError.clear();
}

void RTFX_SetOutputFile(const char* path) {
  std::lock_guard lock(S().mutex);
  S().doc.path = path ? path : "";
}

BOOL RTFX_BeginDocument(const char* /*templateText*/, int, int, int firstPage, const char* headerBlock) {
  std::lock_guard lock(S().mutex);
  rtfx::Document& d = S().doc;
  d.begun = true;
  d.firstPage = firstPage;
  d.body.clear();
  d.leadIn.clear();
  rtfx::ParseHeaderBlock(d, headerBlock);
  return TRUE;
}

BOOL RTFX_BeginBlock(const char* path, int, int, int firstPage, const char* options) {
  std::lock_guard lock(S().mutex);
  S().doc = rtfx::Document{};
  S().lastError.clear();
  rtfx::Document& d = S().doc;
  d.path = path ? path : "";
  d.begun = true;
  d.firstPage = firstPage;
  d.noHeader = options && std::strstr(options, "nologo") != nullptr;
  return TRUE;
}

BOOL RTFX_EndDocument(int) {
  std::lock_guard lock(S().mutex);
  rtfx::Document& d = S().doc;
  if (d.inTable) RTFX_EndTable();
  if (!d.begun || d.path.empty()) {
    S().lastError = "Kein RTF-Dokument begonnen.";
    return FALSE;
  }
  std::string error;
  bool ok = rtfx::WriteAtomically(d.path, {rtfx::DocumentHead(d), d.body, rtfx::kDocumentEnd}, error);
  // written without a picture asked for: the picture's reason stays the last error
  S().lastError = !ok ? error : d.picturesLeftOut.empty() ? "" : d.picturesLeftOut.back();
  d = rtfx::Document{};
  // an emptied text keeps its room: the body's (the hex of its pictures) is given back
  d.body.shrink_to_fit();
  return ok ? TRUE : FALSE;
}

void RTFX_InsertRtf(const char* rtf) {
  std::lock_guard lock(S().mutex);
  if (rtf) S().doc.body += rtf;
  S().doc.leadIn.clear();
}

void RTFX_Paragraph(int level, const char* text) {
  std::lock_guard lock(S().mutex);
  rtfx::Document& d = S().doc;
  if (d.inTable) RTFX_EndTable();
  rtfx::ParagraphRaw(rtfx::EscapeText(text ? text : ""), level);
}

void RTFX_Picture(const char* file, int, double widthCm, double heightCm) {
  rtfx::Picture(file, nullptr, widthCm, heightCm);
}

void RTFX_BeginTable(int columns, const double* widthsCm) {
  std::lock_guard lock(S().mutex);
  rtfx::Document& d = S().doc;
  if (d.inTable) RTFX_EndTable();
  if (columns <= 0 || columns > 63 || !widthsCm) return;
  rtfx::KeepLeadInWithNext(d);
  d.inTable = true;
  d.table = rtfx::Table{};
  d.table.widthsCm.assign(widthsCm, widthsCm + columns);
}

void RTFX_HeaderRow(int on) {
  std::lock_guard lock(S().mutex);
  rtfx::Document& d = S().doc;
  if (!d.inTable) return;
  if (!d.table.row.empty()) {
    d.table.row.resize(d.table.widthsCm.size(), rtfx::EmptyCell());
    rtfx::WriteRow(d, d.table.header);
  }
  d.table.header = on != 0;
}

void RTFX_EndTable() {
  std::lock_guard lock(S().mutex);
  rtfx::Document& d = S().doc;
  if (!d.inTable) return;
  if (!d.table.row.empty()) {
    d.table.row.resize(d.table.widthsCm.size(), rtfx::EmptyCell());
    rtfx::WriteRow(d, d.table.header);
  }
  rtfx::ReleaseLastRow(d);
  d.body += "\\pard\\plain\r\n";
  d.inTable = false;
}

void RTFX_CellInt(const char* format, int value) {
  std::lock_guard lock(S().mutex);
  int dec = rtfx::Decimals(format);
  rtfx::AddCell("\\qr " + (dec > 0 ? rtfx::FormatNumber(format, value) : std::to_string(value)));
}

void RTFX_CellFloat(const char* format, float value) {
  std::lock_guard lock(S().mutex);
  rtfx::AddCell("\\qr " + rtfx::FormatNumber(format, double(value)));
}

void RTFX_CellDouble(const char* format, double value) {
  std::lock_guard lock(S().mutex);
  rtfx::AddCell("\\qr " + rtfx::FormatNumber(format, value));
}

void RTFX_Text(const char* text) {
  std::lock_guard lock(S().mutex);
  std::string t = rtfx::EscapeText(text ? text : "");
  if (S().doc.inTable)
    rtfx::AddCell(" " + t);
  else {
    S().doc.leadIn.push_back(S().doc.body.size());
    S().doc.body += "\\pard\\plain\\s0\\f0\\fs20 " + t + "\\par\r\n";
  }
}

void RTFX_CellPicture(const char* file, int, double widthCm, double heightCm) {
  std::lock_guard lock(S().mutex);
  std::string pict = rtfx::PictureGroup(file, widthCm, heightCm);
  if (S().doc.inTable)
    rtfx::AddCell(" " + pict);
  else if (!pict.empty())
    S().doc.body += "\\pard\\plain " + pict + "\\par\r\n";
  S().doc.leadIn.clear();
}

void RTFX_InsertRtfFile(const char* file, const char*, int, int) {
  std::lock_guard lock(S().mutex);
  std::string rtf;
  if (!file || !rtfx::ReadFile(file, rtf)) {
    S().lastError = std::string("RTF-Datei nicht lesbar: ") + (file ? file : "");
    return;
  }
  rtfx::Document& d = S().doc;
  if (d.inTable) RTFX_EndTable();
  rtfx::TakeExtraEntries(d, rtf, S().lastError);
  const std::string_view body = rtfx::RtfBody(rtf);
  d.body.reserve(d.body.size() + body.size() + 4);
  d.body += '{';
  d.body += body;
  d.body += "}\r\n";
  d.leadIn.clear();
}

void RTFX_ResourcePicture(const void* module, int resourceId, double widthCm, double heightCm, int, int, int) {
  std::string path;
  {
    std::lock_guard lock(S().mutex);
    if (S().resolver) path = S().resolver(module, resourceId);
  }
  if (!path.empty()) {
    RTFX_Picture(path.c_str(), 1, widthCm, heightCm);
    return;
  }
  // Without a resolver, or when it knows no file, the window system's bitmap resources are asked.
  std::vector<unsigned char> png =
      resourceId > 0 && resourceId <= 0xFFFF ? win::res::BitmapPng(UINT(resourceId)) : std::vector<unsigned char>{};
  std::lock_guard lock(S().mutex);
  if (png.empty()) {
    // one that is there but cannot be drawn says why
    const bool there = resourceId > 0 && resourceId <= 0xFFFF && win::res::HasBitmap(UINT(resourceId));
    rtfx::LeaveOut(there ? win::res::LastError() : "Bildressource " + std::to_string(resourceId) + " nicht gefunden.");
    return;
  }
  const std::string name = "Bildressource " + std::to_string(resourceId);
  rtfx::PictureParagraph(S().doc, [&](std::string& out, std::string* why) {
    return rtfx::AppendPictureGroupOf(out, std::move(png), name.c_str(), nullptr, widthCm, heightCm, why);
  });
}

BOOL RTFX_Settings(const char* key, char* buffer, int size) {
  if (!key || !buffer || size <= 0) return FALSE;
  if (std::strncmp(key, "gets/", 5) == 0) return rtfx::ReadSetting(key + 5, buffer, size) ? TRUE : FALSE;
  if (std::strncmp(key, "sets/", 5) == 0) {
    std::string value(buffer, strnlen(buffer, std::size_t(size)));
    return rtfx::WriteSetting(key + 5, value) ? TRUE : FALSE;
  }
  return FALSE;
}

const char* RTFX_GetLastError() {
  std::lock_guard lock(S().mutex);
  return S().lastError.c_str();
}

}  // extern "C"

namespace rtfx {

std::string CurrentHeader() {
  std::lock_guard lock(S().mutex);
  return TableWith(kFontTable, S().doc.extraFonts) + "\r\n" + TableWith(kColourTable, S().doc.extraColours);
}

std::string Picture(const char* file, const char* name, double widthCm, double heightCm) {
  std::lock_guard lock(S().mutex);
  return PictureParagraph(S().doc, [&](std::string& out, std::string* why) {
    return AppendPictureGroup(out, file, widthCm, heightCm, name, why);
  });
}

std::vector<std::string> PicturesLeftOut() {
  std::lock_guard lock(S().mutex);
  return S().doc.picturesLeftOut;
}

void AddHeaderEntry(const char* keyword, const std::string& entry) {
  std::lock_guard lock(S().mutex);
  if (!keyword) return;
  if (std::strcmp(keyword, "\\fonttbl") == 0) S().doc.extraFonts += entry;
  if (std::strcmp(keyword, "\\colortbl") == 0) S().doc.extraColours += entry;
}

}  // namespace rtfx
