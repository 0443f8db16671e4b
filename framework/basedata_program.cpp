// Help topics and files of the program folder.
#include "framework/basedata.h"
#include "framework/utilities.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/base/paths.h"

void BaseData::ShowHelpTopic(const char* helpFile, const char* topic) {
  // Names come with "\" separators; the path shown and opened is the file system's.
  const CString path(win::JoinPath(win::ExeDir(), win::ToFsPath(helpFile ? helpFile : "")));
  if (!CDirList::FileExists(path)) {
    CString text;
    text.Format(
        TOLK_Translate("Ormi Eingabe", "vernik_i_common", "BaseData", "Die Hilfedatei '%s' wurde nicht gefunden."),
        path.GetString());
    AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
    return;
  }
  (void)topic;
  ShellOpen(path);
}

void BaseData::OpenProgramFile(const char* relativePath) {
  const CString path(win::JoinPath(win::InstallRoot(), win::ToFsPath(relativePath ? relativePath : "")));
  if (!CDirList::FileExists(path)) {
    AfxMessageBox(CString("Fehler beim Öffnen der Datei ") + path, MB_OK);
    return;
  }
  ShellOpen(path);
}
