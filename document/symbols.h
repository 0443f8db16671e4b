// Greek letters of the Symbol font and the plain text of a formula unit: before a unit of the document is
// classified, its RTF becomes plain text in which a Symbol-font letter is the name of its Greek letter, so that
// the expression language sees "alpha" or "sigma" as a variable name.
#pragma once

#include <string>
#include <vector>

// Builds the process-wide tables once.
void InitSymbolTables();
// The name of the Greek letter that the Symbol font shows for code; empty for other codes.
const std::string& GreekName(unsigned char code);

enum SymbolCharClass { kNameChars, kFormulaChars, kValueChars, kNumberChars };
bool InCharClass(SymbolCharClass charClass, unsigned char c);

// A text of the same length: plain characters of the RTF keep their place, all others become blanks.
std::string MakePlainMask(const std::string& rtf);
// The plain text of one unit. fontRuns (may be null): positions in the document, the first 0; -p marks that the
// Symbol font begins at p, +p that another font begins there. offset is the unit's position in the document.
void RtfToPlain(std::string& plain, const std::string& unitRtf, int offset, const std::vector<int>* fontRuns);
