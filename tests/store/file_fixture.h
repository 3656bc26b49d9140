// A test-only writer of note files, laid out straight from the byte tables of the format (not
// by the production writer), for fixtures of every version and of damaged files.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "crypt/crypt_provider.h"

namespace mlf::test {

struct FixtureNode {
  uint32_t id;
  uint32_t parent;
  uint8_t type;
  std::string title;
  std::string stored;  // the stream's bytes as stored
  uint32_t flags = 0;
  uint32_t rawLength = 0;
  uint32_t dataCrc = 0;
  uint32_t fileCrc = 0;
};

struct FixtureBookmark {
  uint32_t id, node;
  std::string name;
};

class FileFixture {
 public:
  uint32_t version = 7;
  std::vector<FixtureNode> nodes;
  std::vector<FixtureBookmark> bookmarks;
  std::vector<std::pair<uint32_t, std::string>> keywords;
  std::vector<std::pair<uint32_t, std::vector<uint32_t>>> nodeKeywords;
  uint16_t sortFlags = 0, folderArrangement = 0;
  uint32_t viewFlags = 0;
  uint32_t moreInfoWord1 = 0;
  bool withTasks = false;
  uint32_t magicLength = 32;

  std::string Build() const;
};

// The encrypted envelope around a plain image: version 1, or version 2 with an extra block.
std::string Envelope(const std::string& plain, const CryptProvider& crypt, uint32_t cipher, uint32_t keyDerivation,
                     uint32_t keyLength, const std::string& password, bool version2, const std::string& extra = {});

// gzip and gunzip by zlib itself, independent of the store's own; "<bad member>" for a member
// that does not decode.
std::string ZlibGzip(const std::string& bytes);
std::string ZlibGunzip(const std::string& member);

std::string Le32(uint32_t v);
std::string Le16(uint16_t v);

}  // namespace mlf::test
