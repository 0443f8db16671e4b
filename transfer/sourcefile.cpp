#include "transfer/sourcefile.h"

#include <strings.h>

#include <cctype>
#include <cstdio>
#include <filesystem>
#include <map>
#include <system_error>

#include "platform/tolkar/tolkar.h"
#include "platform/viduv/viduv.h"
#include "platform/win/base/paths.h"

namespace {

constexpr std::string_view kExtension = ".tqx";

// A drive-letter path is absolute too: a file stored on another system is not looked for in this folder.
bool IsAbsolute(std::string_view path) {
  if (!path.empty() && path[0] == '/') return true;
  return path.size() >= 2 && path[1] == ':' && std::isalpha(static_cast<unsigned char>(path[0]));
}

bool EndsWithExtension(std::string_view name) {
  return name.size() > kExtension.size() &&
         strncasecmp(name.data() + name.size() - kExtension.size(), kExtension.data(), kExtension.size()) == 0;
}

// The file beside `path` whose name differs from it only in the case of the extension; `path` when none does.
std::string WithExtensionOfAnyCase(const std::string& path) {
  namespace fs = std::filesystem;
  std::error_code error;
  if (fs::exists(path, error) || !EndsWithExtension(path)) return path;
  const fs::path wanted(path);
  const std::string stem = wanted.filename().string().substr(0, wanted.filename().string().size() - kExtension.size());
  const fs::path folder = wanted.has_parent_path() ? wanted.parent_path() : fs::path(".");
  for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
    const std::string name = it->path().filename().string();
    if (name.size() == stem.size() + kExtension.size() && name.compare(0, stem.size(), stem) == 0 &&
        EndsWithExtension(name))
      return (wanted.has_parent_path() ? win::JoinPath(folder.string(), name) : name);
  }
  return path;
}

}  // namespace

std::string SourcePositionFile(std::string_view referringFile, std::string_view name) {
  const std::string source = win::ToFsPath(name);
  if (source.empty()) return {};
  if (IsAbsolute(source)) return WithExtensionOfAnyCase(source);
  const std::string referring = win::ToFsPath(referringFile);
  if (referring.empty()) return {};
  const std::size_t slash = referring.rfind('/');
  // A referring file named without a folder lies in the current one, and so does its source.
  if (slash == std::string::npos) return WithExtensionOfAnyCase(source);
  return WithExtensionOfAnyCase(win::JoinPath(referring.substr(0, slash == 0 ? 1 : slash), source));
}

namespace {

std::string Tr(const char* text) { return TOLK_Translate("Ormi Eingabe", "vernik_i_common", "SourceFile", text); }

struct Opened {
  int doc = 0;
  std::string failure;
};

// The open scope: what it has read, by path.
struct Scope {
  bool open = false;
  std::map<std::string, Opened> read;
};
Scope scope;
long reads = 0;

std::string Formatted(const std::string& format, const std::string& path, std::uintmax_t size = 0) {
  char text[2048];
  std::snprintf(text, sizeof text, format.c_str(), path.c_str(), static_cast<unsigned long long>(size));
  return text;
}

// Reads the source, or says why not; a file beyond kMaxSourceBytes is refused before a byte of it is read.
Opened Read(const std::string& path) {
  namespace fs = std::filesystem;
  Opened opened;
  if (path.empty()) return opened;
  std::error_code error;
  const std::uintmax_t size = fs::file_size(path, error);
  if (!error && size > kMaxSourceBytes) {
    opened.failure =
        Formatted(Tr("Datei '%s' ist mit %llu Bytes größer als 64 MiB und wird nicht gelesen"), path, size);
    return opened;
  }
  if (!error) {
    ++reads;
    opened.doc = VIDUV_OpenDoc(path.c_str());
  }
  if (!opened.doc)
    opened.failure = Formatted(
        fs::exists(path, error) ? Tr("Datei '%s' kann nicht gelesen werden") : Tr("Datei '%s' nicht gefunden"), path);
  return opened;
}

}  // namespace

SourceReading::SourceReading() : outermost_(!scope.open) { scope.open = true; }

SourceReading::~SourceReading() {
  if (!outermost_) return;
  for (auto& [path, opened] : scope.read)
    if (opened.doc) VIDUV_CloseDoc(opened.doc);
  scope.read.clear();
  scope.open = false;
}

long SourceReading::Reads() { return reads; }

SourceDocument::SourceDocument(const std::string& path, const std::string& shown) {
  Opened opened;
  if (!scope.open) {
    opened = Read(path);
    owned_ = true;
  } else if (auto known = scope.read.find(path); known != scope.read.end()) {
    opened = known->second;
  } else {
    opened = scope.read.emplace(path, Read(path)).first->second;
  }
  doc_ = opened.doc;
  failure_ = path.empty() ? Formatted(Tr("Datei '%s' nicht gefunden"), shown) : opened.failure;
}

SourceDocument::~SourceDocument() {
  if (owned_ && doc_) VIDUV_CloseDoc(doc_);
}
