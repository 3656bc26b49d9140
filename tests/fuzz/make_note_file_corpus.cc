// Writes the seed corpus of the note-file fuzz target: well-formed files of every version and
// both envelopes, each cut short at several places and with single bytes flipped. Run once;
// its output is kept under tests/data/note-file-corpus.
#include <cstdio>
#include <fstream>

#include "store/file_fixture.h"
#include "support/test_crypt.h"

int main(int argc, char** argv) {
  using namespace mlf::test;
  if (argc != 2) return 2;
  std::string folder = argv[1];
  std::vector<std::pair<std::string, std::string>> seeds;
  for (uint32_t version : {1u, 2u, 4u, 5u, 6u, 7u}) {
    FileFixture f;
    f.version = version;
    f.nodes = {{1, 0, 0, "Folder"}, {2, 1, 1, "Note", "{\\rtf1 hi}"}, {3, 1, 1, "Loop", "", 0}};
    f.bookmarks = {{1, 2, "mark"}};
    f.keywords = {{1, "work"}};
    f.nodeKeywords = {{2, {1, 7}}};
    f.withTasks = true;
    seeds.push_back({"v" + std::to_string(version), f.Build()});
  }
  TestCrypt crypt;
  FileFixture plain;
  plain.nodes = {{1, 0, 1, "Secret", "text"}};
  seeds.push_back({"envelope1", Envelope(plain.Build(), crypt, TestCrypt::kCipher, TestCrypt::kKeyDerivation, 16, "fuzz", false)});
  seeds.push_back({"envelope2", Envelope(plain.Build(), crypt, TestCrypt::kCipher, TestCrypt::kKeyDerivation, 16, "fuzz", true, "extra")});

  int written = 0;
  auto write = [&](const std::string& name, const std::string& bytes) {
    std::ofstream(folder + "/" + name, std::ios::binary) << bytes;
    ++written;
  };
  for (const auto& [name, bytes] : seeds) {
    write(name, bytes);
    for (size_t cut : {size_t(3), size_t(40), size_t(112), bytes.size() / 2, bytes.size() - 1})
      if (cut < bytes.size()) write(name + "-cut" + std::to_string(cut), bytes.substr(0, cut));
    for (size_t at : {size_t(0), size_t(36), size_t(72), size_t(120), bytes.size() - 5}) {
      std::string flipped = bytes;
      flipped[at % bytes.size()] ^= 0xFF;
      write(name + "-flip" + std::to_string(at), flipped);
    }
  }
  std::printf("%d files\n", written);
  return 0;
}
