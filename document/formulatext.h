// The formula text engine: text written in the formula colour is cut into units (paragraphs and table rows),
// each classified as a variable definition, an expression with its shown result or a plain number, evaluated in
// text order against a variable store and written back into the RTF with the decimals the engineer typed.
// Errors are underlined with a wavy line and shown after the result.
#pragma once

#include <string>
#include <vector>

class CRtfChunkList;
class CVariableStore;
class RunningSums;

struct SkribTextBlock {
  int type = 0;  // 0 none, 1 plain number, 2 definition, 3 expression with result, 4 definition with result
  std::string rtf;
  int start = -1;
  int end = -1;
  int resultPosition = -1;
  int resultLength = -1;
  std::vector<int> fontRuns;
  std::string plain;
  std::string name;
  std::string formula;
  std::string result;
  std::string unit;
  int decimals = 2;  // -1: as many as the value needs (the engineer asked with "?")
  bool decimalComma =
      false;  // typed with a decimal comma; an asked value: shown with one (it follows the units before)
  int textFont = -1;
  int symbolFont = -1;
  int messageCode = 0;
  std::string message;
  int inSumRange = 0;
  int sumRunLast = -1;          // the nearest unit at or before this one that lies in a sum range; -1 none
  int sumRunFirst = -1;         // the first unit of the run of units in a sum range that sumRunLast ends
  bool scriptsStopped = false;  // a macro call of the unit found the evaluation's time for macros spent
  std::string failure;          // why a formula of the unit gave no value (its definition is marked with it)
  std::string failureShown;     // the same as the text shows it: "'a' hat keinen Wert"
};

// The whole evaluation of the first buffer of text, which then holds the rewritten RTF as its only buffer.
// store may be null (a temporary store is used); parentStore, when given, becomes the store's parent; a name prefix
// (may be empty) is put before each defined variable's name, joined by a backslash.
void EvaluateText(CRtfChunkList& text, unsigned long colour, std::vector<SkribTextBlock>& blocks, int scriptSession,
                  CVariableStore* parentStore, CVariableStore* store, int firstNumber, const std::string& namePrefix);

void SplitText(const std::string& text, std::vector<SkribTextBlock>& blocks, unsigned long colour);
void ClassifyBlock(SkribTextBlock& block);
// sums, when given and holding the results of exactly the units before index, spares the sums a walk over the
// units they cover.
void ApplyFunctions(std::vector<SkribTextBlock>& blocks, int index, int scriptSession, CVariableStore& store,
                    const RunningSums* sums = nullptr);
void EvaluateBlock(std::vector<SkribTextBlock>& blocks, int index, int scriptSession, CVariableStore& store,
                   int firstNumber, const std::string& namePrefix, const RunningSums* sums = nullptr);
void JoinText(std::string& text, const std::vector<SkribTextBlock>& blocks);
// Says once per time budget of the macros (the first caller after it was spent) that the evaluation's macros were
// stopped, where and why; later callers say nothing.
void ReportScriptsStopped(const std::string& where, const std::string& why);

// The index of colour (red + 256 green + 65536 blue) in the document's colour table; -1 when the table lacks it.
int FindColourIndex(const std::string& text, unsigned long colour);
void ReadColourTable(const std::string& text, std::vector<unsigned long>& colours);

// Text classifiers: each trims its text and on success replaces it by the part found.
bool IsVariableName(std::string& text);
bool TakeFormula(std::string& text);
bool TakeValue(std::string& text);
// A result left open for the engine to fill in: "?".
bool TakeAsked(std::string& text);
bool TakePlainNumber(std::string& text);
std::string TakeRun(const std::string& text, int charClass, bool fromEnd);
int CountDecimals(std::string& text);
// Sets the block's unit from the last bracket pair of its RTF.
void ExtractUnit(SkribTextBlock& block);
