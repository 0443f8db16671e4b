// The RTF reader's words: how a control word or symbol is read (its name, number and end), which words the body
// acts on and which merely look like them, and the formats characters take between words, groups and plain text.
#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "platform/richedit/richdoc.h"

namespace {

using richdoc::Document;
using richdoc::ReadWord;
using richdoc::Word;

TEST(RtfReaderWords, AWordsNameNumberAndEnd) {
  struct Fall {
    std::string text;  // the word stands at 0
    std::string name;
    char symbol;
    bool hasParam;
    long param;
    std::size_t end;
  };
  const Fall faelle[] = {
      {"\\par", "par", 0, false, 0, 4},
      {"\\par x", "par", 0, false, 0, 5},  // the blank after a word belongs to it
      {"\\par  x", "par", 0, false, 0, 5},
      {"\\fs20\\b", "fs", 0, true, 20, 5},
      {"\\li-567 x", "li", 0, true, -567, 8},
      {"\\li- x", "li", 0, false, 0, 3},  // a minus without digits is no number and stays
      {"\\li-x", "li", 0, false, 0, 3},
      {"\\b0", "b", 0, true, 0, 3},
      {"\\cellx007", "cellx", 0, true, 7, 9},
      {"\\RTF1", "RTF", 0, true, 1, 5},
      {"\\fs2147483647", "fs", 0, true, INT_MAX, 13},
      {"\\fs2147483648", "fs", 0, true, INT_MAX, 13},  // beyond an int: its limit
      {"\\fs-2147483649", "fs", 0, true, INT_MIN, 14},
      {"\\fs99999999999999999999999 ", "fs", 0, true, INT_MAX, 27},  // beyond a long too
      {"\\fs-99999999999999999999999", "fs", 0, true, INT_MIN, 27},
      {std::string("\\b\0x", 4), "b", 0, false, 0, 2},  // a zero byte ends a word
      {"\\\xe4x", "", '\xe4', false, 0, 2},             // no letter of a word's name
      {"\\'e4", "", '\'', false, 0xe4, 4},
      {"\\'C9x", "", '\'', false, 0xc9, 4},
      {"\\'0a", "", '\'', false, 0x0a, 4},
      {"\\~", "", '~', false, 0, 2},
      {"\\{", "", '{', false, 0, 2},
      {"\\-5", "", '-', false, 0, 2},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.text);
    const Word w = ReadWord(f.text, 0);
    EXPECT_EQ(w.name, f.name);
    EXPECT_EQ(w.symbol, f.symbol);
    EXPECT_EQ(w.hasParam, f.hasParam);
    EXPECT_EQ(w.param, f.param);
    EXPECT_EQ(w.end, f.end);
  }
  // A word read from within a text.
  const Word mitten = ReadWord("ab\\qc12 cd", 2);
  EXPECT_EQ(mitten.name, "qc");
  EXPECT_EQ(mitten.param, 12);
  EXPECT_EQ(mitten.end, 8u);
}

TEST(RtfReaderWords, AnIncompleteWordIsRefused) {
  const char* const texte[] = {"\\", "ab\\", "\\'", "\\'e", "\\'g0", "\\'0g"};
  for (const char* text : texte) {
    const std::string t(text);
    EXPECT_THROW(ReadWord(t, t.rfind('\\')), richdoc::RtfError) << text;
  }
  EXPECT_THROW(richdoc::GroupEnd("{a{b}", 0), richdoc::RtfError);
  EXPECT_THROW(richdoc::GroupEnd("{a\\}", 0), richdoc::RtfError);
  EXPECT_EQ(richdoc::GroupEnd("{a{b}\\}c}d", 0), 9u);
  EXPECT_EQ(richdoc::GroupEnd("x{\\{}", 1), 5u);
}

Document Gelesen(const std::string& body) {
  Document d;
  d.ReadRtf("{\\rtf1\\ansi{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\froman Times;}}{\\colortbl ;\\red0\\green0\\blue255;}" +
            body + "}");
  return d;
}

