// Decoding pictures from memory or from a file, detecting their format from their bytes.
// Decodable: BMP, GIF (first frame), JPEG, PCX, PGM, PPM, PNG, Macintosh PICT, Photoshop, SGI,
// IFF-85, Targa and TIFF (first page). Windows metafiles are recognised but not decodable.
// Safe to call from several threads at once.
#pragma once

#include <cstdint>
#include <span>
#include <string>

#include "imaging/bitmap.h"
#include "imaging/picture_format.h"
#include "platform/env.h"

namespace mlf {

struct DecodedPicture {
  Bitmap bitmap;                                  // null when decoding failed
  PictureFormat format = PictureFormat::Unknown;  // as detected, also when decoding failed
  std::string reason;                             // why decoding failed; empty on success

  explicit operator bool() const { return !bitmap.IsNull(); }
};

// The most pixels a picture of the given size in bytes may have; larger ones are refused
// before any pixel memory is taken, so that a few damaged header bytes cannot make the decoder
// claim gigabytes. No codec packs more than 16384 pixels into a byte of a sound file (a blank
// fax page comes closest), and no picture may exceed 2^28 pixels (1 GB at 32 bits a pixel).
uint64_t MaxPicturePixels(size_t byteCount);

// The format the bytes are in, judged by their signature; Unknown when none matches a listed
// format.
PictureFormat DetectPictureFormat(std::span<const uint8_t> bytes);

DecodedPicture DecodePicture(std::span<const uint8_t> bytes);

// Reads the whole file through env and decodes it; a file that cannot be read is a failure
// whose reason is the file error.
DecodedPicture DecodePictureFile(Env& env, const std::string& path);

}  // namespace mlf
