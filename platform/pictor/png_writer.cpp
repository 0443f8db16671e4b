#include "platform/pictor/png_writer.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <iterator>

namespace {

constexpr std::size_t kPaletteSize = 256;

// The colours of a picture, in order of first appearance, while they fit a palette.
class Palette {
 public:
  // The colour's index; -1 once the picture has more colours than a palette holds.
  int IndexOf(std::uint32_t rgb) {
    if (rgb == m_lastRgb && m_lastIndex >= 0) return m_lastIndex;  // pixels mostly repeat their neighbour
    m_lastRgb = rgb;
    m_lastIndex = Find(rgb);
    return m_lastIndex;
  }
  const std::vector<std::uint32_t>& Colours() const { return m_colours; }

 private:
  int Find(std::uint32_t rgb) {
    std::size_t slot = Hash(rgb);
    while (m_slots[slot].used) {
      if (m_slots[slot].rgb == rgb) return m_slots[slot].index;
      slot = (slot + 1) % m_slots.size();
    }
    if (m_colours.size() == kPaletteSize) return -1;
    m_slots[slot] = {rgb, int(m_colours.size()), true};
    m_colours.push_back(rgb);
    return m_slots[slot].index;
  }
  struct Slot {
    std::uint32_t rgb = 0;
    int index = 0;
    bool used = false;
  };
  std::size_t Hash(std::uint32_t rgb) const { return (rgb * 2654435761u >> 16) % m_slots.size(); }
  std::array<Slot, 2 * kPaletteSize + 1> m_slots{};  // never more than half full
  std::vector<std::uint32_t> m_colours;
  std::uint32_t m_lastRgb = 0;
  int m_lastIndex = -1;
};

// A zlib stream written in one block of deflate's fixed codes. The filtered rows of a drawing are mostly zeros:
// a run of zeros is coded as copies of the byte before it, and its checksum is worked out in one step, so that
// an unchanged stretch costs next to nothing whatever its length. A general compressor would look at every byte.
class ZeroRunWriter {
 public:
  explicit ZeroRunWriter(std::vector<unsigned char>& out) : m_out(out) {
    m_out.push_back(0x78);  // deflate with a 32 KiB window
    m_out.push_back(0x01);  // no dictionary; the header's check
    Bits(1, 1);             // the last block
    Bits(1, 2);             // fixed codes
  }
  void Zeros(std::size_t n) {
    Checksum(n);
    EmitZeros(n);
  }
  void Bytes(const unsigned char* p, std::size_t n) {
    m_adler = std::uint32_t(adler32(m_adler, p, uInt(n)));
    for (std::size_t i = 0; i < n;) {
      if (p[i] != 0) {
        Literal(p[i++]);
        continue;
      }
      std::size_t end = i;
      while (end < n && p[end] == 0) ++end;
      EmitZeros(end - i);
      i = end;
    }
  }
  void Finish() {
    Symbol(256);
    if (m_count > 0) Bits(0, 8 - m_count % 8);
    for (int shift = 24; shift >= 0; shift -= 8) m_out.push_back(static_cast<unsigned char>(m_adler >> shift));
  }

 private:
  // The checksum over n zeros: the running sum stays, its sum grows n times by it.
  void Checksum(std::size_t n) {
    constexpr std::uint64_t kModulus = 65521;
    const std::uint64_t a = m_adler & 0xFFFF, b = m_adler >> 16;
    m_adler = std::uint32_t(((b + (n % kModulus) * a) % kModulus) << 16 | a);
  }
  void EmitZeros(std::size_t n) {
    if (n > 0 && m_last != 0) {
      Literal(0);
      --n;
    }
    for (; n >= 3; n -= std::min<std::size_t>(n, 258)) Copy(unsigned(std::min<std::size_t>(n, 258)));
    for (; n > 0; --n) Literal(0);
  }
  void Literal(unsigned byte) {
    Symbol(byte);
    m_last = byte;
  }
  // length (3-258) copies of the byte before: a length code and distance 1.
  void Copy(unsigned length) {
    static const unsigned kBase[] = {3,  4,  5,  6,  7,  8,  9,  10, 11,  13,  15,  17,  19,  23, 27,
                                     31, 35, 43, 51, 59, 67, 83, 99, 115, 131, 163, 195, 227, 258};
    static const int kExtra[] = {0, 0, 0, 0, 0, 0, 0, 0, 1, 1, 1, 1, 2, 2, 2, 2, 3, 3, 3, 3, 4, 4, 4, 4, 5, 5, 5, 5, 0};
    int code = 28;
    while (kBase[code] > length) --code;
    Symbol(257 + unsigned(code));
    Bits(length - kBase[code], kExtra[code]);
    Bits(0, 5);  // distance code 0: one byte back
  }
  // A literal or length symbol in deflate's fixed code (sent from its highest bit).
  void Symbol(unsigned symbol) {
    unsigned code, length;
    if (symbol < 144) {
      code = 0x30 + symbol, length = 8;
    } else if (symbol < 256) {
      code = 0x190 + symbol - 144, length = 9;
    } else if (symbol < 280) {
      code = symbol - 256, length = 7;
    } else {
      code = 0xC0 + symbol - 280, length = 8;
    }
    unsigned reversed = 0;
    for (unsigned i = 0; i < length; ++i) reversed |= ((code >> i) & 1u) << (length - 1 - i);
    Bits(reversed, int(length));
  }
  void Bits(std::uint32_t value, int count) {
    m_bits |= std::uint64_t(value) << m_count;
    m_count += count;
    for (; m_count >= 8; m_count -= 8, m_bits >>= 8) m_out.push_back(static_cast<unsigned char>(m_bits));
  }

