// Encoding bitmaps as Windows bitmap, JPEG, PNG or TIFF with the codec's default settings.
// A bitmap the chosen format cannot hold as it is (alpha for JPEG, say) is converted first;
// JPEG puts transparent parts on white.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "imaging/bitmap.h"
#include "imaging/image_format_code.h"
#include "platform/env.h"

namespace mlf {

enum class EncodeFormat { WindowsBitmap, Jpeg, Png, Tiff };

// The encoder of an export format code (1, 3, 7 or 9); nullopt for the other codes.
std::optional<EncodeFormat> EncodeFormatOf(ImageFormatCode code);

// The encoded bytes; empty on failure, with the reason in *reason when given.
std::vector<uint8_t> EncodePicture(const Bitmap& bitmap, EncodeFormat format,
                                   std::string* reason = nullptr);

// Encodes and writes the file through env, replacing one that exists. A file that cannot be
// written is a failure whose reason is the file error.
bool WritePictureFile(Env& env, const std::string& path, const Bitmap& bitmap, EncodeFormat format,
                      std::string* reason = nullptr);

}  // namespace mlf
