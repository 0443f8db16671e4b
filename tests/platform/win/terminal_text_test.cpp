// Texts on their way to a terminal: what a file holds cannot set the terminal's title or colours, and reads back
// unambiguously; letters and the program's own line ends stay.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "platform/win/afx.h"
#include "platform/win/base/codepage.h"
#include "platform/win/dialogs/msgbox.h"

namespace {

TEST(TerminalText, ControlCharactersAreShownEscaped) {
  const struct {
    std::string text, shown;
  } cases[] = {
      {"\x1b]0;TITLE\x07", "\\x1B]0;TITLE\\x07"},
      {"\x1b[31mrot\x1b[0m", "\\x1B[31mrot\\x1B[0m"},
      {std::string("a\0b", 3), "a\\x00b"},
      {"Tab\tZeile\nWindows\r\nEnde", "Tab\tZeile\nWindows\r\nEnde"},
      {"zurück\rdarüber", "zurück\\x0Ddarüber"},
      {"\r", "\\x0D"},
      {"DEL\x7f", "DEL\\x7F"},
      // U+009B, the terminal's one-character CSI, and U+0085
      {"\xc2\x9b"
       "31m\xc2\x85",
       "\\u009B31m\\u0085"},
      // a byte that is no UTF-8 (a Windows-1252 "ä")
      {"M\xe4rz", "M\\xE4rz"},
      {"Prüfung Größe µ ° € ≤ α", "Prüfung Größe µ ° € ≤ α"},
      // a backslash that would read as an escape is doubled; one in a path stays
      {"C:\\xaver\\unten\\Pos.tqx", "C:\\\\xaver\\\\unten\\Pos.tqx"},
      {"\\x1B", "\\\\x1B"},
      {"Ende\\", "Ende\\"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(win::TerminalText(c.text), c.shown) << c.shown;
}

// A message box printed without a screen shows its text escaped; the box itself keeps the text as it was given.
TEST(TerminalText, AMessageBoxIsPrintedEscapedAndKeptAsItIs) {
  std::FILE* echo = std::tmpfile();
  ASSERT_NE(echo, nullptr);
  win::msgbox::SetEchoStream(echo);
  win::msgbox::ClearLog();
  const std::string text =
      "Last 2 (\"\x1b]0;TITLE\x07"
      "Dach\x1b[31m\"): 'NXX' nicht definiert";
  MessageBox(nullptr, text.c_str(), "Pos \x1b[2J", MB_OK);
  win::msgbox::SetEchoStream(nullptr);
  std::rewind(echo);
  char line[512] = "";
  ASSERT_NE(std::fgets(line, sizeof line, echo), nullptr);
  std::fclose(echo);
  EXPECT_EQ(std::string(line),
            "[message box: Pos \\x1B[2J] Last 2 (\"\\x1B]0;TITLE\\x07Dach\\x1B[31m\"): 'NXX' nicht definiert [OK] -> "
            "OK\n");
  ASSERT_EQ(win::msgbox::Log().size(), 1u);
  EXPECT_EQ(win::msgbox::Log()[0].text, text);
  win::msgbox::ClearLog();
}

}  // namespace
