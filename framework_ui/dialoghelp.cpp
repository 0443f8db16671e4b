#include "framework_ui/dialoghelp.h"

#include "framework/basedata.h"
#include "framework/regsettings.h"
#include "platform/tolkar/tolkar.h"

void ShowFrameworkDialogHelp(const char* htmlTopic, const char* pdfPath) {
  // The localisation library keeps its language apart from the program's own settings.
  CString language;
  GetRegSettings().ReadString("TOLK", "Ormi Eingabe", language, "deutsch", "software\\Ormi");
  if (language == "französisch") {
    BaseData::ShowHelpTopic("help.chm", htmlTopic);
    return;
  }
  if (pdfPath && *pdfPath)
    BaseData::OpenProgramFile(TOLK_Translate("Ormi Eingabe", "vernik_i_common", "Hilfe", pdfPath));
}
