#include "imaging/picture_decoder.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "imaging/bmp_guard.h"
#include "imaging/declared_size.h"
#include "imaging/format_detection.h"
#include "imaging/freeimage_support.h"
#include "imaging/iff_guard.h"
#include "imaging/pcx_guard.h"
#include "imaging/pict_decoder.h"
#include "imaging/psd_guard.h"
#include "imaging/tga_guard.h"

namespace mlf {
namespace {

// The library addresses memory streams with 32-bit sizes.
constexpr uint64_t kMaxPictureBytes = uint64_t{1} << 30;

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
std::optional<uint64_t> DeclaredPixels(const imaging::Detection& detection,
                                       std::span<const uint8_t> bytes, FIMEMORY* memory) {
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

std::string NotDecodable(const imaging::Detection& detection, std::span<const uint8_t> bytes) {
  if (imaging::IsPortableBitmap(bytes)) return "Portable bitmaps (PBM) are not supported.";
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
// buffers; those formats are checked first, and Photoshop and Targa files rebuilt. Returns why the
// bytes were refused, or empty; *rebuilt stays empty when the bytes may be read as they are.
std::string Guard(PictureFormat format, std::span<const uint8_t> bytes,
                  std::vector<uint8_t>& rebuilt) {
  switch (format) {
    case PictureFormat::Bmp: return imaging::RebuildBmpForDecoding(bytes, &rebuilt);
    case PictureFormat::Psd: return imaging::RebuildPsdForDecoding(bytes, &rebuilt);
    case PictureFormat::Tga: return imaging::RebuildTgaForDecoding(bytes, &rebuilt);
    case PictureFormat::Pcx: return imaging::CheckPcxHeader(bytes);
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
  imaging::FreeImageMemory memory = imaging::OpenMemory(bytes);
  return imaging::Detect(bytes, memory.get()).format;
}

DecodedPicture DecodePicture(std::span<const uint8_t> bytes) {
  if (bytes.empty()) return Failure(PictureFormat::Unknown, "The picture is empty.");
  if (bytes.size() > kMaxPictureBytes)
    return Failure(PictureFormat::Unknown, TooManyBytes(bytes.size()));
  imaging::CodecMessages messages;
  imaging::FreeImageMemory memory = imaging::OpenMemory(bytes);
  const imaging::Detection detection = imaging::Detect(bytes, memory.get());
  const std::string name(PictureFormatName(detection.format));
  if (std::string reason = NotDecodable(detection, bytes); !reason.empty())
    return Failure(detection.format, std::move(reason));

  // The library's PICT reader writes past its buffers on damaged files; ours reads the raster.
  if (detection.format == PictureFormat::Pict) return DecodePict(bytes);
  if (detection.format == PictureFormat::EpsTiff) {
    DecodedPicture preview = DecodePicture(imaging::EpsTiffPreview(bytes));
    if (!preview || preview.format != PictureFormat::Tiff)
      return Failure(detection.format, "The TIFF preview of the EPS picture cannot be decoded.");
    return DecodedPicture{std::move(preview.bitmap), detection.format, {}};
  }

  // The budget goes by the bytes as given: a rebuilt Targa file carries padding.
  const uint64_t maxPixels = MaxPicturePixels(bytes.size());
  std::vector<uint8_t> rebuilt;
  if (std::string flaw = Guard(detection.format, bytes, rebuilt); !flaw.empty())
    return Failure(detection.format, "The " + name + " picture cannot be decoded: " + flaw + ".");
  if (!rebuilt.empty()) {
    bytes = rebuilt;
    memory = imaging::OpenMemory(bytes);
  }
  if (auto pixels = DeclaredPixels(detection, bytes, memory.get());
      pixels && *pixels > maxPixels)
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
