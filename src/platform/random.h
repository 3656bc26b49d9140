#pragma once

#include <cstddef>

namespace mlf {

// Fills the buffer from the operating system's random source.
void FillRandom(void* data, size_t size);

}  // namespace mlf
