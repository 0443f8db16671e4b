// Help topics and files of the program folder.
#include <cctype>
#include <string>

#include "framework/basedata.h"
#include "framework/utilities.h"
#include "platform/tolkar/tolkar.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/base/paths.h"

namespace {

bool EndsWith(const std::string& text, const char* end) {
  const std::string tail(end);
  if (text.size() < tail.size()) return false;
  for (std::size_t i = 0; i < tail.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(text[text.size() - tail.size() + i])) != tail[i]) return false;
  return true;
}

// Everything but the letters, digits and "-._~" (and '/' where it separates folders) as %XX.
std::string Escaped(const std::string& text, bool keepSlash) {
  static const char hex[] = "0123456789ABCDEF";
  std::string out;
  for (const unsigned char c : text) {
    if (std::isalnum(c) || c == '-' || c == '.' || c == '_' || c == '~' || (keepSlash && c == '/')) {
      out += char(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 0xF];
    }
  }
  return out;
}

// The destination a topic names in a PDF: its page's name without folders and extension ("/html/a.htm" gives "a").
std::string Destination(const char* topic) {
  std::string name = topic ? topic : "";
  if (const std::size_t slash = name.find_last_of("/\\"); slash != std::string::npos) name.erase(0, slash + 1);
  if (const std::size_t dot = name.rfind('.'); dot != std::string::npos && dot > 0) name.erase(dot);
  return name;
}

// Help is for the person at the screen: the one message for a help file that is not there names the file looked for.
void SayHelpMissing(const CString& path) {
  CString text;
  text.Format(
      TOLK_Translate("Ormi Eingabe", "vernik_i_common", "BaseData", "Die Hilfedatei '%s' wurde nicht gefunden."),
      path.GetString());
  AfxMessageBox(text, MB_OK | MB_ICONINFORMATION);
}

// Hands a help file, or its address at a topic, to the desktop's opener; a failure names the file.
void OpenHelp(const CString& path, const std::string& target) {
  CString failure;
  failure.Format(
      TOLK_Translate("Ormi Eingabe", "vernik_i_common", "BaseData", "Die Hilfedatei '%s' kann nicht geöffnet werden."),
      path.GetString());
  ShellOpen(target.c_str(), failure);
}

}  // namespace

CString BaseData::HelpFilePath(const char* helpFile) {
  // Names come with "\" separators; the path shown and opened is the file system's.
  const std::string named = win::JoinPath(win::ExeDir(), win::ToFsPath(helpFile ? helpFile : ""));
  // A compiled help file has no viewer here: its PDF is the help that ships, and is looked for first; a compiled
  // file that is there without one is opened as it is.
  if (EndsWith(named, ".chm")) {
    const std::string pdf = named.substr(0, named.size() - 4) + ".pdf";
    if (CDirList::FileExists(pdf.c_str()) || !CDirList::FileExists(named.c_str())) return CString(pdf);
  }
  return CString(named);
}

std::string BaseData::HelpAddress(const CString& path, const char* topic) {
  const std::string file = path.str();
  const std::string destination = Destination(topic);
  // A PDF is handed over as its address with the open parameter of a named destination, which the desktop's
  // opener passes on to the viewer; other files open whole.
  if (destination.empty() || !EndsWith(file, ".pdf")) return file;
  return "file://" + Escaped(file, true) + "#nameddest=" + Escaped(destination, false);
}

void BaseData::ShowHelpTopic(const char* helpFile, const char* topic) {
  const CString path = HelpFilePath(helpFile);
  if (!CDirList::FileExists(path)) return SayHelpMissing(path);
  OpenHelp(path, HelpAddress(path, topic));
}

void BaseData::OpenProgramFile(const char* relativePath) {
  const CString path(win::JoinPath(win::InstallRoot(), win::ToFsPath(relativePath ? relativePath : "")));
  if (!CDirList::FileExists(path)) return SayHelpMissing(path);
  OpenHelp(path, path.str());
}
