#include "platform/tolkar/tolkar.h"

#include <fstream>
#include <map>
#include <mutex>
#include <string>
#include <tuple>
#include <unordered_set>

#include "platform/win/screen/headless.h"
#include "platform/win/base/paths.h"
#include "platform/win/base/registry.h"

namespace tolkar {
namespace {

using Key = std::pair<std::string, std::string>;  // context, German text
using Dictionary = std::map<Key, std::string>;

struct State {
  std::mutex mutex;
  std::map<std::string, std::string> languages;        // area -> language
  std::map<std::string, std::string> storedLanguages;  // area -> language read from the registry
  std::map<std::string, Dictionary> dictionaries;      // "dict.language" -> entries
  // Every text handed out, once each: a caller may hold several results at once (a title formatted from three
  // translations), so a result is never overwritten. The texts are the program's own and the catalogues' names.
  std::unordered_set<std::string> results;
  WindowTranslator windowTranslator = &win::TranslateWindowTexts;
};

State& TheState() {
  static State state;
  return state;
}

std::string Unescape(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 1 < s.size() && (s[i + 1] == 'n' || s[i + 1] == 't' || s[i + 1] == '\\')) {
      out += s[i + 1] == 'n' ? '\n' : (s[i + 1] == 't' ? '\t' : '\\');
      ++i;
    } else {
      out += s[i];
    }
  }
  return out;
}

Dictionary LoadDictionary(const std::string& name, const std::string& language) {
  Dictionary d;
  std::ifstream in(win::JoinPath(win::JoinPath(win::InstallRoot(), "dict"), name + "." + language + ".txt"));
  std::string line;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    auto t1 = line.find('\t');
    if (t1 == std::string::npos) continue;
    auto t2 = line.find('\t', t1 + 1);
    if (t2 == std::string::npos) continue;
    d[{Unescape(line.substr(0, t1)), Unescape(line.substr(t1 + 1, t2 - t1 - 1))}] = Unescape(line.substr(t2 + 1));
  }
  return d;
}

// The conversion placeholders of a printf format, in order ("%%" is no placeholder).
std::string Placeholders(const std::string& format) {
  std::string out;
  for (std::size_t i = 0; i < format.size(); ++i) {
    if (format[i] != '%') continue;
    if (i + 1 < format.size() && format[i + 1] == '%') {
      ++i;
      continue;
    }
    std::size_t j = i + 1;
    while (j < format.size() && std::string("-+ #0123456789.*hlLqjzt").find(format[j]) != std::string::npos) ++j;
    if (j < format.size()) out += format.substr(i, j - i + 1) + ' ';
    i = j;
  }
  return out;
}

// The text's lasting copy. Call with the state locked.
const char* Kept(State& s, const std::string& text) { return s.results.insert(text).first->c_str(); }

// The language the user chose for an area, kept in the registry; "deutsch" when none is stored.
std::string RegistryLanguage(const std::string& area) {
  std::string language = "deutsch";
  HKEY key = nullptr;
  if (RegOpenKeyEx(HKEY_CURRENT_USER, "software\\Ormi\\TOLK", 0, KEY_READ, &key) != ERROR_SUCCESS) return language;
  char buffer[256] = {};
  DWORD size = sizeof buffer - 1;
  DWORD type = REG_NONE;
  if (RegQueryValueEx(key, area.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer), &size) == ERROR_SUCCESS &&
      (type == REG_SZ || type == REG_EXPAND_SZ) && buffer[0])
    language = buffer;
  RegCloseKey(key);
  return language;
}

// The language of an area: the one set, else the stored one (read once). Call with the state locked.
const std::string& LanguageOf(State& s, const std::string& area) {
  if (auto set = s.languages.find(area); set != s.languages.end()) return set->second;
  auto stored = s.storedLanguages.find(area);
  if (stored == s.storedLanguages.end()) stored = s.storedLanguages.emplace(area, RegistryLanguage(area)).first;
  return stored->second;
}

}  // namespace

void SetLanguage(const char* area, const char* language) {
  std::lock_guard lock(TheState().mutex);
  TheState().languages[area ? area : ""] = language ? language : "deutsch";
}

const char* GetLanguage(const char* area) {
  std::lock_guard lock(TheState().mutex);
  return Kept(TheState(), LanguageOf(TheState(), area ? area : ""));
}

void Reload() {
  std::lock_guard lock(TheState().mutex);
  TheState().dictionaries.clear();
  TheState().storedLanguages.clear();
}

void SetWindowTranslator(WindowTranslator translator) {
  std::lock_guard lock(TheState().mutex);
  TheState().windowTranslator = translator;
}

namespace {

std::string Lookup(const char* area, const char* dictionary, const char* context, const char* text) {
  std::string german = text ? text : "";
  State& s = TheState();
  std::lock_guard lock(s.mutex);
  const std::string& language = LanguageOf(s, area ? area : "");
  if (language == "deutsch" || !dictionary) return german;
  std::string dictKey = std::string(dictionary) + "." + language;
  auto dict = s.dictionaries.find(dictKey);
  if (dict == s.dictionaries.end()) dict = s.dictionaries.emplace(dictKey, LoadDictionary(dictionary, language)).first;
  auto hit = dict->second.find({context ? context : "", german});
  if (hit == dict->second.end()) hit = dict->second.find({"", german});
  if (hit == dict->second.end()) return german;
  if (Placeholders(hit->second) != Placeholders(german)) return german;
  return hit->second;
}

struct WindowCall {
  const char* area;
  const char* dictionary;
  const char* context;
  std::string last;
};

const char* TranslateForWindow(const char* text, void* state) {
  auto* call = static_cast<WindowCall*>(state);
  call->last = Lookup(call->area, call->dictionary, call->context, text);
  return call->last.c_str();
}

}  // namespace
}  // namespace tolkar

extern "C" const char* TOLK_Translate(const char* area, const char* dictionary, const char* context, const char* text) {
  const std::string translated = tolkar::Lookup(area, dictionary, context, text);
  tolkar::State& s = tolkar::TheState();
  std::lock_guard lock(s.mutex);
  return tolkar::Kept(s, translated);
}

extern "C" BOOL TOLK_HWNDTranslate(const char* area, const char* dictionary, const char* context, HWND window) {
  tolkar::WindowTranslator translator;
  {
    std::lock_guard lock(tolkar::TheState().mutex);
    translator = tolkar::TheState().windowTranslator;
  }
  if (!translator || !window) return TRUE;
  tolkar::WindowCall call{area, dictionary, context, {}};
  return translator(window, tolkar::TranslateForWindow, &call);
}
