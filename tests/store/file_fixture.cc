#include "file_fixture.h"

#include <zlib.h>

namespace mlf::test {

std::string Le16(uint16_t v) { return std::string{static_cast<char>(v & 0xFF), static_cast<char>(v >> 8)}; }
std::string Le32(uint32_t v) { return Le16(static_cast<uint16_t>(v)) + Le16(static_cast<uint16_t>(v >> 16)); }

std::string FileFixture::Build() const {
  const bool longEntries = version >= 6;
  // Header, with the offsets patched in at the end.
  std::string out = Le32(magicLength);
  for (char c : std::string("Marrowleaf File")) out += Le16(static_cast<uint8_t>(c));
  out += Le16(0);
  out.resize(4 + magicLength, '\0');
  out += Le32(version);
  for (uint16_t w : {2026, 12, 3, 9, 10, 0, 0, 0}) out += Le16(w);
  out += std::string(16, '\0');
  out += Le32(static_cast<uint32_t>(nodes.size()));
  size_t at = out.size();  // logo offset
  out += std::string(36, '\0');
  auto patch = [&](size_t offset, uint32_t v) { out.replace(offset, 4, Le32(v)); };

  std::vector<size_t> locAt;
  for (const FixtureNode& n : nodes) {
    locAt.push_back(out.size());
    out += Le32(0);
    out += static_cast<char>(n.type);
    out += '\0';
    out += Le16(n.type == 0 ? 3 : 2);
    out += Le32(n.id) + Le32(n.parent) + Le32(n.flags) + Le32(static_cast<uint32_t>(n.stored.size()));
    out += Le32(n.rawLength ? n.rawLength : static_cast<uint32_t>(n.stored.size()));
    out += Le32(0) + Le32(0) + Le32(0) + Le32(0);
    if (longEntries) out += std::string(20, '\0') + Le32(n.dataCrc) + Le32(n.fileCrc);
    out += n.title + '\0';
  }
  for (size_t i = 0; i < nodes.size(); ++i) {
    if (nodes[i].stored.empty()) continue;
    patch(locAt[i], static_cast<uint32_t>(out.size()));
    out += nodes[i].stored;
  }
  if (!bookmarks.empty()) {
    patch(at + 12, static_cast<uint32_t>(out.size()));
    out += Le32(static_cast<uint32_t>(bookmarks.size())) + Le32(0) + Le32(0);
    for (const auto& b : bookmarks) out += Le32(b.id) + Le32(0) + Le32(0) + Le32(b.node) + b.name + '\0';
  }
  if (version >= 5 && (!keywords.empty() || !nodeKeywords.empty())) {
    patch(at + 32, static_cast<uint32_t>(out.size()));
    out += Le32(static_cast<uint32_t>(keywords.size())) + Le32(static_cast<uint32_t>(nodeKeywords.size()));
    out += Le32(0) + Le32(0);
    for (const auto& [id, text] : keywords) out += Le32(id) + text + '\0';
    for (const auto& [node, ids] : nodeKeywords) {
      out += Le32(node) + Le32(static_cast<uint32_t>(ids.size()));
      for (uint32_t id : ids) out += Le32(id);
    }
  }
  if (version >= 6) {
    patch(at + 20, static_cast<uint32_t>(out.size()));
    size_t moreInfo = out.size();
    out += std::string(36, '\0');
    patch(moreInfo + 4, moreInfoWord1);
    if (withTasks) {
      patch(moreInfo, static_cast<uint32_t>(out.size()));
      out += Le32(1) + Le32(0) + Le32(0) + Le32(0);
      out += Le32(4) + "Call back" + '\0' + Le32(2) + Le32(100) + Le32(200) + Le32(300);
      out += std::string{4, 0, 0} + Le32(0) + Le32(nodes.empty() ? 0 : nodes[0].id) + Le32(0) + Le32(0);
      out += "Notes here" + std::string(1, '\0');
    }
  }
  if (version >= 3) out.replace(at + 28, 4, Le16(sortFlags) + Le16(folderArrangement));
  patch(at + 16, viewFlags);
  return out;
}

std::string Envelope(const std::string& plain, const CryptProvider& crypt, uint32_t cipher, uint32_t keyDerivation,
                     uint32_t keyLength, const std::string& password, bool version2, const std::string& extra) {
  std::string magic = version2 ? "Encrypted Marrowleaf File V2" : "Encrypted Marrowleaf File";
  std::string out = Le32(static_cast<uint32_t>(2 * magic.size() + 2));
  for (char c : magic) out += Le16(static_cast<uint8_t>(c));
  out += Le16(0);
  auto encryptor = crypt.MakeEncryptor(cipher, crypt.DeriveKey(keyDerivation, password, keyLength));
  std::vector<uint8_t> test = encryptor->TestBlock();
  out += Le32(cipher) + Le32(keyDerivation) + Le32(keyLength) + Le32(static_cast<uint32_t>(test.size()));
  if (version2) out += Le32(static_cast<uint32_t>(extra.size())) + Le32(0) + Le32(0);
  out.append(test.begin(), test.end());
  if (version2) out += extra;
  std::string body = plain;
  body.resize((body.size() + encryptor->BlockSize() - 1) / encryptor->BlockSize() * encryptor->BlockSize(), '\0');
  encryptor->Process(reinterpret_cast<uint8_t*>(body.data()), body.size());
  return out + body;
}

std::string ZlibGzip(const std::string& bytes) {
  z_stream z{};
  deflateInit2(&z, 6, Z_DEFLATED, 15 + 16, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, static_cast<uLong>(bytes.size())), '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(bytes.data()));
  z.avail_in = static_cast<uInt>(bytes.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

std::string ZlibGunzip(const std::string& member) {
  z_stream z{};
  inflateInit2(&z, 15 + 16);
  std::string out(1 << 16, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(member.data()));
  z.avail_in = static_cast<uInt>(member.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  int rc = inflate(&z, Z_FINISH);
  out.resize(z.total_out);
  inflateEnd(&z);
  return rc == Z_STREAM_END ? out : "<bad member>";
}

}  // namespace mlf::test
