// Binary attributes and files kept in attributes.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "tests/platform/viduv/viduv_test_support.h"

namespace viduv_test {
namespace {

using ViduvBinaryFiles = ScratchFolder;

std::vector<std::uint8_t> readBinary(int element, const char* name) {
  std::vector<std::uint8_t> bytes(std::size_t(VIDUV_GetBinDataLength(element, name)));
  if (!bytes.empty()) {
    EXPECT_EQ(VIDUV_GetBinData(element, name, bytes.data()), int(bytes.size()));
  }
  return bytes;
}

TEST(ViduvBinary, StoredAsStandardBase64) {
  // The test vectors of RFC 4648, section 10.
  const char* vectors[][2] = {{"", ""},
                              {"f", "Zg=="},
                              {"fo", "Zm8="},
                              {"foo", "Zm9v"},
                              {"foob", "Zm9vYg=="},
                              {"fooba", "Zm9vYmE="},
                              {"foobar", "Zm9vYmFy"}};
  Doc doc(VIDUV_CreateDoc("root"));
  for (const auto& v : vectors) {
    ASSERT_EQ(VIDUV_SetBinData(doc.root(), "b", int(std::strlen(v[0])), v[0], 1), 1);
    EXPECT_STREQ(VIDUV_GetString(doc.root(), "b"), v[1]) << v[0];
    EXPECT_EQ(VIDUV_GetBinDataLength(doc.root(), "b"), int(std::strlen(v[0])));
  }
}

TEST_F(ViduvBinaryFiles, ArraysRoundTripBitForBitThroughAFile) {
  const std::vector<std::int32_t> ints = {0, 1, -1, 2147483647, -2147483647 - 1, 0x01020304};
  const std::vector<double> doubles = {0.1, -0.0, 1e-300, 1.0 / 3.0, 6.02214076e23};
  std::vector<std::uint8_t> everyByte(256);
  for (int i = 0; i < 256; ++i) everyByte[std::size_t(i)] = std::uint8_t(i);

  Doc doc(VIDUV_CreateDoc("root"));
  const int info = VIDUV_AddChildElement(doc.root(), "info");
  VIDUV_SetBinData(info, "ints", int(ints.size() * 4), ints.data(), 1);
  VIDUV_SetBinData(info, "doubles", int(doubles.size() * 8), doubles.data(), 1);
  VIDUV_SetBinData(info, "bytes", 256, everyByte.data(), 0);
  VIDUV_SetBinData(info, "empty", 0, nullptr, 1);
  ASSERT_EQ(VIDUV_SaveDocAs(doc.get(), path("bin.tqx").c_str()), 1);

  Doc read(VIDUV_OpenDoc(path("bin.tqx").c_str()));
  const int readInfo = VIDUV_FindFirstChild(read.root(), "info");
  std::vector<std::uint8_t> raw = readBinary(readInfo, "ints");
  ASSERT_EQ(raw.size(), ints.size() * 4);
  EXPECT_EQ(std::memcmp(raw.data(), ints.data(), raw.size()), 0);
  raw = readBinary(readInfo, "doubles");
  ASSERT_EQ(raw.size(), doubles.size() * 8);
  EXPECT_EQ(std::memcmp(raw.data(), doubles.data(), raw.size()), 0);
  EXPECT_EQ(readBinary(readInfo, "bytes"), everyByte);
  EXPECT_EQ(VIDUV_GetBinDataLength(readInfo, "empty"), 0);
  std::uint8_t untouched = 0xAB;
  EXPECT_EQ(VIDUV_GetBinData(readInfo, "empty", &untouched), 0);
  EXPECT_EQ(untouched, 0xAB);
}

TEST(ViduvBinary, RefusesBadArguments) {
  Doc doc(VIDUV_CreateDoc("root"));
  EXPECT_EQ(VIDUV_SetBinData(doc.root(), "b", -1, "x", 1), 0);
  EXPECT_EQ(VIDUV_SetBinData(doc.root(), "b", 4, nullptr, 1), 0);
  EXPECT_EQ(VIDUV_GetFirstAttrHandle(doc.root()), 0) << "nothing was stored";
}

TEST(ViduvBinary, CorruptBase64ReadsAsLengthZeroAndCopiesNothing) {
  const char* corrupt[] = {"Zg=", "Zm9v!A==", "Z===", "Zh==", "=Zm9", "Zm9vYmFy=", "Z m9v Y"};
  Doc doc(VIDUV_CreateDoc("root"));
  for (const char* text : corrupt) {
    VIDUV_SetString(doc.root(), "b", text);
    EXPECT_EQ(VIDUV_GetBinDataLength(doc.root(), "b"), 0) << text;
    char guard[8] = "intact";
    EXPECT_EQ(VIDUV_GetBinData(doc.root(), "b", guard), 0) << text;
    EXPECT_STREQ(guard, "intact");
  }
  // White space between groups, as a hand-wrapped file has it, is allowed: "Zm9v YmFy" is "foobar".
  VIDUV_SetString(doc.root(), "b", "Zm9v\n  YmFy");
  EXPECT_EQ(VIDUV_GetBinDataLength(doc.root(), "b"), 6);
}

TEST(ViduvBinary, ByHandleCopiesNoMoreThanTheBufferHolds) {
  Doc doc(VIDUV_CreateDoc("root"));
  const float data[4] = {1.0f, 2.0f, 3.0f, 4.0f};
  VIDUV_SetInt(doc.root(), "dataLength", 2);
  VIDUV_SetBinData(doc.root(), "data", sizeof data, data, 1);
  const int handle = VIDUV_GetNextAttrHandle(VIDUV_GetFirstAttrHandle(doc.root()));
  ASSERT_STREQ(VIDUV_GetAttrNameByHandle(handle), "data");
  EXPECT_EQ(VIDUV_GetBinDataByHandle(handle, nullptr, 0), 16) << "a null buffer asks for the length";
  float small[3] = {0.0f, 0.0f, -7.0f};
  EXPECT_EQ(VIDUV_GetBinDataByHandle(handle, small, 8), 8);
  EXPECT_EQ(small[0], 1.0f);
  EXPECT_EQ(small[1], 2.0f);
  EXPECT_EQ(small[2], -7.0f) << "the bytes beyond the given size stay untouched";
  float all[4] = {};
  EXPECT_EQ(VIDUV_GetBinDataByHandle(handle, all, sizeof all), 16);
  EXPECT_EQ(all[3], 4.0f);
}

TEST_F(ViduvBinaryFiles, FileStoredInAnAttributeComesBackByteForByte) {
  std::string content = "{\\rtf1 Umlaut \xC3\xA4}";
  content += std::string("\0\x01\xFF\r\n", 5);
  writeFile(path("in.rtf"), content);
  Doc doc(VIDUV_CreateDoc("root"));
  const int rtfFiles = VIDUV_AddChildElement(doc.root(), "rtfFiles");
  ASSERT_EQ(VIDUV_StoreFileInAttr(rtfFiles, "vardef", path("in.rtf").c_str(), 1), 1);
  EXPECT_EQ(VIDUV_GetBinDataLength(rtfFiles, "vardef"), int(content.size()));
  ASSERT_EQ(VIDUV_LoadFileFromAttr(rtfFiles, "vardef", path("out.tmp.rtf").c_str()), 1);
  EXPECT_EQ(readFile(path("out.tmp.rtf")), content);

  writeFile(path("empty.rtf"), "");
  ASSERT_EQ(VIDUV_StoreFileInAttr(rtfFiles, "empty", path("empty.rtf").c_str(), 1), 1);
  ASSERT_EQ(VIDUV_LoadFileFromAttr(rtfFiles, "empty", path("empty.out").c_str()), 1);
  EXPECT_TRUE(std::filesystem::exists(path("empty.out")));
  EXPECT_EQ(readFile(path("empty.out")), "");
}

TEST_F(ViduvBinaryFiles, FileAttributeFailures) {
  Doc doc(VIDUV_CreateDoc("root"));
  EXPECT_EQ(VIDUV_StoreFileInAttr(doc.root(), "f", path("absent.rtf").c_str(), 1), 0);
  EXPECT_NE(std::string(VIDUV_GetLastError()).find("absent.rtf"), std::string::npos);
  EXPECT_EQ(VIDUV_GetFirstAttrHandle(doc.root()), 0) << "a failed store adds no attribute";

  EXPECT_EQ(VIDUV_LoadFileFromAttr(doc.root(), "f", path("out.rtf").c_str()), 0);
  VIDUV_SetString(doc.root(), "broken", "%%%");
  EXPECT_EQ(VIDUV_LoadFileFromAttr(doc.root(), "broken", path("out.rtf").c_str()), 0);
  EXPECT_STRNE(VIDUV_GetLastError(), "");
  EXPECT_FALSE(std::filesystem::exists(path("out.rtf")));

  writeFile(path("in.rtf"), "x");
  VIDUV_StoreFileInAttr(doc.root(), "f", path("in.rtf").c_str(), 1);
  EXPECT_EQ(VIDUV_LoadFileFromAttr(doc.root(), "f", path("no/such/folder.rtf").c_str()), 0);
  EXPECT_FALSE(std::filesystem::exists(path("no")));
}

}  // namespace
}  // namespace viduv_test
