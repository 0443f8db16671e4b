// The clipboard shared with other programs on a screen: the targets it is offered in (RTF beside the text where the
// copy has formats), what each target hands out, which form is asked of another program, and the window system's
// clipboard formats on either side of the screen.
#include "platform/win/screen/clipforms.h"

#include <gtest/gtest.h>

#include <cstring>

#include "platform/win/dialogs/wintest.h"
#include "tests/support/clipboard_screen.h"

namespace {

using win::ClipboardContent;

constexpr const char* kRtf = "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0 \\b fett\\b0  Stra\\'dfe\\par}";

TEST(ClipboardForms, TheTargetsNameWhatIsOffered) {
  const std::vector<std::string> plain{"TARGETS", "UTF8_STRING", "TEXT", "STRING"};
  const std::vector<std::string> rich{"TARGETS", "text/rtf", "application/rtf", "UTF8_STRING", "TEXT", "STRING"};
  struct Case {
    ClipboardContent content;
    const std::vector<std::string>& targets;
  } cases[] = {
      {{"fett Straße", kRtf}, rich},
      {{"fett Straße", ""}, plain},  // a plain edit's copy: no RTF named
      {{"", ""}, plain},
  };
  for (const Case& c : cases) EXPECT_EQ(win::OfferedTargets(c.content), c.targets) << c.content.text;
}

TEST(ClipboardForms, EachTargetHandsOutItsForm) {
  const ClipboardContent rich{"fett Straße – €", kRtf}, plain{"Straße ≈", ""};
  struct Case {
    const ClipboardContent& content;
    const char* target;
    const char* type;  // nullptr: not offered
    std::string bytes;
  } cases[] = {
      {rich, "text/rtf", "text/rtf", kRtf},
      {rich, "application/rtf", "application/rtf", kRtf},
      {rich, "UTF8_STRING", "UTF8_STRING", "fett Straße – €"},
      {rich, "TEXT", "UTF8_STRING", "fett Straße – €"},
      {rich, "STRING", "STRING",
       "fett Stra\xdf"
       "e ? ?"},
      {plain, "text/rtf", nullptr, ""},
      {plain, "application/rtf", nullptr, ""},
      {plain, "UTF8_STRING", "UTF8_STRING", "Straße ≈"},
      {rich, "image/png", nullptr, ""},
      {rich, "text/richtext", nullptr, ""},
      {rich, "", nullptr, ""},
  };
  for (const Case& c : cases) {
    const std::optional<win::ServedForm> served = win::ServeTarget(c.content, c.target);
    ASSERT_EQ(served.has_value(), c.type != nullptr) << c.target;
    if (!served) continue;
    EXPECT_EQ(served->type, c.type) << c.target;
    EXPECT_EQ(served->bytes, c.bytes) << c.target;
  }
}

TEST(ClipboardForms, RtfIsAskedForWhereTheOtherProgramOffersIt) {
  struct Case {
    std::vector<std::string> offered;
    const char* asked;
  } cases[] = {
      // as a word processor lists them: several picture and office forms before and after
      {{"TARGETS", "application/x-openoffice-embed-source-xml", "text/html", "text/richtext", "text/rtf", "UTF8_STRING",
        "STRING"},
       "text/rtf"},
      {{"TARGETS", "application/rtf", "UTF8_STRING"}, "application/rtf"},
      {{"application/rtf", "text/rtf"}, "text/rtf"},
      {{"TARGETS", "UTF8_STRING", "TEXT", "STRING"}, ""},
      {{"text/richtext", "text/RTF"}, ""},
      {{}, ""},
  };
  for (const Case& c : cases) EXPECT_EQ(win::RtfTargetOf(c.offered), c.asked) << c.offered.size();
}

// ---- The window system's clipboard on a screen -------------------------------------------------------------------

class SharedClipboardTest : public win::test::WindowTest {
 protected:
  static void Put(UINT format, const std::string& bytes) {
    HGLOBAL h = GlobalAlloc(GMEM_MOVEABLE, bytes.size() + 1);
    std::memcpy(GlobalLock(h), bytes.c_str(), bytes.size() + 1);
    SetClipboardData(format, h);
  }
  // The form as the program reads it; nullopt when the clipboard does not hold it.
  static std::optional<std::string> Held(UINT format) {
    EXPECT_TRUE(OpenClipboard(nullptr));
    const HANDLE h = GetClipboardData(format);
    std::optional<std::string> held;
    if (h) held = static_cast<const char*>(GlobalLock(h));
    CloseClipboard();
    return held;
  }
  test::ClipboardScreen screen_;
};

TEST_F(SharedClipboardTest, WhatTheProgramCopiesIsOfferedWithItsRtf) {
  struct Case {
    const char* text;
    const char* rtf;  // nullptr: the copy puts no RTF
  } cases[] = {{"fett Straße", kRtf}, {"nur Text", nullptr}};
  for (const Case& c : cases) {
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    Put(CF_TEXT, c.text);
    if (c.rtf) Put(CF_RTF, c.rtf);
    CloseClipboard();
    ASSERT_TRUE(screen_.offered.has_value()) << c.text;
    EXPECT_EQ(screen_.offered->text, c.text);
    EXPECT_EQ(screen_.offered->rtf, c.rtf ? c.rtf : "");
  }
}

TEST_F(SharedClipboardTest, WhatAnotherProgramCopiesReplacesTheClipboardWithItsRtf) {
  struct Case {
    const char* text;
    const char* rtf;
    std::optional<std::string> heldText, heldRtf;
  } cases[] = {
      {"fett Straße", kRtf, "fett Straße", kRtf},
      {"", kRtf, std::nullopt, kRtf},  // RTF alone: no empty text beside it
      {"nur Text", "", "nur Text", std::nullopt},
      {"", "", "", std::nullopt},  // nothing readable: nothing to paste, not the program's own copy
  };
  for (const Case& c : cases) {
    // The program's own copy with RTF, then the other program's.
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    Put(CF_TEXT, "eigener Text");
    Put(CF_RTF, "{\\rtf1 eigener Text}");
    CloseClipboard();
    screen_.Copies(c.text, c.rtf);
    EXPECT_EQ(Held(CF_TEXT), c.heldText) << c.text;
    EXPECT_EQ(Held(CF_RTF), c.heldRtf) << c.text;
    EXPECT_EQ(IsClipboardFormatAvailable(CF_RTF), c.heldRtf.has_value()) << c.text;
  }
}

}  // namespace
