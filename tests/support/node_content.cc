#include "support/node_content.h"

#include <vector>

#include "store/document.h"
#include "store/node.h"
#include "store/stream_reader.h"
#include "store/stream_writer.h"
#include "support/test_crypt.h"

namespace mlf::test {

std::string ReadStream(CMarrowleafDoc& doc, uint32_t id, size_t piece) {
  StreamReader reader(doc, id);
  reader.PrepareReadBuffer();
  std::string out;
  std::vector<char> buffer(piece);
  while (size_t n = reader.Get(buffer.data(), buffer.size())) out.append(buffer.data(), n);
  return out;
}

bool WriteStream(CMarrowleafDoc& doc, uint32_t id, const std::string& content, bool compress) {
  StreamWriter writer(doc, id, compress);
  writer.Put(content.data(), content.size());
  return writer.Finish();
}

void UseTestKey(CMarrowleafDoc& doc, uint32_t id, const std::string& password, uint32_t testLength) {
  CMlfNode node(&doc, id);
  node.SetCryptType(TestCrypt::kCipher);
  node.SetHashType(TestCrypt::kKeyDerivation);
  node.SetKeyLength(16);
  node.SetTestLength(testLength);
  node.Update(true);
  node.SetPassword(true, SecureString(password));
}

}  // namespace mlf::test
