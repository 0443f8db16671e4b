#include "platform/win/screen/clipforms.h"

#include <algorithm>

#include "platform/win/base/codepage.h"

namespace win {

namespace {

// Word processors name RTF by either; the first is the one they ask for.
constexpr std::string_view kRtfTargets[] = {"text/rtf", "application/rtf"};
constexpr std::string_view kTextTargets[] = {"UTF8_STRING", "TEXT", "STRING"};

// UTF-8 as Latin-1, the form of STRING; a character beyond it becomes '?'.
std::string Latin1(std::string_view utf8) {
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const char32_t c = NextCodePoint(utf8, i);
    out += c <= 0xFF ? char(c) : '?';
  }
  return out;
}

}  // namespace

std::vector<std::string> OfferedTargets(const ClipboardContent& content) {
  std::vector<std::string> targets{"TARGETS"};
  if (!content.rtf.empty()) targets.insert(targets.end(), std::begin(kRtfTargets), std::end(kRtfTargets));
  targets.insert(targets.end(), std::begin(kTextTargets), std::end(kTextTargets));
  return targets;
}

std::optional<ServedForm> ServeTarget(const ClipboardContent& content, std::string_view target) {
  if (!content.rtf.empty() &&
      std::find(std::begin(kRtfTargets), std::end(kRtfTargets), target) != std::end(kRtfTargets))
    return ServedForm{std::string(target), content.rtf};
  if (target == "UTF8_STRING" || target == "TEXT") return ServedForm{"UTF8_STRING", content.text};
  if (target == "STRING") return ServedForm{"STRING", Latin1(content.text)};
  return std::nullopt;
}

std::string RtfTargetOf(const std::vector<std::string>& offered) {
  for (std::string_view rtf : kRtfTargets)
    if (std::find(offered.begin(), offered.end(), rtf) != offered.end()) return std::string(rtf);
  return {};
}

}  // namespace win