// Each word the body acts on, against words that begin or end like it and are none of them (they are skipped).
TEST(RtfReaderWords, WordsTheBodyActsOnAndWordsThatOnlyLookLikeThem) {
  using CF = richdoc::CharFormat;
  using PF = richdoc::ParaFormat;
  struct Fall {
    const char* word;  // stands before the letter "x"
    bool (*holds)(const CF&, const PF&);
    const char* after = "";  // stands after the paragraph of "x"
  };
  const Fall faelle[] = {
      {"\\b", [](const CF& c, const PF&) { return c.bold; }},
      {"\\i", [](const CF& c, const PF&) { return c.italic; }},
      {"\\ul", [](const CF& c, const PF&) { return c.underline == 1; }},
      {"\\ulwave", [](const CF& c, const PF&) { return c.underline == 2; }},
      {"\\ul\\ulnone", [](const CF& c, const PF&) { return c.underline == 0; }},
      {"\\sub", [](const CF& c, const PF&) { return c.sub && !c.super; }},
      {"\\super", [](const CF& c, const PF&) { return c.super && !c.sub; }},
      {"\\super\\nosupersub", [](const CF& c, const PF&) { return !c.super && !c.sub; }},
      {"\\v", [](const CF& c, const PF&) { return c.hidden; }},
      {"\\f1", [](const CF& c, const PF&) { return c.font == 1; }},
      {"\\fs30", [](const CF& c, const PF&) { return c.size == 30; }},
      {"\\cf1", [](const CF& c, const PF&) { return c.colour == 1; }},
      {"\\b\\i\\plain", [](const CF& c, const PF&) { return c == CF{}; }},
      {"\\qc", [](const CF&, const PF& p) { return p.align == 1; }},
      {"\\qr", [](const CF&, const PF& p) { return p.align == 2; }},
      {"\\qj", [](const CF&, const PF& p) { return p.align == 3; }},
      {"\\qc\\ql", [](const CF&, const PF& p) { return p.align == 0; }},
      {"\\li10\\fi-5\\ri7", [](const CF&, const PF& p) { return p.left == 10 && p.first == -5 && p.right == 7; }},
      {"\\sl240", [](const CF&, const PF& p) { return p.spacing == 240; }},
      {"\\s3", [](const CF&, const PF& p) { return p.heading == 3; }},
      {"\\sb60\\sa120", [](const CF&, const PF& p) { return p.spaceBefore == 60 && p.spaceAfter == 120; }},
      {"\\keepn", [](const CF&, const PF& p) { return p.keepNext; }},
      {"\\brdrb", [](const CF&, const PF& p) { return p.ruleBelow; }},
      // (a paragraph in a table is one that a row closes)
      {"\\intbl", [](const CF&, const PF& p) { return p.inTable; }, "\\cell\\row"},
      {"\\qc\\keepn\\pard", [](const CF&, const PF& p) { return p == PF{}; }},
      {"\\tqr\\tx500\\tqc\\tx300\\tqdec\\tx100\\tx900",
       [](const CF&, const PF& p) {
         return p.tabs == std::vector<richdoc::TabStop>{{100, 3}, {300, 1}, {500, 2}, {900, 0}};
       }},
      // near misses: nothing changes
      {"\\bold\\bb\\ii\\ulx\\subs\\supers\\vv\\ff1\\fss30\\cff1", [](const CF& c, const PF&) { return c == CF{}; }},
      {"\\qq\\qcc\\q\\lii10\\ss3\\sbb60\\keep\\brdr\\intb\\tabx\\txx500",
       [](const CF&, const PF& p) { return p == PF{}; }},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.word);
    const Document d = Gelesen(std::string("\\pard\\plain ") + f.word + " x\\par" + f.after);
    const int x = int(d.text.find('x'));
    ASSERT_GE(x, 0) << d.text;
    EXPECT_TRUE(f.holds(d.CharAt(x), d.ParaAt(x)));
  }
}

