#include "imaging/image_format_code.h"

#include <algorithm>
#include <cctype>

namespace mlf {

ImageFormatCode ImageFormatCodeOf(PictureFormat format) {
  switch (format) {
    case PictureFormat::Bmp: return ImageFormatCode::WindowsBitmap;
    case PictureFormat::Gif: return ImageFormatCode::Gif;
    case PictureFormat::Jpeg: return ImageFormatCode::Jpeg;
    case PictureFormat::Pcx: return ImageFormatCode::Pcx;
    case PictureFormat::Pict: return ImageFormatCode::Pict;
    case PictureFormat::Pgm: return ImageFormatCode::Pgm;
    case PictureFormat::Png: return ImageFormatCode::Png;
    case PictureFormat::Tga: return ImageFormatCode::Targa;
    case PictureFormat::Tiff:
    case PictureFormat::EpsTiff: return ImageFormatCode::Tiff;
    case PictureFormat::Wmf:
    case PictureFormat::Emf: return ImageFormatCode::Metafile;
    case PictureFormat::Ppm:
    case PictureFormat::Psd:
    case PictureFormat::Sgi:
    case PictureFormat::Iff:
    case PictureFormat::Unknown: break;
  }
  return ImageFormatCode::None;
}

std::string_view ImageFormatExtension(ImageFormatCode code) {
  // The first extension that the import table lists for each code.
  switch (code) {
    case ImageFormatCode::None: break;
    case ImageFormatCode::WindowsBitmap: return "bmp";
    case ImageFormatCode::Gif: return "gif";
    case ImageFormatCode::Jpeg: return "jpg";
    case ImageFormatCode::Pcx: return "pcx";
    case ImageFormatCode::Pict: return "pic";
    case ImageFormatCode::Pgm: return "pgm";
    case ImageFormatCode::Png: return "png";
    case ImageFormatCode::Targa: return "tga";
    case ImageFormatCode::Tiff: return "tif";
    case ImageFormatCode::Metafile: return "emf";
  }
  return {};
}

std::string AddFormatExtension(std::string name, ImageFormatCode code) {
  const std::string_view extension = ImageFormatExtension(code);
  if (extension.empty()) return name;
  std::string lowerName = name;
  std::transform(lowerName.begin(), lowerName.end(), lowerName.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  const std::string suffix = "." + std::string(extension);
  if (!lowerName.ends_with(suffix)) name += suffix;
  return name;
}

}  // namespace mlf
