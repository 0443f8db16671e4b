// Calculates a position file (with --calc) and writes its report beside it, as
// the module's exports do; for looking at a report without the host.
//   report_example [--calc] FILE.tqx        (run with KOLUMO_ROOT set to an
//   installation root)
#include <cstdio>
#include <cstring>

#include "column/calcfunc.h"
#include "platform/viduv/viduv.h"
#include "platform/win/dialogs/msgbox.h"
#include "report/rtfausgabe.h"

int main(int argc, char** argv) {
  const bool calc = argc == 3 && std::strcmp(argv[1], "--calc") == 0;
  if (argc != 2 && !calc) {
    std::fprintf(stderr, "usage: report_example [--calc] FILE.tqx\n");
    return 2;
  }
  // Message boxes are answered with their default and shown here.
  win::msgbox::SetEchoStream(stderr);
  const char* path = argv[argc - 1];
  const int doc = VIDUV_OpenDoc(path);
  if (!doc) {
    std::fprintf(stderr, "%s: %s\n", path, VIDUV_GetLastError());
    return 1;
  }
  if (calc) {
    Calculate(doc);
    if (!VIDUV_SaveDoc(doc)) std::fprintf(stderr, "%s: %s\n", path, VIDUV_GetLastError());
  }
  report::RtfKolumo(doc, 1);
  VIDUV_CloseDoc(doc);
  std::printf("%s\n", report::ReportFileName(path).c_str());
  return 0;
}
