// VIDUV: the XML document library. A flat C interface over int handles so that the host program and the
// module, which both link this shared library, mean the same document by the same number.
//
// Handles: documents, elements and attributes share one handle space; 0 means none or failure. A handle of
// a deleted element or attribute, or of anything in a closed document, reads as none afterwards. Every call
// with handle 0 or an unknown handle returns the neutral value (0, 0.0, "") and changes nothing.
//
// Strings: in and out are UTF-8. Text given in that is not valid UTF-8 is taken as Windows-1252 and
// converted. Returned strings are never null and stay valid at least until the next call of the library
// from the same thread; copy them at once.
//
// Files: written as UTF-8 with a declaration that says so, through a temporary file in the same folder that
// replaces the old file only once it is complete. They hold only characters that XML 1.0 allows: a text given
// with another (a control character other than tab, line feed and carriage return; U+FFFE, U+FFFF) holds U+FFFD in
// its place, and so does a text read from an older file that held one, once the document is saved. Reading also accepts Windows-1252 (declared as
// windows-1252 or iso-8859-1, or plain bytes that are not valid UTF-8). Paths may use "\" or "/".
//
// Element and attribute names must be legal XML names; a call with an illegal name fails (0) instead of
// writing a file that could not be read back. VIDUV_MakeValidElementName turns free text into a legal name.
//
// Binary attributes hold the base64 text of their bytes; their length follows from that text. A text that is
// not valid base64 reads as length 0 and copies nothing.
//
// Failures of the calls that touch files (and of document creation) leave a message for VIDUV_GetLastError.
// The library never prints.
//
// Memory: a call that runs out of memory throws std::bad_alloc (no other exception leaves the library), so that an
// element, attribute or file it could not read is never taken for one that is not there. A save that throws has left
// the file as it was.
#pragma once

#if defined(__GNUC__)
#define VIDUV_API __attribute__((visibility("default")))
#else
#define VIDUV_API
#endif

