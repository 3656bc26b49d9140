#include "imaging/pict_decoder.h"

#include <algorithm>
#include <array>
#include <functional>
#include <optional>
#include <vector>

#include "imaging/freeimage_support.h"

namespace mlf::imaging {
namespace {

// Thrown inside this file only and caught by ReadPictRaster.
struct Damaged {
  std::string what;
};

class Reader {
 public:
  Reader(std::span<const uint8_t> bytes, size_t position) : m_bytes(bytes), m_pos(position) {}

  std::span<const uint8_t> Take(size_t count) {
    if (m_pos > m_bytes.size() || count > m_bytes.size() - m_pos) throw Damaged{"it is cut short"};
    const auto part = m_bytes.subspan(m_pos, count);
    m_pos += count;
    return part;
  }
  void Skip(size_t count) { Take(count); }
  uint8_t U8() { return Take(1)[0]; }
  uint16_t U16() {
    const auto b = Take(2);
    return static_cast<uint16_t>(b[0] << 8 | b[1]);
  }
  uint32_t U32() { return uint32_t{U16()} << 16 | U16(); }
  int S16() { return static_cast<int16_t>(U16()); }
  // Opcodes of version 2 pictures start on even offsets.
  void AlignToWord() {
    if (m_pos & 1) Skip(1);
  }

