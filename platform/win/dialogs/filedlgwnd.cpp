// The file dialog as a window of our own controls: the folder shown, its subfolders (with ".." up), its files
// as the chosen type filters them, the name field and OK/Abbrechen. A typed name may be a whole path, absolute
// or relative to the folder shown, a folder (opened) or a pattern (the list shows what matches it).
#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>

#include "platform/win/window/internal.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/dialogs/msgboxwnd.h"
#include "platform/win/base/paths.h"

namespace win::detail {
namespace {

namespace fs = std::filesystem;

constexpr int kFolderField = 1088, kFiles = 1120, kFolders = 1121, kTypes = 1136, kName = 1152;

struct FileType {
  std::string text;
  std::vector<std::string> patterns;
};

// The filter's "text\0patterns\0...\0" pairs; patterns are split at ';'. Without a filter every file shows.
std::vector<FileType> FileTypes(LPCSTR filter) {
  std::vector<FileType> out;
  for (const char* p = filter; p && *p;) {
    const char* pattern = p + std::strlen(p) + 1;
    if (!*pattern) break;
    FileType t{p, {}};
    std::string all = pattern;
    for (std::size_t start = 0;;) {
      const std::size_t semi = all.find(';', start);
      std::string one = all.substr(start, semi == std::string::npos ? std::string::npos : semi - start);
      while (!one.empty() && one.front() == ' ') one.erase(one.begin());
      while (!one.empty() && one.back() == ' ') one.pop_back();
      if (!one.empty()) t.patterns.push_back(one);
      if (semi == std::string::npos) break;
      start = semi + 1;
    }
    out.push_back(t);
    p = pattern + std::strlen(pattern) + 1;
  }
  if (out.empty()) out.push_back({"Alle Dateien (*.*)", {"*.*"}});
  return out;
}

char Lower(char c) { return char(std::tolower(static_cast<unsigned char>(c))); }

// Wildcards as the desktop's file dialogs know them, without regard to case; "*.*" is every file, dot or not.
bool Matches(const std::string& pattern, const std::string& name) {
  if (pattern == "*.*" || pattern == "*") return true;
  std::size_t p = 0, n = 0, star = std::string::npos, mark = 0;
  while (n < name.size()) {
    if (p < pattern.size() && (pattern[p] == '?' || Lower(pattern[p]) == Lower(name[n]))) {
      ++p;
      ++n;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      mark = n;
    } else if (star != std::string::npos) {
      p = star + 1;
      n = ++mark;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

bool LessNoCase(const std::string& a, const std::string& b) {
  return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(),
                                      [](char x, char y) { return Lower(x) < Lower(y); });
}

std::string ItemText(HWND list, int index) {
  const int length = int(SendMessage(list, LB_GETTEXTLEN, WPARAM(index), 0));
  if (length < 0) return {};
  std::string text(std::size_t(length) + 1, '\0');
  SendMessage(list, LB_GETTEXT, WPARAM(index), LPARAM(text.data()));
  text.resize(std::strlen(text.c_str()));
  return text;
}

std::string WindowText(HWND wnd) {
  const int length = GetWindowTextLength(wnd);
  std::string text(std::size_t(length) + 1, '\0');
  GetWindowText(wnd, text.data(), length + 1);
  text.resize(std::strlen(text.c_str()));
  return text;
}

struct DialogData {
  const OPENFILENAME* ofn = nullptr;
  bool open = true;
  std::string title;
  std::vector<FileType> types;
  std::vector<std::string> patterns;  // those of the type chosen, or a typed pattern
  std::size_t type = 0;               // the type chosen (0-based)
  std::string folder;
  std::string chosen;
};

DialogData* DataOf(HWND dialog) {
  Window* w = Get(dialog);
  return w && w->dialog ? reinterpret_cast<DialogData*>(w->dialog->user) : nullptr;
}

void Fill(HWND dialog, DialogData& d) {
  SetDlgItemText(dialog, kFolderField, d.folder.c_str());
  std::vector<std::string> folders, files;
  std::error_code ec;
  for (fs::directory_iterator it(d.folder, fs::directory_options::skip_permission_denied, ec), end; !ec && it != end;
       it.increment(ec)) {
    const std::string name = it->path().filename().string();
    if (name.empty() || name[0] == '.') continue;
    std::error_code kind;
    if (it->is_directory(kind)) {
      folders.push_back(name);
    } else if (it->is_regular_file(kind)) {
      for (const std::string& pattern : d.patterns)
        if (Matches(pattern, name)) {
          files.push_back(name);
          break;
        }
    }
  }
  std::sort(folders.begin(), folders.end(), LessNoCase);
  std::sort(files.begin(), files.end(), LessNoCase);
  HWND folderList = GetDlgItem(dialog, kFolders), fileList = GetDlgItem(dialog, kFiles);
  SendMessage(folderList, LB_RESETCONTENT, 0, 0);
  if (fs::path(d.folder).has_relative_path()) SendMessage(folderList, LB_ADDSTRING, 0, LPARAM(".."));
  for (const std::string& f : folders) SendMessage(folderList, LB_ADDSTRING, 0, LPARAM(f.c_str()));
  SendMessage(fileList, LB_RESETCONTENT, 0, 0);
  for (const std::string& f : files) SendMessage(fileList, LB_ADDSTRING, 0, LPARAM(f.c_str()));
}

void Navigate(HWND dialog, DialogData& d, const fs::path& to) {
  std::error_code ec;
  fs::path folder = fs::weakly_canonical(to, ec);
  if (ec || !fs::is_directory(folder, ec)) return;
  d.folder = folder.string();
  Fill(dialog, d);
}

void OpenSelectedFolder(HWND dialog, DialogData& d) {
  HWND list = GetDlgItem(dialog, kFolders);
  const int at = int(SendMessage(list, LB_GETCURSEL, 0, 0));
  if (at < 0) return;
  const std::string name = ItemText(list, at);
  Navigate(dialog, d, name == ".." ? fs::path(d.folder).parent_path() : fs::path(d.folder) / name);
}

void Confirm(HWND dialog, DialogData& d) {
  HWND focus = GetFocus();
  if (focus == GetDlgItem(dialog, kFolders)) {
    OpenSelectedFolder(dialog, d);
    return;
  }
  HWND nameField = GetDlgItem(dialog, kName);
  std::string typed = WindowText(nameField);
  while (!typed.empty() && typed.back() == ' ') typed.pop_back();
  while (!typed.empty() && typed.front() == ' ') typed.erase(typed.begin());
  if (typed.empty()) {
    MessageBeep(MB_OK);
    return;
  }
  fs::path path = ToFsPath(typed);
  if (path.is_relative()) path = fs::path(d.folder) / path;
  if (typed.find_first_of("*?") != std::string::npos) {
    // A pattern: its folder is opened, and the list shows what matches it until another type is chosen.
    d.patterns = {path.filename().string()};
    Navigate(dialog, d, path.parent_path());
    Fill(dialog, d);
    return;
  }
  std::error_code ec;
  if (fs::is_directory(path, ec)) {
    Navigate(dialog, d, path);
    SetWindowText(nameField, "");
    return;
  }
  const FileChoice choice = ResolveFileName(*d.ofn, d.open, d.folder, typed);
  if (!choice.refusal.empty()) {
    MessageBox(dialog, choice.refusal.c_str(), d.title.c_str(), MB_OK | MB_ICONWARNING);
    DialogFocus(nameField);
    return;
  }
  if (choice.askOverwrite &&
      MessageBox(dialog, OverwriteQuestion(choice.path).c_str(), d.title.c_str(), MB_YESNO | MB_ICONWARNING) != IDYES) {
    DialogFocus(nameField);
    return;
  }
  d.chosen = choice.path;
  EndDialog(dialog, IDOK);
}

INT_PTR FileDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM) {
  DialogData* d = DataOf(dialog);
  if (msg != WM_COMMAND || !d) return FALSE;
  const int id = LOWORD(wParam), code = HIWORD(wParam);
  switch (id) {
    case IDOK:
      if (code == BN_CLICKED) Confirm(dialog, *d);
      return TRUE;
    case IDCANCEL:
      if (code == BN_CLICKED) EndDialog(dialog, IDCANCEL);
      return TRUE;
    case kFiles: {
      HWND list = GetDlgItem(dialog, kFiles);
      const int at = int(SendMessage(list, LB_GETCURSEL, 0, 0));
      if (at < 0) return TRUE;
      if (code == LBN_SELCHANGE) SetDlgItemText(dialog, kName, ItemText(list, at).c_str());
      if (code == LBN_DBLCLK) {
        SetDlgItemText(dialog, kName, ItemText(list, at).c_str());
        DialogFocus(GetDlgItem(dialog, kName));
        Confirm(dialog, *d);
      }
      return TRUE;
    }
    case kFolders:
      if (code == LBN_DBLCLK) OpenSelectedFolder(dialog, *d);
      return TRUE;
    case kTypes:
      if (code == CBN_SELCHANGE) {
        const int at = int(SendDlgItemMessage(dialog, kTypes, CB_GETCURSEL, 0, 0));
        if (at >= 0 && std::size_t(at) < d->types.size()) {
          d->type = std::size_t(at);
          d->patterns = d->types[d->type].patterns;
        }
        Fill(dialog, *d);
      }
      return TRUE;
    default: return FALSE;
  }
}

DialogTemplate Layout(bool open, const std::string& title) {
  DialogTemplate t;
  t.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER;
  t.caption = title;
  t.cx = 282;
  t.cy = 190;
  const DWORD list = LBS_NOTIFY | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
  // Creation order is the tab order: the name field first, as the user starts there.
  t.items = {
      {-1, "Static", "Datei&name:", SS_LEFT, 7, 151, 48, 9},
      {kName, "Edit", "", ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP, 57, 149, 160, 12},
      {-1, "Static", "&Dateien:", SS_LEFT, 7, 24, 100, 9},
      {kFiles, "ListBox", "", list, 7, 34, 140, 108},
      {-1, "Static", "&Ordner:", SS_LEFT, 154, 24, 100, 9},
      {kFolders, "ListBox", "", list, 154, 34, 121, 108},
      {-1, "Static", "Datei&typ:", SS_LEFT, 7, 170, 48, 9},
      {kTypes, "ComboBox", "", CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 57, 168, 160, 80},
      {IDOK, "Button", "OK", BS_DEFPUSHBUTTON | WS_TABSTOP, 225, 148, 50, 14},
      {IDCANCEL, "Button", "Abbrechen", BS_PUSHBUTTON | WS_TABSTOP, 225, 167, 50, 14},
      {-1, "Static", open ? "Suchen in:" : "Speichern in:", SS_LEFT, 7, 9, 48, 9},
      {kFolderField, "Edit", "", ES_AUTOHSCROLL | ES_READONLY | WS_BORDER, 57, 7, 218, 12},
  };
  return t;
}

// The folder the dialog starts in: the one asked for, else that of the proposed name, else the current one;
// a folder that does not exist gives way to the nearest one above it that does.
std::string StartFolder(const OPENFILENAME& ofn, std::string& proposedName) {
  fs::path start = ofn.lpstrInitialDir && *ofn.lpstrInitialDir ? fs::path(ToFsPath(ofn.lpstrInitialDir)) : fs::path();
  const fs::path proposed = ofn.lpstrFile && *ofn.lpstrFile ? fs::path(ToFsPath(ofn.lpstrFile)) : fs::path();
  proposedName = proposed.filename().string();
  if (start.empty() && proposed.has_parent_path()) start = proposed.parent_path();
  std::error_code ec;
  const fs::path current = fs::current_path(ec);
  if (start.empty() || start.is_relative()) start = current / start;
  while (!fs::is_directory(start, ec) && start.has_relative_path()) start = start.parent_path();
  if (!fs::is_directory(start, ec)) start = current;
  return fs::weakly_canonical(start, ec).string();
}

std::string DefaultExtension(const OPENFILENAME& ofn) {
  // Callers give it as "tqx", ".tqx" or "*.tqx".
  std::string ext = ofn.lpstrDefExt ? ofn.lpstrDefExt : "";
  while (!ext.empty() && (ext.front() == '*' || ext.front() == '.')) ext.erase(ext.begin());
  return ext;
}

}  // namespace

FileChoice ResolveFileName(const OPENFILENAME& ofn, bool open, const std::string& folder, const std::string& typed) {
  FileChoice choice;
  fs::path p = ToFsPath(typed);
  if (p.is_relative() && !folder.empty()) p = fs::path(folder) / p;
  std::error_code ec;
  const std::string ext = DefaultExtension(ofn);
  if (!ext.empty() && !p.has_extension() && !p.filename().empty()) {
    fs::path withExt = p;
    withExt += "." + ext;
    // A file opened by the name as typed keeps it; otherwise the name is that with the default extension.
    if (!open || !fs::exists(p, ec)) p = withExt;
  }
  choice.path = p.string();
  if (open && (ofn.Flags & OFN_FILEMUSTEXIST) && !fs::is_regular_file(p, ec))
    choice.refusal = "Die Datei " + p.string() + " wurde nicht gefunden.";
  else if ((ofn.Flags & OFN_PATHMUSTEXIST) && p.has_parent_path() && !fs::is_directory(p.parent_path(), ec))
    choice.refusal = "Der Pfad " + p.parent_path().string() + " existiert nicht.";
  else if (!open && (ofn.Flags & OFN_OVERWRITEPROMPT) && fs::exists(p, ec))
    choice.askOverwrite = true;
  return choice;
}

std::string OverwriteQuestion(const std::string& path) {
  return fs::path(path).filename().string() + " ist bereits vorhanden.\nMöchten Sie sie ersetzen?";
}

std::string RunFileDialogWindow(const OPENFILENAME& ofn, bool open, const std::string& title, DWORD& filterIndex) {
  DialogData d;
  d.ofn = &ofn;
  d.open = open;
  d.title = title;
  d.types = FileTypes(ofn.lpstrFilter);
  std::string proposedName;
  d.folder = StartFolder(ofn, proposedName);
  d.type = filterIndex >= 1 && filterIndex <= d.types.size() ? filterIndex - 1 : 0;
  d.patterns = d.types[d.type].patterns;

  HWND owner = ofn.hwndOwner ? Root(ofn.hwndOwner) : GetActiveWindow();
  if (owner && !IsWindow(owner)) owner = nullptr;
  HWND dialog = CreateDialogFromTemplate(Layout(open, title), owner, &FileDialogProc, 0, 0, false);
  if (!dialog) return {};
  Get(dialog)->dialog->user = reinterpret_cast<LONG_PTR>(&d);
  for (const FileType& t : d.types) SendDlgItemMessage(dialog, kTypes, CB_ADDSTRING, 0, LPARAM(t.text.c_str()));
  SendDlgItemMessage(dialog, kTypes, CB_SETCURSEL, WPARAM(d.type), 0);
  SetDlgItemText(dialog, kName, proposedName.c_str());
  Fill(dialog, d);
  const INT_PTR answer = RunOwnModal(dialog, owner, GetDlgItem(dialog, kName), IDCANCEL);
  if (answer != IDOK) return {};
  filterIndex = DWORD(d.type + 1);
  return d.chosen;
}

}  // namespace win::detail
