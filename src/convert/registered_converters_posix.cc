#ifndef _WIN32

#include "convert/registered_converters.h"

namespace mlf {

std::vector<RegisteredConverter> RegisteredConverters(bool) { return {}; }

}  // namespace mlf

#endif
