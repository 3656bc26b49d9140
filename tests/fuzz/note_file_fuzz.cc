// Feeds one input as a note file to the reader, then reads every stream and saves the result:
// no input may crash, hang, or make the reader allocate beyond what the file can hold.
#include <cstdint>
#include <string>

#include "platform/mem_env.h"
#include "store/document.h"
#include "store/stream_reader.h"
#include "support/scripted_prompts.h"
#include "support/test_crypt.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace mlf;
  static test::ScriptedPrompts prompts;
  static test::TestCrypt crypt;
  SetAppPrompts(&prompts);
  prompts.messages.clear();
  prompts.QueuePassword(std::string("fuzz"));

  MemEnv env;
  env.CreateDirectory("/f");
  env.PutFile("/f/in.mlf", std::string(reinterpret_cast<const char*>(data), size));
  CMarrowleafDoc doc(env);
  doc.SetCryptProvider(&crypt);
  if (doc.OnOpenDocument("/f/in.mlf")) {
    std::vector<uint32_t> ids;
    doc.Data_EnumItems([&](const NTV& record) { ids.push_back(record.nIndex); });
    for (uint32_t id : ids) {
      StreamReader reader(doc, id);
      reader.PrepareReadBuffer();
      char buffer[4096];
      while (reader.Get(buffer, sizeof buffer) > 0) {
      }
      doc.Data_GetItemPath(id);
    }
    doc.OnSaveDocument("/f/out.mlf");
  }
  prompts.passwords.clear();
  SetAppPrompts(nullptr);
  return 0;
}
