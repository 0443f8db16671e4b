#include "platform/viduv/viduv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <climits>
#include <cstring>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include <unistd.h>

#include <pugixml.hpp>

#include "platform/viduv/base64.h"
#include "platform/viduv/file_io.h"
#include "platform/viduv/md5.h"
#include "platform/viduv/text_encoding.h"

namespace viduv::detail {
namespace {

// Tabs and line breaks in attribute values are kept as read: files written by hand or by older writers may
// hold them raw, and turning them into blanks would change the values.
constexpr unsigned kParseOptions = pugi::parse_default & ~pugi::parse_wconv_attribute;
constexpr std::string_view kDeclaration = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
constexpr int kMaxIndentedDepth = 100;

enum class Kind { Document, Element, Attribute };

struct Entry {
  Kind kind;
  int document;  // the document's own handle for all three kinds
  void* object;  // pugi node or attribute of the document
};

// A version of a document's file: whether it was there and the digest of its bytes.
struct FileVersion {
  bool known = false;
  bool exists = false;
  std::array<std::uint8_t, 16> digest{};
  bool operator==(const FileVersion&) const = default;
};

FileVersion versionOf(bool exists, std::string_view bytes) {
  FileVersion version{true, exists, {}};
  if (exists) {
    Md5 md5;
    md5.update(bytes);
    version.digest = md5.finish();
  }
  return version;
}

struct Document {
  pugi::xml_document xml;
  std::string fileName;
  // The file as the document last read or wrote it there: a save replaces only that version (unknown: any).
  FileVersion base;
  // The other version that a save or a look found there instead.
  FileVersion found;
  // Node and attribute objects to their handles, so that one object keeps one handle while it lives.
  std::unordered_map<const void*, int> handles;
};

struct State {
  std::mutex mutex;
  int nextHandle = 1;
  std::unordered_map<int, Entry> entries;
  std::unordered_map<int, std::unique_ptr<Document>> documents;
  std::string lastError;
};

// Never destroyed: static objects of the host and the module may still close documents while the process
// ends, after this library's own statics would have gone.
State& state() {
  static union Holder {
    State value;
    Holder() : value() {}
    ~Holder() {}
  } holder;
  return holder.value;
}

// Returned texts live in a small ring per thread, so that a few results in one expression stay valid.
const char* keep(std::string_view text) {
  thread_local std::array<std::string, 8> ring;
  thread_local std::size_t next = 0;
  std::string& slot = ring[next];
  next = (next + 1) % ring.size();
  slot.assign(text);
  return slot.c_str();
}

// Runs one call of the interface under the library's lock. Running out of memory leaves the call as std::bad_alloc:
// a neutral result would pass an element that could not be read for an absent one, and its defaults would be saved.
// Nothing else escapes into the caller.
template <class Result, class Body>
Result guarded(Result neutral, Body&& body) {
  try {
    std::lock_guard lock(state().mutex);
    return body();
  } catch (const std::bad_alloc&) {
    throw;
  } catch (...) {
    return neutral;
  }
}

// The XML parser says that it ran out of memory by an empty node or a false result, not by an exception.
pugi::xml_node made(pugi::xml_node node) {
  if (!node) throw std::bad_alloc();
  return node;
}

int fail(std::string message) {
  state().lastError = std::move(message);
  return 0;
}

int newHandle(Kind kind, int document, void* object) {
  State& s = state();
  // Handles are not reused, so a stale one can never name a newer object.
  if (s.nextHandle == INT_MAX) throw std::overflow_error("handle space exhausted");
  const int handle = s.nextHandle++;
  s.entries.emplace(handle, Entry{kind, document, object});
  return handle;
}

Document* findDocument(int handle) {
  State& s = state();
  const auto entry = s.entries.find(handle);
  if (entry == s.entries.end() || entry->second.kind != Kind::Document) return nullptr;
  return s.documents.at(handle).get();
}

struct ElementRef {
  int document = 0;
  pugi::xml_node node;
  explicit operator bool() const { return bool(node); }
};

struct AttributeRef {
  int document = 0;
  pugi::xml_attribute attribute;
  explicit operator bool() const { return bool(attribute); }
};

ElementRef findElement(int handle) {
  State& s = state();
  const auto entry = s.entries.find(handle);
  if (entry == s.entries.end() || entry->second.kind != Kind::Element) return {};
  return {entry->second.document, pugi::xml_node(static_cast<pugi::xml_node_struct*>(entry->second.object))};
}

// An element handle, or a document handle standing for its root element.
ElementRef findElementOrRoot(int handle) {
  if (Document* document = findDocument(handle)) return {handle, document->xml.document_element()};
  return findElement(handle);
}

AttributeRef findAttribute(int handle) {
  State& s = state();
  const auto entry = s.entries.find(handle);
  if (entry == s.entries.end() || entry->second.kind != Kind::Attribute) return {};
  return {entry->second.document, pugi::xml_attribute(static_cast<pugi::xml_attribute_struct*>(entry->second.object))};
}

int handleOf(int document, void* object, Kind kind) {
  if (object == nullptr) return 0;
  auto& handles = state().documents.at(document)->handles;
  const auto known = handles.find(object);
  if (known != handles.end()) return known->second;
  const int handle = newHandle(kind, document, object);
  handles.emplace(object, handle);
  return handle;
}

int handleOf(int document, pugi::xml_node node) {
  if (node.type() != pugi::node_element) return 0;
  return handleOf(document, node.internal_object(), Kind::Element);
}

int handleOf(int document, pugi::xml_attribute attribute) {
  return handleOf(document, attribute.internal_object(), Kind::Attribute);
}

void forget(int document, const void* object) {
  State& s = state();
  auto& handles = s.documents.at(document)->handles;
  const auto known = handles.find(object);
  if (known == handles.end()) return;
  s.entries.erase(known->second);
  handles.erase(known);
}

// Visits every node below and including `top` in document order, calling `leave` after a node's children.
// Iterative, so that a deeply nested file cannot exhaust the stack.
template <class Enter, class Leave>
void walk(pugi::xml_node top, Enter enter, Leave leave) {
  pugi::xml_node current = top;
  for (;;) {
    enter(current);
    if (pugi::xml_node child = current.first_child()) {
      current = child;
      continue;
    }
    for (;;) {
      leave(current);
      if (current == top) return;
      if (pugi::xml_node next = current.next_sibling()) {
        current = next;
        break;
      }
      current = current.parent();
    }
  }
}

void forgetSubtree(int document, pugi::xml_node top) {
  walk(
      top,
      [&](pugi::xml_node node) {
        for (pugi::xml_attribute attribute : node.attributes()) forget(document, attribute.internal_object());
        forget(document, node.internal_object());
      },
      [](pugi::xml_node) {});
}

pugi::xml_node nextElement(pugi::xml_node node) {
  do {
    node = node.next_sibling();
  } while (node && node.type() != pugi::node_element);
  return node;
}

pugi::xml_node firstElement(pugi::xml_node parent) {
  pugi::xml_node node = parent.first_child();
  return node.type() == pugi::node_element ? node : nextElement(node);
}

pugi::xml_node findNamed(pugi::xml_node node, const std::string& name) {
  while (node && node.name() != name) node = nextElement(node);
  return node;
}

pugi::xml_node findWithAttribute(pugi::xml_node node, const std::string& attribute, const std::string& value) {
  while (node) {
    const pugi::xml_attribute candidate = node.attribute(attribute.c_str());
    if (candidate && candidate.value() == value) return node;
    node = nextElement(node);
  }
  return node;
}

std::optional<std::string> legalName(const char* name) {
  if (name == nullptr) return std::nullopt;
  std::string utf8 = asUtf8(name);
  if (!isXmlName(utf8)) return std::nullopt;
  return utf8;
}

pugi::xml_attribute attributeOf(int element, const char* name) {
  ElementRef ref = findElement(element);
  if (!ref || name == nullptr) return {};
  // an ASCII name is its own UTF-8
  const std::string_view view(name);
  if (asciiPrefix(view) == view.size()) return ref.node.attribute(name);
  return ref.node.attribute(asUtf8(name).c_str());
}

int setText(pugi::xml_node node, const char* name, std::string_view value) {
  const auto attributeName = legalName(name);
  if (!node || !attributeName) return 0;
  pugi::xml_attribute attribute = node.attribute(attributeName->c_str());
  if (!attribute && !(attribute = node.append_attribute(attributeName->c_str()))) throw std::bad_alloc();
  // Held as the file will hold it.
  const std::optional<std::string> allowed = withXmlCharactersOnly(value);
  if (allowed) value = *allowed;
  if (!attribute.set_value(value.data(), value.size())) throw std::bad_alloc();
  return 1;
}

int setText(int element, const char* name, std::string_view value) {
  return setText(findElement(element).node, name, value);
}

std::string_view trimmedNumber(const char* text) {
  std::string_view view(text);
  while (!view.empty() && (view.front() == ' ' || view.front() == '\t' || view.front() == '\n' || view.front() == '\r'))
    view.remove_prefix(1);
  if (!view.empty() && view.front() == '+') view.remove_prefix(1);
  return view;
}

// The leading integer of a text; 0 when there is none or it does not fit.
int parseInt(const char* text) {
  const std::string_view view = trimmedNumber(text);
  int value = 0;
  const auto result = std::from_chars(view.data(), view.data() + view.size(), value);
  return result.ec == std::errc() ? value : 0;
}

// The leading number of a text; 0.0 when there is none.
double parseDouble(const char* text) {
  const std::string_view view = trimmedNumber(text);
  double value = 0.0;
  const auto result = std::from_chars(view.data(), view.data() + view.size(), value);
  return result.ec == std::errc() ? value : 0.0;
}

std::string formatInt(int value) {
  char buffer[16];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

std::string formatDouble(double value) {
  char buffer[32];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

// The element reached from `start` along a '\' or '/' separated path of child names; empty parts are
// skipped. With `create`, missing elements are added.
ElementRef followPath(int start, const char* path, bool create) {
  ElementRef ref = findElementOrRoot(start);
  if (!ref || path == nullptr) return ref;
  const std::string utf8 = asUtf8(path);
  std::size_t begin = 0;
  while (begin <= utf8.size()) {
    std::size_t end = utf8.find_first_of("\\/", begin);
    if (end == std::string::npos) end = utf8.size();
    const std::string step = utf8.substr(begin, end - begin);
    begin = end + 1;
    if (step.empty()) continue;
    pugi::xml_node child = findNamed(firstElement(ref.node), step);
    if (!child && create && isXmlName(step)) child = made(ref.node.append_child(step.c_str()));
    if (!child) return {};
    ref.node = child;
  }
  return ref;
}

pugi::xml_attribute attributeAtPath(int start, const char* path, const char* name) {
  const ElementRef ref = followPath(start, path, false);
  if (!ref || name == nullptr) return {};
  // an ASCII name is its own UTF-8
  const std::string_view view(name);
  if (asciiPrefix(view) == view.size()) return ref.node.attribute(name);
  return ref.node.attribute(asUtf8(name).c_str());
}

std::optional<std::vector<std::uint8_t>> binaryOf(pugi::xml_attribute attribute) {
  if (!attribute) return std::nullopt;
  auto bytes = decodeBase64(attribute.value());
  if (bytes && bytes->size() > std::size_t(INT_MAX)) return std::nullopt;
  return bytes;
}

int setBinary(int element, const char* name, const void* data, std::size_t size) {
  return setText(element, name, encodeBase64(static_cast<const std::uint8_t*>(data), size));
}

void zeroDigest(unsigned char* digest) {
  if (digest != nullptr) std::memset(digest, 0, 16);
}

// Feeds a text with its length in front, so that no two different sequences of texts give the same bytes.
void feedCounted(Md5& md5, char tag, std::string_view text) {
  std::uint8_t head[9];
  head[0] = std::uint8_t(tag);
  const std::uint64_t length = text.size();
  for (int i = 0; i < 8; ++i) head[1 + i] = std::uint8_t(length >> (8 * i));
  md5.update(head, sizeof head);
  md5.update(text);
}

bool looksLikePath(std::string_view name) {
  if (name.find_first_of("\\/") != std::string_view::npos) return true;
  const std::size_t dot = name.rfind('.');
  if (dot == std::string_view::npos) return false;
  std::string extension(name.substr(dot + 1));
  for (char& c : extension) c = char(std::tolower(static_cast<unsigned char>(c)));
  return extension == "tqx" || extension == "xml" || extension == "ttp" || extension == "pi";
}

// Written as XML 1.0 allows: a character it forbids, as an older file may hold one, is replaced in the document too,
// so that the document holds what its file holds.
std::string serialize(pugi::xml_document& xml) {
  struct StringWriter : pugi::xml_writer {
    std::string text;
    void write(const void* data, std::size_t size) override { text.append(static_cast<const char*>(data), size); }
  } writer;
  writer.text.assign(kDeclaration);
  // Indentation keeps files readable, but its size grows with the square of the depth: a pathologically
  // deep document is written without it.
  int depth = 0;
  int deepest = 0;
  walk(
      xml,
      [&](pugi::xml_node node) {
        deepest = std::max(deepest, ++depth);
        for (pugi::xml_attribute attribute : node.attributes())
          if (const auto allowed = withXmlCharactersOnly(attribute.value()))
            if (!attribute.set_value(allowed->data(), allowed->size())) throw std::bad_alloc();
        if (node.type() != pugi::node_element && node.type() != pugi::node_document)
          if (const auto allowed = withXmlCharactersOnly(node.value()))
            if (!node.set_value(allowed->c_str())) throw std::bad_alloc();
      },
      [&](pugi::xml_node) { --depth; });
  const unsigned layout = deepest <= kMaxIndentedDepth ? pugi::format_indent : pugi::format_raw;
  xml.save(writer, "\t", layout | pugi::format_no_declaration, pugi::encoding_utf8);
  return writer.text;
}

bool isBlank(std::string_view text) { return text.find_first_not_of(" \t\r\n") == std::string_view::npos; }

// The parser drops text outside the root element silently; such text means a damaged file.
bool hasTextOutsideRoot(std::string_view text) {
  const std::size_t first = text.find('<');
  const std::size_t last = text.rfind('>');
  return first == std::string_view::npos || !isBlank(text.substr(0, first)) ||
         (last != std::string_view::npos && !isBlank(text.substr(last + 1)));
}

bool hasDuplicateAttribute(pugi::xml_node top) {
  bool duplicate = false;
  std::vector<std::string_view> names;
  walk(
      top,
      [&](pugi::xml_node node) {
        if (duplicate) return;
        names.clear();
        for (pugi::xml_attribute attribute : node.attributes()) names.emplace_back(attribute.name());
        std::sort(names.begin(), names.end());
        duplicate = std::adjacent_find(names.begin(), names.end()) != names.end();
      },
      [](pugi::xml_node) {});
  return duplicate;
}

// A parse failure or a document that is not exactly one root element; "" when the document is sound.
std::string checkParsed(const pugi::xml_parse_result& result, const pugi::xml_document& xml, std::string_view text) {
  if (result.status == pugi::status_out_of_memory) throw std::bad_alloc();
  if (!result) {
    return std::string("malformed XML near byte ") + std::to_string(result.offset) + " (" + result.description() + ")";
  }
  if (hasTextOutsideRoot(text)) return "malformed XML: text outside the root element";
  if (hasDuplicateAttribute(xml)) return "malformed XML: an element has two attributes of the same name";
  int roots = 0;
  for (pugi::xml_node node : xml.children()) {
    if (node.type() == pugi::node_element) {
      ++roots;
    } else if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
      return "malformed XML: text outside the root element";
    }
  }
  if (roots == 0) return "malformed XML: no root element";
  if (roots > 1) return "malformed XML: more than one root element";
  return {};
}

int registerDocument(std::unique_ptr<Document> document) {
  const int handle = newHandle(Kind::Document, 0, document.get());
  state().entries.at(handle).document = handle;
  state().documents.emplace(handle, std::move(document));
  return handle;
}

}  // namespace
}  // namespace viduv::detail

using namespace viduv::detail;

extern "C" {

// --- Documents ---

int VIDUV_CreateDoc(const char* name) {
  return guarded(0, [&] {
    state().lastError.clear();
    const std::string given = name != nullptr ? name : "";
    const bool isPath = looksLikePath(given);
    const std::string rootName = given.empty() || isPath ? std::string("root") : asUtf8(given);
    if (!isXmlName(rootName)) return fail("Cannot create a document with the root name '" + rootName + "'");
    auto document = std::make_unique<Document>();
    made(document->xml.append_child(rootName.c_str()));
    if (isPath) document->fileName = absolutePath(given);
    return registerDocument(std::move(document));
  });
}

int VIDUV_OpenDoc(const char* path) {
  return guarded(0, [&] {
    state().lastError.clear();
    if (path == nullptr || *path == '\0') return fail("Cannot open a document without a file name");
    std::string bytes;
    std::string error;
    if (!readWholeFile(path, bytes, error)) return fail(error);
    const std::string text = fileBytesToUtf8(bytes);
    auto document = std::make_unique<Document>();
    const pugi::xml_parse_result result =
        document->xml.load_buffer(text.data(), text.size(), kParseOptions, pugi::encoding_utf8);
    const std::string problem = checkParsed(result, document->xml, text);
    if (!problem.empty()) return fail("Cannot read '" + std::string(path) + "': " + problem);
    document->fileName = absolutePath(path);
    document->base = versionOf(true, bytes);
    return registerDocument(std::move(document));
  });
}

int VIDUV_SaveDoc(int document) {
  return guarded(0, [&] {
    state().lastError.clear();
    Document* doc = findDocument(document);
    if (doc == nullptr) return fail("Cannot save: no such document");
    if (doc->fileName.empty()) return fail("Cannot save a document that has no file name");
    if (!doc->xml.document_element()) return fail("Cannot save '" + doc->fileName + "': the document is empty");
    std::string error;
    const std::string text = serialize(doc->xml);
    const auto sameVersion = [doc](const win::StandingFile& standing, std::string& why) {
      const FileVersion now = versionOf(standing.exists, standing.content);
      if (!doc->base.known || now == doc->base) return true;
      doc->found = now;
      why = now.exists ? "the file was changed on disk since it was read; it is kept as it is"
                       : "the file was removed since it was read";
      return false;
    };
    if (!writeFileAtomically(doc->fileName, text, error, sameVersion)) return fail(error);
    doc->base = versionOf(true, text);
    doc->found = {};
    return 1;
  });
}

int VIDUV_SaveDocAs(int document, const char* path) {
  return guarded(0, [&] {
    state().lastError.clear();
    Document* doc = findDocument(document);
    if (doc == nullptr) return fail("Cannot save: no such document");
    if (path == nullptr || *path == '\0') return fail("Cannot save a document without a file name");
    if (!doc->xml.document_element()) return fail("Cannot save '" + std::string(path) + "': the document is empty");
    std::string error;
    const std::string text = serialize(doc->xml);
    // made before the file is written: nothing after that may run out of memory
    std::string fileName = absolutePath(path);
    if (!writeFileAtomically(path, text, error)) return fail(error);
    doc->fileName = std::move(fileName);
    doc->base = versionOf(true, text);
    doc->found = {};
    return 1;
  });
}

int VIDUV_FileChangedOnDisk(int document) {
  return guarded(0, [&] {
    state().lastError.clear();
    Document* doc = findDocument(document);
    if (doc == nullptr || !doc->base.known) return 0;
    std::string bytes, error;
    const bool exists = readWholeFile(doc->fileName, bytes, error);
    if (!exists && ::access(fileSystemPath(doc->fileName).c_str(), F_OK) == 0) return fail(error);
    const FileVersion now = versionOf(exists, bytes);
    if (now == doc->base) return 0;
    doc->found = now;
    return 1;
  });
}

int VIDUV_AllowReplacingFile(int document) {
  return guarded(0, [&] {
    Document* doc = findDocument(document);
    if (doc == nullptr || !doc->found.known) return 0;
    doc->base = doc->found;
    doc->found = {};
    return 1;
  });
}

int VIDUV_CloseDoc(int document) {
  return guarded(0, [&] {
    State& s = state();
    Document* doc = findDocument(document);
    if (doc == nullptr) return 0;
    for (const auto& [object, handle] : doc->handles) s.entries.erase(handle);
    s.entries.erase(document);
    s.documents.erase(document);
    return 1;
  });
}

int VIDUV_GetRootElement(int document) {
  return guarded(0, [&] {
    Document* doc = findDocument(document);
    return doc != nullptr ? handleOf(document, doc->xml.document_element()) : 0;
  });
}

const char* VIDUV_GetCompleteFileName(int document) {
  return guarded<const char*>("", [&] {
    Document* doc = findDocument(document);
    return keep(doc != nullptr ? doc->fileName : std::string());
  });
}

// --- Elements ---

int VIDUV_FindOrAddChild(int parent, const char* name) {
  const int child = VIDUV_FindFirstChild(parent, name);
  return child ? child : VIDUV_AddChildElement(parent, name);
}

int VIDUV_AddChildElement(int parent, const char* name) {
  return guarded(0, [&] {
    ElementRef ref = findElement(parent);
    const auto childName = legalName(name);
    if (!ref || !childName) return 0;
    return handleOf(ref.document, made(ref.node.append_child(childName->c_str())));
  });
}

int VIDUV_DeleteElement(int element) {
  return guarded(0, [&] {
    ElementRef ref = findElement(element);
    if (!ref) return 0;
    forgetSubtree(ref.document, ref.node);
    return ref.node.parent().remove_child(ref.node) ? 1 : 0;
  });
}

int VIDUV_DeleteAttr(int element, const char* attribute) {
  return guarded(0, [&] {
    ElementRef ref = findElement(element);
    const pugi::xml_attribute found = attributeOf(element, attribute);
    if (!found) return 0;
    forget(ref.document, found.internal_object());
    return ref.node.remove_attribute(found) ? 1 : 0;
  });
}

int VIDUV_FindFirstChild(int parent, const char* name) {
  return guarded(0, [&] {
    ElementRef ref = findElement(parent);
    if (!ref || name == nullptr) return 0;
    return handleOf(ref.document, findNamed(firstElement(ref.node), asUtf8(name)));
  });
}

int VIDUV_FindNextChild(int element, const char* name) {
  return guarded(0, [&] {
    ElementRef ref = findElement(element);
    if (!ref || name == nullptr) return 0;
    return handleOf(ref.document, findNamed(nextElement(ref.node), asUtf8(name)));
  });
}

int VIDUV_FindFirstChildWithAttr(int parent, const char* attribute, const char* value) {
  return guarded(0, [&] {
    ElementRef ref = findElement(parent);
    if (!ref || attribute == nullptr || value == nullptr) return 0;
    return handleOf(ref.document, findWithAttribute(firstElement(ref.node), asUtf8(attribute), asUtf8(value)));
  });
}

int VIDUV_FindNextChildWithAttr(int element, const char* attribute, const char* value) {
  return guarded(0, [&] {
    ElementRef ref = findElement(element);
    if (!ref || attribute == nullptr || value == nullptr) return 0;
    return handleOf(ref.document, findWithAttribute(nextElement(ref.node), asUtf8(attribute), asUtf8(value)));
  });
}

int VIDUV_GetFirstChild(int parent) {
  return guarded(0, [&] {
    ElementRef ref = findElement(parent);
    return ref ? handleOf(ref.document, firstElement(ref.node)) : 0;
  });
}

int VIDUV_GetNextChild(int element) {
  return guarded(0, [&] {
    ElementRef ref = findElement(element);
    return ref ? handleOf(ref.document, nextElement(ref.node)) : 0;
  });
}

int VIDUV_GetParentElement(int element) {
  return guarded(0, [&] {
    ElementRef ref = findElement(element);
    return ref ? handleOf(ref.document, ref.node.parent()) : 0;
  });
}

const char* VIDUV_GetElementName(int element) {
  return guarded<const char*>("", [&] {
    ElementRef ref = findElement(element);
    return keep(ref ? ref.node.name() : "");
  });
}

const char* VIDUV_MakeValidElementName(const char* text) {
  return guarded<const char*>("", [&] { return keep(makeXmlName(text != nullptr ? text : "")); });
}

// --- Attributes by name ---

int VIDUV_GetInt(int element, const char* name) {
  return guarded(0, [&] { return parseInt(attributeOf(element, name).value()); });
}

int VIDUV_SetInt(int element, const char* name, int value) {
  return guarded(0, [&] { return setText(element, name, formatInt(value)); });
}

double VIDUV_GetDouble(int element, const char* name) {
  return guarded(0.0, [&] { return parseDouble(attributeOf(element, name).value()); });
}

int VIDUV_SetDouble(int element, const char* name, double value) {
  return guarded(0, [&] { return setText(element, name, formatDouble(value)); });
}

const char* VIDUV_GetString(int element, const char* name) {
  return guarded<const char*>("", [&] { return keep(attributeOf(element, name).value()); });
}

int VIDUV_SetString(int element, const char* name, const char* value) {
  return guarded(0, [&] { return setText(element, name, asUtf8(value != nullptr ? value : "")); });
}

int VIDUV_GetIntWithDefault(int element, const char* name, int defaultValue, int /*flag*/) {
  return guarded(defaultValue, [&] {
    const pugi::xml_attribute attribute = attributeOf(element, name);
    return attribute ? parseInt(attribute.value()) : defaultValue;
  });
}

double VIDUV_GetDoubleWithDefault(int element, const char* name, double defaultValue, int /*flag*/) {
  return guarded(defaultValue, [&] {
    const pugi::xml_attribute attribute = attributeOf(element, name);
    return attribute ? parseDouble(attribute.value()) : defaultValue;
  });
}

// --- Attributes by path ---

int VIDUV_GetIntByPath(int element, const char* path, const char* attribute, int defaultValue) {
  return guarded(defaultValue, [&] {
    const pugi::xml_attribute found = attributeAtPath(element, path, attribute);
    return found ? parseInt(found.value()) : defaultValue;
  });
}

int VIDUV_SetIntByPath(int element, const char* path, const char* attribute, int value) {
  return guarded(0, [&] {
    if (!legalName(attribute)) return 0;
    return setText(followPath(element, path, true).node, attribute, formatInt(value));
  });
}

double VIDUV_GetDoubleByPath(int element, const char* path, const char* attribute, double defaultValue) {
  return guarded(defaultValue, [&] {
    const pugi::xml_attribute found = attributeAtPath(element, path, attribute);
    return found ? parseDouble(found.value()) : defaultValue;
  });
}

// --- Binary attributes ---

int VIDUV_SetBinData(int element, const char* name, int length, const void* data, int /*flag*/) {
  return guarded(0, [&] {
    if (length < 0 || (length > 0 && data == nullptr)) return 0;
    return setBinary(element, name, data, std::size_t(length));
  });
}

int VIDUV_GetBinDataLength(int element, const char* name) {
  return guarded(0, [&] {
    const auto bytes = binaryOf(attributeOf(element, name));
    return bytes ? int(bytes->size()) : 0;
  });
}

int VIDUV_GetBinData(int element, const char* name, void* buffer) {
  return guarded(0, [&] {
    const auto bytes = binaryOf(attributeOf(element, name));
    if (!bytes || bytes->empty() || buffer == nullptr) return 0;
    std::memcpy(buffer, bytes->data(), bytes->size());
    return int(bytes->size());
  });
}

// --- Attributes in order ---

int VIDUV_GetFirstAttrHandle(int element) {
  return guarded(0, [&] {
    ElementRef ref = findElement(element);
    return ref ? handleOf(ref.document, ref.node.first_attribute()) : 0;
  });
}

int VIDUV_GetNextAttrHandle(int attribute) {
  return guarded(0, [&] {
    AttributeRef ref = findAttribute(attribute);
    return ref ? handleOf(ref.document, ref.attribute.next_attribute()) : 0;
  });
}

const char* VIDUV_GetAttrNameByHandle(int attribute) {
  return guarded<const char*>("", [&] { return keep(findAttribute(attribute).attribute.name()); });
}

const char* VIDUV_GetStringByHandle(int attribute) {
  return guarded<const char*>("", [&] { return keep(findAttribute(attribute).attribute.value()); });
}

int VIDUV_GetIntByHandle(int attribute) {
  return guarded(0, [&] { return parseInt(findAttribute(attribute).attribute.value()); });
}

int VIDUV_GetBinDataByHandle(int attribute, void* buffer, int bufferSize) {
  return guarded(0, [&] {
    const auto bytes = binaryOf(findAttribute(attribute).attribute);
    if (!bytes) return 0;
    if (buffer == nullptr) return int(bytes->size());
    const std::size_t count = std::min(bytes->size(), std::size_t(std::max(bufferSize, 0)));
    if (count > 0) std::memcpy(buffer, bytes->data(), count);
    return int(count);
  });
}

// --- Files in attributes ---

int VIDUV_StoreFileInAttr(int element, const char* attribute, const char* path, int /*flag*/) {
  return guarded(0, [&] {
    state().lastError.clear();
    if (!findElement(element)) return fail("Cannot store a file: no such element");
    if (!legalName(attribute)) return fail("Cannot store a file: illegal attribute name");
    if (path == nullptr || *path == '\0') return fail("Cannot store a file without a file name");
    std::string bytes;
    std::string error;
    if (!readWholeFile(path, bytes, error)) return fail(error);
    if (bytes.size() > std::size_t(INT_MAX)) return fail("Cannot store '" + std::string(path) + "': too large");
    // the file's bytes go before the attribute takes its copy of the text: a stored report block may be large
    const std::string text = encodeBase64(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    std::string().swap(bytes);
    return setText(element, attribute, text);
  });
}

int VIDUV_LoadFileFromAttr(int element, const char* attribute, const char* path) {
  return guarded(0, [&] {
    state().lastError.clear();
    const pugi::xml_attribute found = attributeOf(element, attribute);
    if (!found) return fail("Cannot write a file: no such attribute");
    if (path == nullptr || *path == '\0') return fail("Cannot write a file without a file name");
    const auto bytes = binaryOf(found);
    if (!bytes) return fail(std::string("Cannot write '") + path + "': the attribute holds no valid binary data");
    std::string error;
    const std::string_view content(reinterpret_cast<const char*>(bytes->data()), bytes->size());
    if (!writeFileAtomically(path, content, error)) return fail(error);
    return 1;
  });
}

// --- Fingerprints ---

int VIDUV_GetFingerPrint(int element, unsigned char* digest) {
  return guarded(0, [&] {
    zeroDigest(digest);
    ElementRef ref = findElement(element);
    if (!ref || digest == nullptr) return 0;
    Md5 md5;
    walk(
        ref.node,
        [&](pugi::xml_node node) {
          if (node.type() == pugi::node_element) {
            feedCounted(md5, 'E', node.name());
            for (pugi::xml_attribute attribute : node.attributes()) {
              feedCounted(md5, 'A', attribute.name());
              feedCounted(md5, 'V', attribute.value());
            }
          } else if (node.type() == pugi::node_pcdata || node.type() == pugi::node_cdata) {
            feedCounted(md5, 'T', node.value());
          }
        },
        [&](pugi::xml_node node) {
          if (node.type() == pugi::node_element) md5.update("e", 1);
        });
    const auto result = md5.finish();
    std::memcpy(digest, result.data(), result.size());
    return 1;
  });
}

int VIDUV_GetFingerPrintOfFile(const char* path, unsigned char* digest) {
  return guarded(0, [&] {
    state().lastError.clear();
    zeroDigest(digest);
    if (digest == nullptr) return 0;
    if (path == nullptr || *path == '\0') return fail("Cannot read a file without a file name");
    std::string bytes;
    std::string error;
    if (!readWholeFile(path, bytes, error)) return fail(error);
    Md5 md5;
    md5.update(bytes);
    const auto result = md5.finish();
    std::memcpy(digest, result.data(), result.size());
    return 1;
  });
}

const char* VIDUV_GetLastError(void) {
  return guarded<const char*>("", [&] { return keep(state().lastError); });
}

}  // extern "C"
