// The picture formats the codec layer recognises, and their names for reason texts.
#pragma once

#include <string_view>

namespace mlf {

enum class PictureFormat {
  Unknown,
  Bmp,
  Gif,
  Jpeg,
  Pcx,
  Pgm,
  Ppm,
  Png,
  Pict,  // Macintosh PICT
  Psd,   // Photoshop
  Sgi,
  Iff,  // IFF-85 (ILBM)
  Tga,
  Tiff,
  EpsTiff,  // Encapsulated PostScript with a TIFF preview, shown by its preview
  Wmf,      // recognised, but not decodable: there is no metafile renderer yet
  Emf,
};

// A short name for messages: "BMP", "JPEG", "Macintosh PICT", ...
std::string_view PictureFormatName(PictureFormat format);

}  // namespace mlf
