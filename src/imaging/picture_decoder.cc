#include "imaging/picture_decoder.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "imaging/declared_size.h"
#include "imaging/freeimage_support.h"
#include "imaging/iff_guard.h"
#include "imaging/pict_decoder.h"
#include "imaging/psd_guard.h"
#include "imaging/tga_guard.h"

namespace mlf {
namespace {

// The library addresses memory streams with 32-bit sizes.
constexpr uint64_t kMaxPictureBytes = uint64_t{1} << 30;

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

struct Detection {
  PictureFormat format = PictureFormat::Unknown;
  FREE_IMAGE_FORMAT fif = FIF_UNKNOWN;  // the reader that decodes it
};

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

// An EPS file for DOS and Windows starts with a binary header that locates its PostScript and
// its optional TIFF preview.
std::span<const uint8_t> EpsTiffPreview(std::span<const uint8_t> bytes) {
  constexpr size_t kHeaderSize = 30;
  if (bytes.size() < kHeaderSize || Le32(bytes, 0) != 0xC6D3D0C5) return {};
  const uint64_t offset = Le32(bytes, 20), length = Le32(bytes, 24);
  if (length == 0 || offset < kHeaderSize || offset > bytes.size() || length > bytes.size() - offset)
    return {};
  return bytes.subspan(static_cast<size_t>(offset), static_cast<size_t>(length));
}

bool IsPortableBitmap(std::span<const uint8_t> bytes) {
  return bytes.size() >= 2 && bytes[0] == 'P' && (bytes[1] == '1' || bytes[1] == '4');
}

// Only the readers of the supported formats judge the bytes: asking the library for the
// format would run every reader it has (the camera raw one even parses every TIFF). Targa
// comes last, as its header has no signature.
Detection Detect(std::span<const uint8_t> bytes, FIMEMORY* memory) {
  if (PictureFormat metafile = MetafileFormat(bytes); metafile != PictureFormat::Unknown)
    return {metafile, FIF_UNKNOWN};
  if (!EpsTiffPreview(bytes).empty()) return {PictureFormat::EpsTiff, FIF_TIFF};
  if (Detection netpbm = DetectNetpbm(bytes); netpbm.format != PictureFormat::Unknown) return netpbm;
  static constexpr Detection kCandidates[] = {
      {PictureFormat::Bmp, FIF_BMP},   {PictureFormat::Jpeg, FIF_JPEG}, {PictureFormat::Png, FIF_PNG},
      {PictureFormat::Gif, FIF_GIF},   {PictureFormat::Tiff, FIF_TIFF}, {PictureFormat::Psd, FIF_PSD},
      {PictureFormat::Pcx, FIF_PCX},   {PictureFormat::Iff, FIF_LBM},   {PictureFormat::Sgi, FIF_SGI},
      {PictureFormat::Pict, FIF_PICT}, {PictureFormat::Tga, FIF_TARGA}};
  for (const Detection& candidate : kCandidates) {
    FreeImage_SeekMemory(memory, 0, SEEK_SET);
    if (FreeImage_ValidateFromMemory(candidate.fif, memory)) return candidate;
  }
  return {};
}

imaging::FreeImageMemory OpenMemory(std::span<const uint8_t> bytes) {
  // The library only reads from a stream opened on existing bytes.
  return imaging::FreeImageMemory(
      FreeImage_OpenMemory(const_cast<BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size())));
}

DecodedPicture Failure(PictureFormat format, std::string reason) {
  return DecodedPicture{Bitmap(), format, std::move(reason)};
}

std::string TooManyPixels(uint64_t pixels) {
  return "The picture is too large to show (" + std::to_string(pixels) + " pixels).";
}

std::string TooManyBytes(uint64_t bytes) {
  return "The picture file is too large (" + std::to_string(bytes) + " bytes).";
}

// How many pixels the header declares, read before any pixel memory is taken; nullopt when the
// header cannot tell.
std::optional<uint64_t> DeclaredPixels(const Detection& detection, std::span<const uint8_t> bytes,
                                       FIMEMORY* memory) {
  if (!FreeImage_FIFSupportsNoPixels(detection.fif))
    return imaging::DeclaredPixelCount(detection.format, bytes);
  FreeImage_SeekMemory(memory, 0, SEEK_SET);
  Bitmap header(FreeImage_LoadFromMemory(detection.fif, memory, FIF_LOAD_NOPIXELS));
  if (!header) return std::nullopt;
  return uint64_t(header.Width()) * uint64_t(header.Height());
}

// Brings pictures with 16-bit or floating-point channels down to 8 bits per channel, which is
// what every later operation and the screen expect.
Bitmap ToEightBitChannels(Bitmap bitmap) {
  FIBITMAP* dib = bitmap.Handle();
  switch (FreeImage_GetImageType(dib)) {
    case FIT_BITMAP: return bitmap;
    case FIT_RGB16: return Bitmap(FreeImage_ConvertTo24Bits(dib));
    case FIT_RGBA16: return Bitmap(FreeImage_ConvertTo32Bits(dib));
    case FIT_RGBF:
    case FIT_RGBAF: return Bitmap(FreeImage_ToneMapping(dib, FITMO_DRAGO03));
    default: return Bitmap(FreeImage_ConvertToStandardType(dib, TRUE));
  }
}

// In a 32-bit Windows bitmap without an alpha mask, and in the alpha plane of many PICT files,
// the fourth byte is unused and left 0; taken as alpha it would make the picture invisible. A
// bitmap whose fourth bytes are all 0 is therefore opaque.
void MakeOpaqueWhenAlphaUnused(const Bitmap& bitmap) {
  FIBITMAP* dib = bitmap.Handle();
  if (FreeImage_GetBPP(dib) != 32) return;
  const unsigned width = FreeImage_GetWidth(dib), height = FreeImage_GetHeight(dib);
  for (unsigned y = 0; y < height; ++y) {
    const BYTE* row = FreeImage_GetScanLine(dib, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x)
      if (row[4 * x + FI_RGBA_ALPHA] != 0) return;
  }
  for (unsigned y = 0; y < height; ++y) {
    BYTE* row = FreeImage_GetScanLine(dib, static_cast<int>(y));
    for (unsigned x = 0; x < width; ++x) row[4 * x + FI_RGBA_ALPHA] = 0xFF;
  }
  FreeImage_SetTransparent(dib, FALSE);
}

DecodedPicture DecodePict(std::span<const uint8_t> bytes) {
  imaging::PictRaster raster = imaging::ReadPictRaster(bytes, MaxPicturePixels(bytes.size()));
  if (!raster.embeddedJpeg.empty()) {
    DecodedPicture jpeg = DecodePicture(raster.embeddedJpeg);
    if (!jpeg)
      return Failure(PictureFormat::Pict,
                     "The Macintosh PICT picture holds a JPEG picture that cannot be decoded.");
    return DecodedPicture{std::move(jpeg.bitmap), PictureFormat::Pict, {}};
  }
  if (!raster.bitmap)
    return Failure(PictureFormat::Pict,
                   "The Macintosh PICT picture cannot be decoded: " + raster.reason + ".");
  MakeOpaqueWhenAlphaUnused(raster.bitmap);
  return DecodedPicture{std::move(raster.bitmap), PictureFormat::Pict, {}};
}

std::string NotDecodable(const Detection& detection, std::span<const uint8_t> bytes) {
  if (IsPortableBitmap(bytes)) return "Portable bitmaps (PBM) are not supported.";
  switch (detection.format) {
    case PictureFormat::Wmf:
      return "Windows metafiles (WMF) cannot be shown yet: there is no metafile renderer.";
    case PictureFormat::Emf:
      return "Enhanced metafiles (EMF) cannot be shown yet: there is no metafile renderer.";
    case PictureFormat::Unknown: return "The data is not a picture in a known format.";
    default: return {};
  }
}

// The library's readers of some formats trust damaged files to the point of writing past their
// buffers; those formats are checked first, and Photoshop and Targa files rebuilt. Returns why the bytes
// were refused, or empty; *rebuilt stays empty when the bytes may be read as they are.
std::string Guard(PictureFormat format, std::span<const uint8_t> bytes,
                  std::vector<uint8_t>& rebuilt) {
  switch (format) {
    case PictureFormat::Psd: return imaging::RebuildPsdForDecoding(bytes, &rebuilt);
    case PictureFormat::Tga: return imaging::RebuildTgaForDecoding(bytes, &rebuilt);
    case PictureFormat::Iff: return imaging::CheckIffChunks(bytes, MaxPicturePixels(bytes.size()));
    default: return {};
  }
}

}  // namespace

