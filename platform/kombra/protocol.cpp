#include "platform/kombra/protocol.h"

#include <charconv>
#include <cstdio>
#include <fstream>

namespace kombra {

namespace {

// 7-bit RTF: characters beyond ASCII as \uN? (signed 16-bit code units).
std::string rtfEscape(std::string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size();) {
    const auto byte = static_cast<unsigned char>(text[i]);
    std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
    char32_t code = length == 4 ? (byte & 0x07u) : length == 3 ? (byte & 0x0Fu) : length == 2 ? (byte & 0x1Fu) : byte;
    if (i + length > text.size()) {
      length = 1;
      code = '?';
    }
    for (std::size_t k = 1; k < length; ++k) code = (code << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
    i += length;
    if (code == '\\' || code == '{' || code == '}') {
      out += '\\';
      out += static_cast<char>(code);
    } else if (code < 0x80) {
      out += static_cast<char>(code);
    } else if (code <= 0xFFFF) {
      out += "\\u" + std::to_string(static_cast<int16_t>(static_cast<uint16_t>(code))) + "?";
    } else {
      out += '?';
    }
  }
  return out;
}

std::string number(double value) {
  char buffer[64];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
  return std::string(buffer, result.ptr);
}

void paragraph(std::string& rtf, std::string_view text, bool bold = false) {
  rtf += bold ? "{\\b " : "{";
  rtf += rtfEscape(text);
  rtf += "}\\par\n";
}

const char* ruleFormula(int kind, const Norm& norm) {
  switch (kind) {
    case kFundamental: return "Ed: Σ γG,j·Gk,j + γQ,1·Qk,1 + Σ γQ,i·ψ0,i·Qk,i";
    case kAccidental:
      return norm.accidentalLeadingPsi1 ? "Ed,A: Σ Gk,j + Ad + ψ1,1·Qk,1 + Σ ψ2,i·Qk,i"
                                        : "Ed,A: Σ Gk,j + Ad + Σ ψ2,i·Qk,i";
    case kCharacteristic: return "Ed,char: Σ Gk,j + Qk,1 + Σ ψ0,i·Qk,i";
    case kFrequent: return "Ed,frequ: Σ Gk,j + ψ1,1·Qk,1 + Σ ψ2,i·Qk,i";
    default: return "Ed,perm: Σ Gk,j + Σ ψ2,i·Qk,i";
  }
}

}  // namespace

std::string protocolText(const Session& session, bool withFactors, bool withRules) {
  std::string rtf = "{\\rtf1\\ansi\\deff0{\\fonttbl{\\f0 Arial;}}\\f0\\fs20\n";
  const Norm* norm = session.norm();
  const std::string normName = norm != nullptr ? std::string(norm->name) : std::string("-");
  if (withFactors) {
    paragraph(rtf, "Teilsicherheits- und Kombinationsbeiwerte nach " + normName, true);
    if (norm != nullptr) {
      const auto g = session.gamma(0, 0);
      const auto q = session.gamma(1, 0);
      const auto a = session.gamma(3, 1);
      paragraph(rtf, "γG,sup = " + number(g[1]) + "   γG,inf = " + number(g[0]) + "   γQ = " + number(q[1]) +
                         "   γA = " + number(a[1]));
      paragraph(rtf, "Kategorie\tψ0\tψ1\tψ2", true);
      for (std::size_t c = 0; c < norm->categories.size(); ++c) {
        const auto psi = session.psi(1, static_cast<int>(c));
        paragraph(rtf, std::string(norm->categories[c].name) + "\t" + number(psi[0]) + "\t" + number(psi[1]) + "\t" +
                           number(psi[2]));
      }
    }
  }
  if (withRules) {
    paragraph(rtf, "Kombinationsregeln nach " + normName, true);
    if (norm != nullptr) {
      for (int kind = 0; kind < kFormedKinds; ++kind) {
        if (session.kindEnabled(kind)) paragraph(rtf, ruleFormula(kind, *norm));
      }
    }
    paragraph(rtf, "Nr.\tArt\tKombination", true);
    int index = 1;
    for (const Combination& combination : session.combinations()) {
      paragraph(rtf, std::to_string(index++) + "\t" + combination.type + "\t" + combination.rule);
    }
  }
  rtf += "}\n";
  return rtf;
}

bool writeProtocol(Session& session, bool withFactors, bool withRules, const std::string& fileName) {
  if (fileName.empty()) {
    session.fail("Kein Dateiname für das Protokoll");
    return false;
  }
  const std::string temporary = fileName + ".tmp";
  {
    std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
    if (file) file << protocolText(session, withFactors, withRules);
    if (!file || !file.flush()) {
      std::remove(temporary.c_str());
      session.fail("Protokoll " + fileName + " kann nicht geschrieben werden");
      return false;
    }
  }
  if (std::rename(temporary.c_str(), fileName.c_str()) != 0) {
    std::remove(temporary.c_str());
    session.fail("Protokoll " + fileName + " kann nicht geschrieben werden");
    return false;
  }
  return true;
}

}  // namespace kombra