#ifdef __cplusplus
#define VIDUV_DEFAULT_ARG(value) = value
extern "C" {
#else
#define VIDUV_DEFAULT_ARG(value)
#endif

// --- Documents ---

// A new document with its root element. `name` is either the root element's name, or a file path (a name
// holding "\" or "/", or ending in ".tqx", ".xml", ".ttp" or ".pi", case ignored): the document is then to be
// saved under that path and its root is named "root". An empty or null name also gives the root "root".
// An illegal root name gives 0.
VIDUV_API int VIDUV_CreateDoc(const char* name);
// The document read from the file; 0 when it is missing, unreadable, malformed or truncated.
VIDUV_API int VIDUV_OpenDoc(const char* path);
// Writes the document to its file. 1 on success; 0 when it has no file name, has no root element (the file
// could not be read back) or the write failed; the old file then stays as it was. A document that was read from its
// file or saved there replaces only the version it read or wrote: when the file holds other bytes by now (another
// program or process saved it) or was removed, nothing is written and 0 returned, and VIDUV_FileChangedOnDisk
// tells so. The comparison and the replacement are one step for every process that saves through this library.
VIDUV_API int VIDUV_SaveDoc(int document);
// Writes the document to `path`, whatever stands there, which becomes its file name on success. 1 on success,
// else 0.
VIDUV_API int VIDUV_SaveDocAs(int document, const char* path);
// 1 when the document's file now holds other bytes than the document read or last wrote there, or is gone; 0 when
// it holds those, or the document never read or wrote its file.
VIDUV_API int VIDUV_FileChangedOnDisk(int document);
// After a save refused for a changed file (or VIDUV_FileChangedOnDisk's 1): the version found then may be replaced by
// the next save; a later change is refused again. 1 when there was such a version.
VIDUV_API int VIDUV_AllowReplacingFile(int document);
// Releases the document; every handle into it reads as none afterwards. 1 when it was open.
VIDUV_API int VIDUV_CloseDoc(int document);
VIDUV_API int VIDUV_GetRootElement(int document);
// The document's file as given to open, create or save-as, made absolute; "" without a file.
VIDUV_API const char* VIDUV_GetCompleteFileName(int document);

// --- Elements ---

// Appends a new last child; 0 for an illegal name.
VIDUV_API int VIDUV_AddChildElement(int parent, const char* name);
// The first child named `name`, appended when there is none.
VIDUV_API int VIDUV_FindOrAddChild(int parent, const char* name);
// Removes the element with its subtree. 1 when removed.
VIDUV_API int VIDUV_DeleteElement(int element);
// Removes one attribute. 1 when it was there.
VIDUV_API int VIDUV_DeleteAttr(int element, const char* attribute);
// First child element named `name`; next sibling element named `name`; 0 at the end.
VIDUV_API int VIDUV_FindFirstChild(int parent, const char* name);
VIDUV_API int VIDUV_FindNextChild(int element, const char* name);
// First child / next sibling (of any name) whose attribute holds exactly the text `value`.
VIDUV_API int VIDUV_FindFirstChildWithAttr(int parent, const char* attribute, const char* value);
VIDUV_API int VIDUV_FindNextChildWithAttr(int element, const char* attribute, const char* value);
// Child elements of any name in document order.
VIDUV_API int VIDUV_GetFirstChild(int parent);
VIDUV_API int VIDUV_GetNextChild(int element);
// The parent element; 0 for the root.
VIDUV_API int VIDUV_GetParentElement(int element);
VIDUV_API const char* VIDUV_GetElementName(int element);
// A legal element name made from any text: each illegal character (':' included) becomes '_', and a name
// that may not start as it does (digit, '-', '.') or is empty gets a leading '_'.
VIDUV_API const char* VIDUV_MakeValidElementName(const char* text);

// --- Attributes by name ---
// A missing attribute reads as 0, 0.0 or "". Set creates or overwrites and returns 1, or 0 on failure.
// Doubles are written in their shortest form that reads back to the same bits.

VIDUV_API int VIDUV_GetInt(int element, const char* name);
VIDUV_API int VIDUV_SetInt(int element, const char* name, int value);
VIDUV_API double VIDUV_GetDouble(int element, const char* name);
VIDUV_API int VIDUV_SetDouble(int element, const char* name, double value);
VIDUV_API const char* VIDUV_GetString(int element, const char* name);
VIDUV_API int VIDUV_SetString(int element, const char* name, const char* value);
// The stored value, else the default. The flag is accepted for the callers' sake and has no effect.
VIDUV_API int VIDUV_GetIntWithDefault(int element, const char* name, int defaultValue, int flag);
VIDUV_API double VIDUV_GetDoubleWithDefault(int element, const char* name, double defaultValue, int flag);

// --- Attributes by path ---
// `path` joins element names by "\" (or "/"), such as "input\geom"; each step takes the first child of that
// name; an empty path means the element itself. A document handle stands for its root element. Get returns
// the default when an element or the attribute is missing; Set adds missing elements along the path.

VIDUV_API int VIDUV_GetIntByPath(int element, const char* path, const char* attribute,
                                 int defaultValue VIDUV_DEFAULT_ARG(0));
VIDUV_API int VIDUV_SetIntByPath(int element, const char* path, const char* attribute, int value);
VIDUV_API double VIDUV_GetDoubleByPath(int element, const char* path, const char* attribute,
                                       double defaultValue VIDUV_DEFAULT_ARG(0.0));

// --- Binary attributes ---

// Stores `length` bytes (0 allowed). The flag (0 fingerprints, 1 file contents) has no effect on storage.
VIDUV_API int VIDUV_SetBinData(int element, const char* name, int length, const void* data, int flag);
// Byte count; 0 when missing or not valid base64.
VIDUV_API int VIDUV_GetBinDataLength(int element, const char* name);
// Copies the bytes into `buffer`, which must hold VIDUV_GetBinDataLength bytes; returns the count copied.
VIDUV_API int VIDUV_GetBinData(int element, const char* name, void* buffer);

// --- Attributes in order ---

VIDUV_API int VIDUV_GetFirstAttrHandle(int element);
VIDUV_API int VIDUV_GetNextAttrHandle(int attribute);
VIDUV_API const char* VIDUV_GetAttrNameByHandle(int attribute);
VIDUV_API const char* VIDUV_GetStringByHandle(int attribute);
VIDUV_API int VIDUV_GetIntByHandle(int attribute);
// Copies at most `bufferSize` bytes of a binary attribute and returns the count copied; with a null buffer
// it returns the attribute's byte count, so that a caller can size its buffer first.
VIDUV_API int VIDUV_GetBinDataByHandle(int attribute, void* buffer, int bufferSize);

// --- Files in attributes ---

// The file's bytes become a binary attribute. 1 on success; 0 when the file cannot be read.
VIDUV_API int VIDUV_StoreFileInAttr(int element, const char* attribute, const char* path, int flag);
// Writes a binary attribute's bytes to `path` (replacing the file whole). 1 on success; 0 when the attribute
// is missing or corrupt, or the write failed.
VIDUV_API int VIDUV_LoadFileFromAttr(int element, const char* attribute, const char* path);

// --- Fingerprints (16 bytes, MD5) ---

// Digest of the element with its name, attributes in order and subtree. 1 on success; 0 with 16 zero bytes
// for a bad handle.
VIDUV_API int VIDUV_GetFingerPrint(int element, unsigned char* digest);
// Digest of the file's bytes. 1 on success; 0 with 16 zero bytes when the file cannot be read.
VIDUV_API int VIDUV_GetFingerPrintOfFile(const char* path, unsigned char* digest);

// The message of the last failure of a file or document call; "" when the last such call succeeded.
VIDUV_API const char* VIDUV_GetLastError(void);

#ifdef __cplusplus
}
#endif

#ifdef __cplusplus
namespace viduv {

// A document closed on every way out of a scope (a handle of 0 is none).
class ScopedDoc {
 public:
  explicit ScopedDoc(int document) : doc_(document) {}
  explicit ScopedDoc(const char* path) : doc_(VIDUV_OpenDoc(path)) {}
  ~ScopedDoc() {
    if (doc_) VIDUV_CloseDoc(doc_);
  }
  ScopedDoc(const ScopedDoc&) = delete;
  ScopedDoc& operator=(const ScopedDoc&) = delete;
  int Get() const { return doc_; }
  int Root() const { return VIDUV_GetRootElement(doc_); }

 private:
  int doc_;
};

}  // namespace viduv
#endif
