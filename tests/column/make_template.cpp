// Writes the default input a new column position starts from when the user has none of their own,
// data/Vorlagen/TQ-KOLUMO Vorbelegung.tqx: the module's empty column with the report chapters of the shipped
// example, so that the report of a new position is never an empty page. It is marked as a template: a position made
// from it takes the design code of the user's settings.
//
//   column_make_template OUT.tqx     (run with KOLUMO_ROOT set to the data folder)
#include <cstdio>

#include "column/kolumodata.h"
#include "platform/viduv/viduv.h"
#include "position_builders.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: column_make_template OUT.tqx\n", stderr);
    return 2;
  }
  // as the module makes an empty position (its "CreateEmptyDoc"), with the example's output scope
  const int doc = VIDUV_CreateDoc("");
  {
    CKolumoData data;
    data.SetDefaults();
    column_test::ExampleOutputScope(data);
    data.doc = doc;
    data.WriteData(doc);
  }
  VIDUV_SetInt(VIDUV_FindFirstChild(VIDUV_GetRootElement(doc), "info"), "bIsTemplate", 1);
  const int saved = VIDUV_SaveDocAs(doc, argv[1]);
  if (!saved) std::fprintf(stderr, "%s: %s\n", argv[1], VIDUV_GetLastError());
  VIDUV_CloseDoc(doc);
  return saved ? 0 : 1;
}
