// The report's result pictures as they print: the metafiles beside the report, read back and measured at the
// width the report places them at.
//
// The case: two fields of 3.00 and 2.50 m, two "Ed" combinations of the final system whose member forces differ
// tenfold (N -10 and -100 kN, Vx 2 and 20 kN, My 1 and 10 kNm), their diagrams switched on.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "column/kolumodata.h"
#include "platform/pictor/pictor.h"
#include "platform/plotwerk/scene2d.h"
#include "report/rtfausgabe.h"
#include "tests/column/column_test_support.h"
#include "tests/report/rtf_text.h"

namespace pw = plotwerk;

namespace {

std::unique_ptr<CResultSchnittgroessen> Schnitt(int lk, double faktor) {
  auto r = std::make_unique<CResultSchnittgroessen>();
  r->LK = lk;
  r->Kote = {0.0, 3.0, 3.0, 5.5};
  r->N = {-10.0 * faktor, -10.0 * faktor, -10.0 * faktor, -10.0 * faktor};
  r->Vx = {2.0 * faktor, 2.0 * faktor, -2.0 * faktor, -2.0 * faktor};
  r->Vy = {0.0, 0.0, 0.0, 0.0};
  r->My = {0.0, 1.0 * faktor, 1.0 * faktor, 0.0};
  r->Mx = {0.0, 0.0, 0.0, 0.0};
  r->ErfAs = r->AsAb = r->Eta = r->By = r->Bx = {0.0, 0.0, 0.0, 0.0};
  return r;
}

class BilderTest : public column_test::ColumnTest {
 protected:
  static void SetUpTestSuite() {
    std::string pattern = (std::filesystem::temp_directory_path() / "bilder-root-XXXXXX").string();
    ASSERT_NE(mkdtemp(pattern.data()), nullptr);
    s_root = pattern;
    ::setenv("KOLUMO_ROOT", column_test::MakeInstallRoot(s_root, KOLUMO_SOURCE_DIR "/data").c_str(), 1);
  }
  static void TearDownTestSuite() { std::filesystem::remove_all(s_root); }

  // Writes the report of the case with the pictures placed bildBreite wide; returns the RTF.
  std::string Report(double bildBreite, bool system = false) {
    CKolumoData d;
    d.SetDefaults();
    d.version = 2012.01;
    d.SetFieldCount(2);
    d.fieldLengths[0] = 3.0;
    d.fieldLengths[1] = 2.5;
    for (int s = 0; s < CKolumoData::kStages; ++s) {
      d.lastUeberlagerungBZ[s].lastfaelle.RemoveAll();
      d.lastUeberlagerungBZ[s].kombinationen.RemoveAll();
      d.lastUeberlagerungBZ[s].einwirkungen.RemoveAll();
    }
    CLKData& end = d.lastUeberlagerungBZ[0];
    CLKLastfall lf;
    lf.lf = 1;
    lf.einw = 1;
    end.lastfaelle.Add(lf);
    for (const char* regel : {"1.35*(1)", "1.00*(1)"}) {
      CKombination k;
      k.art = "Ed";
      k.regel = k.regelUser = regel;
      end.kombinationen.Add(k);
    }
    d.graf_System = system ? 1 : 0;
    d.num_Regel_Schnitt = 1;
    d.graf_Regel_Schnitt = 1;
    d.BildBreite = bildBreite;
    d.AusgabeTyp = 0;
    d.ergebnisse.Schnittgroessen.push_back(Schnitt(1, 1.0));
    d.ergebnisse.Schnittgroessen.push_back(Schnitt(2, 10.0));
    const int doc = NewDocument("Stuetze.tqx");
    d.WriteData(doc);
    report::RtfKolumo(doc, 1);
    return report_test::ReadFile(report::ReportFileName((folder_ / "Stuetze.tqx").string()));
  }

  pw::Scene2D Bild(int lk) {
    pw::Scene2D s;
    const auto datei = folder_ / ("Stuetze.Schnitt-LK" + std::to_string(lk) + "-Typ0-BZ0.p2d");
    EXPECT_TRUE(s.Load(datei.string())) << datei;
    return s;
  }

