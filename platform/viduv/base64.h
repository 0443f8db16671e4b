// Base64 (RFC 4648, with padding) for the binary attributes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace viduv::detail {

std::string encodeBase64(const std::uint8_t* data, std::size_t size);
// The bytes of a base64 text (white space between groups is allowed); none when the text is corrupt.
std::optional<std::vector<std::uint8_t>> decodeBase64(std::string_view text);

}  // namespace viduv::detail
