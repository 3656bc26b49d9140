#include "crypt/module_cipher.h"

#include <algorithm>
#include <limits>

#include "diagnostics/log.h"
#include "platform/secure_memory.h"

namespace mlf {

ModuleCipher::ModuleCipher(std::shared_ptr<const CryptModule> module, MlfCryptObject* object)
    : m_module(std::move(module)), m_object(object) {}

ModuleCipher::~ModuleCipher() { m_object->functions->Release(m_object); }

uint32_t ModuleCipher::BlockSize() const { return m_object->functions->BlockSize(m_object); }

void ModuleCipher::Process(uint8_t* data, size_t size) {
  // The module takes 32-bit lengths: larger buffers go in whole-block pieces.
  const uint32_t blockSize = std::max<uint32_t>(BlockSize(), 1);
  const size_t maxPiece = (std::numeric_limits<uint32_t>::max() / blockSize) * blockSize;
  for (size_t done = 0; done < size;) {
    auto piece = static_cast<uint32_t>(std::min(size - done, maxPiece));
    if (m_module->process(m_object, data + done, piece) != piece) {
      AppLog().WriteLine("WARNING: the encryption module refused a piece of data; it was discarded.");
      SecureZero(data, size);
      return;
    }
    done += piece;
  }
}

uint32_t ModuleCipher::TestBlockLength() const { return m_module->testBlockLength(m_object); }

std::vector<uint8_t> ModuleCipher::TestBlock() const {
  std::vector<uint8_t> block(TestBlockLength());
  if (block.empty() || m_module->writeTestBlock(m_object, block.data()) != block.size()) return {};
  return block;
}

}  // namespace mlf
