#include "formula/varstore.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <new>

#include <string>
#include <vector>

#include "formula_test_support.h"

namespace {

using formula_test::Evaluate;
using formula_test::Outcome;

struct Row {
  std::string name, description, unit;
  double value;
  bool operator==(const Row&) const = default;
};

std::vector<Row> Listing(const CVariableStore& store) {
  CStringArray names, descriptions, units;
  CArray<double, double> values;
  int count = store.GetVariables(names, descriptions, units, values);
  std::vector<Row> rows;
  for (int i = 0; i < count; ++i) rows.push_back({names[i].str(), descriptions[i].str(), units[i].str(), values[i]});
  return rows;
}

std::vector<std::pair<int, std::string>> Messages(const CVariableStore& store) {
  std::vector<std::pair<int, std::string>> out;
  for (const CVarMessage& m : store.m_Messages) out.emplace_back(m.m_nCode, m.m_strText.str());
  return out;
}

class VariableStoreTest : public testing::Test {
 protected:
  formula_test::PrivateRegistry registry_;
};

TEST_F(VariableStoreTest, OverwriteNoticesOnlyForRealChanges) {
  CVariableStore store;
  store.SetVariable("Pos1\\h", "Hoehe", "m", 2.0);
  store.SetVariable("Pos1\\h", "Hoehe", "m", 2.0 + 1e-9);  // within 1e-8: silent
  store.SetVariable("Pos1\\h", "Hoehe", "m", 2.0);
  EXPECT_TRUE(store.m_Messages.IsEmpty());
  store.SetVariable("Pos2\\h", "Hoehe", "m", 2.504);
  store.SetVariable("b", "", "", 1.0);  // new keys are never a notice
  store.SetVariable("h", "", "", -1.0 / 3);
  EXPECT_EQ(Messages(store), (std::vector<std::pair<int, std::string>>{{1, "h wird überschrieben mit 2.50"},
                                                                       {1, "h wird überschrieben mit -0.33"}}));
  // The next evaluation starts a new list.
  Evaluate(store, "h");
  EXPECT_TRUE(store.m_Messages.IsEmpty());
}

TEST_F(VariableStoreTest, SameKeyInAnotherPathReplacesTheRecord) {
  CVariableStore store;
  store.SetVariable("Dach\\Pfette\\l", "Laenge", "m", 4.0);
  store.SetVariable("Wand\\l", "Laenge Wand", "m", 3.0);
  EXPECT_EQ(Listing(store), (std::vector<Row>{{"Wand\\l", "Laenge Wand", "m", 3.0}}));
  EXPECT_EQ(Evaluate(store, "l*2").value, 6.0);
}

TEST_F(VariableStoreTest, SeparatorInDescriptionOrUnitKeepsTheFieldsApart) {
  CVariableStore store;
  store.SetVariable("Pos\\h", "Hoehe|innen", "m|cm", 2.5);
  store.SetVariable("b|x", "", "", 1.0);
  EXPECT_EQ(Listing(store), (std::vector<Row>{{"Pos\\h", "Hoehe|innen", "m|cm", 2.5}, {"b|x", "", "", 1.0}}));
  Outcome out = Evaluate(store, "h*2");
  EXPECT_TRUE(out.ok);
  EXPECT_EQ(out.value, 5.0);
  EXPECT_TRUE(out.codes.empty());
  CStringArray lines, names;
  store.GetDescriptions(lines, names);
  ASSERT_EQ(names.GetSize(), 2);
  EXPECT_EQ(names[0], "h");
  EXPECT_EQ(lines[0], "Pos\\Hoehe|innen\t(h=2.5 m|cm)");
}

TEST_F(VariableStoreTest, ListingMergesTheParentChainInByteOrder) {
  CVariableStore root, parent, child;
  parent.m_pParent = &root;
  child.m_pParent = &parent;
  root.SetVariable("zeta", "", "", 1);
  parent.SetVariable("B\\beta", "b", "", 2);
  parent.SetVariable("alpha", "", "", 3);
  child.SetVariable("Alpha", "", "", 4);  // keys are case-sensitive: another variable
  child.SetVariable("a\xc3\xa4", "", "", 5);
  // Unsigned bytes: upper case before lower case, "ä" (0xC3) after every ASCII letter.
  EXPECT_EQ(Listing(child), (std::vector<Row>{{"Alpha", "", "", 4},
                                              {"B\\beta", "b", "", 2},
                                              {"alpha", "", "", 3},
                                              {"a\xc3\xa4", "", "", 5},
                                              {"zeta", "", "", 1}}));
  EXPECT_EQ(Listing(parent).size(), 3u);
  // Entries already in the arrays take part in the sort.
  CStringArray names, descriptions, units;
  CArray<double, double> values;
  names.Add("m");
  descriptions.Add("");
  units.Add("");
  values.Add(9);
  EXPECT_EQ(root.GetVariables(names, descriptions, units, values), 2);
  EXPECT_EQ(names[0], "m");
  EXPECT_EQ(names[1], "zeta");
}

TEST_F(VariableStoreTest, CollectPutsTheParentsSortedListFirst) {
  CVariableStore parent, child;
  child.m_pParent = &parent;
  parent.SetVariable("z", "", "", 1);
  parent.SetVariable("y", "", "", 2);
  child.SetVariable("a", "", "", 3);
  CStringArray names, descriptions, units;
  CArray<double, double> values;
  EXPECT_EQ(child.CollectVariables(names, descriptions, units, values), 3);
  EXPECT_EQ(names[0], "y");
  EXPECT_EQ(names[1], "z");
  EXPECT_EQ(names[2], "a");
  EXPECT_EQ(values[2], 3);
}

TEST_F(VariableStoreTest, EvaluationSeesTheWholeChainAndFollowsItsChanges) {
  CVariableStore root, parent, child;
  parent.m_pParent = &root;
  child.m_pParent = &parent;
  root.SetVariable("g", "", "", 10);
  parent.SetVariable("p", "", "", 2);
  child.SetVariable("c", "", "", 3);
  EXPECT_EQ(Evaluate(child, "g + p*c").value, 16);

  root.SetVariable("g", "", "", 20);  // a change two stores up is seen at once
  EXPECT_EQ(Evaluate(child, "g + p*c").value, 26);
  parent.RemoveAll();
  Outcome out = Evaluate(child, "g + p*c");
  EXPECT_EQ(out.value, 20);
  EXPECT_EQ(out.codes, std::vector<int>{32});
  child.m_pParent = &root;  // so is another parent
  root.SetVariable("p", "", "", 5);
  EXPECT_EQ(Evaluate(child, "g + p*c").value, 35);
  child.m_pParent = nullptr;
  EXPECT_EQ(Evaluate(child, "g").codes, std::vector<int>{32});
  // The parent's own view is not the child's.
  EXPECT_EQ(Evaluate(root, "c").codes, std::vector<int>{32});
}

TEST_F(VariableStoreTest, ReplacedParentAtTheSameAddressIsNotMistakenForTheOld) {
  CVariableStore child;
  auto parent = std::make_unique<CVariableStore>();
  parent->SetVariable("x", "", "", 1);
  child.m_pParent = parent.get();
  EXPECT_EQ(Evaluate(child, "x").value, 1);
  parent->~CVariableStore();
  new (parent.get()) CVariableStore();  // a new store where the old one was
  parent->SetVariable("x", "", "", 2);
  EXPECT_EQ(Evaluate(child, "x").value, 2);
}

TEST_F(VariableStoreTest, OfOneKeyTheLastInSortedOrderCounts) {
  CVariableStore parent, child;
  child.m_pParent = &parent;
  parent.SetVariable("Pos1\\h", "", "", 3);
  child.SetVariable("h", "", "", 5);
  EXPECT_EQ(Evaluate(child, "h").value, 5);  // "h|..." sorts after "Pos1\h|..."
  parent.SetVariable("x", "", "", 7);
  child.SetVariable("Dach\\x", "", "", 8);
  EXPECT_EQ(Evaluate(child, "x").value, 7);  // "x|..." sorts after "Dach\x|..."
  // The menu shows the first of a key instead.
  CStringArray lines, names;
  child.GetDescriptions(lines, names);
  EXPECT_EQ(names.GetSize(), 2);
  EXPECT_NE(std::find(lines.begin(), lines.end(), CString("Dach\\\t(x=8 )")), lines.end());
  EXPECT_NE(std::find(lines.begin(), lines.end(), CString("Pos1\\\t(h=3 )")), lines.end());
}

// Definitions read one after another, as a document's lines are: every definition a read, each read seeing the
// variables of the whole chain.
TEST_F(VariableStoreTest, DefiningAndReadingInTurnCostsEachDefinitionItsKeyOnly) {
  CVariableStore global, store;
  store.m_pParent = &global;
  for (int i = 0; i < 500; ++i) global.SetVariable(("Pos 1\\g" + std::to_string(i)).c_str(), "", "", i);
  EXPECT_EQ(Evaluate(store, "g499").value, 499);
  const std::uint64_t first = store.ResolvedEntries();
  EXPECT_GE(first, 500u);  // the first read resolves the chain once
  constexpr int kLines = 2000;
  for (int i = 0; i < kLines; ++i) {
    store.SetVariable(("a" + std::to_string(i)).c_str(), "", "", i);
    ASSERT_EQ(Evaluate(store, ("a" + std::to_string(i) + " + g7").c_str()).value, i + 7);
  }
  // Each definition looks its key up in the two stores of the chain. Rebuilt per read, the view would have read
  // 500 + i records at line i: some 3 million in all.
  EXPECT_LE(store.ResolvedEntries() - first, std::uint64_t(2 * kLines));
}

// Changes made while the view is kept (a definition after a read) must give what a view built from scratch gives:
// of one key the last in sorted order, the constants until a variable takes their name.
TEST_F(VariableStoreTest, AViewKeptAcrossDefinitionsAgreesWithOneBuiltAfresh) {
  struct Step {
    bool inParent;
    const char* fullName;
    double value;
  };
  const std::vector<Step> steps = {
      {true, "Pos1\\h", 3},  {false, "Dach\\h", 4}, {false, "h", 5},    {true, "x", 7},
      {false, "Dach\\x", 8}, {false, "pi", 3},      {true, "Zz\\h", 6}, {false, "Dach\\x", 9},
      {true, "x", 1},        {false, "e", 2},       {false, "h", 0.5},  {true, "y", 11},
  };
  const char* reads[] = {"h", "x", "y", "pi", "e"};
  CVariableStore keptParent, kept;
  kept.m_pParent = &keptParent;
  for (std::size_t n = 0; n < steps.size(); ++n) {
    const Step& step = steps[n];
    (step.inParent ? keptParent : kept).SetVariable(step.fullName, "", "", step.value);
    CVariableStore freshParent, fresh;  // the same steps, with no read between them
    fresh.m_pParent = &freshParent;
    for (std::size_t k = 0; k <= n; ++k)
      (steps[k].inParent ? freshParent : fresh).SetVariable(steps[k].fullName, "", "", steps[k].value);
    for (const char* name : reads) {
      const Outcome expected = Evaluate(fresh, name), got = Evaluate(kept, name);
      EXPECT_EQ(got.value, expected.value) << "after step " << n << ": " << name;
      EXPECT_EQ(got.codes, expected.codes) << "after step " << n << ": " << name;
    }
  }
}

TEST_F(VariableStoreTest, ConstantsAndTheirOverrides) {
  CVariableStore store;
  EXPECT_DOUBLE_EQ(Evaluate(store, "2*pi").value, 6.283185307179586);
  store.SetVariable("Werte\\pi", "", "", 3);
  EXPECT_EQ(Evaluate(store, "2*pi").value, 6);
  EXPECT_DOUBLE_EQ(Evaluate(store, "e").value, 2.718281828459045);
}

TEST_F(VariableStoreTest, DescriptionLines) {
  CVariableStore parent, store;
  store.m_pParent = &parent;
  parent.SetVariable("Pos 1\\Stuetze\\h", "Hoehe", "m", 3.25);
  store.SetVariable("b", "Breite", "cm", 30);
  store.SetVariable("d", "", "", 1e-7);
  CStringArray lines, names;
  names.Add("d");  // a caller suppresses a key by naming it
  store.GetDescriptions(lines, names);
  ASSERT_EQ(lines.GetSize(), 2);
  EXPECT_EQ(lines[0], "Pos 1\\Stuetze\\Hoehe\t(h=3.25 m)");
  EXPECT_EQ(lines[1], "Breite\t(b=30 cm)");
  ASSERT_EQ(names.GetSize(), 3);
  EXPECT_EQ(names[1], "h");
  EXPECT_EQ(names[2], "b");
}

TEST_F(VariableStoreTest, FailedEvaluationKeepsTheResultAndExplains) {
  CVariableStore store;
  double result = 7;
  EXPECT_FALSE(store.Evaluate("2+", &result));
  EXPECT_EQ(result, 7);
  EXPECT_EQ(Messages(store),
            (std::vector<std::pair<int, std::string>>{{128, "Unerwartetes Symbol: <end of expression>"}}));
  EXPECT_TRUE(store.Evaluate("1+1", &result));
  EXPECT_EQ(result, 2);
  EXPECT_TRUE(store.m_Messages.IsEmpty());
  EXPECT_FALSE(store.Evaluate(nullptr, &result));  // no text: nothing to evaluate
  EXPECT_EQ(result, 2);
}

TEST_F(VariableStoreTest, ParentLoopDoesNotHang) {
  CVariableStore a, b;
  a.m_pParent = &b;
  b.m_pParent = &a;
  a.SetVariable("x", "", "", 1);
  b.SetVariable("y", "", "", 2);
  EXPECT_EQ(Evaluate(a, "x+y").value, 3);
  EXPECT_EQ(Evaluate(b, "x+y").value, 3);
  EXPECT_EQ(Listing(a).size(), 2u);
}

TEST_F(VariableStoreTest, GlobalStoreIsOneAndHasNoParent) {
  EXPECT_EQ(&GetGlobalVariableStore(), &GetGlobalVariableStore());
  EXPECT_EQ(GetGlobalVariableStore().m_pParent, nullptr);
}

TEST(PrepareFormulaTest, RewritesForTheParser) {
  const std::pair<const char*, const char*> cases[] = {
      {"a-b+c", "a - b + c"},
      {"2,5*a", "2.5*a"},
      {".5", "0.5"},
      {"2*.5", "2*0.5"},
      {"1.5", "1.5"},
      {"1e-5", "1e-5"},
      {"2*1E+3", "2*1E+3"},
      {"x1e-5", "x1e - 5"},  // a name, not an exponent
      {"1e-x", "1e - x"},
      {"a+=1-=2", "a+=1-=2"},
      {"a.LT.b.or.c.GE.d", "a<b||c>=d"},
      {".TRUE..AND.x", "1&&x"},
      {".Lt.", "0.Lt0."},  // mixed case stays, its points are bare decimal points
      {"a#b", "a0.b"},
      {"", ""},
  };
  for (const auto& [in, out] : cases) {
    CString text(in);
    PrepareFormula(text);
    EXPECT_EQ(text, out) << in;
  }
}

}  // namespace

