#include "imaging/picture_fixtures.h"

#include <string>
#include <string_view>

namespace mlf::test {
namespace {

struct Rgb {
  uint8_t r, g, b;
};

Rgb PatternRgb(int x, int y) {
  const uint32_t argb = kPattern[static_cast<size_t>(y * kPatternWidth + x)];
  return {static_cast<uint8_t>(argb >> 16), static_cast<uint8_t>(argb >> 8),
          static_cast<uint8_t>(argb)};
}

void Text(Bytes& out, std::string_view text) { out.insert(out.end(), text.begin(), text.end()); }
void Zeros(Bytes& out, size_t count) { out.insert(out.end(), count, 0); }
void Le16(Bytes& out, uint32_t v) { out.insert(out.end(), {uint8_t(v), uint8_t(v >> 8)}); }
void Le32(Bytes& out, uint32_t v) { Le16(out, v & 0xFFFF), Le16(out, v >> 16); }
void Be16(Bytes& out, uint32_t v) { out.insert(out.end(), {uint8_t(v >> 8), uint8_t(v)}); }
void Be32(Bytes& out, uint32_t v) { Be16(out, v >> 16), Be16(out, v & 0xFFFF); }

Bytes FromHex(std::string_view hex) {
  Bytes out;
  auto nibble = [](char c) { return c <= '9' ? c - '0' : c - 'a' + 10; };
  for (size_t i = 0; i + 1 < hex.size(); i += 2)
    out.push_back(uint8_t(nibble(hex[i]) << 4 | nibble(hex[i + 1])));
  return out;
}

}  // namespace

std::array<uint32_t, 6> GreyPatternPixels() {
  std::array<uint32_t, 6> pixels{};
  for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = 0xFF000000u | kGreyPattern[i] * 0x010101u;
  return pixels;
}

Bytes PatternBmp(int bitsPerPixel) {
  const uint32_t pixelSize = uint32_t(bitsPerPixel) / 8;
  const uint32_t rowBytes = (kPatternWidth * pixelSize + 3) & ~3u;
  const uint32_t pixelBytes = rowBytes * kPatternHeight;
  Bytes out;
  Text(out, "BM");
  Le32(out, 54 + pixelBytes);
  Le32(out, 0);
  Le32(out, 54);
  Le32(out, 40);  // BITMAPINFOHEADER
  Le32(out, kPatternWidth);
  Le32(out, kPatternHeight);
  Le16(out, 1);
  Le16(out, uint32_t(bitsPerPixel));
  Le32(out, 0);  // BI_RGB
  Le32(out, pixelBytes);
  Le32(out, 2835), Le32(out, 2835), Le32(out, 0), Le32(out, 0);
  for (int y = kPatternHeight - 1; y >= 0; --y) {
    for (int x = 0; x < kPatternWidth; ++x) {
      const Rgb c = PatternRgb(x, y);
      out.insert(out.end(), {c.b, c.g, c.r});
      if (pixelSize == 4) out.push_back(0);
    }
    Zeros(out, rowBytes - kPatternWidth * pixelSize);
  }
  return out;
}

Bytes PatternGif() {
  return FromHex(
      "47494638396103000200f20500000000ff000000ff000000ff808080ffffff00000000000021"
      "f90400000000002c000000000300020000030418320594003b");
}

Bytes PatternGifWithTransparentBlack() {
  Bytes gif = PatternGif();
  const size_t control = 0x25;  // the graphic control extension: 21 F9 04 <flags> ...
  gif[control + 3] = 0x01;      // a transparent index follows
  gif[control + 6] = 0x00;
  return gif;
}

Bytes PatternPcx() {
  const uint32_t bytesPerLine = 4;  // per plane; must be even
  Bytes out = {10, 5, 1, 8};        // ZSoft, version 5, run-length encoded, 8 bits per plane
  Le16(out, 0), Le16(out, 0), Le16(out, kPatternWidth - 1), Le16(out, kPatternHeight - 1);
  Le16(out, 72), Le16(out, 72);
  Zeros(out, 48 + 1);  // 16-colour palette, reserved byte
  out.push_back(3);    // planes
  Le16(out, bytesPerLine);
  Le16(out, 1);
  Zeros(out, 128 - out.size());
  for (int y = 0; y < kPatternHeight; ++y) {
    for (int plane = 0; plane < 3; ++plane) {
      for (uint32_t x = 0; x < bytesPerLine; ++x) {
        uint8_t value = 0;
        if (x < kPatternWidth) {
          const Rgb c = PatternRgb(int(x), y);
          value = plane == 0 ? c.r : plane == 1 ? c.g : c.b;
        }
        // Values with both top bits set would read as a run count; a run of one escapes them.
        if ((value & 0xC0) == 0xC0) out.push_back(0xC1);
        out.push_back(value);
      }
    }
  }
  return out;
}

Bytes Pgm(int width, int height, const Bytes& pixels) {
  Bytes out;
  Text(out, "P5 " + std::to_string(width) + " " + std::to_string(height) + " 255\n");
  out.insert(out.end(), pixels.begin(), pixels.end());
  return out;
}

Bytes Ppm(int width, int height, const Bytes& pixels) {
  Bytes out = Pgm(width, height, pixels);
  out[1] = '6';
  return out;
}

Bytes PatternPgm() {
  return Pgm(kPatternWidth, kPatternHeight, Bytes(kGreyPattern.begin(), kGreyPattern.end()));
}

Bytes PatternPpm() {
  Bytes pixels;
  for (int y = 0; y < kPatternHeight; ++y)
    for (int x = 0; x < kPatternWidth; ++x) {
      const Rgb c = PatternRgb(x, y);
      pixels.insert(pixels.end(), {c.r, c.g, c.b});
    }
  return Ppm(kPatternWidth, kPatternHeight, pixels);
}

Bytes PatternPict() {
  Bytes out(512, 0);
  const Bytes body = FromHex(
      "02000000000000020003001102ff0c00fffe0000000000000000000000000000000200030000"
      "00000001000a0000000000020003009a000000ff800c00000000000200030000000400000000"
      "0000000000000000001000200003000800000000000000000000000000000000000200030000"
      "00000002000300400a00fffe0000fffe0000ff0a08ff0080ff0080ff008000ff");
  out.insert(out.end(), body.begin(), body.end());
  return out;
}

// The preamble, the picture frame, the version and the extended header of a version 2 PICT.
Bytes PictStart() {
  Bytes out(512, 0);
  Be16(out, 0);
  Be16(out, 0), Be16(out, 0), Be16(out, kPatternHeight), Be16(out, kPatternWidth);
  Be16(out, 0x0011), Be16(out, 0x02FF);
  Be16(out, 0x0C00), Be16(out, 0xFFFE), Be16(out, 0);
  Be32(out, 0x00480000), Be32(out, 0x00480000);
  Be16(out, 0), Be16(out, 0), Be16(out, kPatternHeight), Be16(out, kPatternWidth);
  Be32(out, 0);
  return out;
}

void PictBoundsAndCopyParameters(Bytes& out, bool copyParameters) {
  for (int i = 0; i < (copyParameters ? 3 : 1); ++i)  // bounds, then source and destination
    Be16(out, 0), Be16(out, 0), Be16(out, kPatternHeight), Be16(out, kPatternWidth);
  if (copyParameters) Be16(out, 0);  // transfer mode
}

Bytes PatternPictIndexed() {
  Bytes out = PictStart();
  Be16(out, 0x0098);
  Be16(out, 0x8000 | 8);  // a pixel map of 8 bytes a row, so rows are packed
  PictBoundsAndCopyParameters(out, false);
  Be16(out, 0), Be16(out, 0), Be32(out, 0);  // version, pack type, pack size
  Be32(out, 0x00480000), Be32(out, 0x00480000);
  Be16(out, 0), Be16(out, 8), Be16(out, 1), Be16(out, 8);  // indexed, 8 bits, 1 component of 8
  Be32(out, 0), Be32(out, 0), Be32(out, 0);
  Be32(out, 0), Be16(out, 0), Be16(out, 5);  // colour table: seed, flags, 6 entries
  for (int i = 0; i < 6; ++i) {
    const Rgb c = PatternRgb(i % kPatternWidth, i / kPatternWidth);
    Be16(out, uint32_t(i)), Be16(out, c.r * 257u), Be16(out, c.g * 257u), Be16(out, c.b * 257u);
  }
  Be16(out, 0), Be16(out, 0), Be16(out, kPatternHeight), Be16(out, kPatternWidth);
  Be16(out, 0), Be16(out, 0), Be16(out, kPatternHeight), Be16(out, kPatternWidth);
  Be16(out, 0);
  for (int y = 0; y < kPatternHeight; ++y) {
    out.insert(out.end(), {9, 7});  // 9 packed bytes: a literal run of 8
    for (int x = 0; x < 8; ++x)
      out.push_back(x < kPatternWidth ? uint8_t(y * kPatternWidth + x) : 0);
  }
  Be16(out, 0x00FF);
  return out;
}

Bytes MonochromePict() {
  Bytes out = PictStart();
  Be16(out, 0x0090);
  Be16(out, 2);  // a bit map of 2 bytes a row, stored unpacked
  PictBoundsAndCopyParameters(out, true);
  out.insert(out.end(), {0xA0, 0x00, 0x40, 0x00});
  Be16(out, 0x00FF);
  return out;
}

Bytes PatternPsd(bool packBits) {
  Bytes out;
  Text(out, "8BPS");
  Be16(out, 1);
  Zeros(out, 6);
  Be16(out, 3);  // channels
  Be32(out, kPatternHeight);
  Be32(out, kPatternWidth);
  Be16(out, 8);                              // bits per channel
  Be16(out, 3);                              // RGB
  Be32(out, 0), Be32(out, 0), Be32(out, 0);  // colour mode data, resources, layers
  Be16(out, packBits ? 1 : 0);
  // Whole planes, rows top-down; packed, each row is one literal run after a table of counts.
  if (packBits)
    for (int row = 0; row < 3 * kPatternHeight; ++row) Be16(out, 1 + kPatternWidth);
  for (int plane = 0; plane < 3; ++plane)
    for (int y = 0; y < kPatternHeight; ++y) {
      if (packBits) out.push_back(kPatternWidth - 1);
      for (int x = 0; x < kPatternWidth; ++x) {
        const Rgb c = PatternRgb(x, y);
        out.push_back(plane == 0 ? c.r : plane == 1 ? c.g : c.b);
      }
    }
  return out;
}

Bytes PatternSgi() {
  Bytes out;
  Be16(out, 474);
  out.push_back(0);  // verbatim
  out.push_back(1);  // bytes per channel
  Be16(out, 3);      // dimensions
  Be16(out, kPatternWidth), Be16(out, kPatternHeight), Be16(out, 3);
  Be32(out, 0), Be32(out, 255);
  Zeros(out, 512 - out.size());
  for (int plane = 0; plane < 3; ++plane)
    for (int y = kPatternHeight - 1; y >= 0; --y)
      for (int x = 0; x < kPatternWidth; ++x) {
        const Rgb c = PatternRgb(x, y);
        out.push_back(plane == 0 ? c.r : plane == 1 ? c.g : c.b);
      }
  return out;
}

Bytes IffForm(const char* type, uint8_t planes, uint8_t compression, const Bytes& body) {
  Bytes bmhd;
  Be16(bmhd, kPatternWidth), Be16(bmhd, kPatternHeight), Be16(bmhd, 0), Be16(bmhd, 0);
  bmhd.insert(bmhd.end(), {planes, 0, compression, 0});  // no mask, pad
  Be16(bmhd, 0);
  bmhd.insert(bmhd.end(), {1, 1});
  Be16(bmhd, kPatternWidth), Be16(bmhd, kPatternHeight);
  // Colour i of the map is pattern pixel i, so the pixel at (x, y) has index y * 3 + x.
  Bytes cmap;
  for (int i = 0; i < 8; ++i) {
    const Rgb c = i < 6 ? PatternRgb(i % 3, i / 3) : Rgb{0, 0, 0};
    cmap.insert(cmap.end(), {c.r, c.g, c.b});
  }
  Bytes chunks;
  for (auto [id, data] :
       {std::pair<const char*, const Bytes*>{"BMHD", &bmhd}, {"CMAP", &cmap}, {"BODY", &body}}) {
    Text(chunks, id);
    Be32(chunks, uint32_t(data->size()));
    chunks.insert(chunks.end(), data->begin(), data->end());
  }
  Bytes out;
  Text(out, "FORM");
  Be32(out, uint32_t(4 + chunks.size()));
  Text(out, type);
  out.insert(out.end(), chunks.begin(), chunks.end());
  return out;
}

Bytes PatternIff() {
  Bytes body;  // per row, per plane: one 16-bit word of pixel bits, leftmost pixel highest
  for (int y = 0; y < kPatternHeight; ++y)
    for (int plane = 0; plane < 3; ++plane) {
      uint8_t bits = 0;
      for (int x = 0; x < kPatternWidth; ++x)
        if (((y * kPatternWidth + x) >> plane) & 1) bits |= uint8_t(0x80 >> x);
      body.insert(body.end(), {bits, 0});
    }
  return IffForm("ILBM", 3, 0, body);
}

Bytes PatternIffPbm() {
  Bytes body;  // rows of one byte a pixel, padded to an even length
  for (int y = 0; y < kPatternHeight; ++y) {
    body.push_back(3);  // a literal run of 4
    for (int x = 0; x < 4; ++x)
      body.push_back(x < kPatternWidth ? uint8_t(y * kPatternWidth + x) : 0);
  }
  return IffForm("PBM ", 8, 1, body);
}

Bytes PatternTga(bool topDown) {
  Bytes out = {0, 0, 2};  // no id, no colour map, uncompressed true colour
  Zeros(out, 5 + 4);      // colour map fields, origin
  Le16(out, kPatternWidth), Le16(out, kPatternHeight);
  out.push_back(24);
  out.push_back(topDown ? 0x20 : 0x00);
  for (int row = 0; row < kPatternHeight; ++row) {
    const int y = topDown ? row : kPatternHeight - 1 - row;
    for (int x = 0; x < kPatternWidth; ++x) {
      const Rgb c = PatternRgb(x, y);
      out.insert(out.end(), {c.b, c.g, c.r});
    }
  }
  return out;
}

}  // namespace mlf::test
