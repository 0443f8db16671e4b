// The store of named variables against which formulas are evaluated, with its chain of parent stores and the
// messages of its last evaluation.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include "formula/formulaparser.h"
#include "platform/win/afx.h"

// The names an evaluation read without a value: those no variable had (defined nowhere, or only further on) and those
// whose definition failed, each once, in order.
struct UnvaluedReads {
  std::vector<std::string> undefined;
  std::vector<std::string> failed;
};

// One message of an evaluation or an overwrite notice. Codes: 1 a variable was overwritten with another value;
// 2 to 512 from the parser (FormulaMessageCode); 4 also the text of an error raised during the evaluation.
struct CVarMessage {
  int m_nCode = 0;
  CString m_strText;
};

class CVariableStore {
 public:
  CVariableStore();
  virtual ~CVariableStore();
  CVariableStore(const CVariableStore&) = delete;
  CVariableStore& operator=(const CVariableStore&) = delete;

  // Deletes every variable; the messages and the parent stay.
  void RemoveAll();
  // Creates or overwrites the variable whose key is the full name after its last '\'. Overwriting with a value
  // that differs by more than 1e-8 appends a message of code 1.
  void SetVariable(const char* fullName, const char* description, const char* unit, double value);
  // Appends the parent chain's sorted list, then this store's own variables; returns the total count.
  int CollectVariables(CStringArray& names, CStringArray& descriptions, CStringArray& units,
                       CArray<double, double>& values) const;
  // CollectVariables, then all entries of the four arrays sorted together ascending (by full name, then
  // description, unit and value, compared as bytes); returns the count.
  int GetVariables(CStringArray& names, CStringArray& descriptions, CStringArray& units,
                   CArray<double, double>& values) const;
  // For the variable menus: one line "path\description<TAB>(key=value unit)" per visible key not yet in
  // names; the key is appended to names beside it. The first entry of a key in sorted order wins.
  void GetDescriptions(CStringArray& lines, CStringArray& names) const;
  // Evaluates a formula against the variables of the whole chain. TRUE with *result written; FALSE with
  // *result untouched and the reason as the last message. Either way the messages of this evaluation replace
  // the message list.
  BOOL Evaluate(const char* text, double* result);
  // The names the last evaluation read while they had no value, in order; it took each as 0. Helper names
  // that a formula assigns before it reads them ("a=2; a*3") are not among them.
  const std::vector<std::string>& UndefinedReads() const { return m_UndefinedReads; }
  // The message naming the first of them ("'b' nicht definiert"); empty when there is none.
  CString UndefinedReadMessage() const;
  // The names the last evaluation read without a value: UndefinedReads and FailedReads.
  UnvaluedReads LastUnvaluedReads() const { return {m_UndefinedReads, m_FailedReads}; }
  // Marks the variable of this name in this store as one whose definition failed, saying why ("a = 1/0: Division
  // durch Null."): it keeps its value, which no input may count with. SetVariable of the name takes the mark away.
  void SetFailed(const char* fullName, const char* reason);
  // SetFailed for the definition "name = formula" that failed for `why` ("'c2' nicht definiert"), having read the
  // names `reads` without a value. A definition that closes a cycle of such definitions (c1 read c2 before c2 was
  // defined, c2 reads c1) marks each of them with the cycle ("c1 = c2+1: Zirkelbezug c1 -> c2 -> c1"), in whichever
  // store of the chain it stands.
  void SetFailedDefinition(const char* fullName, const char* formula, const char* why, const UnvaluedReads& reads);
  // The cycle that the failed definition of the name in this store lies on, told from the name on ("Zirkelbezug c1 ->
  // c2 -> c1"); empty when its definition evaluated or failed otherwise.
  std::string CycleOf(const char* fullName) const;
  // Names defined further on whose definition lies on a cycle, each with that definition's reason: read before their
  // definition they are names without a value for that reason, not names defined nowhere. Kept until RemoveAll.
  void SetCycleReasons(std::map<std::string, std::string> reasons);
  // The names the last evaluation read whose definition failed, in order, and the reason of the first of them.
  const std::vector<std::string>& FailedReads() const { return m_FailedReads; }
  const CString& FailedReadMessage() const { return m_FailedReadMessage; }
  // What a cell shows for a formula of the last evaluation that read a name without a value: the first name whose
  // definition failed with why ("'a' hat keinen Wert: a = 1/0: Division durch Null."), else the first name defined
  // nowhere ("'b' nicht definiert"); empty when every name it read has a value.
  CString NoValueReadMessage() const;
  // Neither an undefined name nor one whose definition failed was read by the last evaluation.
  bool ReadsHaveValues() const { return m_UndefinedReads.empty() && m_FailedReads.empty(); }
  // Why the last evaluation gave no value a definition can take: its error, the reason of a failed name it read,
  // a name it read that has none, or a result that is no finite number. Empty when it gave one.
  const CString& LastFailure() const { return m_LastFailure; }