  static std::filesystem::path s_root;
};

std::filesystem::path BilderTest::s_root;

// The pixel widths of the RTF's pictures, in order.
std::vector<double> Pixelbreiten(const std::string& rtf) {
  std::vector<double> breiten;
  for (std::size_t at = rtf.find("\\picw"); at != std::string::npos; at = rtf.find("\\picw", at + 1))
    if (std::isdigit(static_cast<unsigned char>(rtf[at + 5]))) breiten.push_back(std::stod(rtf.substr(at + 5)));
  return breiten;
}

// The widths (cm) the RTF places its pictures at, in order.
std::vector<double> Bildbreiten(const std::string& rtf) {
  std::vector<double> breiten;
  for (std::size_t at = rtf.find("\\picwgoal"); at != std::string::npos; at = rtf.find("\\picwgoal", at + 1))
    breiten.push_back(std::stod(rtf.substr(at + 9)) / 567.0);
  return breiten;
}

// The width across (drawing y) of the bands of the diagram whose bands lie between y1 and y2.
double Bandbreite(const pw::Scene2D& s, double y1, double y2) {
  double von = 1e9, bis = -1e9;
  for (const auto& item : s.Items()) {
    if (item.kind != pw::Kind2D::Polygon) continue;
    bool drin = true;
    for (std::size_t i = 1; i < item.v.size(); i += 2) drin = drin && item.v[i] >= y1 - 1e-9 && item.v[i] <= y2 + 1e-9;
    if (!drin) continue;
    for (std::size_t i = 1; i < item.v.size(); i += 2) {
      von = std::min(von, item.v[i]);
      bis = std::max(bis, item.v[i]);
    }
  }
  return bis - von;
}

}  // namespace

TEST_F(BilderTest, EveryTextPrintsAtLeastSevenPoints) {
  // The size a text prints at follows from the picture's drawn width and the width the RTF places it at; the
  // font is 0.7 text heights. Narrow and wide placements alike.
  for (double bildBreite : {8.0, 12.0, 16.0}) {
    const std::string rtf = Report(bildBreite);
    const std::vector<double> breiten = Bildbreiten(rtf);
    ASSERT_EQ(breiten.size(), 2u) << "one picture per combination";
    for (int lk = 1; lk <= 2; ++lk) {
      const pw::Scene2D s = Bild(lk);
      double x1, y1, x2, y2;
      ASSERT_TRUE(s.Bounds(x1, y1, x2, y2));
      const double cmJeEinheit = pictor::PrintedCmPerUnit(500, x2 - x1, breiten[std::size_t(lk - 1)]);
      int texte = 0;
      for (const auto& item : s.Items()) {
        if (item.kind != pw::Kind2D::Text) continue;
        ++texte;
        const double punkte = 0.7 * item.v[3] * cmJeEinheit / 2.54 * 72.0;
        EXPECT_GE(punkte, 7.0) << item.text << " placed " << bildBreite << " cm wide";
      }
      EXPECT_GE(texte, 5 + 3) << "five titles and the three heights at least";
    }
  }
}

TEST_F(BilderTest, TheDiagramsOfEachKindOfForceShareTheirScaleAcrossPictures) {
  Report(16.0);
  const pw::Scene2D klein = Bild(1), gross = Bild(2);
  // H = 5.5, diagrams 0.75 H apart; the one at offset o spans o - 0.5 H .. o - 0.25 H across, 0.25 H = 1.375 for
  // the largest values of its kind over both pictures: N 100, Vx from -20 to 20, moments 10.
  const double H = 5.5, a = 0.75 * H;
  struct Fall {
    const char* name;
    int platz;            // 1 Mx, 2 My, 3 Vx, 4 Vy, 5 N
    double klein, gross;  // band widths across
  };
  const Fall faelle[] = {{"My", 2, 0.25 * H * 1 / 10, 0.25 * H},
                         {"Vx", 3, 0.25 * H * 4 / 40, 0.25 * H},
                         {"N", 5, 0.25 * H * 10 / 100, 0.25 * H}};
  for (const Fall& f : faelle) {
    const double o = f.platz * a;
    EXPECT_NEAR(Bandbreite(klein, o - 0.5 * H, o - 0.25 * H), f.klein, 1e-3) << f.name;
    EXPECT_NEAR(Bandbreite(gross, o - 0.5 * H, o - 0.25 * H), f.gross, 1e-3) << f.name;
  }
  for (const char* hoehe : {"0.00 m", "3.00 m", "5.50 m"}) {
    bool da = false;
    for (const auto& item : klein.Items()) da = da || (item.kind == pw::Kind2D::Text && item.text == hoehe);
    EXPECT_TRUE(da) << "the height axis names " << hoehe;
  }
}

TEST_F(BilderTest, TheSystemPicturePrintsAtTwoHundredDotsPerInchAtLeast) {
  // The final system alone: its picture is placed 6 cm wide, and 200 dpi over 6 cm are 473 pixels.
  const std::string rtf = Report(16.0, true);
  const std::vector<double> pixel = Pixelbreiten(rtf), breiten = Bildbreiten(rtf);
  ASSERT_EQ(pixel.size(), 3u) << "the system picture and the two result pictures";
  ASSERT_EQ(breiten.size(), 3u);
  EXPECT_NEAR(breiten[0], 6.0, 0.01);
  for (std::size_t i = 0; i < 3; ++i) EXPECT_GE(pixel[i] / (breiten[i] / 2.54), 200.0) << "picture " << i;
}