 private:
  std::span<const uint8_t> m_bytes;
  size_t m_pos;
};

struct Rect {
  int top = 0, left = 0, bottom = 0, right = 0;
  int Width() const { return right - left; }
  int Height() const { return bottom - top; }
};

Rect ReadRect(Reader& in) {
  Rect r;
  r.top = in.S16();
  r.left = in.S16();
  r.bottom = in.S16();
  r.right = in.S16();
  return r;
}

// How one stored row turns into pixels.
enum class RowKind {
  Indexed,        // 1, 2, 4 or 8 bits a pixel into the palette
  Direct16,       // x1555 words
  Direct32,       // x or alpha, red, green, blue bytes a pixel
  Direct24,       // red, green, blue bytes a pixel
  Direct32Planes  // the row's reds, then greens, then blues, after its alphas when there are 4
};

struct Raster {
  Rect bounds;
  size_t rowBytes = 0;
  unsigned packType = 0;
  unsigned pixelSize = 1;
  unsigned components = 1;
  std::array<uint32_t, 256> palette{};  // 0xAARRGGBB
};

constexpr uint32_t kOpaque = 0xFF000000;

// A pixel map after its row bytes and bounds.
void ReadPixMapFields(Reader& in, Raster& raster) {
  in.Skip(2);  // version
  raster.packType = in.U16();
  in.Skip(4 + 4 + 4 + 2);  // pack size, resolutions, pixel type
  raster.pixelSize = in.U16();
  raster.components = in.U16();
  in.Skip(2 + 4 + 4 + 4);  // component size, plane bytes, table handle, reserved
}

void ReadColourTable(Reader& in, std::array<uint32_t, 256>& palette) {
  in.Skip(4);                              // seed
  const bool inOrder = in.U16() & 0x8000;  // a device table, whose entry values mean nothing
  const unsigned count = in.U16() + 1u;
  for (unsigned i = 0; i < count; ++i) {
    const unsigned stored = in.U16();
    const unsigned value = inOrder ? i : stored;
    const uint32_t red = in.U16() >> 8, green = in.U16() >> 8, blue = in.U16() >> 8;
    if (value < palette.size()) palette[value] = kOpaque | red << 16 | green << 8 | blue;
  }
}

// PackBits in units of one byte, or of one pixel for 16-bit pixels; never past the row.
void Unpack(std::span<const uint8_t> packed, size_t unit, std::vector<uint8_t>& row) {
  size_t out = 0;
  for (size_t i = 0; i < packed.size();) {
    const uint8_t flag = packed[i++];
    if (flag == 0x80) continue;
    const size_t units = flag < 0x80 ? flag + 1u : 257u - flag;
    const size_t stored = flag < 0x80 ? units * unit : unit;
    if (units * unit > row.size() - out) throw Damaged{"a packed row is wider than the picture"};
    if (stored > packed.size() - i) throw Damaged{"a packed row is cut short"};
    for (size_t done = 0; done < units * unit; done += stored)
      std::copy_n(packed.begin() + static_cast<ptrdiff_t>(i), stored,
                  row.begin() + static_cast<ptrdiff_t>(out + done));
    i += stored;
    out += units * unit;
  }
}

size_t BytesNeeded(RowKind kind, const Raster& raster) {
  const size_t width = static_cast<size_t>(raster.bounds.Width());
  switch (kind) {
    case RowKind::Indexed: return (width * raster.pixelSize + 7) / 8;
    case RowKind::Direct16: return 2 * width;
    case RowKind::Direct32: return 4 * width;
    case RowKind::Direct24: return 3 * width;
    case RowKind::Direct32Planes: return raster.components * width;
  }
  return 0;
}

uint32_t PixelAt(RowKind kind, const Raster& raster, const std::vector<uint8_t>& row, size_t x) {
  const size_t width = static_cast<size_t>(raster.bounds.Width());
  switch (kind) {
    case RowKind::Indexed: {
      const size_t bit = x * raster.pixelSize;
      const unsigned value =
          (row[bit / 8] >> (8 - raster.pixelSize - bit % 8)) & ((1u << raster.pixelSize) - 1);
      return raster.palette[value];
    }
    case RowKind::Direct16: {
      const unsigned word = row[2 * x] << 8 | row[2 * x + 1];
      const auto five = [](unsigned v) { return (v << 3 | v >> 2) & 0xFF; };
      return kOpaque | five((word >> 10) & 31) << 16 | five((word >> 5) & 31) << 8 |
             five(word & 31);
    }
    case RowKind::Direct32: {
      const uint32_t alpha = raster.components == 4 ? uint32_t{row[4 * x]} << 24 : kOpaque;
      return alpha | row[4 * x + 1] << 16 | row[4 * x + 2] << 8 | row[4 * x + 3];
    }
    case RowKind::Direct24:
      return kOpaque | row[3 * x] << 16 | row[3 * x + 1] << 8 | row[3 * x + 2];
    case RowKind::Direct32Planes: {
      const size_t first = raster.components == 4 ? width : 0;
      const uint32_t alpha = raster.components == 4 ? uint32_t{row[x]} << 24 : kOpaque;
      return alpha | row[first + x] << 16 | row[first + width + x] << 8 |
             row[first + 2 * width + x];
    }
  }
  return kOpaque;
}

// Reads every row, stored as it is (packUnit 0) or packed, and hands each to store.
void ReadRows(Reader& in, const Raster& raster, RowKind kind, size_t packUnit,
              const std::function<void(int, const std::vector<uint8_t>&)>& store) {
  const size_t needed = BytesNeeded(kind, raster);
  if (raster.rowBytes < needed && kind != RowKind::Direct24)
    throw Damaged{"its rows are narrower than the picture"};
  // Short rows are never packed; 24-bit rows are stored without their pad byte.
  const bool packed = packUnit != 0 && raster.rowBytes >= 8;
  std::vector<uint8_t> row(std::max(raster.rowBytes, needed));
  for (int y = 0; y < raster.bounds.Height(); ++y) {
    if (packed) {
      const size_t count = raster.rowBytes > 250 ? in.U16() : in.U8();
      std::fill(row.begin(), row.end(), 0);
      Unpack(in.Take(count), packUnit, row);
    } else {
      const auto stored = in.Take(kind == RowKind::Direct24 ? needed : raster.rowBytes);
      std::copy(stored.begin(), stored.end(), row.begin());
    }
    store(y, row);
  }
}

void CheckSize(const Raster& raster, uint64_t maxPixels) {
  const Rect& b = raster.bounds;
  if (b.Width() <= 0 || b.Height() <= 0) throw Damaged{"its bit map is empty"};
  if (uint64_t(b.Width()) * uint64_t(b.Height()) > maxPixels)
    throw Damaged{"its bit map is too large"};
}

Bitmap DecodeRows(Reader& in, const Raster& raster, RowKind kind, size_t packUnit,
                  uint64_t maxPixels) {
  CheckSize(raster, maxPixels);
  const int width = raster.bounds.Width(), height = raster.bounds.Height();
  Bitmap bitmap(FreeImage_Allocate(width, height, 32, FI_RGBA_RED_MASK, FI_RGBA_GREEN_MASK,
                                   FI_RGBA_BLUE_MASK));
  if (!bitmap) throw Damaged{"there is not enough memory"};
  ReadRows(in, raster, kind, packUnit, [&](int y, const std::vector<uint8_t>& row) {
    auto* out = reinterpret_cast<uint32_t*>(FreeImage_GetScanLine(bitmap.Handle(), height - 1 - y));
    for (int x = 0; x < width; ++x) out[x] = PixelAt(kind, raster, row, static_cast<size_t>(x));
  });
  return bitmap;
}

void SkipSizedShape(Reader& in) {  // a region or polygon, whose size word counts itself
  const uint16_t size = in.U16();
  if (size < 2) throw Damaged{"a region is damaged"};
  in.Skip(size - 2u);
}

// The source and destination rectangles, the transfer mode and a clipping region if any.
void SkipCopyParameters(Reader& in, bool withRegion) {
  in.Skip(8 + 8 + 2);
  if (withRegion) SkipSizedShape(in);
}

// BitsRect, BitsRgn, PackBitsRect, PackBitsRgn: a bit map or an indexed pixel map.
Bitmap ReadIndexed(Reader& in, uint16_t opcode, uint64_t maxPixels) {
  Raster raster;
  const uint16_t rowField = in.U16();
  raster.rowBytes = rowField & 0x3FFF;
  raster.bounds = ReadRect(in);
  if (rowField & 0x8000) {
    ReadPixMapFields(in, raster);
    ReadColourTable(in, raster.palette);
  } else {
    raster.palette[0] = kOpaque | 0xFFFFFF;  // a bit map draws its set bits black
    raster.palette[1] = kOpaque;
  }
  SkipCopyParameters(in, opcode == 0x91 || opcode == 0x99);
  if (raster.pixelSize != 1 && raster.pixelSize != 2 && raster.pixelSize != 4 &&
      raster.pixelSize != 8)
    throw Damaged{"its pixel map has " + std::to_string(raster.pixelSize) + " bits a pixel"};
  const bool packed = opcode == 0x98 || opcode == 0x99;
  return DecodeRows(in, raster, RowKind::Indexed, packed ? 1 : 0, maxPixels);
}

// DirectBitsRect, DirectBitsRgn: a pixel map of 16 or 32 bits a pixel.
Bitmap ReadDirect(Reader& in, uint16_t opcode, uint64_t maxPixels) {
  in.Skip(4);  // base address
  Raster raster;
  raster.rowBytes = in.U16() & 0x3FFF;
  raster.bounds = ReadRect(in);
  ReadPixMapFields(in, raster);
  SkipCopyParameters(in, opcode == 0x9B);
  if (raster.pixelSize == 16)
    return DecodeRows(in, raster, RowKind::Direct16, raster.packType == 1 ? 0 : 2, maxPixels);
  if (raster.pixelSize != 32)
    throw Damaged{"its pixel map has " + std::to_string(raster.pixelSize) + " bits a pixel"};
  if (raster.packType == 1 || raster.rowBytes < 8)
    return DecodeRows(in, raster, RowKind::Direct32, 0, maxPixels);
  if (raster.packType == 2) return DecodeRows(in, raster, RowKind::Direct24, 0, maxPixels);
  if (raster.components != 3 && raster.components != 4)
    throw Damaged{"its pixel map has an odd number of components"};
  return DecodeRows(in, raster, RowKind::Direct32Planes, 1, maxPixels);
}

// A colour pattern carries a whole pixel map; it is read and dropped.
void SkipPixelPattern(Reader& in) {
  const uint16_t patternType = in.U16();
  in.Skip(8);                               // the black and white pattern
  if (patternType == 2) return in.Skip(6);  // a dithered colour
  if (patternType != 1) throw Damaged{"a pattern is damaged"};
  Raster raster;
  raster.rowBytes = in.U16() & 0x3FFF;
  raster.bounds = ReadRect(in);
  ReadPixMapFields(in, raster);
  ReadColourTable(in, raster.palette);
  if (raster.pixelSize == 0 || raster.pixelSize > 8) throw Damaged{"a pattern is damaged"};
  CheckSize(raster, uint64_t{1} << 20);
  ReadRows(in, raster, RowKind::Indexed, 1, [](int, const std::vector<uint8_t>&) {});
}

// The data length of the drawing opcodes that have a fixed one.
std::optional<size_t> FixedDataLength(uint16_t op) {
  // 0x01 (clip region) and 0x12 to 0x14 (patterns) say their own length.
  static constexpr int kFirst[0x24] = {0,  -1, 8,  2, 1, 2, 4, 4, 2, 8, 8, 4, 4, 2, 4, 4, 8, 2,
                                       -1, -1, -1, 2, 2, 0, 0, 0, 6, 6, 0, 6, 0, 6, 8, 4, 6, 2};
  if (op < 0x24) return kFirst[op] < 0 ? std::nullopt : std::optional<size_t>(kFirst[op]);
  if (op >= 0x30 && op < 0x60) return (op & 0x08) ? 0 : 8;   // rectangles, round rectangles, ovals
  if (op >= 0x60 && op < 0x70) return (op & 0x08) ? 4 : 12;  // arcs
  if ((op >= 0x78 && op < 0x80) || (op >= 0x88 && op < 0x90)) return 0;
  if (op == 0xA0) return 2;
  if ((op >= 0xB0 && op < 0xD0) || (op >= 0x8000 && op < 0x8100)) return 0;
  if (op >= 0x0100 && op < 0x8000) return size_t(op >> 8) * 2;
  return std::nullopt;
}

void SkipOpcode(Reader& in, uint16_t op) {
  if (auto length = FixedDataLength(op)) return in.Skip(*length);
  if (op == 0x01 || (op >= 0x70 && op < 0x78) || (op >= 0x80 && op < 0x88))
    return SkipSizedShape(in);
  if (op >= 0x12 && op <= 0x14) return SkipPixelPattern(in);
  if ((op >= 0x24 && op < 0x28) || (op >= 0x2C && op < 0x30) || (op >= 0x92 && op < 0x98) ||
      (op >= 0x9C && op < 0xA0) || (op >= 0xA2 && op < 0xB0))
    return in.Skip(in.U16());
  if (op >= 0x28 && op <= 0x2B) {  // text: a position of 4, 1, 1 or 2 bytes, then counted text
    static constexpr size_t kPosition[] = {4, 1, 1, 2};
    in.Skip(kPosition[op - 0x28]);
    return in.Skip(in.U8());
  }
  if (op == 0xA1) {  // long comment: kind, then counted data
    in.Skip(2);
    return in.Skip(in.U16());
  }
  if ((op >= 0xD0 && op < 0x100) || op >= 0x8100) return in.Skip(in.U32());
  throw Damaged{"it holds an unknown opcode"};
}

std::span<const uint8_t> EmbeddedJpeg(Reader& in) {
  const auto data = in.Take(in.U32());
  for (size_t i = 0; i + 1 < data.size(); ++i)
    if (data[i] == 0xFF && data[i + 1] == 0xD8) return data.subspan(i);
  throw Damaged{"its QuickTime data holds no JPEG picture"};
}

}  // namespace

PictRaster ReadPictRaster(std::span<const uint8_t> bytes, uint64_t maxPixels) {
  PictRaster result;
  try {
    // The preamble, the picture size and the frame come first; the raster has its own bounds.
    Reader in(bytes, 512 + 2 + 8);
    if (in.U16() != 0x0011 || in.U16() != 0x02FF) throw Damaged{"it is not a version 2 picture"};
    for (;;) {
      in.AlignToWord();
      const uint16_t op = in.U16();
      if (op == 0x00FF) throw Damaged{"it holds only drawing commands"};
      if (op == 0x90 || op == 0x91 || op == 0x98 || op == 0x99) {
        result.bitmap = ReadIndexed(in, op, maxPixels);
        return result;
      }
      if (op == 0x9A || op == 0x9B) {
        result.bitmap = ReadDirect(in, op, maxPixels);
        return result;
      }
      if (op == 0x8200) {
        result.embeddedJpeg = EmbeddedJpeg(in);
        return result;
      }
      SkipOpcode(in, op);
    }
  } catch (const Damaged& damaged) {
    result.bitmap = Bitmap();
    result.reason = damaged.what;
  }
  return result;
}

}  // namespace mlf::imaging
