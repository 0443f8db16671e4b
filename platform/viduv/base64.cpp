#include "platform/viduv/base64.h"

#include <array>

namespace viduv::detail {
namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

constexpr std::array<int, 256> makeDecodeTable() {
  std::array<int, 256> table{};
  for (int& entry : table) entry = -1;
  for (int i = 0; i < 64; ++i) table[static_cast<unsigned char>(kAlphabet[i])] = i;
  return table;
}
constexpr std::array<int, 256> kDecode = makeDecodeTable();

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

}  // namespace

std::string encodeBase64(const std::uint8_t* data, std::size_t size) {
  // written into its final size: the result records of a position are a few hundred kilobytes of it
  std::string text((size + 2) / 3 * 4, '=');
  char* out = text.data();
  std::size_t i = 0;
  for (; i + 3 <= size; i += 3, out += 4) {
    const std::uint32_t v = (std::uint32_t(data[i]) << 16) | (std::uint32_t(data[i + 1]) << 8) | data[i + 2];
    out[0] = kAlphabet[(v >> 18) & 63];
    out[1] = kAlphabet[(v >> 12) & 63];
    out[2] = kAlphabet[(v >> 6) & 63];
    out[3] = kAlphabet[v & 63];
  }
  if (i < size) {
    // one or two bytes left: their sextets, the rest of the group stays padding
    const std::uint32_t v = (std::uint32_t(data[i]) << 16) | (i + 1 < size ? std::uint32_t(data[i + 1]) << 8 : 0);
    out[0] = kAlphabet[(v >> 18) & 63];
    out[1] = kAlphabet[(v >> 12) & 63];
    if (i + 1 < size) out[2] = kAlphabet[(v >> 6) & 63];
  }
  return text;
}

std::optional<std::vector<std::uint8_t>> decodeBase64(std::string_view text) {
  std::string compact;
  compact.reserve(text.size());
  for (char c : text) {
    if (!isSpace(c)) compact += c;
  }
  if (compact.size() % 4 != 0) return std::nullopt;
  std::vector<std::uint8_t> bytes;
  bytes.reserve(compact.size() / 4 * 3);
  for (std::size_t i = 0; i < compact.size(); i += 4) {
    const bool lastGroup = i + 4 == compact.size();
    int padding = 0;
    if (lastGroup && compact[i + 3] == '=') padding = compact[i + 2] == '=' ? 2 : 1;
    std::uint32_t v = 0;
    for (int k = 0; k < 4; ++k) {
      int sextet = 0;
      if (k < 4 - padding) {
        sextet = kDecode[static_cast<unsigned char>(compact[i + k])];
        if (sextet < 0) return std::nullopt;
      }
      v = (v << 6) | std::uint32_t(sextet);
    }
    // Bits that padding drops must be zero, or the text was not made by an encoder.
    if ((padding == 1 && (v & 0xFF) != 0) || (padding == 2 && (v & 0xFFFF) != 0)) return std::nullopt;
    bytes.push_back(std::uint8_t(v >> 16));
    if (padding < 2) bytes.push_back(std::uint8_t(v >> 8));
    if (padding < 1) bytes.push_back(std::uint8_t(v));
  }
  return bytes;
}

}  // namespace viduv::detail
