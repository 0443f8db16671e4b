#include "platform/tolkar/tolkar.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <unistd.h>

namespace {

class TolkarTest : public testing::Test {
 protected:
  void SetUp() override {
    // A folder per process: ctest runs the tests of this file side by side.
    root_ = std::filesystem::path(testing::TempDir()) / ("tolkar_root_" + std::to_string(getpid()));
    std::filesystem::create_directories(root_ / "dict");
    std::ofstream(root_ / "dict" / "vernik_i_common.englisch.txt")
        << "BaseData\tDatei '%s' nicht gefunden!\tFile '%s' not found!\n"
        << "\tAbbrechen\tCancel\n"
        << "LKDlg\tZeile %d: %s\tLine %s: %d\n"  // placeholders swapped: unusable
        << "Load\tZwei\\nZeilen\tTwo\\nlines\n";
    setenv("KOLUMO_ROOT", root_.c_str(), 1);
    tolkar::Reload();
  }
  void TearDown() override {
    tolkar::SetLanguage("Ormi Eingabe", "deutsch");
    unsetenv("KOLUMO_ROOT");
    tolkar::Reload();
    std::filesystem::remove_all(root_);
  }
  std::filesystem::path root_;
};

TEST_F(TolkarTest, GermanComesBackUnchanged) {
  EXPECT_STREQ(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "BaseData", "Datei '%s' nicht gefunden!"),
               "Datei '%s' nicht gefunden!");
  EXPECT_STREQ(tolkar::GetLanguage("Ormi Eingabe"), "deutsch");
}

TEST_F(TolkarTest, DictionaryEntriesTranslateByContextThenAnyContext) {
  tolkar::SetLanguage("Ormi Eingabe", "englisch");
  EXPECT_STREQ(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "BaseData", "Datei '%s' nicht gefunden!"),
               "File '%s' not found!");
  EXPECT_STREQ(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "ProgDB", "Abbrechen"), "Cancel");
  EXPECT_STREQ(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "Load", "Zwei\nZeilen"), "Two\nlines");
  // Another area keeps German; an unknown text and a missing dictionary come back unchanged.
  EXPECT_STREQ(TOLK_Translate("Ormi Ausgabe", "vernik_i_common", "ProgDB", "Abbrechen"), "Abbrechen");
  EXPECT_STREQ(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "X", "Unbekannt %d"), "Unbekannt %d");
  EXPECT_STREQ(TOLK_Translate("Ormi Eingabe", "vernik_i_none", "X", "Abbrechen"), "Abbrechen");
  EXPECT_STREQ(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "X", nullptr), "");
}

// A caller may hold several results at once (a title formatted from three translations): none changes under it,
// in German as in a translated language, and a later call of the same text gives it its own text back.
TEST_F(TolkarTest, ResultsHeldAtOnceKeepTheirTexts) {
  for (const char* language : {"deutsch", "englisch"}) {
    tolkar::SetLanguage("Ormi Eingabe", language);
    const std::string english = language == std::string("englisch") ? "Cancel" : "Abbrechen";
    const char* first = TOLK_Translate("Ormi Eingabe", "vernik_i_common", "X", "Normalbeton");
    const char* second = TOLK_Translate("Ormi Eingabe", "vernik_i_common", "X", "Abbrechen");
    const char* third = TOLK_Translate("Ormi Eingabe", "vernik_i_common", "X", "DIN 1045");
    const char* area = tolkar::GetLanguage("Ormi Eingabe");
    for (int i = 0; i < 100; ++i) TOLK_Translate("Ormi Eingabe", "vernik_i_common", "X", std::to_string(i).c_str());
    EXPECT_STREQ(first, "Normalbeton") << language;
    EXPECT_STREQ(second, english.c_str()) << language;
    EXPECT_STREQ(third, "DIN 1045") << language;
    EXPECT_STREQ(area, language);
    char title[64];
    std::snprintf(title, sizeof title, "%s - %s - %s",
                  TOLK_Translate("Ormi Eingabe", "vernik_i_common", "X", "Normalbeton"),
                  TOLK_Translate("Ormi Eingabe", "vernik_i_common", "X", "DIN 1045"),
                  TOLK_Translate("Ormi Eingabe", "vernik_i_common", "X", "B 10"));
    EXPECT_STREQ(title, "Normalbeton - DIN 1045 - B 10") << language;
  }
}

TEST_F(TolkarTest, TranslationWithOtherPlaceholdersIsRefused) {
  tolkar::SetLanguage("Ormi Eingabe", "englisch");
  EXPECT_STREQ(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "LKDlg", "Zeile %d: %s"), "Zeile %d: %s");
}

TEST_F(TolkarTest, DialogTranslationWithoutWindowsLeavesThemAlone) {
  EXPECT_TRUE(TOLK_HWNDTranslate("Ormi Eingabe", "vernik_i_common", "LKDlg", nullptr));
}

}  // namespace
