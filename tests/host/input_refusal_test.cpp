// Bad input in a calculated position: `kolumo calc` refuses it with a message that names the field and the value,
// exits non-zero and leaves the file as it was, old results included.
#include <sys/stat.h>

#include "framework/regsettings.h"
#include "tests/host/host_run.h"

namespace {

using namespace host_test;

// Replaces the first `from` after the first `anchor` (the whole text when the anchor is empty).
std::string ReplaceAfter(std::string text, const std::string& anchor, const std::string& from, const std::string& to) {
  const std::size_t start = anchor.empty() ? 0 : text.find(anchor);
  const std::size_t at = start == std::string::npos ? std::string::npos : text.find(from, start);
  if (at == std::string::npos) return "";  // the case no longer fits the example: the test says so
  return text.replace(at, from.size(), to);
}

// Removes every piece from `begin` up to and including the next `end`.
std::string Remove(std::string text, const std::string& begin, const std::string& end) {
  for (std::size_t at = text.find(begin); at != std::string::npos; at = text.find(begin, at)) {
    const std::size_t stop = text.find(end, at);
    if (stop == std::string::npos) return "";
    text.erase(at, stop + end.size() - at);
  }
  return text;
}

class InputRefusalTest : public HostTest {
 protected:
  // The example, calculated once, so that a refusal visibly keeps the old results.
  std::string Calculated() {
    fs::copy_file(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx", Path("Stuetze.tqx"));
    const HostRun run = Host({"calc", Path("Stuetze.tqx")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_TRUE(run.err.empty()) << run.err;
    return Slurp(Path("Stuetze.tqx"));
  }
};

// Fields and nodes are numbered from 1 at the head, as the dialog and the report number them; the file's own index
// (from 0) stands beside a node where the message names the attribute.
struct RefusalCase {
  const char* name;
  std::string (*mutate)(const std::string&);
  std::string message;  // a part of the message: the field and its value
};

const RefusalCase kRefused[] = {
    {"unknown design code",
     [](const std::string& t) { return ReplaceAfter(t, "<system", "iNorm=\"10\"", "iNorm=\"5\""); }, "iNorm = 5"},
    {"stage with load cases but no loads", [](const std::string& t) { return Remove(t, "<load ", "/>"); },
     "Endsystem: Lastfälle, aber keine Lasten"},
    {"loads in stage 9", [](const std::string& t) { return ReplaceAfter(t, "<impact>", "bzNr=\"0\"", "bzNr=\"9\""); },
     "bzNr = \"9\""},
    {"no impact element", [](const std::string& t) { return Remove(t, "<impact>", "</impact>"); },
     "kein Element \"impact\""},
    {"combination names load case 7",
     [](const std::string& t) {
       return ReplaceAfter(t, "<Einwirkungen>", "regelUser=\"1.35*(1)+1.50*(2)+0.90*(3)\"",
                           "regelUser=\"1.35*(1)+1.50*(7)\"");
     },
     "Lastfall 7 gibt es nicht"},
    {"combination formula does not parse",
     [](const std::string& t) {
       return ReplaceAfter(t, "<Einwirkungen>", "regelUser=\"1.35*(1)+1.50*(2)+0.90*(3)\"",
                           "regelUser=\"1.35*(1)+abc\"");
     },
     "\"1.35*(1)+abc\": an Stelle 10 \"a\""},
    // the engine would calculate load case 1 with its last factor (1.50), the column's own reading with the sum
    {"combination names a load case twice",
     [](const std::string& t) {
       return ReplaceAfter(t, "<Einwirkungen>", "regelUser=\"1.35*(1)+1.50*(2)+0.90*(3)\"",
                           "regelUser=\"1.35*(1)+1.50*(1)+1.50*(2)\"");
     },
     "Endsystem, Kombination 1 (Ed) \"1.35*(1)+1.50*(1)+1.50*(2)\": Lastfall 1 steht mehrmals in der Formel"},
    {"load in load case 9",
     [](const std::string& t) {
       return ReplaceAfter(t, "", "lc=\"2\" LCGen=\"2\" desc=\"Dach", "lc=\"9\" LCGen=\"2\" desc=\"Dach");
     },
     "Endsystem, Last 4 (\"Dach, Nutzlast\"): Lastfall 9 gibt es nicht (höchster Lastfall 3)."},
    // The loads reach load case 4, the actions were formed for three: the highest that exists is 3.
    {"load in a load case the actions were not formed for",
     [](const std::string& t) {
       return ReplaceAfter(ReplaceAfter(t, "", "lc=\"2\" LCGen=\"2\" desc=\"Dach", "lc=\"4\" LCGen=\"2\" desc=\"Dach"),
                           "<maxLFBZ>", "maxLF=\"3\"", "maxLF=\"4\"");
     },
     "Endsystem, Last 4 (\"Dach, Nutzlast\"): Lastfall 4 gibt es nicht (höchster Lastfall 3). Bitte die Einwirkungen "
     "auf der Seite \"Belastung\" mit \"Einwirkungskombinationen bilden\" neu bilden."},
    {"unknown load type",
     [](const std::string& t) { return ReplaceAfter(t, "desc=\"Dach, Nutzlast\"", "ltype=\"10\"", "ltype=\"42\""); },
     "Lasttyp ltype = 42"},
    {"point load type the column does not calculate",
     [](const std::string& t) { return ReplaceAfter(t, "desc=\"Dach, Nutzlast\"", "ltype=\"10\"", "ltype=\"8\""); },
     "Lasttyp ltype = 8 (Einzellast)"},
    // field 1 is 4.5 m long and ends at the foot: 5.5 m from its top reach 1 m below the column
    {"line load beyond the foot",
     [](const std::string& t) {
       return ReplaceAfter(t, "", "node=\"1\" direction=\"0\" bHasDirection=\"1\" offset=\"0\" length=\"4.5\"",
                           "node=\"1\" direction=\"0\" bHasDirection=\"1\" offset=\"0\" length=\"5.5\"");
     },
     "von 3.200 m bis 8.700 m unter dem Kopf liegt nicht ganz an der Stütze (Höhe 7.700 m"},
    // starting 1 m above the head
    {"line load above the head",
     [](const std::string& t) {
       return ReplaceAfter(t, "", "node=\"0\" direction=\"0\" bHasDirection=\"1\" offset=\"0\" length=\"3.2\"",
                           "node=\"0\" direction=\"0\" bHasDirection=\"1\" offset=\"-1\" length=\"3.2\"");
     },
     "von -1.000 m bis 2.200 m"},
    {"line load at a node beyond the foot",
     [](const std::string& t) {
       return ReplaceAfter(t, "", "node=\"1\" direction=\"0\"", "node=\"3\" direction=\"0\"");
     },
     "Knoten 4 (node = 3) liegt nicht an der Stütze (Knoten 1 bis 3)"},
    {"unknown load direction",
     [](const std::string& t) {
       return ReplaceAfter(t, "desc=\"Dach, ständig\"", "direction=\"2\"", "direction=\"5\"");
     },
     "Lastrichtung direction = 5"},
    // field 0 is 35 cm wide: a cover of 17.5 cm puts the bars on the axis
    {"cover at half the section",
     [](const std::string& t) { return ReplaceAfter(t, "<field fieldNr=\"0\"", "bdy=\"4.5\"", "bdy=\"17.5\""); },
     "Feld 1, Querschnitt: Randabstand bdy = 17.5 cm reicht bis zur Mitte (Dicke dy = 35 cm)"},
    {"negative bar area",
     [](const std::string& t) { return ReplaceAfter(t, "<field fieldNr=\"1\"", "as=\"3.14\"", "as=\"-1\""); },
     "Feld 2, Querschnitt: Bewehrungsfläche as = -1"},
    {"unknown reinforcement layout",
     [](const std::string& t) { return ReplaceAfter(t, "<field fieldNr=\"0\"", "bewType=\"0\"", "bewType=\"7\""); },
     "bewType = 7"},
    {"unknown section kind",
     [](const std::string& t) { return ReplaceAfter(t, "<field fieldNr=\"0\"", "type=\"0\"", "type=\"4\""); },
     "Querschnittsart = 4"},
    {"unknown imperfection type",
     [](const std::string& t) { return ReplaceAfter(t, "<impact>", "<vorver type=\"0\"", "<vorver type=\"9\""); },
     "Endsystem: Art der Vorverformung = 9"},
    {"text in a width",
     [](const std::string& t) { return ReplaceAfter(t, "<field fieldNr=\"0\"", "bx=\"35\"", "bx=\"35cm\""); },
     "system/field[fieldNr=0]/quer: bx = \"35cm\" ist keine Zahl."},
    {"text in a load value",
     [](const std::string& t) { return ReplaceAfter(t, "desc=\"Dach, Nutzlast\"", "val0=\"95\"", "val0=\"abc\""); },
     "impact/BauZustand[bzNr=0]/load 4: val0 = \"abc\" ist keine Zahl."},
    {"decimal in a member count",
     [](const std::string& t) { return ReplaceAfter(t, "<field fieldNr=\"1\"", "teilung=\"6\"", "teilung=\"4,5\""); },
     "system/field[fieldNr=1]/quer: teilung = \"4,5\" ist keine ganze Zahl."},
    {"text in a foundation value",
     [](const std::string& t) { return ReplaceAfter(t, "<Fundament", "hoehe=\"", "hoehe=\"x"); },
     "Fundament: hoehe = \"x"},
    {"expression that does not evaluate",
     [](const std::string& t) {
       return ReplaceAfter(t, "<field fieldNr=\"1\"", "theta=\"45\" />", "theta=\"45\"><as exp=\"3.14*\" /></quer>");
     },
     "Feld 2, Querschnitt: as = \"3.14*\" lässt sich nicht auswerten."},
    {"field of length 0",
     [](const std::string& t) {
       return ReplaceAfter(t, "", "<field fieldNr=\"1\" length=\"4.5\"", "<field fieldNr=\"1\" length=\"0\"");
     },
     "Feld 2: Feldlänge = 0 m ist nicht positiv."},
    {"inclination of a negative denominator",
     [](const std::string& t) {
       return ReplaceAfter(t, "<impact>", "bDirekteVorgabe=\"1\" bGesetzt=\"0\" bAusmitte=\"1\" Schiefstellung=\"200\"",
                           "bDirekteVorgabe=\"0\" bGesetzt=\"0\" bAusmitte=\"1\" Schiefstellung=\"-200\"");
     },
     "Endsystem, Vorverformung: Schiefstellung 1/n mit n = -200"},
    {"reference node off the column",
     [](const std::string& t) {
       return ReplaceAfter(t, "<impact>",
                           "<vorver type=\"0\" bDirekteVorgabe=\"1\" bGesetzt=\"0\" bAusmitte=\"1\" "
                           "Schiefstellung=\"200\" IDPunkt=\"0\"",
                           "<vorver type=\"1\" bDirekteVorgabe=\"1\" bGesetzt=\"0\" bAusmitte=\"0\" "
                           "Schiefstellung=\"200\" IDPunkt=\"2147483647\"");
     },
     "Bezugsknoten 2147483648 (IDPunkt = 2147483647) liegt nicht an der Stütze (Knoten 1 bis 3)"},
    // the sum of the members of two fields would overflow an int
    {"member count beyond int",
     [](const std::string& t) {
       return ReplaceAfter(t, "<field fieldNr=\"0\"", "teilung=\"6\"", "teilung=\"2147483647\"");
     },
     "Feld 1, Querschnitt: Stabteilung teilung = 2147483647: höchstens 100"},
    // the combination data is read by the XML library, which would take "1,35" as 1
    {"decimal comma in a partial factor",
     [](const std::string& t) {
       return ReplaceAfter(t, "<Einwirkungen>", "gamma_g_unguenstig=\"1.35\"", "gamma_g_unguenstig=\"1,35\"");
     },
     "Einwirkungen/BauZustand[bzNr=0]/lastUeberlagerung/sicherheitsbeiwerte: gamma_g_unguenstig = \"1,35\" ist keine "
     "Zahl mit Dezimalpunkt."},
    {"text in a combination factor",
     [](const std::string& t) { return ReplaceAfter(t, "<Einwirkungen>", "psi0=\"0.6\"", "psi0=\"sechs\""); },
     "kombinationsbeiwerte: psi0 = \"sechs\""},
    {"text in a load case's action",
     [](const std::string& t) {
       return ReplaceAfter(t, "<Einwirkungen>", "<lastfall lf=\"2\" einw=\"2\"", "<lastfall lf=\"2\" einw=\"zwei\"");
     },
     "lastfaelle/lastfall: einw = \"zwei\" ist keine ganze Zahl."},
    // bars at bdx from the faces across bx: 20 cm of 40 leave no lever arm
    {"cover at half the width",
     [](const std::string& t) { return ReplaceAfter(t, "<field fieldNr=\"1\"", "bdx=\"4.5\"", "bdx=\"20\""); },
     "Feld 2, Querschnitt: Randabstand bdx = 20 cm reicht bis zur Mitte (Breite bx = 40 cm)."},
    // tan(1e308°) is no number: every shear result would be NaN
    {"strut angle beyond 90 degrees",
     [](const std::string& t) { return ReplaceAfter(t, "<field fieldNr=\"0\"", "theta=\"45\"", "theta=\"1e308\""); },
     "Feld 1, Querschnitt: Druckstrebenwinkel theta = 1e+308° liegt nicht zwischen 0° und 90°."},
    {"point load away from its node",
     [](const std::string& t) {
       return ReplaceAfter(t, "desc=\"Decke über EG, Nutzlast\"", "offset=\"0\"", "offset=\"1.5\"");
     },
     "Last 5 (\"Decke über EG, Nutzlast\"): Einzellast mit Abstand 1.5 m"},
    {"eccentric load",
     [](const std::string& t) { return ReplaceAfter(t, "desc=\"Dach, ständig\"", "ey=\"0\"", "ey=\"5\""); },
     "(\"Dach, ständig\"): Lastausmitte ey = 5 cm"},
    {"load case of an action that does not exist",
     [](const std::string& t) {
       return ReplaceAfter(t, "<Einwirkungen>", "<lastfall lf=\"2\" einw=\"2\"", "<lastfall lf=\"2\" einw=\"-1\"");
     },
     "Endsystem, Lastfall 2 gehört zu keiner Einwirkung. Bitte die Einwirkungen auf der Seite \"Belastung\""},
    {"load case of an action number beyond the actions",
     [](const std::string& t) {
       return ReplaceAfter(t, "<Einwirkungen>", "<lastfall lf=\"2\" einw=\"2\"", "<lastfall lf=\"2\" einw=\"9\"");
     },
     "Endsystem, Lastfall 2 gehört zu Einwirkung 9, die es nicht gibt. Bitte die Einwirkungen"},
    // the foot's support: -1 rigid, 0 free, otherwise a stiffness
    {"negative spring",
     [](const std::string& t) {
       return ReplaceAfter(t, "", "<BauZustand bzNr=\"0\" cx=\"-1\" cy=\"-1\" cz=\"-1\"",
                           "<BauZustand bzNr=\"0\" cx=\"-1\" cy=\"-1\" cz=\"-5\"");
     },
     "Endsystem, Lager an Knoten 3: Federwert cz = -5 ist negativ"},
    {"spring that evaluates beyond every number",
     [](const std::string& t) {
       return ReplaceAfter(t, "cz=\"-1\" cmx=\"-1\"", "cmzTyp=\"0\" cwTyp=\"0\" />",
                           "cmzTyp=\"0\" cwTyp=\"0\"><cy exp=\"1e308*1e308\" /></BauZustand>");
     },
     "Endsystem, Lager an Knoten 3: Federwert cy = inf ist keine Zahl."},
    // 50 % would be calculated as 50 kNm/rad
    {"degree of restraint not converted",
     [](const std::string& t) {
       return ReplaceAfter(
           t, "",
           "cz=\"-1\" cmx=\"-1\" cmy=\"-1\" cmz=\"0\" cwoelb=\"0\" cxTyp=\"0\" cyTyp=\"0\" czTyp=\"0\" cmxTyp=\"0\"",
           "cz=\"-1\" cmx=\"50\" cmy=\"-1\" cmz=\"0\" cwoelb=\"0\" cxTyp=\"0\" cyTyp=\"0\" czTyp=\"0\" cmxTyp=\"1\"");
     },
     "Lager an Knoten 3: cmxTyp = 1: Einspanngrad cmx = 50 % ist nicht in eine Federsteifigkeit umgerechnet"},
    {"spring computed from a member of negative modulus",
     [](const std::string& t) {
       return ReplaceAfter(t, "cz=\"-1\" cmx=\"-1\"",
                           "czTyp=\"0\" cmxTyp=\"0\" cmyTyp=\"0\" cmzTyp=\"0\" cwTyp=\"0\" />",
                           "czTyp=\"2\" cmxTyp=\"0\" cmyTyp=\"0\" cmzTyp=\"0\" cwTyp=\"0\"><SDcz bDrehfeder=\"0\" "
                           "bEnableOben=\"0\" bEnableUnten=\"1\" uemod=\"-30000\" ugrad=\"100\" uh=\"3\" uqkd=\"30\" "
                           "uqrb=\"30\" uqrd=\"20\" uqtyp=\"0\" ulage=\"0\" uIy=\"0\" /></BauZustand>");
     },
     "Lager an Knoten 3: Feder cz aus Bauteilen: uemod = -30000 MN/m² ist nicht positiv."},
    {"text in a spring record",
     [](const std::string& t) {
       return ReplaceAfter(t, "cz=\"-1\" cmx=\"-1\"",
                           "czTyp=\"0\" cmxTyp=\"0\" cmyTyp=\"0\" cmzTyp=\"0\" cwTyp=\"0\" />",
                           "czTyp=\"2\" cmxTyp=\"0\" cmyTyp=\"0\" cmzTyp=\"0\" cwTyp=\"0\"><SDcz bEnableOben=\"0\" "
                           "bEnableUnten=\"1\" uemod=\"30000\" uh=\"3m\" /></BauZustand>");
     },
     "BauZustand[bzNr=0]/SDcz: uh = \"3m\" ist keine Zahl mit Dezimalpunkt."},
    {"negative foundation spring",
     [](const std::string& t) { return ReplaceAfter(t, "<Fundament", "cz=\"0\"", "cz=\"-3\""); },
     "Fundament: Federwert cz = -3 ist negativ"},
    // the soil's values are read where foundation output is requested
    {"foundation on a negative soil modulus",
     [](const std::string& t) {
       return ReplaceAfter(ReplaceAfter(t, "<Fundament", "Es=\"700\"", "Es=\"-700\""), "<Ausgabe",
                           "num_Fundament=\"0\"", "num_Fundament=\"1\"");
     },
     "Fundament: Es = -700 MN/m² ist nicht positiv."},
    {"foundation with a Poisson's ratio of 0.5",
     [](const std::string& t) {
       return ReplaceAfter(ReplaceAfter(t, "<Fundament", "nue=\"0.2\"", "nue=\"0.5\""), "<Fundament", "FudPos=\"0\"",
                           "FudPos=\"1\"");
     },
     "Fundament: Querdehnzahl nue = 0.5 liegt nicht in [0; 0,5)."},
    {"load value that evaluates beyond every number",
     [](const std::string& t) {
       return ReplaceAfter(t, "desc=\"Dach, Nutzlast\"", "val5=\"0\" />",
                           "val5=\"0\"><val0 exp=\"1e308*1e308\" /></load>");
     },
     "Endsystem, Last 4 (\"Dach, Nutzlast\"): val0 = inf ist keine endliche Zahl."},
    // 1.7e308 kN is a number, 1.5 times it is none
    {"factored load beyond every number",
     [](const std::string& t) { return ReplaceAfter(t, "desc=\"Dach, Nutzlast\"", "val0=\"95\"", "val0=\"1.7e308\""); },
     "Endsystem, Kombination 1 (Ed) \"1.35*(1)+1.50*(2)+0.90*(3)\": Last 4 (\"Dach, Nutzlast\"): val0 = 1.7e+308 mal "
     "Faktor 1.5 ist zu groß: das Produkt darf dem Betrag nach höchstens 1.79769e+308 sein."},
    // the engine holds factors in single precision: 1e39 is a number beyond it, 1e309 none at all
    {"combination factor beyond single precision",
     [](const std::string& t) {
       return ReplaceAfter(t, "<Einwirkungen>", "regelUser=\"1.35*(1)\"",
                           "regelUser=\"1" + std::string(39, '0') + "*(1)\"");
     },
     "Endsystem, Kombination 9 (Ed) \"1" + std::string(39, '0') +
         "*(1)\": Faktor 1e+39 ist zu groß: ein Faktor darf dem Betrag nach höchstens 3.40282e+38 sein."},
    // FLT_MAX is 3.4028234664e38: six digits show the factor as the limit, seven tell them apart
    {"combination factor just beyond single precision",
     [](const std::string& t) {
       return ReplaceAfter(t, "<Einwirkungen>", "regelUser=\"1.35*(1)\"",
                           "regelUser=\"34028236" + std::string(31, '0') + "*(1)\"");
     },
     "Endsystem, Kombination 9 (Ed) \"34028236" + std::string(31, '0') +
         "*(1)\": Faktor 3.402824e+38 ist zu groß: ein Faktor darf dem Betrag nach höchstens 3.402823e+38 sein."},
    {"combination factor beyond every number",
     [](const std::string& t) {
       return ReplaceAfter(t, "<Einwirkungen>", "regelUser=\"1.35*(1)\"",
                           "regelUser=\"1" + std::string(309, '0') + "*(1)\"");
     },
     "Endsystem, Kombination 9 (Ed) \"1" + std::string(309, '0') + "*(1)\": Faktor inf ist keine endliche Zahl."},
    {"unknown combination kind",
     [](const std::string& t) {
       return ReplaceAfter(t, "<Einwirkungen>", "<result art=\"Ed\" regel=\"1.35*(1)\"",
                           "<result art=\"Ed,X\" regel=\"1.35*(1)\"");
     },
     "Endsystem, Kombination 9 (Ed,X) \"1.35*(1)\": Kombinationsart \"Ed,X\" ist unbekannt"},
    {"version that is no number",
     [](const std::string& t) { return ReplaceAfter(t, "<root", "version=\"2012.01\"", "version=\"zwanzig\""); },
     "Dateiversion version = \"zwanzig\" ist keine Versionsnummer"},
    // A name the position defines nowhere would be read as 0: 620 kN left out, a field of no length, a section of
    // no width, a free foot, no imperfection. The stored values beside the formulas are those of another input.
    {"load given by a name defined nowhere",
     [](const std::string& t) {
       return ReplaceAfter(t, "desc=\"Dach, ständig\"", "val5=\"0\" />", "val5=\"0\"><val0 exp=\"NXX\" /></load>");
     },
     "Endsystem, Last 2 (\"Dach, ständig\"): val0 = \"NXX\": 'NXX' nicht definiert"},
    {"field length given by a name defined nowhere",
     [](const std::string& t) {
       return ReplaceAfter(t, "", "<field fieldNr=\"0\" length=\"3.2\">",
                           "<field fieldNr=\"0\" length=\"3.2\"><length exp=\"hEG\" />");
     },
     "Feld 1: Feldlänge = \"hEG\": 'hEG' nicht definiert"},
    {"width given by a name defined nowhere",
     [](const std::string& t) {
       return ReplaceAfter(t, "<field fieldNr=\"1\"", "theta=\"45\" />", "theta=\"45\"><bx exp=\"2*b\" /></quer>");
     },
     "Feld 2, Querschnitt: bx = \"2*b\": 'b' nicht definiert"},
    {"spring given by a name defined nowhere",
     [](const std::string& t) {
       return ReplaceAfter(t, "cz=\"-1\" cmx=\"-1\"", "cmzTyp=\"0\" cwTyp=\"0\" />",
                           "cmzTyp=\"0\" cwTyp=\"0\"><cy exp=\"cFuss\" /></BauZustand>");
     },
     "Endsystem, Lager an Knoten 3: cy = \"cFuss\": 'cFuss' nicht definiert"},
    {"imperfection given by a name defined nowhere",
     [](const std::string& t) {
       return ReplaceAfter(t, "<impact>", "invw=\"0.5\" />", "invw=\"0.5\"><ausmitte exp=\"eNull\" /></vorver>");
     },
     "Endsystem, Vorverformung: ausmitte = \"eNull\": 'eNull' nicht definiert"},
};

TEST_F(InputRefusalTest, BadInputIsRefusedAndThePositionKept) {
  const std::string calculated = Calculated();
  ASSERT_NE(calculated.find("<Schnittgroessen"), std::string::npos);
  for (const RefusalCase& c : kRefused) {
    SCOPED_TRACE(c.name);
    const std::string bad = c.mutate(calculated);
    ASSERT_FALSE(bad.empty()) << "the case does not fit the example any more";
    ASSERT_NE(bad, calculated);
    { std::ofstream(Path("bad.tqx"), std::ios::binary) << bad; }
    const HostRun run = Host({"calc", Path("bad.tqx")});
    EXPECT_EQ(run.status, 1);
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Berechnung wird nicht durchgeführt"), std::string::npos) << run.err;
    EXPECT_EQ(Slurp(Path("bad.tqx")), bad) << "the position was written";
  }
}

// A position whose load names a text with terminal controls (a window title, a colour) and a name defined nowhere:
// calc and report refuse it naming the load, the controls shown escaped on standard error; the file keeps them.
TEST_F(InputRefusalTest, AFilesControlCharactersReachTheTerminalEscaped) {
  const std::string example = Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx");
  const std::string named =
      ReplaceAfter(example, "desc=\"Dach, ständig\"", "val5=\"0\" />", "val5=\"0\"><val0 exp=\"NXX\" /></load>");
  const std::string bad = ReplaceAfter(named, "", "desc=\"Dach, ständig\"",
                                       "desc=\"\x1b]0;TITLE\x07"
                                       "Dach\x1b[31m\"");
  ASSERT_FALSE(bad.empty());
  std::ofstream(Path("bad.tqx"), std::ios::binary) << bad;
  for (const char* command : {"calc", "report"}) {
    SCOPED_TRACE(command);
    const HostRun run = Host({command, Path("bad.tqx")});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_NE(run.err.find("Last 2 (\"\\x1B]0;TITLE\\x07Dach\\x1B[31m\"): val0 = \"NXX\": 'NXX' nicht definiert"),
              std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find('\x1b'), std::string::npos);
    EXPECT_EQ(run.err.find('\x07'), std::string::npos);
    EXPECT_EQ(run.out.find('\x1b'), std::string::npos);
    EXPECT_EQ(Slurp(Path("bad.tqx")), bad);
  }
}

// The report refuses a name defined nowhere as the calculation does, the document editor on as off; reading and
// writing the position back (the input dialog opened and left with OK) says so and keeps the value stored beside
// the formula, never a 0.
TEST_F(InputRefusalTest, ANameDefinedNowhereStopsTheReportAndKeepsTheStoredValue) {
  const std::string bad =
      ReplaceAfter(Calculated(), "desc=\"Dach, ständig\"", "val5=\"0\" />", "val5=\"0\"><val0 exp=\"NXX\" /></load>");
  ASSERT_FALSE(bad.empty());
  { std::ofstream(Path("bad.tqx"), std::ios::binary) << bad; }
  const std::string message = "Endsystem, Last 2 (\"Dach, ständig\"): val0 = \"NXX\": 'NXX' nicht definiert";

  const HostRun report = Host({"report", Path("bad.tqx")});
  EXPECT_EQ(report.status, 1) << report.err;
  EXPECT_NE(report.err.find(message), std::string::npos) << report.err;
  EXPECT_FALSE(fs::exists(Path("bad.rtf")));
  EXPECT_EQ(Slurp(Path("bad.tqx")), bad);
  GetRegSettings().WriteInt("", "bSkrib", 1);
  const HostRun calc = Host({"calc", Path("bad.tqx")});
  GetRegSettings().WriteInt("", "bSkrib", 0);
  EXPECT_EQ(calc.status, 1) << calc.err;
  EXPECT_NE(calc.err.find(message), std::string::npos) << calc.err;
  EXPECT_EQ(Slurp(Path("bad.tqx")), bad);

  const HostRun roundtrip = Host({"roundtrip", Path("bad.tqx"), Path("back.tqx")});
  EXPECT_EQ(roundtrip.status, 0) << roundtrip.err;
  EXPECT_NE(roundtrip.err.find(message), std::string::npos) << roundtrip.err;
  const std::string back = Slurp(Path("back.tqx"));
  const std::size_t load = back.find("desc=\"Dach, ständig\"");
  ASSERT_NE(load, std::string::npos);
  const std::string element = back.substr(load, back.find("</load>", load) - load);
  EXPECT_NE(element.find("val0=\"620\""), std::string::npos) << element;
  EXPECT_NE(element.find("<val0 exp=\"NXX\""), std::string::npos) << element;
}

// The example with its load "Dach, ständig" given as `a` (its stored 620 kN beside the formula) and `a` defined in
// the position's document (lines in the formula colour) or its variable table (formulas of its entries, in order).
std::string NamedRoofLoad(const std::string& calculated, const std::string& path,
                          const std::vector<std::string>& documentLines,
                          const std::vector<std::pair<std::string, std::string>>& table) {
  std::string text =
      ReplaceAfter(calculated, "desc=\"Dach, ständig\"", "val5=\"0\" />", "val5=\"0\"><val0 exp=\"a\" /></load>");
  if (text.empty()) return text;
  if (!table.empty()) {
    std::string vardef =
        "<vardef version=\"1\" numOfEntries=\"" + std::to_string(table.size()) + "\" bPageBreak=\"0\">";
    for (std::size_t i = 0; i < table.size(); ++i)
      vardef += "<entry idx=\"" + std::to_string(i) + "\" type=\"0\" desc=\"Wert\" varName=\"" + table[i].first +
                "\" unit=\"kN\" val=\"0\" bExported=\"0\"><val exp=\"" + table[i].second + "\" /></entry>";
    text.insert(text.find('>', text.find("<input ")) + 1, vardef + "</vardef>");
  }
  { std::ofstream(path, std::ios::binary) << text; }
  if (documentLines.empty()) return text;
  std::string rtf =
      "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}{\\colortbl ;\\red0\\green0\\blue0;\\red7\\green13\\blue255;}";
  for (const std::string& line : documentLines) rtf += "\\pard\\f0\\fs20\\cf2 " + line + "\\cf1  [kN]\\par\r\n";
  rtf += "}";
  const int doc = VIDUV_OpenDoc(path.c_str());
  const int skrib = VIDUV_AddChildElement(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "input"), "Skrib");
  VIDUV_SetBinData(skrib, "rtfData", int(rtf.size()) + 1, rtf.c_str(), 0);
  VIDUV_SetInt(skrib, "isEmpty", 0);
  const bool saved = VIDUV_SaveDoc(doc) == 1;
  VIDUV_CloseDoc(doc);
  return saved ? Slurp(path) : std::string();
}

// The results a calculation stored.
std::string Results(const std::string& text) {
  const std::size_t begin = text.find("<results");
  return begin == std::string::npos ? "" : text.substr(begin, text.rfind("</results>") - begin);
}

// The stored load of "Dach, ständig" as a read and write left it.
std::string RoofLoadElement(const std::string& text) {
  const std::size_t load = text.find("desc=\"Dach, ständig\"");
  return load == std::string::npos ? "" : text.substr(load, text.find("</load>", load) - load);
}

// A name whose definition failed has no value: the load given by it is refused as one given by a name defined
// nowhere, naming the definition and why, whatever the editor setting, by the calculation and the report (the
// position and any report kept); a read and write keeps the 620 kN stored beside the formula.
TEST_F(InputRefusalTest, ANameWhoseDefinitionFailedIsRefusedAndKeepsTheStoredValue) {
  const std::string deep = std::string(201, '(') + "620" + std::string(201, ')');
  struct Case {
    std::vector<std::string> document;
    std::vector<std::pair<std::string, std::string>> table;
    std::string reason;  // after 'val0 = "a": '
  };
  const std::vector<Case> cases = {
      {{"a = b"}, {}, "a = b: 'b' nicht definiert"},
      {{"a = b", "b = a"}, {}, "a = b: Zirkelbezug a -> b -> a"},
      {{"a = a + 1"}, {}, "a = a + 1: Zirkelbezug a -> a"},
      {{"a = sqrt(-1)"}, {}, "a = sqrt(-1): Fehler in sqrt"},
      {{"a = " + deep}, {}, "a = " + deep + ": Formel zu tief geschachtelt"},
      {{"a = 1/0"}, {}, "a = 1/0: Division durch Null."},
      {{"a = 5 + b"}, {}, "a = 5 + b: 'b' nicht definiert"},
      {{"a = 620 +* 2"}, {}, "a = 620 +* 2: Unerwartetes Symbol: *"},
      {{"a = 1e308*10"}, {}, "a = 1e308*10: Ergebnis inf ist keine endliche Zahl."},
      {{}, {{"a", "b"}}, "a = b: 'b' nicht definiert"},
      {{}, {{"a", "b"}, {"b", "a"}}, "a = b: Zirkelbezug a -> b -> a"},
      {{}, {{"a", "b"}, {"b", "c"}, {"c", "a"}}, "a = b: Zirkelbezug a -> b -> c -> a"},
      {{}, {{"a", "a+1"}}, "a = a+1: Zirkelbezug a -> a"},
      {{}, {{"a", "1/0"}}, "a = 1/0: Division durch Null."},
  };
  const std::string calculated = Calculated();
  for (std::size_t n = 0; n < cases.size(); ++n) {
    const Case& c = cases[n];
    SCOPED_TRACE(c.reason);
    const std::string path = Path("a" + std::to_string(n) + ".tqx");
    const std::string bad = NamedRoofLoad(calculated, path, c.document, c.table);
    ASSERT_FALSE(bad.empty());
    const std::string message = "Endsystem, Last 2 (\"Dach, ständig\"): val0 = \"a\": " + c.reason;
    for (const int editor : {0, 1}) {
      SCOPED_TRACE(editor);
      GetRegSettings().WriteInt("", "bSkrib", editor);
      const HostRun calc = Host({"calc", path});
      const HostRun report = Host({"report", path});
      GetRegSettings().WriteInt("", "bSkrib", 0);
      EXPECT_EQ(calc.status, 1) << calc.err;
      EXPECT_NE(calc.err.find(message), std::string::npos) << calc.err;
      EXPECT_EQ(report.status, 1) << report.err;
      EXPECT_NE(report.err.find(message), std::string::npos) << report.err;
      EXPECT_FALSE(fs::exists(Path("a" + std::to_string(n) + ".rtf")));
      EXPECT_EQ(Slurp(path), bad);
    }
    const HostRun roundtrip = Host({"roundtrip", path, Path("back.tqx")});
    EXPECT_EQ(roundtrip.status, 0) << roundtrip.err;
    EXPECT_NE(roundtrip.err.find(message), std::string::npos) << roundtrip.err;
    const std::string element = RoofLoadElement(Slurp(Path("back.tqx")));
    EXPECT_NE(element.find("val0=\"620\""), std::string::npos) << element;
    EXPECT_NE(element.find("<val0 exp=\"a\""), std::string::npos) << element;
  }
}

// A failed definition no input takes, or one a later definition of the name replaces, stops nothing: the example
// calculates with a = 620 kN, its foundation load in load case 1 being 1127.8 kN as with the plain number.
TEST_F(InputRefusalTest, AFailedDefinitionNoInputTakesStopsNothing) {
  const std::string calculated = Calculated();
  const std::vector<std::pair<std::vector<std::string>, std::vector<std::pair<std::string, std::string>>>> cases = {
      {{"x = 1/0", "a = 620"}, {}},
      {{"a = 1/0", "a = 620"}, {}},
      {{"a = 620"}, {{"a", "1/0"}}},  // the document's definition comes after the table's
  };
  ASSERT_NE(Results(calculated).find("<result "), std::string::npos);
  for (std::size_t n = 0; n < cases.size(); ++n) {
    SCOPED_TRACE(n);
    const std::string path = Path("ok" + std::to_string(n) + ".tqx");
    ASSERT_FALSE(NamedRoofLoad(calculated, path, cases[n].first, cases[n].second).empty());
    const HostRun calc = Host({"calc", path});
    EXPECT_EQ(calc.status, 0) << calc.err;
    const std::string text = Slurp(path);
    const std::string element = RoofLoadElement(text);
    EXPECT_NE(element.find("val0=\"620\""), std::string::npos) << element;
    EXPECT_EQ(Results(text), Results(calculated));
  }
}

}  // namespace

namespace {

using namespace host_test;

// The cantilever of the whole-run regression that carries its own weight, with a head moment of 1e308 kNm in its
// wind load case: every factored load is a number (0.9e308 and 1.5e308 kNm), the analysis gives none. The
// calculation stops naming the combination, writes nothing and exits 1.
TEST_F(InputRefusalTest, ResultsThatAreNoNumbersStopTheCalculation) {
  const fs::path source = fs::path(KOLUMO_DATA_DIR).parent_path() / "tests" / "data" / "cantilever_own_weight.tqx";
  const std::string text = ReplaceAfter(Slurp(source), "desc=\"Wind auf das Vordach\"", "val1=\"0\"", "val1=\"1e308\"");
  ASSERT_FALSE(text.empty()) << source;
  { std::ofstream(Path("moment.tqx"), std::ios::binary) << text; }
  const HostRun run = Host({"calc", Path("moment.tqx")});
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.err.find("Die Berechnung ergibt keine endliche Zahl: Schnittgroessen"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("aus Endsystem, Kombination 1 (Ed) \"1.50*(1)+0.90*(2)+1.35*(3)+1.35*(4)\". Bitte die Lasten "
                         "und Faktoren prüfen. Es werden keine Ergebnisse geschrieben."),
            std::string::npos)
      << run.err;
  EXPECT_EQ(Slurp(Path("moment.tqx")), text) << "the position was written";
  EXPECT_FALSE(fs::exists(Path("moment.rtf")));
}

// A decimal comma is read as the engineer meant it: the column calculates to the same file as with points.
TEST_F(InputRefusalTest, DecimalCommasCalculateAsPoints) {
  const std::string example = Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx");
  std::string commas = example;
  for (const std::string point : {"bdx=\"4.5\"", "bdy=\"4.5\"", "as=\"3.14\"", "val0=\"2.4\"", "length=\"3.2\""}) {
    std::string comma = point;
    comma[comma.find('.')] = ',';
    for (std::size_t at = commas.find(point); at != std::string::npos; at = commas.find(point, at))
      commas.replace(at, point.size(), comma);
  }
  ASSERT_NE(commas.find("val0=\"2,4\""), std::string::npos);
  { std::ofstream(Path("points.tqx"), std::ios::binary) << example; }
  { std::ofstream(Path("commas.tqx"), std::ios::binary) << commas; }
  const HostRun points = Host({"calc", Path("points.tqx")});
  const HostRun withCommas = Host({"calc", Path("commas.tqx")});
  ASSERT_EQ(points.status, 0) << points.err;
  ASSERT_EQ(withCommas.status, 0) << withCommas.err;
  // the write-back formats every number with a point: the files become one
  EXPECT_EQ(Slurp(Path("commas.tqx")), Slurp(Path("points.tqx")));
}

}  // namespace

namespace {

using namespace host_test;

// A FIFO or a device is no position: refused at once, never read (a FIFO would block the read, a device
// feed it without end).
TEST_F(InputRefusalTest, PositionsThatAreNoFilesAreRefusedBeforeReading) {
  ASSERT_EQ(mkfifo(Path("fifo.tqx").c_str(), 0644), 0);
  for (const std::string& path : {Path("fifo.tqx"), std::string("/dev/zero")}) {
    for (const std::string command : {"calc", "report", "roundtrip"}) {
      SCOPED_TRACE(path + " " + command);
      std::vector<std::string> args{command, path};
      if (command == "roundtrip") args.push_back(Path("out.tqx"));
      const HostRun run = Host(args);
      EXPECT_EQ(run.status, 1);
      EXPECT_NE(run.err.find(path + ": not a regular file"), std::string::npos) << run.err;
      EXPECT_FALSE(fs::exists(Path("out.tqx")));
    }
  }
  EXPECT_TRUE(fs::is_fifo(Path("fifo.tqx")));
}

// A load's case number, or a stage's number of load cases, far beyond what a stage holds: reading the position into
// the input dialog sizes its load-case grid by the cases that exist and says why, a load's number in the words of the
// input check; the load keeps its number, for the engineer to mend, and the calculation refuses it as before. The
// grid took a row per number up to it: 99,999,999 rows, gigabytes, then std::bad_alloc. The host runs with a
// bounded address space where no sanitizer needs one of its own.
TEST_F(InputRefusalTest, AFarLoadCaseNumberDoesNotSizeTheLoadCaseGrid) {
  const std::string example = Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx");
  const struct {
    const char* name;
    std::string from, to, message;
    bool kept;  // the number stays in the position written back
  } cases[] = {
      {"a load's case", "lc=\"2\" LCGen=\"2\" desc=\"Dach, Nutzlast\"",
       "lc=\"99999999\" LCGen=\"2\" desc=\"Dach, Nutzlast\"",
       "Endsystem, Last 4 (\"Dach, Nutzlast\"): Lastfall 99999999 gibt es nicht (höchster Lastfall 3).", true},
      {"a stage's number of cases", "bzNr=\"0\" maxLF=\"3\"", "bzNr=\"0\" maxLF=\"99999999\"",
       "Endsystem: die Datei gibt 99999999 Lastfälle an; möglich sind höchstens 50. Gezeigt werden die Lastfälle bis "
       "3.",
       false},
  };
#if !defined(__SANITIZE_ADDRESS__)
  prefix_ = "prlimit --as=3000000000 ";
#endif
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string text = ReplaceAfter(example, "", c.from, c.to);
    ASSERT_FALSE(text.empty());
    { std::ofstream(Path("far.tqx"), std::ios::binary) << text; }
    const HostRun run = Host({"roundtrip", Path("far.tqx"), Path("out.tqx")});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    const std::string out = Slurp(Path("out.tqx"));
    EXPECT_NE(out.find("bzNr=\"0\" maxLF=\"3\""), std::string::npos);
    EXPECT_EQ(out.find("99999999") != std::string::npos, c.kept);
    if (!c.kept) continue;
    const HostRun calc = Host({"calc", Path("out.tqx")});
    EXPECT_EQ(calc.status, 1);
    EXPECT_NE(calc.err.find(c.message), std::string::npos) << calc.err;
  }
}

// A position reached through a symbolic link is calculated into the file the link names; the link stays.
TEST_F(InputRefusalTest, ASymlinkedPositionIsWrittenThrough) {
  fs::create_directory(Path("real"));
  fs::copy_file(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx", Path("real/Stuetze.tqx"));
  fs::create_symlink("real/Stuetze.tqx", Path("link.tqx"));
  const HostRun run = Host({"calc", Path("link.tqx")});
  ASSERT_EQ(run.status, 0) << run.err;
  EXPECT_TRUE(fs::is_symlink(Path("link.tqx")));
  EXPECT_EQ(fs::read_symlink(Path("link.tqx")), "real/Stuetze.tqx");
  EXPECT_NE(Slurp(Path("real/Stuetze.tqx")).find("<Schnittgroessen"), std::string::npos);
  for (const auto& entry : fs::directory_iterator(Path("real")))
    EXPECT_EQ(entry.path().filename(), "Stuetze.tqx") << "a temporary file stayed";
}

}  // namespace

namespace {

using namespace host_test;

// A grade that the code's catalogue lacks is calculated with a stand-in (concrete: the third grade, C12/15,
// C16/20, C20/25 in data/catalogs/material.xml under "EC2 NA (DE)"; a steel no list names, whose ductility is thus
// unknown: the least ductile, B500A of B500A and B500B), and the calculation says so.
TEST_F(InputRefusalTest, AnUnknownGradeIsNamedWithTheGradeUsed) {
  std::string text = Slurp(fs::path(KOLUMO_DATA_DIR) / "examples" / "Stuetze.tqx");
  text = ReplaceAfter(text, "<system", "sBeton=\"C30/37\" sStahl=\"B500B\"", "sBeton=\"C99/1\" sStahl=\"B500X\"");
  ASSERT_FALSE(text.empty());
  { std::ofstream(Path("grade.tqx"), std::ios::binary) << text; }
  const HostRun run = Host({"calc", Path("grade.tqx")});
  EXPECT_EQ(run.status, 0) << run.err;
  EXPECT_NE(run.err.find("Betonsorte sBeton = \"C99/1\" gibt es in EC2 NA (DE) nicht; gerechnet wird mit C20/25."),
            std::string::npos)
      << run.err;
  EXPECT_NE(run.err.find("Stahlsorte sStahl = \"B500X\" gibt es in EC2 NA (DE) nicht; gerechnet wird mit B500A."),
            std::string::npos)
      << run.err;
}

}  // namespace
