// Typed look-up of a run-time module's entry points, which are exported under names that carry
// their ordinals ("<prefix>_<ordinal>").
#pragma once

#include <string>

#include "platform/env.h"

namespace mlf {

template <typename Function>
bool ResolveEntryPoint(DynamicLibrary& library, const char* prefix, int ordinal, Function& out) {
  void* symbol = library.Symbol((std::string(prefix) + "_" + std::to_string(ordinal)).c_str());
  out = reinterpret_cast<Function>(symbol);
  return symbol != nullptr;
}

}  // namespace mlf
