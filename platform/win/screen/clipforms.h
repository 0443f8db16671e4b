// The clipboard's forms as the programs on a screen name them: what the program offers (UTF-8 text, and RTF where
// the copy kept formats), in which target it hands each out, and which form it asks another program for.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/win/winapi.h"

// The clipboard format of RTF text.
inline constexpr UINT CF_RTF = 0xC0A0;

namespace win {

// What a program copied: UTF-8 text, and the same as RTF (empty when the copy has no formats).
struct ClipboardContent {
  std::string text;
  std::string rtf;
};

// Another program's offer is taken only up to this size; a larger form is refused as a whole.
inline constexpr std::size_t kMaxClipboardBytes = std::size_t(1) << 20;

// The targets the content is offered in, "TARGETS" first; the RTF ones only where there is RTF.
std::vector<std::string> OfferedTargets(const ClipboardContent& content);

// The type and the bytes handed out for a target; nullopt for a target not offered.
struct ServedForm {
  std::string type;
  std::string bytes;
};
std::optional<ServedForm> ServeTarget(const ClipboardContent& content, std::string_view target);

// Of the targets another program offers, the RTF one to ask for; empty when it offers none.
std::string RtfTargetOf(const std::vector<std::string>& offered);

}  // namespace win
