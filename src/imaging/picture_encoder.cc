#include "imaging/picture_encoder.h"

#include "imaging/freeimage_support.h"

namespace mlf {
namespace {

FREE_IMAGE_FORMAT FreeImageFormatOf(EncodeFormat format) {
  switch (format) {
    case EncodeFormat::WindowsBitmap: return FIF_BMP;
    case EncodeFormat::Jpeg: return FIF_JPEG;
    case EncodeFormat::Png: return FIF_PNG;
    case EncodeFormat::Tiff: return FIF_TIFF;
  }
  return FIF_UNKNOWN;
}

// A copy the format can store, or a null bitmap when the original can be stored as it is.
Bitmap ConvertedForFormat(FIBITMAP* dib, FREE_IMAGE_FORMAT fif) {
  const unsigned bpp = FreeImage_GetBPP(dib);
  if (fif == FIF_JPEG) {
    // JPEG holds 24-bit colour and 8-bit grey only.
    if (bpp == 24 || (bpp == 8 && FreeImage_GetColorType(dib) == FIC_MINISBLACK)) return Bitmap();
    if (FreeImage_IsTransparent(dib)) {
      RGBQUAD white = {255, 255, 255, 0};
      return Bitmap(FreeImage_Composite(dib, FALSE, &white, nullptr));
    }
    return Bitmap(FreeImage_ConvertTo24Bits(dib));
  }
  if (FreeImage_FIFSupportsExportBPP(fif, static_cast<int>(bpp))) return Bitmap();
  return Bitmap(FreeImage_IsTransparent(dib) ? FreeImage_ConvertTo32Bits(dib)
                                             : FreeImage_ConvertTo24Bits(dib));
}

void SetReason(std::string* reason, std::string text) {
  if (reason) *reason = std::move(text);
}

}  // namespace

std::optional<EncodeFormat> EncodeFormatOf(ImageFormatCode code) {
  switch (code) {
    case ImageFormatCode::WindowsBitmap: return EncodeFormat::WindowsBitmap;
    case ImageFormatCode::Jpeg: return EncodeFormat::Jpeg;
    case ImageFormatCode::Png: return EncodeFormat::Png;
    case ImageFormatCode::Tiff: return EncodeFormat::Tiff;
    default: return std::nullopt;
  }
}

std::vector<uint8_t> EncodePicture(const Bitmap& bitmap, EncodeFormat format, std::string* reason) {
  if (!bitmap) {
    SetReason(reason, "There is no picture to encode.");
    return {};
  }
  imaging::CodecMessages messages;
  const FREE_IMAGE_FORMAT fif = FreeImageFormatOf(format);
  const Bitmap converted = ConvertedForFormat(bitmap.Handle(), fif);
  FIBITMAP* source = converted ? converted.Handle() : bitmap.Handle();

  imaging::FreeImageMemory memory(FreeImage_OpenMemory());
  BYTE* data = nullptr;
  DWORD size = 0;
  if (!memory || !FreeImage_SaveToMemory(fif, source, memory.get(), 0) ||
      !FreeImage_AcquireMemory(memory.get(), &data, &size) || size == 0) {
    std::string text =
        std::string("The picture could not be encoded as ") + FreeImage_GetFormatFromFIF(fif);
    text += messages.Text().empty() ? "." : " (" + messages.Text() + ").";
    SetReason(reason, std::move(text));
    return {};
  }
  return std::vector<uint8_t>(data, data + size);
}

bool WritePictureFile(Env& env, const std::string& path, const Bitmap& bitmap, EncodeFormat format,
                      std::string* reason) {
  const std::vector<uint8_t> bytes = EncodePicture(bitmap, format, reason);
  if (bytes.empty()) return false;
  try {
    auto file =
        env.OpenFile(path, FileAccess::ReadWrite, FileCreation::CreateAlways, FileShare::Exclusive);
    file->Write(bytes.data(), bytes.size());
  } catch (const FileError& error) {
    SetReason(reason, error.what());
    return false;
  }
  return true;
}

}  // namespace mlf