  std::vector<unsigned char>& m_out;
  std::uint64_t m_bits = 0;
  int m_count = 0;
  std::uint32_t m_adler = 1;
  unsigned m_last = 256;  // the byte before, for copies; none yet
};

// The picture's data stream: each row a filter byte and its bytes, every row but the first as its difference to
// the row above (PNG's "Up" filter), so that the unchanged parts of a drawing become runs of zeros. Only the pixels
// that differ from the one above are looked at. With a palette, false when the colours do not fit one.
bool WriteRows(const std::vector<std::uint32_t>& pixels, std::size_t width, std::size_t height, Palette* palette,
               std::vector<unsigned char>& data) {
  const std::size_t perPixel = palette ? 1 : 3;
  std::vector<unsigned char> bytes(perPixel * width);  // the current row's bytes, unfiltered
  std::vector<unsigned char> changed(perPixel * width);
  data.clear();
  ZeroRunWriter z(data);
  for (std::size_t y = 0; y < height; ++y) {
    const std::uint32_t* in = pixels.data() + y * width;
    const std::uint32_t* up = in - width;
    const unsigned char filter = y == 0 ? 0 : 2;
    z.Bytes(&filter, 1);
    if (y > 0 && std::memcmp(in, up, width * sizeof *in) == 0) {
      z.Zeros(bytes.size());
      continue;
    }
    for (std::size_t x = 0; x < width;) {
      const std::size_t same = x;
      if (y > 0)
        while (x < width && in[x] == up[x]) ++x;
      z.Zeros(perPixel * (x - same));
      const std::size_t start = x;
      unsigned char* out = changed.data();
      for (; x < width && (y == 0 || in[x] != up[x]); ++x) {
        unsigned char* old = bytes.data() + perPixel * x;
        const std::uint32_t rgb = in[x] & 0xFFFFFF;
        unsigned char now[3] = {static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
                                static_cast<unsigned char>(rgb)};
        if (palette) {
          const int index = palette->IndexOf(rgb);
          if (index < 0) return false;
          now[0] = static_cast<unsigned char>(index);
        }
        for (std::size_t i = 0; i < perPixel; ++i) {
          *out++ = static_cast<unsigned char>(now[i] - old[i]);
          old[i] = now[i];
        }
      }
      z.Bytes(changed.data(), perPixel * (x - start));
    }
  }
  z.Finish();
  return true;
}

void PutU32(std::vector<unsigned char>& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<unsigned char>(v >> shift));
}

void PutChunk(std::vector<unsigned char>& out, const char type[4], const unsigned char* data, std::size_t size) {
  PutU32(out, std::uint32_t(size));
  const std::size_t start = out.size();
  out.insert(out.end(), type, type + 4);
  if (size) out.insert(out.end(), data, data + size);
  PutU32(out, std::uint32_t(crc32(0, out.data() + start, uInt(out.size() - start))));
}

}  // namespace

namespace pictor {

bool EncodePng(const std::vector<std::uint32_t>& pixels, int width, int height, std::vector<unsigned char>& png) {
  if (width <= 0 || height <= 0 || pixels.size() != std::size_t(width) * std::size_t(height)) return false;
  // One data chunk holds the whole picture; its length counts in 31 bits (nine bits per byte at most).
  if (std::size_t(height) * (1 + 3 * std::size_t(width)) > 0x70000000) return false;
  thread_local std::vector<unsigned char> data;  // kept between pictures: a report writes dozens of one size
  Palette palette;
  const bool indexed = WriteRows(pixels, std::size_t(width), std::size_t(height), &palette, data);
  if (!indexed) WriteRows(pixels, std::size_t(width), std::size_t(height), nullptr, data);

  static const unsigned char kSignature[] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  png.assign(std::begin(kSignature), std::end(kSignature));
  std::vector<unsigned char> header;
  PutU32(header, std::uint32_t(width));
  PutU32(header, std::uint32_t(height));
  header.push_back(8);                     // bits per sample
  header.push_back(indexed ? 3 : 2);       // colour type: palette or RGB
  header.insert(header.end(), {0, 0, 0});  // deflate, adaptive filters, not interlaced
  PutChunk(png, "IHDR", header.data(), header.size());
  if (indexed) {
    std::vector<unsigned char> plte;
    for (std::uint32_t rgb : palette.Colours())
      plte.insert(plte.end(), {static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
                               static_cast<unsigned char>(rgb)});
    PutChunk(png, "PLTE", plte.data(), plte.size());
  }
  PutChunk(png, "IDAT", data.data(), data.size());
  PutChunk(png, "IEND", nullptr, 0);
  return true;
}

}  // namespace pictor