namespace {

// A name whose definition failed keeps its number, but a formula that reads it is told: its reads are listed, and
// the reason is the definition's. A later definition of the name takes the mark away.
TEST_F(VariableStoreTest, ANameWhoseDefinitionFailedIsReadWithItsReason) {
  CVariableStore parent, store;
  store.m_pParent = &parent;
  parent.SetVariable("a", "", "kN", 1);  // the leading number of "1/0"
  parent.SetFailed("a", "a = 1/0: Division durch Null.");
  store.SetVariable("b", "", "", 2);
  struct Case {
    const char* formula;
    double value;
    std::vector<std::string> failedReads;
  };
  const Case cases[] = {
      {"a", 1, {"a"}},       {"b*3 + a", 7, {"a"}}, {"a += 1", 2, {"a"}},  // reads it on the way
      {"a = 2; a*3", 6, {}},                                               // a helper of the formula's own
      {"b", 2, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.formula);
    double value = 0;
    ASSERT_TRUE(store.Evaluate(c.formula, &value));
    EXPECT_EQ(value, c.value);  // the number stays what it was
    EXPECT_EQ(store.FailedReads(), c.failedReads);
    EXPECT_EQ(store.ReadsHaveValues(), c.failedReads.empty());
    const std::string reason = c.failedReads.empty() ? "" : "a = 1/0: Division durch Null.";
    EXPECT_EQ(store.FailedReadMessage().str(), reason);
    EXPECT_EQ(store.LastFailure().str(), reason);
  }
  // defined again (the view kept since the reads above takes the one key in), it has a value
  parent.SetVariable("a", "", "kN", 4);
  double value = 0;
  ASSERT_TRUE(store.Evaluate("a*2", &value));
  EXPECT_EQ(value, 8);
  EXPECT_TRUE(store.ReadsHaveValues());
  EXPECT_TRUE(store.LastFailure().IsEmpty());
  // marked again after a read, and a view built afresh sees it as the kept one does
  parent.SetFailed("a", "a = b: 'b' nicht definiert");
  ASSERT_TRUE(store.Evaluate("a", &value));
  EXPECT_EQ(store.LastFailure(), "a = b: 'b' nicht definiert");
  CVariableStore fresh;
  fresh.m_pParent = &parent;
  ASSERT_TRUE(fresh.Evaluate("a", &value));
  EXPECT_EQ(fresh.LastFailure(), "a = b: 'b' nicht definiert");
}

// Of one key the entry that gives the value gives the mark too: a failed one another entry outranks is no failure,
// and a failed one that outranks a good one is.
TEST_F(VariableStoreTest, OfOneKeyTheEntryThatGivesTheValueGivesItsFailure) {
  CVariableStore parent, store;
  store.m_pParent = &parent;
  parent.SetVariable("Pos\\h", "", "", 3);  // "Pos\h" sorts before "h": the store's "h" gives the value
  parent.SetFailed("Pos\\h", "h = 1/0: Division durch Null.");
  store.SetVariable("h", "", "", 5);
  store.SetVariable("x", "", "", 1);
  store.SetFailed("x", "x = y: 'y' nicht definiert");
  parent.SetVariable("zz\\x", "", "", 7);  // sorts after "x": the parent's good x gives the value
  for (const bool rebuilt : {false, true}) {
    SCOPED_TRACE(rebuilt);
    CVariableStore fresh;
    CVariableStore& reader = rebuilt ? fresh : store;
    if (rebuilt) fresh.m_pParent = &store;
    double value = 0;
    ASSERT_TRUE(reader.Evaluate("h + x", &value));
    EXPECT_EQ(value, 12);
    EXPECT_TRUE(reader.ReadsHaveValues()) << reader.LastFailure().str();
  }
  store.SetVariable("Zz\\h", "", "", 9);
  store.SetFailed("h", "h = 1/0: Division durch Null.");  // the store's "Zz\h" took the key: h names it
  double value = 0;
  ASSERT_TRUE(store.Evaluate("h", &value));
  EXPECT_EQ(value, 9);
  EXPECT_EQ(store.LastFailure(), "h = 1/0: Division durch Null.");
}

// Definitions made one after another, as a document makes them, each evaluated against what stands before it
// ("name = formula", one store or a store per definition chained to the one before). The definition that closes a
// cycle marks every definition of it with the cycle, told from its own name; a shortest cycle wins; a later
// definition that reads one of them takes that reason. A name read as failed and defined anew later is no step back.
TEST_F(VariableStoreTest, TheDefinitionThatClosesACycleMarksItsDefinitionsWithIt) {
  struct Case {
    std::vector<std::pair<const char*, const char*>> definitions;
    std::vector<std::pair<const char*, const char*>> reasons;  // of the names, at the end
  };
  const Case cases[] = {
      {{{"c1", "c2+1"}, {"c2", "c1+1"}},
       {{"c1", "c1 = c2+1: Zirkelbezug c1 -> c2 -> c1"}, {"c2", "c2 = c1+1: Zirkelbezug c2 -> c1 -> c2"}}},
      {{{"a", "a + 1"}}, {{"a", "a = a + 1: Zirkelbezug a -> a"}}},
      {{{"a", "b"}, {"b", "c"}, {"c", "a"}, {"d", "2*b"}},
       {{"a", "a = b: Zirkelbezug a -> b -> c -> a"},
        {"c", "c = a: Zirkelbezug c -> a -> b -> c"},
        {"d", "d = 2*b: b = c: Zirkelbezug b -> c -> a -> b"}}},
      {{{"a", "b+c"}, {"b", "a"}, {"c", "b"}},
       {{"a", "a = b+c: Zirkelbezug a -> b -> a"}, {"c", "c = b: Zirkelbezug c -> b -> a -> c"}}},
      {{{"a", "1/0"}, {"b", "a"}, {"a", "b"}}, {{"a", "a = b: b = a: a = 1/0: Division durch Null."}}},
      {{{"a", "b"}, {"b", "5"}}, {{"a", "a = b: 'b' nicht definiert"}}},  // read before its definition, no cycle
  };
  for (const bool chained : {false, true}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(c.reasons.front().second) + (chained ? " (chained)" : ""));
      std::vector<std::unique_ptr<CVariableStore>> stores;
      stores.push_back(std::make_unique<CVariableStore>());
      for (const auto& [name, formula] : c.definitions) {
        CVariableStore& before = *stores.back();
        double value = 0;
        before.Evaluate(formula, &value);
        const CString why = before.LastFailure();
        const UnvaluedReads reads = before.LastUnvaluedReads();
        if (chained) {
          stores.push_back(std::make_unique<CVariableStore>());
          stores.back()->m_pParent = &before;
        }
        stores.back()->SetVariable(name, "", "kN", value);
        if (!why.IsEmpty()) stores.back()->SetFailedDefinition(name, formula, why, reads);
      }
      for (const auto& [name, reason] : c.reasons) {
        double value = 0;
        ASSERT_TRUE(stores.back()->Evaluate(name, &value));
        EXPECT_EQ(stores.back()->FailedReadMessage().str(), reason);
      }
    }
  }
}

