// Where the file of another position of the project lies. A project's positions lie side by side: a reference
// names its source relative to the position that holds the reference, never to the folder the program runs in.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// The file-system path of the source file `name` (a stored name: "\" or "/" separators, ".tqx" included) named
// by the position whose file is `referringFile`. A relative name lies in the referring file's folder; an
// absolute one stays as it is. When no file of that exact name exists, one whose name differs only in the case
// of its ".tqx" is taken. Empty when a relative name has nothing to lie beside (the referring position has no
// file yet).
std::string SourcePositionFile(std::string_view referringFile, std::string_view name);

// The largest source position that is read. A position of a project is a few hundred kilobytes; a larger file is
// refused by its size before it is read, so that a stray file of a source's name costs neither time nor memory.
inline constexpr std::uintmax_t kMaxSourceBytes = std::uintmax_t(64) << 20;

// The source positions of one calculation: while the outermost scope is open, each source file is read once, and
// what is read (or why it could not be) serves every later opening; its documents are closed when it ends. Without
// an open scope every opening reads the file anew. A scope opened inside another joins it.
class SourceReading {
 public:
  SourceReading();
  ~SourceReading();
  SourceReading(const SourceReading&) = delete;
  SourceReading& operator=(const SourceReading&) = delete;

  // The source files opened for reading since the program started (a missing or refused one is not): what tests
  // count.
  static long Reads();

 private:
  bool outermost_;
};

// One source position opened for reading: the document, or 0 and why not.
class SourceDocument {
 public:
  // path: a file-system path (from SourcePositionFile); empty when there is none, and then shown is the name the
  // failure gives.
  explicit SourceDocument(const std::string& path, const std::string& shown = {});
  ~SourceDocument();
  SourceDocument(const SourceDocument&) = delete;
  SourceDocument& operator=(const SourceDocument&) = delete;

  int Get() const { return doc_; }
  // Without a document: "Datei '<path>' ..." saying that it is missing, cannot be read, or is too large (with its
  // size); empty with a document.
  const std::string& Failure() const { return failure_; }

 private:
  int doc_ = 0;
  bool owned_ = false;  // closed here; otherwise the open scope closes it
  std::string failure_;
};
