// The RTF writer: one current document of paragraphs, tables and pictures, written as 7-bit RTF that word
// processors open. Texts may carry RTF control words ("\b", "\qc", "\sub", "\super", "\f2" for the Symbol font),
// which pass into the document as they stand; other characters are escaped ("\'xx" for Windows-1252, "\uN?"
// beyond). Letters in the Symbol font go out as Unicode Greek with the Symbol character as the fallback. Each
// call names the ordinal of the suite's library it stands for.
#pragma once

#include <string>
#include <vector>

#include "platform/win/base/wintypes.h"

extern "C" {

// ordinal 22: a fresh document state.
void RTFX_NewDocument();
// ordinal 26: the file the document will be written to.
void RTFX_SetOutputFile(const char* path);
// ordinal 1, report form: begins the document. headerBlock is a run of NUL-terminated fields "key=value" ended by
// an empty field; the keys are "Name", "Titel", "Version" and "@T" (the position's free title text). Every field is
// printed as text, but for the italic switches \i and \i0 that the program's name may hold.
BOOL RTFX_BeginDocument(const char* templateText, int reserved, int option, int firstPage, const char* headerBlock);
// ordinal 1, block form: begins a document written to path; options "nologo" leaves out the page header.
BOOL RTFX_BeginBlock(const char* path, int reserved, int option, int firstPage, const char* options);
// ordinal 2: ends the document and writes the file (whole or not at all). FALSE when it could not be written.
BOOL RTFX_EndDocument(int reserved);
// ordinal 3: RTF inserted unchanged.
void RTFX_InsertRtf(const char* rtf);
// ordinal 7: one paragraph. Level 0 body text, -2 chapter, -3 section, -4 sub-section, -5 table heading,
// -12 picture caption, 3 heading of an input section.
void RTFX_Paragraph(int level, const char* text);
// ordinal 9: a picture from a file (PNG, JPEG, an enhanced metafile as it is, others through the converter); height
// 0 keeps its proportions, width 0 takes its own size. Sizes in cm.
void RTFX_Picture(const char* file, int flag, double widthCm, double heightCm);
// ordinal 11: opens a table; the cells then fill its rows left to right.
void RTFX_BeginTable(int columns, const double* widthsCm);
// ordinal 12: 1 - the cells that follow form the header row (repeated on every page); 0 - body rows follow.
void RTFX_HeaderRow(int on);
// ordinal 14: closes the table (an unfinished row is filled with empty cells).
void RTFX_EndTable();
// ordinals 15, 16, 17: number cells; the format "@n" gives n decimals.
void RTFX_CellInt(const char* format, int value);
void RTFX_CellFloat(const char* format, float value);
void RTFX_CellDouble(const char* format, double value);
// ordinal 18: a text cell inside a table, a paragraph of RTF text outside one.
void RTFX_Text(const char* text);
// ordinal 19: a picture in the current table cell (a paragraph outside a table).
void RTFX_CellPicture(const char* file, int flag, double widthCm, double heightCm);
// ordinal 35: the body of an RTF file is copied into the document at this point.
void RTFX_InsertRtfFile(const char* file, const char* reserved, int option, int flags);
// ordinal 38: a picture from a bitmap resource of the calling module.
void RTFX_ResourcePicture(const void* module, int resourceId, double widthCm, double heightCm, int, int, int);
// The library's settings store: "gets/KEY" copies the stored text into buffer (the buffer keeps its text when
// nothing is stored), "sets/KEY" stores the buffer's text. FALSE for another form of key.
BOOL RTFX_Settings(const char* key, char* buffer, int size);
// The reason of the last failure; empty when the last document was written with every picture it was asked for.
const char* RTFX_GetLastError();
}

namespace rtfx {

// The largest picture file a document takes (ordinals 9 and 19): its hex digits are twice its size in the report and
// in every reader's memory. A larger one is left out, with the reason.
inline constexpr long long kMostPictureBytes = 16LL * 1024 * 1024;

// Turns a picture file the library cannot embed itself (metafiles, bitmaps) into PNG bytes; false when it cannot.
using PictureConverter = bool (*)(const char* path, std::vector<unsigned char>& png);
void SetPictureConverter(PictureConverter converter);

// Ordinal 9 for a picture known by another name than its file's (the scratch copy of a picture a position holds): a
// metafile carries the name as its description, which readers that cannot draw it show in its place. The reason
// when the picture cannot be taken, else empty.
std::string Picture(const char* file, const char* name, double widthCm, double heightCm);

// Why each picture the current document was asked for is not in it (the file or resource and the reason), in the
// order asked; empty when every one went in. Kept until the document is written or a new one begun.
std::vector<std::string> PicturesLeftOut();

// Finds the picture file of a module's bitmap resource; empty when there is none.
using ResourceResolver = std::string (*)(const void* module, int resourceId);
void SetResourceResolver(ResourceResolver resolver);

// The current document's font and colour tables as RTF text: the library's own entries and those added.
std::string CurrentHeader();
// Appends an entry (its RTF text, numbered to follow the tables) to the current document's font table
// ("\fonttbl") or colour table ("\colortbl"); the written document and the documents that insert it carry it.
void AddHeaderEntry(const char* keyword, const std::string& entry);

// Writes text as RTF: UTF-8 in, control words kept, other characters escaped.
std::string EscapeText(const std::string& utf8);
// Writes plain text as RTF: braces and backslashes stay characters, the rest as EscapeText writes it.
std::string LiteralText(const std::string& utf8);

}  // namespace rtfx
