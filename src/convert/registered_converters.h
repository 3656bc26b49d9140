#pragma once

#include <vector>

#include "convert/text_converter.h"

namespace mlf {

// The converters registered with the system for import or export (the text-converter keys of
// the registry on Windows); none elsewhere.
std::vector<RegisteredConverter> RegisteredConverters(bool forImport);

}  // namespace mlf
