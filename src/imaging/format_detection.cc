#include "imaging/format_detection.h"

namespace mlf::imaging {
namespace {

uint32_t Le16(std::span<const uint8_t> b, size_t at) { return b[at] | (b[at + 1] << 8); }
uint32_t Le32(std::span<const uint8_t> b, size_t at) {
  return Le16(b, at) | (Le16(b, at + 2) << 16);
}

PictureFormat MetafileFormat(std::span<const uint8_t> bytes) {
  if (bytes.size() >= 4 && Le32(bytes, 0) == 0x9AC6CDD7) return PictureFormat::Wmf;  // placeable
  // A plain metafile header: type 1 (memory) or 2 (disk), 9 words long, version 1 or 3.
  if (bytes.size() >= 18 && (Le16(bytes, 0) == 1 || Le16(bytes, 0) == 2) && Le16(bytes, 2) == 9 &&
      (Le16(bytes, 4) == 0x0100 || Le16(bytes, 4) == 0x0300))
    return PictureFormat::Wmf;
  // An enhanced metafile starts with its header record (type 1) carrying " EMF" at offset 40.
  if (bytes.size() >= 44 && Le32(bytes, 0) == 1 && Le32(bytes, 40) == 0x464D4520)
    return PictureFormat::Emf;
  return PictureFormat::Unknown;
}

// Portable anymaps tell their kind by their magic number; the library reads them all alike.
Detection DetectNetpbm(std::span<const uint8_t> bytes) {
  if (bytes.size() < 2 || bytes[0] != 'P') return {};
  switch (bytes[1]) {
    case '2': return {PictureFormat::Pgm, FIF_PGM};
    case '5': return {PictureFormat::Pgm, FIF_PGMRAW};
    case '3': return {PictureFormat::Ppm, FIF_PPM};
    case '6': return {PictureFormat::Ppm, FIF_PPMRAW};
    default: return {};
  }
}

}  // namespace

std::span<const uint8_t> EpsTiffPreview(std::span<const uint8_t> bytes) {
  constexpr size_t kHeaderSize = 30;
  if (bytes.size() < kHeaderSize || Le32(bytes, 0) != 0xC6D3D0C5) return {};
  const uint64_t offset = Le32(bytes, 20), length = Le32(bytes, 24);
  if (length == 0 || offset < kHeaderSize || offset > bytes.size() ||
      length > bytes.size() - offset)
    return {};
  return bytes.subspan(static_cast<size_t>(offset), static_cast<size_t>(length));
}

bool IsPortableBitmap(std::span<const uint8_t> bytes) {
  return bytes.size() >= 2 && bytes[0] == 'P' && (bytes[1] == '1' || bytes[1] == '4');
}

Detection Detect(std::span<const uint8_t> bytes, FIMEMORY* memory) {
  if (PictureFormat metafile = MetafileFormat(bytes); metafile != PictureFormat::Unknown)
    return {metafile, FIF_UNKNOWN};
  if (!EpsTiffPreview(bytes).empty()) return {PictureFormat::EpsTiff, FIF_TIFF};
  if (Detection netpbm = DetectNetpbm(bytes); netpbm.format != PictureFormat::Unknown)
    return netpbm;
  // Targa comes last, as its header has no signature.
  static constexpr Detection kCandidates[] = {
      {PictureFormat::Bmp, FIF_BMP},   {PictureFormat::Jpeg, FIF_JPEG},
      {PictureFormat::Png, FIF_PNG},   {PictureFormat::Gif, FIF_GIF},
      {PictureFormat::Tiff, FIF_TIFF}, {PictureFormat::Psd, FIF_PSD},
      {PictureFormat::Pcx, FIF_PCX},   {PictureFormat::Iff, FIF_LBM},
      {PictureFormat::Sgi, FIF_SGI},   {PictureFormat::Pict, FIF_PICT},
      {PictureFormat::Tga, FIF_TARGA}};
  for (const Detection& candidate : kCandidates) {
    FreeImage_SeekMemory(memory, 0, SEEK_SET);
    if (FreeImage_ValidateFromMemory(candidate.fif, memory)) return candidate;
  }
  return {};
}

}  // namespace mlf::imaging