// A name of a cycle defined further on, told to a store, is read before its definition as a name without a value for
// that reason, not as one defined nowhere; its definition, once there, gives what it gives; emptied, the store forgets.
TEST_F(VariableStoreTest, ANameOfACycleDefinedFurtherOnIsReadAsFailed) {
  CVariableStore top, below;
  below.m_pParent = &top;
  top.SetCycleReasons({{"c2", "c2 = c1+1: Zirkelbezug c2 -> c1 -> c2"}});
  double value = 0;
  ASSERT_TRUE(below.Evaluate("c2+1", &value));
  EXPECT_TRUE(below.UndefinedReads().empty());
  EXPECT_EQ(below.FailedReads(), std::vector<std::string>{"c2"});
  EXPECT_EQ(below.NoValueReadMessage(), "'c2' hat keinen Wert: c2 = c1+1: Zirkelbezug c2 -> c1 -> c2");
  ASSERT_TRUE(below.Evaluate("c2 = 4; c2*2", &value));  // a helper of the formula's own
  EXPECT_EQ(value, 8);
  below.SetVariable("c2", "", "", 5);
  ASSERT_TRUE(below.Evaluate("c2+1", &value));
  EXPECT_EQ(value, 6);
  EXPECT_TRUE(below.ReadsHaveValues());
  top.RemoveAll();
  below.RemoveAll();
  ASSERT_TRUE(below.Evaluate("c2+1", &value));
  EXPECT_EQ(below.UndefinedReadMessage(), "'c2' nicht definiert");
}

