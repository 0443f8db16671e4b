// Small writers shared by the report's sections: translated texts, paragraphs,
// tables with their header rows and the paragraph that follows every table, and
// the words the sections share.
#pragma once

#include <initializer_list>
#include <string>
#include <vector>

#include "platform/win/afx.h"

class CKolumoData;
class CFormulaNumber;

namespace report {

// Paragraph levels of the report.
enum Ebene {
  kText = 0,
  kKapitel = -2,
  kAbschnitt = -3,
  kUnterabschnitt = -4,
  kTabellenTitel = -5,
  kBildTitel = -12,
  kEingabeTitel = 3
};

// A report text in the user's language.
CString Tr(const char* text);
// A text the person typed (a name, a remark, a formula), as RTF that shows every character as typed: its braces and
// backslashes are characters, never markup.
CString Wortlaut(const char* text);

void Absatz(int ebene, const char* text);
// A remark as typed: an empty paragraph, then the text; nothing for an empty remark.
void Bemerkung(const CString& text);

// Opens a table of the given column widths (cm). Its cells are held until the table is closed: a column whose
// words would not fit is widened then (see PasseBreiten), so that no word breaks inside a cell.
void Tabelle(std::initializer_list<double> breiten);
// One header row; texts are translated unless told otherwise. The first row
// starts the header, the body starts with Rumpf().
void Kopfzeile(std::initializer_list<const char*> texte, bool uebersetzen = true);
void Rumpf();
// Closes the table and writes the level-0 paragraph " " that follows every
// table.
void TabelleEnde();
// Closes the table without the paragraph.
void TabelleSchliessen();
// A line that says what a table's columns hold (translated), written just before the table so that it stays on
// the table's page.
void Legende(const char* text);

void Zelle(const char* text);
void Zahl(int wert);  // "@0"
void Zahl(const char* format, double wert);
void Zahl(const char* format, CFormulaNumber& wert);
void ZahlFloat(const char* format, float wert);  // a single-precision number cell

// The width (cm) a table cell needs so that its longest word stays whole, or with `ganzeZeile` so that the whole
// text stands on one line: the text as the report's tables set it (9 pt, bold in header rows), measured in the wider
// sans serif that stands in for Arial where Arial is missing, with the cell's margins. RTF control words and groups
// take no room.
double WortBreiteCm(const char* text, bool fett, bool ganzeZeile = false);
// Column widths (cm) where every column has at least its need (`bedarf`): a column short of it takes room first
// from the columns wider than their texts wish (`wunsch`, the whole text on one line), then from the page up to
// `seite` (the text width), last from the columns' wished room down to their need. A need that none of these
// covers is left short.
std::vector<double> PasseBreiten(std::vector<double> breiten, const std::vector<double>& bedarf,
                                 const std::vector<double>& wunsch, double seite = 17.0);

// A number counted from 1 of an index counted from 0, as the file gave it: a
// report may be asked of a position that was never checked, so an index out of
// range is shown as it stands, without arithmetic on it.
CString Nummer(int index);
void NummerZelle(int index);

// The construction stage as a row word ("Endsystem", "Transport", "Bauzu. 1",
// "Bauzu. 2"), translated.
CString StufenWort(int stage);

}  // namespace report
