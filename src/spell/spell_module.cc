#include "spell/spell_module.h"

#include <algorithm>
#include <cstring>

#include "platform/module_entry.h"

namespace mlf {
namespace {

template <typename Function>
bool Resolve(DynamicLibrary& library, int ordinal, Function& out) {
  return ResolveEntryPoint(library, "quarnspellcheck", ordinal, out);
}

}  // namespace

std::unique_ptr<const SpellModule> ResolveSpellModule(std::unique_ptr<DynamicLibrary> library) {
  if (!library) return nullptr;
  auto module = std::make_unique<SpellModule>();
  DynamicLibrary& lib = *library;
  bool complete = Resolve(lib, 1, module->initialise) & Resolve(lib, 2, module->shutdown) &
                  Resolve(lib, 11, module->lastError) & Resolve(lib, 20, module->openChecker) &
                  Resolve(lib, 21, module->closeChecker) & Resolve(lib, 30, module->showOptions) &
                  Resolve(lib, 40, module->check);
  if (!complete) return nullptr;
  module->library = std::move(library);
  return module;
}

QuarnSpellInit MakeInitRecord() {
  QuarnSpellInit record{};
  record.size = sizeof(record);
  record.reserved = 0;
  static constexpr char kName[] = "Quarn Marrowleaf";
  std::fill(std::begin(record.applicationName), std::end(record.applicationName), '\xFF');
  std::memcpy(record.applicationName, kName, sizeof(kName));  // with its terminating zero
  return record;
}

QuarnSpellOpen MakeOpenRecord() { return {sizeof(QuarnSpellOpen)}; }

QuarnSpellOptions MakeOptionsRecord(uint32_t ownerWindow) { return {sizeof(QuarnSpellOptions), ownerWindow}; }

QuarnSpellCheck MakeCheckRecord(uint32_t editorWindow, uint32_t ownerWindow) {
  QuarnSpellCheck record{};
  record.size = sizeof(record);
  record.editorWindow = editorWindow;
  record.ownerWindow = ownerWindow;
  record.range = QUARNSPELL_CHECK_WHOLE_TEXT;
  record.reserved = 0;
  std::fill(std::begin(record.padding), std::end(record.padding), 0xFF);
  return record;
}

}  // namespace mlf
