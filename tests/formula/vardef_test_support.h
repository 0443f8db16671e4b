// Helpers of the variable-definition tests: documents in memory, message boxes, and fakes of the services that
// the layers above install.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "formula/vardef.h"
#include "platform/viduv/viduv.h"

namespace vardef_test {

// A taken-over value whose source is a table of the test: a varPath found there refreshes the value, any other
// one is lost. Counts its refreshes.
class FakeRecord : public CImportRecord {
 public:
  struct Source {
    std::string varPath;
    double value;
  };
  static inline std::vector<Source> sources;
  static inline int updates = 0;
  static inline std::vector<std::string> positionFiles;  // the holder's position file at each refresh

  std::unique_ptr<CImportRecord> Clone() const override { return std::make_unique<FakeRecord>(*this); }
  int Update() override {
    ++updates;
    positionFiles.push_back(positionFile.str());
    status.Empty();
    for (const auto& source : sources) {
      if (source.varPath == varPath.str()) {
        value = source.value;
        return 0;
      }
    }
    status = "lost " + varPath;
    return 1;
  }
};

class VarDefTest : public testing::Test {
 protected:
  void SetUp() override {
    GetVarDefServices() = CVarDefServices{};
    FakeRecord::sources.clear();
    FakeRecord::updates = 0;
    FakeRecord::positionFiles.clear();
    win::msgbox::ClearAnswers();
    win::msgbox::ClearLog();
  }
  void TearDown() override {
    GetVarDefServices() = CVarDefServices{};
    for (int doc : docs_) VIDUV_CloseDoc(doc);
  }

  // The root of a new document in memory.
  int NewRoot() {
    int doc = VIDUV_CreateDoc("position");
    EXPECT_NE(doc, 0);
    docs_.push_back(doc);
    return VIDUV_GetRootElement(doc);
  }

  static std::array<unsigned char, 16> Fingerprint(int element) {
    std::array<unsigned char, 16> digest{};
    EXPECT_EQ(VIDUV_GetFingerPrint(element, digest.data()), 1);
    return digest;
  }

  // Writes the list, reads it into `copy`, writes the copy: both written forms must be identical.
  void RoundTrip(CVarDefList& list, CVarDefList& copy) {
    int first = NewRoot();
    list.WriteData(first);
    copy.ReadData(first);
    int second = NewRoot();
    copy.WriteData(second);
    EXPECT_EQ(Fingerprint(first), Fingerprint(second));
  }

  static std::vector<std::string> Messages() {
    std::vector<std::string> texts;
    for (const auto& record : win::msgbox::Log()) texts.push_back(record.text);
    return texts;
  }

  template <class T>
  static T& Add(CVarDefList& list) {
    auto entry = std::make_unique<T>();
    T& ref = *entry;
    list.Add(std::move(entry));
    return ref;
  }

  static CVarDefVariable& AddVariable(CVarDefList& list, const char* name, const char* formula,
                                      const char* unit = "m") {
    auto& v = Add<CVarDefVariable>(list);
    v.varName = name;
    v.desc = CString("Wert ") + name;
    v.unit = unit;
    SetFormula(v.value, formula);
    return v;
  }

  // The variables (name, formula in kN) as rows of the list, in order, defined in a position's store.
  static void DefineTable(const std::vector<std::pair<const char*, const char*>>& variables, CVarDefList& list,
                          CVariableStore& position) {
    for (const auto& [name, formula] : variables) AddVariable(list, name, formula, "kN");
    list.DefineIn(position);
  }

  // A formula number holding the text: a plain number when it is one, else an expression.
  static void SetFormula(CFormulaNumber& number, const char* text) {
    char* end = nullptr;
    double plain = std::strtod(text, &end);
    if (end != text && *end == '\0') {
      number = plain;
    } else {
      number.m_bNumber = FALSE;
      number.m_strText = text;
    }
  }

 private:
  std::vector<int> docs_;
};

}  // namespace vardef_test
