// Text between the rich-text controls and other programs, and typed characters: UTF-8 on the clipboard both ways,
// every character a key gives by its Unicode value, each kept as the document holds it (Windows-1252 bytes, Greek
// letters in the Symbol font).
#include <gtest/gtest.h>

#include <string>

#include "platform/richedit/richtext.h"
#include "platform/win/dialogs/wintest.h"
#include "platform/win/screen/headless.h"

namespace {

class RichUnicodeTest : public win::test::WindowTest {
 protected:
  void SetUp() override {
    WindowTest::SetUp();
    parent_.CreateEx(0, "Static", "host", WS_POPUP | WS_VISIBLE, CRect(0, 0, 420, 300), nullptr, 0);
    ASSERT_TRUE(edit_.Create(WS_VISIBLE, CRect(0, 0, 400, 280), &parent_, 4677));
    edit_.SetFocus();
  }
  // The document's bytes with the Symbol font's characters in brackets: "[abg]" for alpha, beta, gamma.
  std::string Held() const {
    const richdoc::Document& d = edit_.Doc();
    std::string out;
    bool inSymbol = false;
    for (int i = 0; i < d.Length(); ++i) {
      const bool symbol = d.fonts[std::size_t(d.CharAt(i).font)].name == "Symbol";
      if (symbol != inSymbol) out += symbol ? '[' : ']';
      inSymbol = symbol;
      out += d.text[std::size_t(i)];
    }
    return out;
  }
  CWnd parent_;
  CRichEditCtrl edit_;
};

constexpr const char* kFonts = "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0\\fswiss Arial;}{\\f1\\ftech Symbol;}}";

// Copied text is UTF-8 as the text shows it, from the editor as from the output view: umlauts, the euro sign,
// dashes and quotes of Windows-1252, and the Symbol font's letters as the Greek letters they show (its digits and
// blanks as themselves).
TEST_F(RichUnicodeTest, CopiedTextIsUtf8AsShownWithSymbolLettersAsGreek) {
  CRichText box;
  ASSERT_TRUE(box.Create("", WS_VISIBLE, CRect(0, 0, 400, 280), &parent_, 10002));
  struct Case {
    CRichEditCtrl* control;
    const char* body;
    const char* copied;
  } cases[] = {
      {&edit_, "Die St\\'fctze steht \\'96 \\'84gut\\'93 \\'80 {\\f1 abgefjn 2}}",
       "Die Stütze steht – „gut“ € αβγεφϕν 2"},
      {&box, "\\b Stabschnittkr\\'e4fte\\b0  {\\f1 s}}", "Stabschnittkräfte σ"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(c.control->StreamInRtf(std::string(kFonts) + c.body, false));
    c.control->SetSel(0, -1);
    c.control->SendMessage(WM_COPY, 0, 0);
    EXPECT_EQ(win::ClipboardText(), c.copied);
  }
  box.DestroyWindow();
}

// What another program copied (UTF-8) arrives as the same characters; Greek as the document holds Greek, in the
// Symbol font; a character the document cannot hold is a question mark; bytes that are no UTF-8 are read as
// Windows-1252. Copied out again, the text is what came in. Pasted after a Symbol run, Latin letters stay Latin.
TEST_F(RichUnicodeTest, PastedUtf8ArrivesAsTheSameCharacters) {
  struct Case {
    const char* body;  // the document before; the caret at its end
    const char* pasted;
    const char* held;
    const char* again;  // copied out again (empty: as pasted)
  } cases[] = {
      {"}", "Decke über EG, Süd – αβγ €",
       "Decke \xfc"
       "ber EG, S\xfc"
       "d \x96 [abg] \x80\r",
       ""},
      {"}", "Zeile 1\r\nZeile 2\n", "Zeile 1\rZeile 2\r\r", "Zeile 1\r\nZeile 2\r\n"},
      {"}", "Ma\xdf \x84x\x93", "Ma\xdf \x84x\x93\r", "Maß „x“"},
      {"}", "Stütze 漢", "St\xfctze ?\r", "Stütze ?"},
      {"{\\f1 p}}", "Decke", "[p]Decke\r", ""},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(edit_.StreamInRtf(std::string(kFonts) + c.body, false));
    win::SetClipboardText(c.pasted);
    const long end = edit_.GetTextLength();
    edit_.SetSel(end, end);
    edit_.SendMessage(WM_PASTE, 0, 0);
    EXPECT_EQ(Held(), c.held) << c.pasted;
    edit_.SetSel(end, -1);
    edit_.SendMessage(WM_COPY, 0, 0);
    EXPECT_EQ(win::ClipboardText(), *c.again ? c.again : c.pasted);
  }
}

// Typed characters arrive by their Unicode value: the euro sign, German quotes, the en dash as Windows-1252, Greek
// letters in the Symbol font; what is typed after a Greek letter is in the font typed before it. In a Symbol run that
// the engineer chose, a typed Latin letter shows its Greek one, as in a word processor; a new paragraph leaves it.
TEST_F(RichUnicodeTest, TypedCharactersBeyondLatin1AreKept) {
  struct Case {
    const char* body;
    const char* typed;
    const char* held;
  } cases[] = {
      {"}", "5 € „a“ – ü°²µ",
       "5 \x80 \x84"
       "a\x93 \x96 \xfc\xb0\xb2\xb5\r"},
      {"}", "σ = 2 αβ", "[s] = 2 [ab]\r"},
      {"}", "αx", "[a]x\r"},
      {"{\\f1 p}}", "aα\nb", "[paa]\rb\r"},
  };
  for (const Case& c : cases) {
    ASSERT_TRUE(edit_.StreamInRtf(std::string(kFonts) + c.body, false));
    const long end = edit_.GetTextLength();
    edit_.SetSel(end, end);
    win::input::Type(c.typed);
    EXPECT_EQ(Held(), c.held) << c.typed;
  }
  // A character by its message alone, as a screen's keyboard sends it.
  edit_.SendMessage(WM_CHAR, 0x20AC, 0);
  EXPECT_EQ(edit_.Doc().text[std::size_t(edit_.GetTextLength() - 1)], '\x80');
  // Kept in the document's RTF: the euro sign as its Windows-1252 byte, alpha in the Symbol font.
  const std::string rtf = edit_.StreamOutRtf(false);
  EXPECT_NE(rtf.find("\\'80"), std::string::npos) << rtf;
}

// Ctrl+Insert copies, Shift+Insert pastes and Shift+Delete cuts, as in the grids; the output view only copies.
TEST_F(RichUnicodeTest, TheOlderClipboardKeysWork) {
  ASSERT_TRUE(edit_.StreamInRtf(std::string(kFonts) + "Decke \\'fcber EG}", false));
  edit_.SetSel(6, 10);
  win::input::KeyWith(VK_CONTROL, VK_INSERT);
  EXPECT_EQ(win::ClipboardText(), "über");
  edit_.SetSel(0, 6);
  win::input::KeyWith(VK_SHIFT, VK_DELETE);
  EXPECT_EQ(win::ClipboardText(), "Decke ");
  EXPECT_EQ(std::string(edit_.GetPlainText()),
            "\xfc"
            "ber EG");
  edit_.SetSel(-1, -1);
  win::input::KeyWith(VK_SHIFT, VK_INSERT);
  EXPECT_EQ(std::string(edit_.GetPlainText()),
            "\xfc"
            "ber EGDecke ");

  CRichText box;
  ASSERT_TRUE(box.Create("", WS_VISIBLE, CRect(0, 0, 400, 280), &parent_, 10002));
  box.ShowText("Bericht");
  box.SetFocus();
  box.SetSel(0, 3);
  win::input::KeyWith(VK_CONTROL, VK_INSERT);
  EXPECT_EQ(win::ClipboardText(), "Ber");
  win::input::KeyWith(VK_SHIFT, VK_DELETE);
  win::input::KeyWith(VK_SHIFT, VK_INSERT);
  EXPECT_EQ(std::string(box.GetText()), "Bericht");
  box.DestroyWindow();
}

}  // namespace
