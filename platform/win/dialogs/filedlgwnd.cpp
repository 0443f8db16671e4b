// The file dialog as a window of our own controls: the folder shown, its subfolders (with ".." up), its files
// as the chosen type filters them, the name field and OK/Abbrechen. A typed name may be a whole path, absolute
// or relative to the folder shown, a folder (opened) or a pattern (the list shows what matches it).
#include <algorithm>
#include <cctype>
#include <cstring>
#include <filesystem>
#include <functional>

#include "platform/win/window/internal.h"
#include "platform/win/dialogs/msgbox.h"
#include "platform/win/dialogs/msgboxwnd.h"
#include "platform/win/base/paths.h"
#include "platform/win/screen/screen.h"

namespace win::detail {
namespace {

namespace fs = std::filesystem;

constexpr int kFolderField = IDC_FILE_FOLDER, kFiles = IDC_FILE_LIST, kFolders = IDC_FILE_FOLDERS,
              kTypes = IDC_FILE_TYPES, kName = IDC_FILE_NAME;

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

// A control as the dialog was made, for the layout at another width.
struct Placed {
  HWND control;
  RECT rect;
};

struct DialogData {
  OPENFILENAME* ofn = nullptr;
  LPOFNHOOKPROC hook = nullptr;
  int baseWidth = 0;  // the client width the controls were made for
  std::vector<Placed> placed;
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

// Tells the hook; its DWLP_MSGRESULT is the answer.
LONG_PTR Notify(HWND dialog, DialogData& d, UINT code) {
  if (!d.hook) return 0;
  OFNOTIFY note{{dialog, 0, code}, d.ofn, d.ofn->lpstrFile};
  Get(dialog)->dialog->msgResult = 0;
  d.hook(dialog, WM_NOTIFY, 0, LPARAM(&note));
  return Get(dialog) ? Get(dialog)->dialog->msgResult : 0;
}

void Navigate(HWND dialog, DialogData& d, const fs::path& to) {
  std::error_code ec;
  fs::path folder = fs::weakly_canonical(to, ec);
  if (ec || !fs::is_directory(folder, ec)) return;
  d.folder = folder.string();
  Fill(dialog, d);
  Notify(dialog, d, CDN_FOLDERCHANGE);
}

// The file at this place of the list into the name field.
void PickListed(HWND dialog, DialogData& d, int at) {
  SetDlgItemText(dialog, kName, ItemText(GetDlgItem(dialog, kFiles), at).c_str());
  Notify(dialog, d, CDN_SELCHANGE);
}

// The path the name field names in the folder shown (the folder itself while it is empty).
std::string PathInField(HWND dialog, const DialogData& d) {
  std::string typed = WindowText(GetDlgItem(dialog, kName));
  while (!typed.empty() && typed.back() == ' ') typed.pop_back();
  while (!typed.empty() && typed.front() == ' ') typed.erase(typed.begin());
  return typed.empty() ? d.folder : ResolveFileName(*d.ofn, d.open, d.folder, typed).path;
}

// The files list takes what the window grew in width; what stands right of it moves along, what reaches over its
// right edge widens with it.
void Layout(HWND dialog, const DialogData& d, int width) {
  const int dx = std::max(0, width - d.baseWidth);
  HWND files = GetDlgItem(dialog, kFiles);
  const auto it = std::find_if(d.placed.begin(), d.placed.end(), [&](const Placed& p) { return p.control == files; });
  if (it == d.placed.end()) return;
  const int edge = it->rect.right;
  for (const Placed& p : d.placed) {
    if (!IsWindow(p.control)) continue;
    RECT r = p.rect;
    if (r.left >= edge)
      OffsetRect(&r, dx, 0);
    else if (r.right >= edge)
      r.right += dx;
    SetWindowPos(p.control, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
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
  if (Notify(dialog, d, CDN_FILEOK) != 0) return;
  d.chosen = choice.path;
  EndDialog(dialog, IDOK);
}

INT_PTR FileDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
  DialogData* d = DataOf(dialog);
  if (!d) return FALSE;
  if (d->hook && msg != WM_INITDIALOG && d->hook(dialog, msg, wParam, lParam)) return TRUE;
  if (msg == CDM_GETFILEPATH) {
    const std::string path = PathInField(dialog, *d);
    if (lParam && wParam > 0) {
      const std::size_t n = std::min<std::size_t>(path.size(), std::size_t(wParam) - 1);
      std::memcpy(reinterpret_cast<char*>(lParam), path.data(), n);
      reinterpret_cast<char*>(lParam)[n] = 0;
    }
    Get(dialog)->dialog->msgResult = LONG_PTR(path.size());
    return TRUE;
  }
  if (msg == WM_SIZE) {
    Layout(dialog, *d, LOWORD(lParam));
    return TRUE;
  }
  if (msg != WM_COMMAND) return FALSE;
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
      if (code == LBN_SELCHANGE) PickListed(dialog, *d, at);
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

DialogTemplate MakeTemplate(bool open, const std::string& title) {
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

std::string RunFileDialogWindow(OPENFILENAME& ofn, bool open, const std::string& title, DWORD& filterIndex,
                                const std::string* typed, const std::function<void(HWND)>* script) {
  DialogData d;
  d.ofn = &ofn;
  d.open = open;
  d.title = title;
  d.hook = (ofn.Flags & OFN_ENABLEHOOK) ? ofn.lpfnHook : nullptr;
  d.types = FileTypes(ofn.lpstrFilter);
  std::string proposedName;
  d.folder = StartFolder(ofn, proposedName);
  d.type = filterIndex >= 1 && filterIndex <= d.types.size() ? filterIndex - 1 : 0;
  d.patterns = d.types[d.type].patterns;

  HWND owner = ofn.hwndOwner ? Root(ofn.hwndOwner) : GetActiveWindow();
  if (owner && !IsWindow(owner)) owner = nullptr;
  HWND dialog = CreateDialogFromTemplate(MakeTemplate(open, title), owner, &FileDialogProc, 0, 0, false);
  if (!dialog) return {};
  Get(dialog)->dialog->user = reinterpret_cast<LONG_PTR>(&d);
  for (const FileType& t : d.types) SendDlgItemMessage(dialog, kTypes, CB_ADDSTRING, 0, LPARAM(t.text.c_str()));
  SendDlgItemMessage(dialog, kTypes, CB_SETCURSEL, WPARAM(d.type), 0);
  SetDlgItemText(dialog, kName, proposedName.c_str());
  Fill(dialog, d);
  RECT client;
  GetClientRect(dialog, &client);
  d.baseWidth = client.right;
  for (HWND c = GetWindow(dialog, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    RECT r;
    GetWindowRect(c, &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    d.placed.push_back({c, r});
  }
  RECT before;
  GetWindowRect(dialog, &before);
  if (d.hook) d.hook(dialog, WM_INITDIALOG, 0, LPARAM(&ofn));
  if (!IsWindow(dialog)) return {};
  RECT after;
  GetWindowRect(dialog, &after);
  if (after.right - after.left != before.right - before.left ||
      after.bottom - after.top != before.bottom - before.top) {
    // Grown by its hook: centred again where it was centred, and kept on the screen.
    const int w = after.right - after.left, h = after.bottom - after.top;
    const int screenW = GetSystemMetrics(SM_CXSCREEN), screenH = GetSystemMetrics(SM_CYSCREEN);
    int left = (before.left + before.right - w) / 2, top = (before.top + before.bottom - h) / 2;
    left = std::max(0, std::min(left, screenW - w));
    top = std::max(0, std::min(top, screenH - h));
    SetWindowPos(dialog, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  }

  std::function<void()> user;
  if (typed) {
    user = [dialog, &d, typed] {
      // The file picked in the list when it is listed (in its folder), then confirmed.
      const fs::path path = fs::path(d.folder) / ToFsPath(*typed);
      std::error_code ec;
      if (path.has_parent_path() && fs::is_directory(path.parent_path(), ec) &&
          !fs::equivalent(path.parent_path(), d.folder, ec))
        Navigate(dialog, d, path.parent_path());
      const std::string name = path.filename().string();
      const int at = int(SendDlgItemMessage(dialog, kFiles, LB_FINDSTRINGEXACT, WPARAM(-1), LPARAM(name.c_str())));
      if (at >= 0 && ItemText(GetDlgItem(dialog, kFiles), at) == name) {
        SendDlgItemMessage(dialog, kFiles, LB_SETCURSEL, WPARAM(at), 0);
        PickListed(dialog, d, at);
      } else {
        SetDlgItemText(dialog, kName, path.string().c_str());
      }
      DialogFocus(GetDlgItem(dialog, kName));
      Confirm(dialog, d);
      // A refused name leaves the dialog open; the script has no further answer.
      if (IsWindow(dialog) && !Get(dialog)->dialog->ended) EndDialog(dialog, IDCANCEL);
    };
  } else if (script) {
    user = [dialog, script, title] {
      (*script)(dialog);
      if (!IsWindow(dialog) || Get(dialog)->dialog->ended || CurrentScreen()) return;
      script::ModalRecord asked;
      asked.kind = "file dialog";
      asked.caption = title + " (its script did not end it)";
      const INT_PTR answer = Unscripted(asked);
      if (IsWindow(dialog) && !Get(dialog)->dialog->ended) EndDialog(dialog, answer == IDOK ? IDOK : IDCANCEL);
    };
  }
  const INT_PTR answer = RunOwnModal(dialog, owner, GetDlgItem(dialog, kName), IDCANCEL, user);
  if (answer != IDOK) return {};
  filterIndex = DWORD(d.type + 1);
  return d.chosen;
}

}  // namespace win::detail