uint64_t MaxPicturePixels(size_t byteCount) {
  constexpr uint64_t kFloor = uint64_t{1} << 24, kCeiling = uint64_t{1} << 28;
  return std::clamp(uint64_t{byteCount} * 16384, kFloor, kCeiling);
}

PictureFormat DetectPictureFormat(std::span<const uint8_t> bytes) {
  if (bytes.empty() || bytes.size() > kMaxPictureBytes) return PictureFormat::Unknown;
  imaging::CodecMessages messages;
  imaging::FreeImageMemory memory = OpenMemory(bytes);
  return Detect(bytes, memory.get()).format;
}

DecodedPicture DecodePicture(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return Failure(PictureFormat::Unknown, "The picture is empty.");
  if (bytes.size() > kMaxPictureBytes)
    return Failure(PictureFormat::Unknown, TooManyBytes(bytes.size()));
  imaging::CodecMessages messages;
  imaging::FreeImageMemory memory = OpenMemory(bytes);
  const Detection detection = Detect(bytes, memory.get());
  const std::string name(PictureFormatName(detection.format));
  if (std::string reason = NotDecodable(detection, bytes); !reason.empty())
    return Failure(detection.format, std::move(reason));

  // The library's PICT reader writes past its buffers on damaged files; ours reads the raster.
  if (detection.format == PictureFormat::Pict) return DecodePict(bytes);
  if (detection.format == PictureFormat::EpsTiff) {
    DecodedPicture preview = DecodePicture(EpsTiffPreview(bytes));
    if (!preview || preview.format != PictureFormat::Tiff)
      return Failure(detection.format, "The TIFF preview of the EPS picture cannot be decoded.");
    return DecodedPicture{std::move(preview.bitmap), detection.format, {}};
  }

  std::vector<uint8_t> rebuilt;
  if (std::string flaw = Guard(detection.format, bytes, rebuilt); !flaw.empty())
    return Failure(detection.format, "The " + name + " picture cannot be decoded: " + flaw + ".");
  if (!rebuilt.empty()) {
    bytes = rebuilt;
    memory = OpenMemory(bytes);
  }
  if (auto pixels = DeclaredPixels(detection, bytes, memory.get());
      pixels && *pixels > MaxPicturePixels(bytes.size()))
    return Failure(detection.format, TooManyPixels(*pixels));

  FreeImage_SeekMemory(memory.get(), 0, SEEK_SET);
  Bitmap bitmap(FreeImage_LoadFromMemory(detection.fif, memory.get(), 0));
  if (bitmap) bitmap = ToEightBitChannels(std::move(bitmap));
  if (!bitmap || bitmap.Width() <= 0 || bitmap.Height() <= 0) {
    std::string reason = "The " + name + " picture is damaged or of a kind that cannot be decoded";
    reason += messages.Text().empty() ? "." : " (" + messages.Text() + ").";
    return Failure(detection.format, std::move(reason));
  }
  if (detection.format == PictureFormat::Bmp) MakeOpaqueWhenAlphaUnused(bitmap);
  return DecodedPicture{std::move(bitmap), detection.format, {}};
}

DecodedPicture DecodePictureFile(Env& env, const std::string& path) {
  std::vector<uint8_t> bytes;
  try {
    auto file =
        env.OpenFile(path, FileAccess::Read, FileCreation::OpenExisting, FileShare::ShareRead);
    const uint64_t size = file->Size();
    if (size > kMaxPictureBytes) return Failure(PictureFormat::Unknown, TooManyBytes(size));
    bytes.resize(static_cast<size_t>(size));
    file->ReadExact(bytes.data(), bytes.size());
  } catch (const FileError& error) {
    return Failure(PictureFormat::Unknown, error.what());
  }
  return DecodePicture(bytes);
}

}  // namespace mlf
