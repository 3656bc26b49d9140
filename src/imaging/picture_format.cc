#include "imaging/picture_format.h"

namespace mlf {

std::string_view PictureFormatName(PictureFormat format) {
  switch (format) {
    case PictureFormat::Unknown: return "unknown";
    case PictureFormat::Bmp: return "BMP";
    case PictureFormat::Gif: return "GIF";
    case PictureFormat::Jpeg: return "JPEG";
    case PictureFormat::Pcx: return "PCX";
    case PictureFormat::Pgm: return "PGM";
    case PictureFormat::Ppm: return "PPM";
    case PictureFormat::Png: return "PNG";
    case PictureFormat::Pict: return "Macintosh PICT";
    case PictureFormat::Psd: return "Photoshop";
    case PictureFormat::Sgi: return "SGI";
    case PictureFormat::Iff: return "IFF-85";
    case PictureFormat::Tga: return "Targa";
    case PictureFormat::Tiff: return "TIFF";
    case PictureFormat::EpsTiff: return "EPS";
    case PictureFormat::Wmf: return "Windows metafile";
    case PictureFormat::Emf: return "enhanced metafile";
  }
  return "unknown";
}

}  // namespace mlf