// The marks, sections and Unicode escapes in the text, against words that begin like them.
TEST(RtfReaderWords, MarksAndCharactersFromWords) {
  struct Fall {
    const char* body;
    std::string text;  // with the final paragraph mark
  };
  const Fall faelle[] = {
      {"a\\par b", "a\rb\r"},
      {"a\\tab b\\line c\\page d",
       "a\tb\x0b"
       "c\x0c"
       "d\r"},
      {"a\\sect b", "a\x0c\rb\r"},
      {"\\pard\\sbknone a\\sect\\sectd b\\sect c", "a\rb\x0c\rc\r"},
      {"\\pard\\sbkcol a\\sect\\sbkpage b\\sect", "a\rb\x0c\r\r"},
      {"\\trowd\\cellx100\\pard\\intbl a\\cell\\row", "a\x07\x0e\r"},
      {"a\\pars\\parx\\tabs\\lines\\pages\\sects\\cells\\rows b", "ab\r"},
      // one fallback character after each escape, then as many as \\uc says
      {"\\u228 ?a\\uc0\\u246 b\\uc2\\u252 xyc",
       "\xe4"
       "a\xf6"
       "b\xfc"
       "c\r"},
      {"\\pard\\ucc\\u228 ?a\\uu x",
       "\xe4"
       "ax\r"},
  };
  for (const Fall& f : faelle) {
    SCOPED_TRACE(f.body);
    EXPECT_EQ(Gelesen(f.body).text, f.text);
  }
  const Document tabelle = Gelesen("\\trowd\\trgaph70\\clbrdrt\\brdrs\\cellx100 \\pard\\intbl a\\cell\\row");
  EXPECT_EQ(tabelle.blobs[std::size_t(tabelle.extra[tabelle.text.find('\x0e')])],
            "\\trowd\\trgaph70\\clbrdrt\\brdrs\\cellx100");
}

// Plain text after a word, a group or a Greek letter of the Symbol font takes the format that holds there, not the
// one of the character before it.
TEST(RtfReaderWords, CharactersTakeTheFormatThatHoldsWhereTheyStand) {
  // alpha and beta are the Symbol font's "a" and "b"; the "?" after each is its fallback
  const Document d = Gelesen("\\pard ab{\\b cd}ef\\i gh\\i0\\qc ij\\par kl\\u945 ?mn{\\f1 \\u946 ?op}qr\\par");
  struct Fall {
    char c;
    bool bold, italic;
    const char* font;
    int align;
  };
  const Fall faelle[] = {
      {'a', false, false, "Arial", 1}, {'b', false, false, "Arial", 1}, {'c', true, false, "Arial", 1},
      {'d', true, false, "Arial", 1},  {'e', false, false, "Arial", 1}, {'g', false, true, "Arial", 1},
      {'h', false, true, "Arial", 1},  {'i', false, false, "Arial", 1}, {'k', false, false, "Arial", 1},
      {'m', false, false, "Arial", 1}, {'n', false, false, "Arial", 1}, {'o', false, false, "Times", 1},
      {'p', false, false, "Times", 1}, {'q', false, false, "Arial", 1}};
  for (const Fall& f : faelle) {
    SCOPED_TRACE(std::string(1, f.c));
    const int at = int(d.text.find(f.c));
    ASSERT_GE(at, 0);
    EXPECT_EQ(d.CharAt(at).bold, f.bold);
    EXPECT_EQ(d.CharAt(at).italic, f.italic);
    EXPECT_EQ(d.fonts[std::size_t(d.CharAt(at).font)].name, f.font);
    EXPECT_EQ(d.ParaAt(at).align, f.align);
  }
  const std::size_t alpha = d.text.find('l') + 1, beta = d.text.find('o') - 1;
  EXPECT_EQ(d.text.substr(alpha, 4), "amnb");
  EXPECT_EQ(d.fonts[std::size_t(d.CharAt(int(alpha)).font)].name, "Symbol");
  EXPECT_EQ(d.fonts[std::size_t(d.CharAt(int(beta)).font)].name, "Symbol");
}

}  // namespace
