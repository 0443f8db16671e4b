#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/win/afx.h"

namespace {

TEST(CStringTest, ExtractionClampsToTheText) {
  CString s("Stuetze");
  EXPECT_EQ(s.Mid(2), "uetze");
  EXPECT_EQ(s.Mid(2, 3), "uet");
  EXPECT_EQ(s.Mid(5, 100), "ze");
  EXPECT_EQ(s.Mid(100), "");
  EXPECT_EQ(s.Mid(-3, 2), "St");
  EXPECT_EQ(s.Left(3), "Stu");
  EXPECT_EQ(s.Left(-1), "");
  EXPECT_EQ(s.Right(2), "ze");
  EXPECT_EQ(s.Right(50), "Stuetze");
  EXPECT_EQ(s.GetAt(100), '\0');
}

TEST(CStringTest, SearchingFindsPositionsOrMinusOne) {
  CString s("a.b\\c.d");
  EXPECT_EQ(s.Find('.'), 1);
  EXPECT_EQ(s.Find('.', 2), 5);
  EXPECT_EQ(s.Find('.', 7), -1);
  EXPECT_EQ(s.Find("c."), 4);
  EXPECT_EQ(s.Find("x"), -1);
  EXPECT_EQ(s.ReverseFind('\\'), 3);
  EXPECT_EQ(s.ReverseFind('x'), -1);
  EXPECT_EQ(s.FindOneOf("\\d"), 3);
}

TEST(CStringTest, EditingOperations) {
  CString s("  1,5 kN  ");
  s.Trim();
  EXPECT_EQ(s, "1,5 kN");
  EXPECT_EQ(s.Replace(',', '.'), 1);
  EXPECT_EQ(s, "1.5 kN");
  EXPECT_EQ(s.Replace("kN", "MN"), 1);
  EXPECT_EQ(s, "1.5 MN");
  EXPECT_EQ(s.Replace("", "x"), 0);
  s.Insert(0, "N=");
  EXPECT_EQ(s, "N=1.5 MN");
  s.Delete(0, 2);
  EXPECT_EQ(s, "1.5 MN");
  EXPECT_EQ(s.Remove(' '), 1);
  EXPECT_EQ(CString("xxabxx").Trim('x'), "ab");
  EXPECT_EQ(CString("abc").MakeUpper(), "ABC");
  EXPECT_EQ(CString("ABC").MakeReverse(), "CBA");
  CString aaa("aaa");
  EXPECT_EQ(aaa.Replace("a", "aa"), 3);
  EXPECT_EQ(aaa, "aaaaaa");
}

TEST(CStringTest, ComparisonAndFormatting) {
  EXPECT_EQ(CString("abc").CompareNoCase("ABC"), 0);
  EXPECT_LT(CString("abc").Compare("abd"), 0);
  EXPECT_GT(CString("b").CompareNoCase("A"), 0);
  CString f;
  f.Format("%s=%.2lf %s", "h", 0.6, "m");
  EXPECT_EQ(f, "h=0.60 m");
  f.AppendFormat(" [%d]", 7);
  EXPECT_EQ(f, "h=0.60 m [7]");
  std::string longText(5000, 'x');
  f.Format("%s", longText.c_str());
  EXPECT_EQ(f.GetLength(), 5000);
}

TEST(CStringTest, BufferAccessKeepsTheText) {
  CString s("abc");
  char* p = s.GetBuffer(10);
  EXPECT_STREQ(p, "abc");
  std::snprintf(p, 10, "%s", "12345");
  s.ReleaseBuffer();
  EXPECT_EQ(s, "12345");
  EXPECT_EQ(s.GetLength(), 5);
  s.GetBuffer(0);
  s.ReleaseBuffer(2);
  EXPECT_EQ(s, "12");
}

TEST(CStringTest, TokenizeSkipsEmptyPieces) {
  CString s("a;;b;c");
  int pos = 0;
  std::vector<std::string> parts;
  for (CString t = s.Tokenize(";", pos); pos != -1; t = s.Tokenize(";", pos)) parts.push_back(t.GetString());
  EXPECT_EQ(parts, (std::vector<std::string>{"a", "b", "c"}));
}

TEST(CArrayTest, GrowsInsertsAndRemoves) {
  CArray<int, int> a;
  a.Add(1);
  a.Add(3);
  a.InsertAt(1, 2);
  a.SetAtGrow(5, 6);
  ASSERT_EQ(a.GetSize(), 6);
  EXPECT_EQ(a[1], 2);
  EXPECT_EQ(a[3], 0);
  a.RemoveAt(3, 2);
  EXPECT_EQ(a.GetSize(), 4);
  EXPECT_EQ(a[3], 6);
  a.RemoveAt(10);  // out of range: nothing happens
  EXPECT_EQ(a.GetSize(), 4);
  EXPECT_THROW(a.GetAt(4), std::out_of_range);
  CStringArray s;
  s.Add("x");
  s.Add(CString("yz"));
  CStringArray copy;
  copy.Copy(s);
  EXPECT_EQ(copy.GetSize(), 2);
  EXPECT_EQ(copy[1], "yz");
}

TEST(CListTest, PositionsWalkBothWays) {
  CStringList l;
  l.AddTail("b");
  l.AddHead("a");
  POSITION c = l.AddTail("c");
  l.InsertBefore(c, "bb");
  std::string walked;
  for (POSITION p = l.GetHeadPosition(); p;) walked += l.GetNext(p).GetString();
  EXPECT_EQ(walked, "abbbc");
  l.RemoveAt(l.Find("bb"));
  EXPECT_EQ(l.GetCount(), 3);
  EXPECT_EQ(l.GetAt(l.FindIndex(2)), "c");
  EXPECT_EQ(l.RemoveHead(), "a");
  EXPECT_EQ(l.RemoveTail(), "c");
  EXPECT_EQ(l.GetCount(), 1);
  EXPECT_EQ(l.FindIndex(1), nullptr);
}

TEST(CMapTest, LookupAndIteration) {
  CMapStringToString m;
  m.SetAt("b", "2");
  m["a"] = "1";
  CString v;
  EXPECT_TRUE(m.Lookup("a", v));
  EXPECT_EQ(v, "1");
  EXPECT_FALSE(m.Lookup("c", v));
  std::string keys;
  for (POSITION p = m.GetStartPosition(); p;) {
    CString k, val;
    m.GetNextAssoc(p, k, val);
    keys += k.GetString();
  }
  EXPECT_EQ(keys, "ab");
  EXPECT_TRUE(m.RemoveKey("a"));
  EXPECT_EQ(m.GetCount(), 1);
}

class CShape : public CObject {
  DECLARE_DYNCREATE(CShape)
};
class CCircle : public CShape {
  DECLARE_DYNCREATE(CCircle)
};
IMPLEMENT_DYNCREATE(CShape, CObject)
IMPLEMENT_DYNCREATE(CCircle, CShape)

TEST(CRuntimeClassTest, DynamicCreationByName) {
  std::unique_ptr<CObject> o(CRuntimeClass::CreateObject("CCircle"));
  ASSERT_NE(o, nullptr);
  EXPECT_TRUE(o->IsKindOf(RUNTIME_CLASS(CShape)));
  EXPECT_TRUE(o->IsKindOf(RUNTIME_CLASS(CObject)));
  EXPECT_STREQ(o->GetRuntimeClass()->m_lpszClassName, "CCircle");
  std::unique_ptr<CObject> shape(RUNTIME_CLASS(CShape)->CreateObject());
  EXPECT_FALSE(shape->IsKindOf(RUNTIME_CLASS(CCircle)));
  EXPECT_EQ(CRuntimeClass::CreateObject("NoSuchClass"), nullptr);
  EXPECT_EQ(CRuntimeClass::CreateObject("CFile"), nullptr);  // no dynamic creation
}

TEST(HandleTest, HandlesMapToTheirObjectAndType) {
  int a = 1;
  double b = 2;
  int ha = win::MakeHandle(&a);
  int hb = win::MakeHandle(&b);
  EXPECT_GT(ha, 0);
  EXPECT_NE(ha, hb);
  EXPECT_EQ(win::FromHandle<int>(ha), &a);
  EXPECT_EQ(win::FromHandle<double>(ha), nullptr);  // wrong type
  EXPECT_EQ(win::FromHandle<int>(0), nullptr);
  win::ReleaseHandle(ha);
  EXPECT_EQ(win::FromHandle<int>(ha), nullptr);
  {
    win::ScopedHandle<double> scoped(&b);
    EXPECT_EQ(win::FromHandle<double>(scoped.get()), &b);
    hb = scoped.get();
  }
  EXPECT_EQ(win::FromHandle<double>(hb), nullptr);
}

TEST(MessageBoxTest, ScriptedAnswersThenDefaultButton) {
  win::msgbox::ClearLog();
  win::msgbox::QueueAnswer(IDNO);
  EXPECT_EQ(AfxMessageBox("Weiter?", MB_YESNO), IDNO);
  EXPECT_EQ(AfxMessageBox("Weiter?", MB_YESNO), IDYES);
  EXPECT_EQ(AfxMessageBox("Weiter?", MB_YESNO | MB_DEFBUTTON2), IDNO);
  EXPECT_EQ(MessageBox(nullptr, "Fehler", "Error", MB_OK), IDOK);
  EXPECT_EQ(AfxMessageBox("x", MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
  ASSERT_EQ(win::msgbox::Log().size(), 5u);
  EXPECT_TRUE(win::msgbox::Log()[0].scripted);
  EXPECT_FALSE(win::msgbox::Log()[1].scripted);
  EXPECT_EQ(win::msgbox::Log()[3].caption, "Error");
  win::msgbox::ClearLog();
}

TEST(MessageBoxTest, UnscriptedHandlerSeesTheBox) {
  std::string seen;
  win::msgbox::SetUnscriptedHandler([&](const win::msgbox::Record& r) {
    seen = r.text;
    return IDCANCEL;
  });
  EXPECT_EQ(AfxMessageBox("Abbrechen?", MB_OKCANCEL), IDCANCEL);
  EXPECT_EQ(seen, "Abbrechen?");
  win::msgbox::SetUnscriptedHandler(nullptr);
  win::msgbox::ClearLog();
}

// A box of a megabyte is cut where it is shown, printed and kept, at a character's start; the log keeps the latest
// 256 boxes only.
TEST(MessageBoxTest, LongTextsAndManyBoxesAreBounded) {
  win::msgbox::ClearLog();
  std::FILE* echo = std::tmpfile();
  ASSERT_NE(echo, nullptr);
  win::msgbox::SetEchoStream(echo);
  // "a" then 1,000,000 "ä" (2 bytes each): byte 4096 is the second byte of an "ä", so the cut falls back to 4095,
  // keeping "a" and 2047 "ä".
  std::string huge = "a";
  for (int i = 0; i < 1'000'000; ++i) huge += "ä";
  EXPECT_EQ(AfxMessageBox(huge.c_str()), IDOK);
  std::string kept = "a";
  for (int i = 0; i < 2047; ++i) kept += "ä";
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, kept + "\n… (gekürzt, insgesamt 1000001 Zeichen)");
  // "[message box] " + text + " [OK] -> OK\n": 14 + (4095 + 42) + 12 bytes.
  EXPECT_EQ(std::ftell(echo), 14L + 4095 + 42 + 12);
  win::msgbox::SetEchoStream(nullptr);
  std::fclose(echo);
  // A short text stays whole.
  EXPECT_EQ(AfxMessageBox("Weiter?"), IDOK);
  EXPECT_EQ(win::msgbox::Log().back().text, "Weiter?");
  for (int i = 0; i < 300; ++i) AfxMessageBox(("Box " + std::to_string(i)).c_str());
  ASSERT_EQ(win::msgbox::Log().size(), 256u);
  EXPECT_EQ(win::msgbox::Log().front().text, "Box 44");  // 302 boxes: the first 46 dropped
  EXPECT_EQ(win::msgbox::Log().back().text, "Box 299");
  win::msgbox::ClearLog();
}

TEST(PathTest, BackslashesMapAndCaseIsKept) {
  EXPECT_EQ(win::ToFsPath("Projekt\\Pos 1\\Stuetze.TQX"), "Projekt/Pos 1/Stuetze.TQX");
  EXPECT_EQ(win::JoinPath("/a", "b"), "/a/b");
  EXPECT_EQ(win::JoinPath("/a/", "b"), "/a/b");
  setenv("KOLUMO_ROOT", "/opt/kolumo/", 1);
  EXPECT_EQ(win::InstallRoot(), "/opt/kolumo");
  unsetenv("KOLUMO_ROOT");
  std::string exe = win::ExeDir();
  EXPECT_EQ(win::InstallRoot(), exe.substr(0, exe.rfind('/')));
}

TEST(CFileTest, WritesReadsAndReportsMissingFiles) {
  std::string path = testing::TempDir() + "cfile_test.bin";
  {
    CFile f;
    ASSERT_TRUE(f.Open(path.c_str(), CFile::modeCreate | CFile::modeWrite));
    double d = 1.25;
    f.Write(&d, sizeof d);
  }
  {
    CFile f(path.c_str(), CFile::modeRead);
    EXPECT_EQ(f.GetLength(), sizeof(double));
    double d = 0;
    EXPECT_EQ(f.Read(&d, sizeof d), sizeof d);
    EXPECT_EQ(d, 1.25);
    EXPECT_EQ(f.Read(&d, sizeof d), 0u);
  }
  CFile f;
  CFileException e;
  EXPECT_FALSE(f.Open((path + ".missing").c_str(), CFile::modeRead, &e));
  EXPECT_EQ(e.m_cause, CFileException::fileNotFound);
  std::remove(path.c_str());
}

}  // namespace
