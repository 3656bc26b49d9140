// The image format codes that export and import use for picture files, and the rule by which
// export names a picture file after its format.
#pragma once

#include <string>
#include <string_view>

#include "imaging/picture_format.h"

namespace mlf {

enum class ImageFormatCode : int {
  None = 0,  // in export: write the picture as stored
  WindowsBitmap = 1,
  Gif = 2,
  Jpeg = 3,
  Pcx = 4,
  Pict = 5,
  Pgm = 6,
  Png = 7,
  Targa = 8,
  Tiff = 9,
  Metafile = 10,  // plain and enhanced Windows metafiles alike
};

// None for the formats without a code (PPM, Photoshop, SGI, IFF-85) and for Unknown.
ImageFormatCode ImageFormatCodeOf(PictureFormat format);

// The lower-case extension of a code ("bmp", "jpg", "pic", "tif", "emf", ...); empty for None.
std::string_view ImageFormatExtension(ImageFormatCode code);

// Appends "." and the code's extension unless the name already ends with it, compared without
// regard to case: "Photo" becomes "Photo.jpg", "photo.JPG" stays as it is. None leaves the
// name alone.
std::string AddFormatExtension(std::string name, ImageFormatCode code);

}  // namespace mlf