  // The variable records read to resolve the symbols of evaluations since the store was built: what an evaluation
  // costs beyond its own formula, for tests that watch that cost.
  std::uint64_t ResolvedEntries() const { return m_nResolvedEntries; }

  CVariableStore* m_pParent = nullptr;  // not owned; set by the owner
  CArray<CVarMessage> m_Messages;       // messages of the last evaluation and overwrite notices since then

 private:
  struct Record {
    UnvaluedReads reads;         // of a failed definition
    std::string formula;         // of a failed definition; empty when the failure came otherwise
    std::size_t cycleSteps = 0;  // the names of the shortest cycle its reason says, the first twice; 0: none
    std::string cycle;           // that cycle told from this name on ("Zirkelbezug c1 -> c2 -> c1")
    CString key;
    CString fullName;
    CString description;
    CString unit;
    double value = 0.0;
    std::string sortText;  // "full|description|unit|value": the order of the sorted listing
    std::string failure;   // why its definition failed; empty when it evaluated
  };
  // The visible value of every key of the chain, as an evaluation sees it.
  struct ResolvedSymbols {
    std::vector<std::pair<const CVariableStore*, std::uint64_t>> chain;  // stores and stamps it was built from
    FormulaSymbolTable symbols;
    FormulaFailureTable failures;  // the visible keys whose definition failed
  };

  // The stores from this one up to the root, each once (a parent loop ends the chain).
  std::vector<const CVariableStore*> Chain() const;
  bool ResolvedIsFresh() const;
  const FormulaSymbolTable& Symbols();
  void Touch();
  // After a change of this store's record of `key`: a fresh resolved view takes that key in (cheaper than anew).
  void TakeIntoResolved(const std::string& key);

  std::map<std::string, Record> m_Variables;  // by key
  std::uint64_t m_nStamp = 0;                 // changes with every change of the variables
  ResolvedSymbols m_Resolved;
  std::uint64_t m_nResolvedEntries = 0;
  std::vector<std::string> m_UndefinedReads;
  std::vector<std::string> m_FailedReads;
  CString m_FailedReadMessage;
  CString m_LastFailure;
  bool m_bMayHaveFailures = false;  // a record was marked failed since the last RemoveAll
  std::map<std::string, std::string> m_CycleReasons;
  std::set<std::string> m_ReadUndefined;  // names failed definitions here read while no variable had them
};

// The reason a failed definition is marked with: "a = 1/0: Division durch Null.".
CString FailedDefinitionText(const char* name, const char* formula, const char* why);

// The shortest cycle of failed definitions through `name`, the last of them defined: each reads the next without a
// value, the last read `name` while it was not yet defined ({"c1", "c2", "c1"}); empty when there is none. readsOf
// gives what the failed definition of a name read without a value, null for a name that has no failed definition. A
// name that a definition read as failed before `name` was defined anew was its earlier definition: no step back to it.
std::vector<std::string> DefinitionCycle(const std::string& name,
                                         const std::function<const UnvaluedReads*(const std::string&)>& readsOf);
// Why a definition on a cycle has no value, the cycle told from `name` on: "Zirkelbezug c1 -> c2 -> c1".
std::string CycleText(const std::vector<std::string>& cycle, const std::string& name);

// The module's global store: the variables that the positions publish. Its parent is 0.
CVariableStore& GetGlobalVariableStore();

// Rewrites a formula text for the parser: dotted operators (".LT.", ".and.", ...), decimal commas, blanks
// around signs (an exponent's sign stays with its number, "+=" and "-=" stay whole) and a leading "0" for bare
// decimal points. With typedAt, the byte of the given text each byte of the result (and its end) comes from.
void PrepareFormula(CString& text);
void PrepareFormula(std::string& text, std::vector<std::size_t>* typedAt = nullptr);
