// Fingerprints of elements and files.
#include <array>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "tests/platform/viduv/viduv_test_support.h"

namespace viduv_test {
namespace {

using Digest = std::array<unsigned char, 16>;

std::string hex(const Digest& digest) {
  std::string text;
  char pair[3];
  for (unsigned char byte : digest) {
    std::snprintf(pair, sizeof pair, "%02x", byte);
    text += pair;
  }
  return text;
}

Digest fingerprint(int element) {
  Digest digest{};
  EXPECT_EQ(VIDUV_GetFingerPrint(element, digest.data()), 1);
  return digest;
}

using ViduvFileFingerprints = ScratchFolder;

TEST_F(ViduvFileFingerprints, AreTheMd5OfTheFileBytes) {
  // The test suite of RFC 1321, appendix A.5.
  const char* vectors[][2] = {
      {"", "d41d8cd98f00b204e9800998ecf8427e"},
      {"a", "0cc175b9c0f1b6a831c399e269772661"},
      {"abc", "900150983cd24fb0d6963f7d28e17f72"},
      {"message digest", "f96b697d7cb7938d525a2f31aaf161d0"},
      {"abcdefghijklmnopqrstuvwxyz", "c3fcd3d76192e4007dfb496cca67e13b"},
      {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789", "d174ab98d277d9f5a5611c2c9f419d9f"},
      {"12345678901234567890123456789012345678901234567890123456789012345678901234567890",
       "57edf4a22be3c955ac49da2e2107b67a"},
  };
  for (const auto& v : vectors) {
    writeFile(path("f.rtf"), v[0]);
    Digest digest{};
    ASSERT_EQ(VIDUV_GetFingerPrintOfFile(path("f.rtf").c_str(), digest.data()), 1);
    EXPECT_EQ(hex(digest), v[1]) << v[0];
  }
}

TEST_F(ViduvFileFingerprints, MissingFileGivesZeroBytes) {
  Digest digest;
  digest.fill(0x55);
  EXPECT_EQ(VIDUV_GetFingerPrintOfFile(path("absent.rtf").c_str(), digest.data()), 0);
  EXPECT_EQ(digest, Digest{});
}

// Builds the same small "input" tree each time; a change may alter it on the way.
int buildInput(int root, const std::function<void(int input, int geom)>& change) {
  const int input = VIDUV_AddChildElement(root, "input");
  VIDUV_SetDouble(input, "h", 0.6);
  VIDUV_SetString(input, "name", "Stütze 1");
  const int geom = VIDUV_AddChildElement(input, "geom");
  VIDUV_SetInt(geom, "form", 1);
  VIDUV_SetInt(geom, "n", 4);
  VIDUV_AddChildElement(input, "load");
  if (change) change(input, geom);
  return input;
}

TEST(ViduvElementFingerprints, EqualContentEqualBytesChangedContentOtherBytes) {
  Doc reference(VIDUV_CreateDoc("root"));
  const Digest base = fingerprint(buildInput(reference.root(), nullptr));
  EXPECT_NE(base, Digest{});

  Doc same(VIDUV_CreateDoc("another"));  // the document around the element does not count
  EXPECT_EQ(fingerprint(buildInput(same.root(), nullptr)), base);

  const std::vector<std::pair<const char*, std::function<void(int, int)>>> changes = {
      {"attribute value", [](int, int geom) { VIDUV_SetInt(geom, "form", 2); }},
      {"double value", [](int input, int) { VIDUV_SetDouble(input, "h", 0.6000000000000001); }},
      {"text value", [](int input, int) { VIDUV_SetString(input, "name", "Stütze 2"); }},
      {"attribute name",
       [](int, int geom) {
         VIDUV_DeleteAttr(geom, "n");
         VIDUV_SetInt(geom, "m", 4);
       }},
      {"attribute order",
       [](int, int geom) {
         VIDUV_DeleteAttr(geom, "form");
         VIDUV_SetInt(geom, "form", 1);
       }},
      {"element name",
       [](int input, int) {
         VIDUV_DeleteElement(VIDUV_FindFirstChild(input, "load"));
         VIDUV_AddChildElement(input, "last");
       }},
      {"child order",
       [](int input, int geom) {
         VIDUV_DeleteElement(geom);
         const int moved = VIDUV_AddChildElement(input, "geom");
         VIDUV_SetInt(moved, "form", 1);
         VIDUV_SetInt(moved, "n", 4);
       }},
      {"extra child", [](int, int geom) { VIDUV_AddChildElement(geom, "detail"); }},
      {"child removed", [](int input, int) { VIDUV_DeleteElement(VIDUV_FindFirstChild(input, "load")); }},
      {"value moved between attributes",
       [](int, int geom) {
         VIDUV_SetInt(geom, "form", 14);
         VIDUV_SetString(geom, "n", "");
       }},
      // One value that spells out what a naive concatenation of form="1" n="4" would give.
      {"attributes folded into one value",
       [](int, int geom) {
         VIDUV_DeleteAttr(geom, "n");
         VIDUV_SetString(geom, "form", "1AnV4");
       }},
      {"nesting",
       [](int input, int) {
         VIDUV_DeleteElement(VIDUV_FindFirstChild(input, "load"));
         VIDUV_AddChildElement(VIDUV_FindFirstChild(input, "geom"), "load");
       }},
  };
  for (const auto& [what, change] : changes) {
    Doc changed(VIDUV_CreateDoc("root"));
    EXPECT_NE(fingerprint(buildInput(changed.root(), change)), base) << what;
  }
}

TEST_F(ViduvFileFingerprints, ElementFingerprintSurvivesSaveAndLoad) {
  Doc doc(VIDUV_CreateDoc("root"));
  const Digest before = fingerprint(buildInput(doc.root(), nullptr));
  ASSERT_EQ(VIDUV_SaveDocAs(doc.get(), path("fp.tqx").c_str()), 1);
  Doc read(VIDUV_OpenDoc(path("fp.tqx").c_str()));
  EXPECT_EQ(fingerprint(VIDUV_FindFirstChild(read.root(), "input")), before);
}

}  // namespace
}  // namespace viduv_test
