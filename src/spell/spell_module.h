// The spell-check module once loaded: the library and its seven entry points, typed.
#pragma once

#include <memory>

#include "modules/quarnspellcheck/quarnspellcheck_abi.h"
#include "platform/env.h"

namespace mlf {

struct SpellModule {
  std::unique_ptr<DynamicLibrary> library;
  decltype(&quarnspellcheck_1) initialise = nullptr;
  decltype(&quarnspellcheck_2) shutdown = nullptr;
  decltype(&quarnspellcheck_11) lastError = nullptr;
  decltype(&quarnspellcheck_20) openChecker = nullptr;
  decltype(&quarnspellcheck_21) closeChecker = nullptr;
  decltype(&quarnspellcheck_30) showOptions = nullptr;
  decltype(&quarnspellcheck_40) check = nullptr;
};

// Takes the entry points from the library; null when any is missing.
std::unique_ptr<const SpellModule> ResolveSpellModule(std::unique_ptr<DynamicLibrary> library);

// The records as the caller fills them.
QuarnSpellInit MakeInitRecord();
QuarnSpellOpen MakeOpenRecord();
QuarnSpellOptions MakeOptionsRecord(uint32_t ownerWindow);
QuarnSpellCheck MakeCheckRecord(uint32_t editorWindow, uint32_t ownerWindow);

}  // namespace mlf