// What a definition is marked with when its formula gives no value: the error, the name without a value, or a
// result that is no number. A marked store emptied has no marks left.
TEST_F(VariableStoreTest, TheLastFailureSaysWhyAFormulaGaveNoValue) {
  CVariableStore store;
  struct Case {
    const char* formula;
    bool evaluates;
    std::string failure;
  };
  const std::string deep = std::string(201, '(') + "620" + std::string(201, ')');
  const Case cases[] = {
      {"1/0", false, "Division durch Null."},
      {"5 + b", true, "'b' nicht definiert"},
      {"620 +* 2", false, "Unerwartetes Symbol: *"},
      {"sqrt(-1)", false, "Fehler in sqrt"},
      {deep.c_str(), false, "Formel zu tief geschachtelt"},
      {"1e308*10", true, "Ergebnis inf ist keine endliche Zahl."},
      {"620 + 2", true, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.formula);
    double value = 0;
    EXPECT_EQ(bool(store.Evaluate(c.formula, &value)), c.evaluates);
    EXPECT_EQ(store.LastFailure().str(), c.failure);
  }
  store.SetVariable("a", "", "", 1);
  store.SetFailed("a", "a = 1/0: Division durch Null.");
  store.RemoveAll();
  store.SetVariable("a", "", "", 1);
  double value = 0;
  ASSERT_TRUE(store.Evaluate("a", &value));
  EXPECT_TRUE(store.ReadsHaveValues());
  EXPECT_EQ(FailedDefinitionText("a", "  1/0 ", "Division durch Null."), "a = 1/0: Division durch Null.");
}

}  // namespace
