// Variable definitions: persistence of the eight kinds, reading damaged files, evaluation in list order, exports
// and the check of taken-over values.
#include "formula/exportvalue.h"
#include "tests/formula/vardef_test_support.h"

using vardef_test::FakeRecord;
using vardef_test::VarDefTest;

namespace {

const unsigned char kBytes[] = {0x89, 'P', 'N', 'G', 0x00, 0x01, 0xFF, 0x00, 0x7F};

}  // namespace

// --- Persistence ---

TEST_F(VarDefTest, EveryKindRoundTripsWithAllFields) {
  CVarDefList list;
  auto& v = AddVariable(list, "h", "2*b", "cm");
  v.desc = "Höhe";
  v.bExported = TRUE;
  v.format = 5;
  v.digits = 3;
  v.textHeight = 12;
  Add<CVarDefUeberschrift>(list).title = "Abschnitt 1";
  auto& calc = Add<CVarDefBerechnung>(list);
  calc.desc = "Fläche";
  calc.unit = "m²";
  SetFormula(calc.value, "h*3");
  Add<CVarDefFreierText>(list).text = "Text mit\nZeilen";
  auto& picture = Add<CVarDefAbbildung>(list);
  picture.SetFileBuffer(kBytes, sizeof kBytes);
  picture.fileName = "C:\\plan.png";
  picture.dWidth = 8.5;
  picture.dHeight = 4.25;
  auto& sketch = Add<CVarDefKritzl>(list);
  sketch.SetFileBuffer(kBytes, 4);
  sketch.dWidth = 3;
  sketch.dHeight = 2;
  auto& taken = Add<CVarDefWertUebernahme>(list);
  taken.GetImport().varPath = "Pos1\\Auflager1\\max Az";
  taken.GetImport().desc = "Auflagerkraft";
  taken.GetImport().varName = "Az";
  taken.GetImport().value = 12.5;
  taken.GetImport().unit = "kN";
  auto& sum = Add<CVarDefSummeTabelle>(list);
  sum.desc = "Summe";
  sum.varName = "s";
  sum.unit = "kN";
  sum.bExported = TRUE;
  sum.sum = 7.25;
  list.bPageBreak = TRUE;

  CVarDefList copy;
  RoundTrip(list, copy);
  ASSERT_EQ(copy.GetSize(), 8);
  EXPECT_TRUE(copy.bPageBreak);

  auto* v2 = copy.GetAs<CVarDefVariable>(0);
  ASSERT_NE(v2, nullptr);
  EXPECT_EQ(v2->desc, "Höhe");
  EXPECT_EQ(v2->varName, "h");
  EXPECT_EQ(v2->unit, "cm");
  EXPECT_FALSE(v2->value.m_bNumber);
  EXPECT_EQ(v2->value.m_strText, "2*b");
  EXPECT_TRUE(v2->bExported);
  EXPECT_EQ(v2->format, 5);
  EXPECT_EQ(v2->digits, 3);
  EXPECT_EQ(v2->textHeight, 12);
  EXPECT_EQ(copy.GetAs<CVarDefUeberschrift>(1)->title, "Abschnitt 1");
  EXPECT_EQ(copy.GetAs<CVarDefBerechnung>(2)->value.m_strText, "h*3");
  EXPECT_EQ(copy.GetAs<CVarDefBerechnung>(2)->unit, "m²");
  EXPECT_EQ(copy.GetAs<CVarDefFreierText>(3)->text, "Text mit\nZeilen");
  auto* p2 = copy.GetAs<CVarDefAbbildung>(4);
  ASSERT_NE(p2, nullptr);
  ASSERT_EQ(p2->GetBufferSize(), sizeof kBytes);
  EXPECT_EQ(std::memcmp(p2->GetFileBuffer(), kBytes, sizeof kBytes), 0);
  EXPECT_EQ(p2->fileName, "C:\\plan.png");
  EXPECT_DOUBLE_EQ(p2->dWidth, 8.5);
  EXPECT_DOUBLE_EQ(p2->dHeight, 4.25);
  auto* k2 = copy.GetAs<CVarDefKritzl>(5);
  ASSERT_NE(k2, nullptr);
  EXPECT_EQ(k2->GetBufferSize(), 4u);
  EXPECT_DOUBLE_EQ(k2->dHeight, 2.0);
  const CImportRecord& r2 = copy.GetAs<CVarDefWertUebernahme>(6)->GetImport();
  EXPECT_EQ(r2.varPath, "Pos1\\Auflager1\\max Az");
  EXPECT_EQ(r2.desc, "Auflagerkraft");
  EXPECT_EQ(r2.varName, "Az");
  EXPECT_DOUBLE_EQ(r2.value, 12.5);
  EXPECT_EQ(r2.unit, "kN");
  auto* s2 = copy.GetAs<CVarDefSummeTabelle>(7);
  EXPECT_EQ(s2->varName, "s");
  EXPECT_DOUBLE_EQ(s2->sum, 7.25);
  EXPECT_TRUE(s2->bExported);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(VarDefTest, GapsAreWrittenByIndexAndRestored) {
  CVarDefList list;
  list.SetSize(3);
  list.SetEntryType(0, CVarDefEntry::kUeberschrift);
  list.SetEntryType(2, CVarDefEntry::kFreierText);
  int root = NewRoot();
  list.WriteData(root);
  int vardef = VIDUV_FindFirstChild(root, "vardef");
  EXPECT_EQ(VIDUV_GetInt(vardef, "numOfEntries"), 3);
  EXPECT_DOUBLE_EQ(VIDUV_GetDouble(vardef, "version"), 1.1);
  std::vector<int> indices;
  for (int e = VIDUV_FindFirstChild(vardef, "entry"); e; e = VIDUV_FindNextChild(e, "entry"))
    indices.push_back(VIDUV_GetInt(e, "idx"));
  EXPECT_EQ(indices, (std::vector<int>{0, 2}));

  CVarDefList copy;
  copy.ReadData(root);
  ASSERT_EQ(copy.GetSize(), 3);
  EXPECT_NE(copy.GetAs<CVarDefUeberschrift>(0), nullptr);
  EXPECT_EQ(copy.GetAt(1), nullptr);
  EXPECT_NE(copy.GetAs<CVarDefFreierText>(2), nullptr);
}

TEST_F(VarDefTest, EmptyListRemovesTheElement) {
  int root = NewRoot();
  VIDUV_AddChildElement(root, "vardef");
  VIDUV_AddChildElement(root, "vardef");
  CVarDefList list;
  list.WriteData(root);
  EXPECT_EQ(VIDUV_FindFirstChild(root, "vardef"), 0);
}

TEST_F(VarDefTest, DefaultsOfMissingCommonAttributes) {
  int root = NewRoot();
  int vardef = VIDUV_AddChildElement(root, "vardef");
  VIDUV_SetDouble(vardef, "version", 1.1);
  VIDUV_SetInt(vardef, "numOfEntries", 1);
  int entry = VIDUV_AddChildElement(vardef, "entry");
  VIDUV_SetInt(entry, "idx", 0);
  VIDUV_SetInt(entry, "type", 3);
  CVarDefList list;
  list.ReadData(root);
  ASSERT_NE(list.GetAt(0), nullptr);
  EXPECT_EQ(list.GetAt(0)->format, 0);
  EXPECT_EQ(list.GetAt(0)->textHeight, 0);
  EXPECT_EQ(list.GetAt(0)->digits, 2);
}

TEST_F(VarDefTest, OldFormWithoutVersion) {
  int root = NewRoot();
  int vardef = VIDUV_AddChildElement(root, "vardef");
  VIDUV_SetInt(vardef, "numOfVars", 2);
  VIDUV_SetInt(vardef, "bPageBreak", 1);
  int head = VIDUV_AddChildElement(vardef, "var");
  VIDUV_SetInt(head, "idx", 0);
  VIDUV_SetInt(head, "bHeader", 1);
  VIDUV_SetString(head, "name", "Geometrie");
  int var = VIDUV_AddChildElement(vardef, "var");
  VIDUV_SetInt(var, "idx", 1);
  VIDUV_SetString(var, "name", "Breite");
  VIDUV_SetString(var, "shortName", "b");
  VIDUV_SetDouble(var, "val", 0.3);
  VIDUV_SetString(var, "unit", "m");

  CVarDefList list;
  list.ReadData(root);
  ASSERT_EQ(list.GetSize(), 2);
  EXPECT_EQ(list.GetAs<CVarDefUeberschrift>(0)->title, "Geometrie");
  auto* b = list.GetAs<CVarDefVariable>(1);
  ASSERT_NE(b, nullptr);
  EXPECT_EQ(b->desc, "Breite");
  EXPECT_EQ(b->varName, "b");
  EXPECT_EQ(b->unit, "m");
  EXPECT_DOUBLE_EQ(b->value.GetValue(), 0.3);
  EXPECT_FALSE(b->bExported);
  EXPECT_FALSE(list.bPageBreak);  // the old form has none
}

// --- Damaged files ---

struct BadIndexCase {
  const char* name;
  int count;
  std::vector<int> indices;
  std::vector<int> kept;  // slots that hold an entry afterwards
  std::size_t messages;
};

void PrintTo(const BadIndexCase& c, std::ostream* os) { *os << c.name; }

class VarDefBadIndex : public VarDefTest, public testing::WithParamInterface<BadIndexCase> {};

TEST_P(VarDefBadIndex, OutOfRangeIsIgnoredWithAMessage) {
  const BadIndexCase& c = GetParam();
  int root = NewRoot();
  int vardef = VIDUV_AddChildElement(root, "vardef");
  VIDUV_SetDouble(vardef, "version", 1.1);
  VIDUV_SetInt(vardef, "numOfEntries", c.count);
  for (int idx : c.indices) {
    int entry = VIDUV_AddChildElement(vardef, "entry");
    VIDUV_SetInt(entry, "idx", idx);
    VIDUV_SetInt(entry, "type", 1);
  }
  CVarDefList list;
  list.ReadData(root);
  EXPECT_EQ(list.GetSize(), std::max(c.count, 0));
  std::vector<int> kept;
  for (int i = 0; i < list.GetSize(); ++i)
    if (list.GetAt(i)) kept.push_back(i);
  EXPECT_EQ(kept, c.kept);
  EXPECT_EQ(Messages().size(), c.messages);
}

INSTANTIATE_TEST_SUITE_P(Files, VarDefBadIndex,
                         testing::Values(BadIndexCase{"inside", 2, {1, 0}, {0, 1}, 0},
                                         BadIndexCase{"past_the_end", 2, {0, 2}, {0}, 1},
                                         BadIndexCase{"negative", 2, {-1, 1}, {1}, 1},
                                         BadIndexCase{"no_slots", 0, {0}, {}, 1},
                                         // A negative count is damage: no slots, one message for it and one per entry.
                                         BadIndexCase{"negative_count", -3, {0}, {}, 2}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(VarDefTest, HugeSlotCountIsRefusedNotAllocated) {
  int root = NewRoot();
  int vardef = VIDUV_AddChildElement(root, "vardef");
  VIDUV_SetDouble(vardef, "version", 1.1);
  VIDUV_SetInt(vardef, "numOfEntries", 2000000000);
  int entry = VIDUV_AddChildElement(vardef, "entry");
  VIDUV_SetInt(entry, "idx", 1);
  VIDUV_SetInt(entry, "type", 3);
  CVarDefList list;
  list.ReadData(root);
  EXPECT_LE(list.GetSize(), 65536);
  EXPECT_NE(list.GetAs<CVarDefFreierText>(1), nullptr);
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(VarDefTest, DuplicatedOrMissingElementLeavesTheListAsItWas) {
  CVarDefList list;
  AddVariable(list, "a", "2");
  int root = NewRoot();
  list.ReadData(root);  // no "vardef"
  EXPECT_EQ(list.GetSize(), 1);
  EXPECT_TRUE(Messages().empty());

  VIDUV_AddChildElement(root, "vardef");
  VIDUV_AddChildElement(root, "vardef");
  list.ReadData(root);
  EXPECT_EQ(list.GetSize(), 1);
  EXPECT_NE(list.GetAs<CVarDefVariable>(0), nullptr);
  EXPECT_EQ(Messages().size(), 1u);
}

TEST_F(VarDefTest, UnknownKindLeavesAnEmptySlot) {
  int root = NewRoot();
  int vardef = VIDUV_AddChildElement(root, "vardef");
  VIDUV_SetDouble(vardef, "version", 1.1);
  VIDUV_SetInt(vardef, "numOfEntries", 2);
  for (int i = 0; i < 2; ++i) {
    int entry = VIDUV_AddChildElement(vardef, "entry");
    VIDUV_SetInt(entry, "idx", i);
    VIDUV_SetInt(entry, "type", i == 0 ? 8 : 1);
  }
  CVarDefList list;
  list.ReadData(root);
  EXPECT_EQ(list.GetAt(0), nullptr);
  EXPECT_NE(list.GetAt(1), nullptr);
  int again = NewRoot();
  list.WriteData(again);
  int written = VIDUV_FindFirstChild(VIDUV_FindFirstChild(again, "vardef"), "entry");
  EXPECT_EQ(VIDUV_GetInt(written, "idx"), 1);
  EXPECT_EQ(VIDUV_FindNextChild(written, "entry"), 0);
}

TEST_F(VarDefTest, KindMismatchWarnsAndReadsOn) {
  int root = NewRoot();
  VIDUV_SetInt(root, "type", 2);
  VIDUV_SetString(root, "title", "Titel");
  CVarDefUeberschrift heading;
  heading.ReadData(root);
  EXPECT_EQ(heading.title, "Titel");
  EXPECT_EQ(heading.type, 1);
  ASSERT_EQ(Messages().size(), 1u);
  EXPECT_EQ(Messages()[0], "Wrong class type in CVarDefEntry::ReadData");
}

// --- List operations ---

TEST_F(VarDefTest, CreateGivesEveryKindAndNothingElse) {
  for (int code = 0; code < 8; ++code) {
    auto entry = CVarDefEntry::Create(code);
    ASSERT_NE(entry, nullptr) << code;
    EXPECT_EQ(entry->type, code);
    EXPECT_EQ(entry->digits, 2);
  }
  EXPECT_EQ(CVarDefEntry::Create(-1), nullptr);
  EXPECT_EQ(CVarDefEntry::Create(8), nullptr);
}

TEST_F(VarDefTest, SetEntryTypeKeepsASameKindEntry) {
  CVarDefList list;
  list.SetSize(2);
  list.SetEntryType(0, CVarDefEntry::kVariable);
  CVarDefEntry* first = list.GetAt(0);
  static_cast<CVarDefVariable*>(first)->varName = "x";
  list.SetEntryType(0, CVarDefEntry::kVariable);
  EXPECT_EQ(list.GetAt(0), first);
  list.SetEntryType(0, CVarDefEntry::kFreierText);
  EXPECT_NE(list.GetAs<CVarDefFreierText>(0), nullptr);
  list.SetEntryType(5, CVarDefEntry::kFreierText);  // outside: nothing
  EXPECT_EQ(list.GetSize(), 2);
  list.SetSize(1);
  EXPECT_EQ(list.GetSize(), 1);
}

TEST_F(VarDefTest, CopyFromTakesOnlyTheSameKind) {
  CVarDefSummeTabelle source;
  source.desc = "Summe";
  source.varName = "s";
  source.unit = "kN";
  source.bExported = TRUE;
  source.sum = 9.0;
  CVarDefSummeTabelle target;
  target.CopyFrom(source);
  EXPECT_EQ(target.varName, "s");
  EXPECT_TRUE(target.bExported);
  EXPECT_DOUBLE_EQ(target.sum, 0.0);  // the sum is computed, not copied

  CVarDefAbbildung picture;
  picture.SetFileBuffer(kBytes, sizeof kBytes);
  picture.fileName = "a.png";
  CVarDefAbbildung pictureCopy;
  pictureCopy.CopyFrom(picture);
  ASSERT_EQ(pictureCopy.GetBufferSize(), sizeof kBytes);
  EXPECT_NE(pictureCopy.GetFileBuffer(), picture.GetFileBuffer());
  EXPECT_EQ(std::memcmp(pictureCopy.GetFileBuffer(), kBytes, sizeof kBytes), 0);

  CVarDefFreierText text;
  text.text = "unverändert";
  text.CopyFrom(source);
  EXPECT_EQ(text.text, "unverändert");
}

// --- Evaluation ---

TEST_F(VarDefTest, TableSumAddsUpSinceTheLastBreak) {
  CVarDefList list;
  AddVariable(list, "a", "2");
  auto& b = AddVariable(list, "b", "a*3");
  auto& s = Add<CVarDefSummeTabelle>(list);
  s.varName = "s";
  list.UpdateVariables();
  EXPECT_DOUBLE_EQ(b.value.GetValue(), 6.0);
  EXPECT_DOUBLE_EQ(s.sum, 8.0);

  list.InsertAt(2, std::make_unique<CVarDefUeberschrift>());
  list.UpdateVariables();
  EXPECT_DOUBLE_EQ(list.GetAs<CVarDefSummeTabelle>(3)->sum, 0.0);
}

// Hand calculation of the chain below:
//   Az = 10 (taken over); c = Az*2 = 20; calculation c+1 = 21; s1 = 10 + 20 + 21 = 51; d = s1/3 = 17;
//   s2 = 51 + 17 = 68 (a sum does not reset the running sum); free text and picture reset it;
//   e = s2 + 1 = 69; s3 = 69; sketch and heading reset; s4 = 0.
TEST_F(VarDefTest, AllKindsEvaluateInListOrder) {
  GetVarDefServices().createImportRecord = [] { return std::make_unique<FakeRecord>(); };
  CVarDefList list;
  auto& az = Add<CVarDefWertUebernahme>(list).GetImport();
  az.varPath = "Pos1\\Auflager\\Az";
  az.varName = "Az";
  az.desc = "Auflagerkraft";
  az.unit = "kN";
  az.value = 10.0;
  auto& c = AddVariable(list, "c", "Az*2", "kN");
  c.bExported = TRUE;
  auto& calc = Add<CVarDefBerechnung>(list);
  SetFormula(calc.value, "c+1");
  auto& s1 = Add<CVarDefSummeTabelle>(list);
  s1.varName = "s1";
  AddVariable(list, "d", "s1/3");
  auto& s2 = Add<CVarDefSummeTabelle>(list);
  s2.varName = "s2";
  s2.desc = "Zwischensumme";
  s2.unit = "kN";
  s2.bExported = TRUE;
  Add<CVarDefFreierText>(list);
  Add<CVarDefAbbildung>(list);
  AddVariable(list, "e", "s2+1");
  Add<CVarDefSummeTabelle>(list).varName = "s3";
  Add<CVarDefKritzl>(list);
  Add<CVarDefUeberschrift>(list);
  Add<CVarDefSummeTabelle>(list).varName = "s4";

  CStringArray names, descriptions, units;
  CArray<double, double> values;
  list.GetVariables(names, descriptions, units, values, FALSE);
  const std::vector<std::string> expectedNames = {"Pos1\\Auflager\\Az", "c", "s1", "d", "s2", "e", "s3", "s4"};
  const std::vector<double> expectedValues = {10, 20, 51, 17, 68, 69, 69, 0};
  ASSERT_EQ(std::size_t(names.GetSize()), expectedNames.size());
  for (std::size_t i = 0; i < expectedNames.size(); ++i) {
    EXPECT_EQ(names[INT_PTR(i)].str(), expectedNames[i]);
    EXPECT_NEAR(values[INT_PTR(i)], expectedValues[i], 1e-12) << expectedNames[i];
  }
  EXPECT_DOUBLE_EQ(calc.value.GetValue(), 21.0);

  list.GetVariables(names, descriptions, units, values, TRUE);
  ASSERT_EQ(names.GetSize(), 3);  // taken-over values always, then the flagged ones
  EXPECT_EQ(names[0], "Pos1\\Auflager\\Az");
  EXPECT_EQ(names[1], "c");
  EXPECT_EQ(names[2], "s2");
  EXPECT_EQ(descriptions[2], "Zwischensumme");

  int exports = NewRoot();
  list.WriteExports(exports);
  std::vector<std::pair<std::string, double>> written;
  for (int v = VIDUV_GetFirstChild(exports); v; v = VIDUV_GetNextChild(v)) {
    EXPECT_STREQ(VIDUV_GetElementName(v), "value");
    written.emplace_back(VIDUV_GetString(v, "varName"), VIDUV_GetDouble(v, "val"));
  }
  EXPECT_EQ(written, (std::vector<std::pair<std::string, double>>{{"c", 20.0}, {"s2", 68.0}}));
  int first = VIDUV_GetFirstChild(exports);
  EXPECT_STREQ(VIDUV_GetString(first, "desc"), "Wert c");
  EXPECT_STREQ(VIDUV_GetString(first, "unit"), "kN");
}

TEST_F(VarDefTest, AVariableDefinedBelowIsUndefined) {
  CVarDefList list;
  auto& b = AddVariable(list, "b", "a*2");
  AddVariable(list, "a", "3");
  list.UpdateVariables();
  EXPECT_DOUBLE_EQ(b.value.GetValue(), 0.0);
  bool undefined = false;
  for (const CVarMessage& m : b.value.m_pStore->m_Messages) undefined |= m.m_nCode == 32;
  EXPECT_TRUE(undefined);
}

TEST_F(VarDefTest, TakenOverValuesShareOneKeyTheLaterWins) {
  CVarDefList list;
  auto& first = Add<CVarDefWertUebernahme>(list).GetImport();
  first.varPath = "P1\\F\\x";
  first.varName = "x";
  first.value = 1.0;
  auto& second = Add<CVarDefWertUebernahme>(list).GetImport();
  second.varPath = "P2\\G\\x";
  second.varName = "x";
  second.value = 2.0;
  auto& y = AddVariable(list, "y", "x");
  list.UpdateVariables();
  double x = 0;
  ASSERT_TRUE(list.store.Evaluate("x", &x));
  EXPECT_DOUBLE_EQ(x, 2.0);
  EXPECT_DOUBLE_EQ(y.value.GetValue(), 2.0);
}

TEST_F(VarDefTest, BarInDescriptionOrUnitKeepsTheKey) {
  CVarDefList list;
  auto& b = AddVariable(list, "b", "0.3", "m|cm");
  b.desc = "Breite|innen";
  auto& h = AddVariable(list, "h", "2*b");
  CStringArray names, descriptions, units;
  CArray<double, double> values;
  list.GetVariables(names, descriptions, units, values, FALSE);
  EXPECT_EQ(names[0], "b");
  EXPECT_EQ(descriptions[0], "Breite|innen");
  EXPECT_EQ(units[0], "m|cm");
  EXPECT_DOUBLE_EQ(h.value.GetValue(), 0.6);
  double found = 0;
  EXPECT_TRUE(b.store.Evaluate("b", &found));
  EXPECT_DOUBLE_EQ(found, 0.3);
}

// --- Taken-over values ---

TEST_F(VarDefTest, ReadingATakenOverValueRefreshesIt) {
  GetVarDefServices().createImportRecord = [] { return std::make_unique<FakeRecord>(); };
  FakeRecord::sources = {{"Pos1\\v", 42.0}};
  CVarDefList list;
  auto& r = Add<CVarDefWertUebernahme>(list).GetImport();
  r.varPath = "Pos1\\v";
  r.value = 1.0;
  CVarDefList copy;
  int root = NewRoot();
  list.WriteData(root);
  copy.ReadData(root);
  EXPECT_EQ(FakeRecord::updates, 1);
  EXPECT_DOUBLE_EQ(copy.GetAs<CVarDefWertUebernahme>(0)->GetImport().value, 42.0);
  EXPECT_TRUE(copy.GetAt(0)->GetImportText()->IsEmpty());
}

// Every taken-over value is refreshed beside the list's position; those that kept their old numbers are named in
// one warning, and reading goes on.
TEST_F(VarDefTest, ReadingWarnsOnceAboutTheValuesThatKeptTheirOldNumbers) {
  GetVarDefServices().createImportRecord = [] { return std::make_unique<FakeRecord>(); };
  FakeRecord::sources = {{"Pos1\\v", 42.0}};
  CVarDefList list;
  for (const char* path : {"Pos2\\w", "Pos1\\v", "Pos3\\u"})
    Add<CVarDefWertUebernahme>(list).GetImport().varPath = path;
  AddVariable(list, "a", "1");
  int root = NewRoot();
  list.WriteData(root);
  CVarDefList copy;
  copy.positionFile = "/projekt/A.tqx";
  copy.ReadData(root);
  EXPECT_EQ(FakeRecord::positionFiles, (std::vector<std::string>(3, "/projekt/A.tqx")));
  ASSERT_EQ(copy.GetSize(), 4);
  EXPECT_DOUBLE_EQ(copy.GetAs<CVarDefWertUebernahme>(1)->GetImport().value, 42.0);
  EXPECT_EQ(Messages(),
            (std::vector<std::string>{"Übernommene Werte wurden nicht aktualisiert; es wird mit ihren alten Werten "
                                      "gerechnet:\nlost Pos2\\w\nlost Pos3\\u"}));
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].type & UINT(MB_ICONMASK), UINT(MB_ICONWARNING));

  // The check of lost values refreshes beside the same position.
  FakeRecord::positionFiles.clear();
  copy.CheckImportedValues();
  EXPECT_EQ(FakeRecord::positionFiles, (std::vector<std::string>(3, "/projekt/A.tqx")));

  // All refreshed: not a word.
  FakeRecord::sources = {{"Pos1\\v", 42.0}, {"Pos2\\w", 1.0}, {"Pos3\\u", 2.0}};
  win::msgbox::ClearLog();
  CVarDefList found;
  found.ReadData(root);
  EXPECT_TRUE(Messages().empty());
}

TEST_F(VarDefTest, GetImportDataCopiesWithoutStatus) {
  GetVarDefServices().createImportRecord = [] { return std::make_unique<FakeRecord>(); };
  CVarDefList list;
  AddVariable(list, "a", "1");
  auto& r = Add<CVarDefWertUebernahme>(list).GetImport();
  r.varPath = "P\\x";
  r.varName = "x";
  r.value = 3.0;
  r.Update();  // lost: status set
  ASSERT_FALSE(r.status.IsEmpty());
  CArray<CImportRecord> records;
  records.Add(CImportRecord());
  list.GetImportData(records);
  ASSERT_EQ(records.GetSize(), 1);
  EXPECT_EQ(records[0].varPath, "P\\x");
  EXPECT_DOUBLE_EQ(records[0].value, 3.0);
  EXPECT_TRUE(records[0].status.IsEmpty());
}

class CheckImportedTest : public VarDefTest {
 protected:
  void SetUp() override {
    VarDefTest::SetUp();
    GetVarDefServices().createImportRecord = [] { return std::make_unique<FakeRecord>(); };
    GetVarDefServices().readIntSetting = [this](const char* name, int defaultValue) {
      return std::string(name) == "bLTWarning" ? warning : defaultValue;
    };
    GetVarDefServices().showLostValues = [this](CStringArray& lines) {
      ++shown;
      shownLines.clear();
      for (const CString& line : lines) shownLines.push_back(line.str());
      for (int i : drop)
        if (i < lines.GetSize()) lines[i].Empty();
      return answerOk;
    };
    FakeRecord::sources = {{"Pos2\\ok", 5.0}};
    AddTaken("Pos1\\F\\lost1", "kN", 1.5);
    AddTaken("Pos2\\ok", "m", 0.0);
    AddTaken("Pos3\\lost2", "", 2.0);
  }
  void AddTaken(const char* path, const char* unit, double value) {
    auto& r = Add<CVarDefWertUebernahme>(list).GetImport();
    r.varPath = path;
    r.varName = "v";
    r.unit = unit;
    r.value = value;
  }
  std::vector<std::string> Paths() const {
    std::vector<std::string> paths;
    for (int i = 0; i < list.GetSize(); ++i)
      paths.push_back(list.GetAs<CVarDefWertUebernahme>(i)->GetImport().varPath.str());
    return paths;
  }

  CVarDefList list;
  int warning = 1;
  int shown = 0;
  bool answerOk = true;
  std::vector<int> drop;
  std::vector<std::string> shownLines;
};

TEST_F(CheckImportedTest, LostValuesAreListedAndDroppedOnRequest) {
  drop = {1};  // the second lost line: Pos3
  list.CheckImportedValues();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(shownLines, (std::vector<std::string>{"Pos1\\F\\lost1 [kN] = 1.50", "Pos3\\lost2 [] = 2.00"}));
  EXPECT_EQ(Paths(), (std::vector<std::string>{"Pos1\\F\\lost1", "Pos2\\ok"}));
  EXPECT_DOUBLE_EQ(list.GetAs<CVarDefWertUebernahme>(1)->GetImport().value, 5.0);

  list.CheckImportedValues();  // shown once per list
  EXPECT_EQ(shown, 1);
  list.RemoveAll();
  AddTaken("Pos9\\x", "", 0);
  list.CheckImportedValues();
  EXPECT_EQ(shown, 2);
}

TEST_F(CheckImportedTest, CancelOrSwitchedOffWarningKeepsEverything) {
  drop = {0, 1};
  answerOk = false;
  list.CheckImportedValues();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(list.GetSize(), 3);

  list.RemoveAll();
  warning = 0;
  AddTaken("Pos1\\lost", "", 0);
  list.CheckImportedValues();
  EXPECT_EQ(shown, 1);
  EXPECT_EQ(list.GetSize(), 1);
}

namespace {

using namespace vardef_test;

// A variable of the table whose formula gives no value is marked with why, and so is every later one that reads
// it and a sum that adds it; defined in a position's store, each keeps the mark, the later of two entries of a
// name deciding.
TEST_F(VarDefTest, AVariableWhoseFormulaFailsIsMarkedWithWhy) {
  struct Case {
    std::vector<std::pair<const char*, const char*>> variables;  // name, formula
    std::string failure;                                         // of "a"
  };
  const Case cases[] = {
      {{{"a", "b"}}, "a = b: 'b' nicht definiert"},
      {{{"a", "b"}, {"b", "a"}}, "a = b: Zirkelbezug a -> b -> a"},  // b is below a, but the two are a cycle
      {{{"a", "a + 1"}}, "a = a + 1: Zirkelbezug a -> a"},
      {{{"a", "1/0"}}, "a = 1/0: Division durch Null."},
      {{{"a", "1e308*10"}}, "a = 1e308*10: Ergebnis inf ist keine endliche Zahl."},
      {{{"a", "620"}}, ""},
      {{{"b", "310"}, {"a", "2*b"}}, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.variables.back().second);
    CVarDefList list;
    CVariableStore position;
    DefineTable(c.variables, list, position);
    double value = 0;
    ASSERT_TRUE(position.Evaluate("a", &value));
    EXPECT_EQ(position.FailedReadMessage().str(), c.failure);
    if (c.failure.empty()) {
      EXPECT_EQ(value, 620);
    }
  }

  // b = a reads a failed a: b fails with a's reason; the sum of both too; a later good a takes the mark away
  CVarDefList list;
  AddVariable(list, "a", "1/0");
  AddVariable(list, "b", "a*2");
  Add<CVarDefSummeTabelle>(list).varName = "s";
  CVariableStore position;
  list.DefineIn(position);
  double value = 0;
  ASSERT_TRUE(position.Evaluate("b", &value));
  EXPECT_EQ(position.FailedReadMessage(), "b = a*2: a = 1/0: Division durch Null.");
  ASSERT_TRUE(position.Evaluate("s", &value));
  EXPECT_EQ(position.FailedReadMessage(), "a = 1/0: Division durch Null.");
  AddVariable(list, "a", "620");
  list.DefineIn(position);
  ASSERT_TRUE(position.Evaluate("a", &value));
  EXPECT_EQ(value, 620);
  EXPECT_TRUE(position.ReadsHaveValues());
  ASSERT_TRUE(position.Evaluate("b", &value));
  EXPECT_FALSE(position.ReadsHaveValues());
}

}  // namespace

namespace {

using namespace vardef_test;

// Definitions that read each other round a cycle say the cycle, each told from its own name on, a shortest one where
// there are several; a definition that reads one of them says its reason; a row above the cycle's name reads it as
// one without a value for the cycle. Reading a failed name that a later row defines anew is no cycle.
TEST_F(VarDefTest, ACycleOfDefinitionsSaysTheCycle) {
  struct Case {
    std::vector<std::pair<const char*, const char*>> variables;  // name, formula
    std::vector<std::pair<const char*, const char*>> failures;   // name, its reason
  };
  const Case cases[] = {
      {{{"c1", "c2+1"}, {"c2", "c1+1"}},
       {{"c1", "c1 = c2+1: Zirkelbezug c1 -> c2 -> c1"}, {"c2", "c2 = c1+1: Zirkelbezug c2 -> c1 -> c2"}}},
      {{{"a", "b"}, {"b", "c"}, {"c", "a*2"}},
       {{"a", "a = b: Zirkelbezug a -> b -> c -> a"},
        {"b", "b = c: Zirkelbezug b -> c -> a -> b"},
        {"c", "c = a*2: Zirkelbezug c -> a -> b -> c"}}},
      // the cycle in the middle of the table; d above it and e below it read one of its names, f is defined nowhere
      {{{"d", "2*c2"}, {"c1", "c2+1"}, {"e", "c1/2"}, {"c2", "c1+1"}, {"g", "f+1"}},
       {{"d", "d = 2*c2: c2 = c1+1: Zirkelbezug c2 -> c1 -> c2"},
        {"e", "e = c1/2: c1 = c2+1: Zirkelbezug c1 -> c2 -> c1"},
        {"c1", "c1 = c2+1: Zirkelbezug c1 -> c2 -> c1"},
        {"g", "g = f+1: 'f' nicht definiert"}}},
      // a shortest cycle of two: a -> b -> a, not a -> b -> c -> a
      {{{"a", "b+c"}, {"b", "a"}, {"c", "b"}}, {{"a", "a = b+c: Zirkelbezug a -> b -> a"}}},
      // b reads the first a, which failed; the second a reads b: no cycle, the first a's reason stays
      {{{"a", "1/0"}, {"b", "a"}, {"a", "b"}},
       {{"b", "b = a: a = 1/0: Division durch Null."}, {"a", "a = b: b = a: a = 1/0: Division durch Null."}}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.failures.front().second);
    CVarDefList list;
    CVariableStore position;
    DefineTable(c.variables, list, position);
    for (const auto& [name, reason] : c.failures) {
      double value = 0;
      ASSERT_TRUE(position.Evaluate(name, &value));
      EXPECT_EQ(position.FailedReadMessage().str(), reason);
    }
  }

  // The rows as the variables page shows them: each formula evaluated where it stands says why it has no value.
  CVarDefList list;
  AddVariable(list, "c1", "c2+1");
  AddVariable(list, "c2", "c1+1");
  list.UpdateVariables();
  EXPECT_EQ(list.GetAs<CVarDefVariable>(0)->value.WhyNoValue(),
            "'c2' hat keinen Wert: c2 = c1+1: Zirkelbezug c2 -> c1 -> c2");
  EXPECT_EQ(list.GetAs<CVarDefVariable>(1)->value.WhyNoValue(),
            "'c1' hat keinen Wert: c1 = c2+1: Zirkelbezug c1 -> c2 -> c1");
  EXPECT_EQ(list.GetAs<CVarDefVariable>(0)->failure, "c1 = c2+1: Zirkelbezug c1 -> c2 -> c1");
  // the cycle broken: c2 = 5 gives c1 = 6 at once; c1 above reads c2 as defined nowhere above it, as ever
  list.GetAs<CVarDefVariable>(1)->value = "5";
  list.UpdateVariables();
  EXPECT_EQ(list.GetAs<CVarDefVariable>(0)->value.WhyNoValue(), "'c2' nicht definiert");
  EXPECT_TRUE(list.GetAs<CVarDefVariable>(1)->failure.IsEmpty());
}

// Exported entries whose definition failed are written as failed values with why and without a number; the one
// that worked as its number. A sum that adds a failed value fails with it.
TEST_F(VarDefTest, AFailedExportIsWrittenAsFailedWithoutANumber) {
  CVarDefList list;
  AddVariable(list, "a", "1/0", "kN").bExported = TRUE;
  AddVariable(list, "g", "620", "kN").bExported = TRUE;
  auto& sum = Add<CVarDefSummeTabelle>(list);
  sum.varName = "s";
  sum.desc = "Summe";
  sum.bExported = TRUE;
  list.UpdateVariables();
  const int exports = NewRoot();
  list.WriteExports(exports);
  struct Written {
    std::string element, varName, reason;
    bool hasVal;
    double val;
    bool operator==(const Written&) const = default;
  };
  std::vector<Written> written;
  for (int v = VIDUV_GetFirstChild(exports); v; v = VIDUV_GetNextChild(v)) {
    const bool hasVal = *VIDUV_GetString(v, "val") != '\0';
    written.push_back({VIDUV_GetElementName(v), VIDUV_GetString(v, "varName"), ExportedFailure(v).str(), hasVal,
                       hasVal ? VIDUV_GetDouble(v, "val") : 0.0});
  }
  const std::string why = "a = 1/0: Division durch Null.";
  EXPECT_EQ(written, (std::vector<Written>{{"failedValue", "a", why, false, 0.0},
                                           {"value", "g", "", true, 620.0},
                                           {"failedValue", "s", why, false, 0.0}}));
  EXPECT_EQ(list.FailedExports(), (std::vector<std::string>{"a: " + why, "s: " + why}));
}

// A taken-over value whose source exports it as failed has no value here: a formula that reads it, and a sum that
// adds it, are told why with the source position; a value that the source gives is taken as before.
TEST_F(VarDefTest, ATakenOverValueWhoseSourceFailedHasNoValue) {
  CVarDefList list;
  auto& failed = Add<CVarDefWertUebernahme>(list).GetImport();
  failed.varPath = "EX\\a";
  failed.varName = "a";
  failed.value = 555;
  failed.failure = "a = 1/0: Division durch Null.";
  auto& good = Add<CVarDefWertUebernahme>(list).GetImport();
  good.varPath = "EX\\g";
  good.varName = "g";
  good.value = 620;
  Add<CVarDefSummeTabelle>(list).varName = "s";
  AddVariable(list, "b", "g*2", "kN");
  const std::string why = "a = EX\\a: Definition in EX fehlgeschlagen: a = 1/0: Division durch Null.";
  EXPECT_EQ(TakenOverFailure(failed).str(), why);
  EXPECT_TRUE(TakenOverFailure(good).IsEmpty());
  CVariableStore position;
  list.DefineIn(position);
  double value = 0;
  for (const char* formula : {"a", "a*2", "s"}) {
    SCOPED_TRACE(formula);
    ASSERT_TRUE(position.Evaluate(formula, &value));
    EXPECT_EQ(position.FailedReadMessage().str(), why);
  }
  ASSERT_TRUE(position.Evaluate("b", &value));
  EXPECT_TRUE(position.ReadsHaveValues());
  EXPECT_EQ(value, 1240);
  // read again with a source that gives a value: the mark goes
  failed.failure.Empty();
  list.DefineIn(position);
  ASSERT_TRUE(position.Evaluate("a", &value));
  EXPECT_TRUE(position.ReadsHaveValues());
  EXPECT_EQ(value, 555);
}

}  // namespace
