#include <gtest/gtest.h>

#include "file_fixture.h"

#include "platform/mem_env.h"
#include "store/crc32.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_password.h"
#include "store/reencrypt.h"
#include "store/stream_reader.h"
#include "store/stream_writer.h"
#include "support/node_content.h"
#include "support/scripted_prompts.h"
#include "support/test_crypt.h"

namespace mlf {
namespace {

uint32_t Le32(const std::string& bytes, size_t at) {
  uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<uint8_t>(bytes[at + i]);
  return v;
}

class StreamTest : public ::testing::Test {
 protected:
  StreamTest() : prompts_scope(prompts) { doc.SetCryptProvider(&crypt); }

  uint32_t NewNote(const char* title = "Note") {
    CMlfNode node;
    node.Create(&doc, ntNote, title, 0);
    return node.GetId();
  }
  uint32_t NewEncryptedNote(const std::string& password) {
    CMlfNode node(&doc, NewNote("Secret"));
    node.SetFlags(kNodeCompressed | kNodeEncrypted);
    node.Update(false);
    test::UseTestKey(doc, node.GetId(), password, 16);
    return node.GetId();
  }
  bool Write(uint32_t id, const std::string& content, bool compress = true) {
    return test::WriteStream(doc, id, content, compress);
  }
  // In pieces of 7 bytes, so reads end inside the cipher's 8-byte blocks.
  std::string Read(uint32_t id) { return test::ReadStream(doc, id, 7); }
  NTV Record(uint32_t id) {
    NTV record;
    doc.Data_GetItem(id, record);
    return record;
  }
  std::string Stored(uint32_t id) {
    NTV record = Record(id);
    DATALOC location;
    doc.Data_GetLocation(id, location);
    return env.GetFile(doc.GetWorkFilePath()).substr(location.nLoc, record.nStorageLength);
  }
  void Corrupt(uint32_t id, size_t offsetInStream) {
    DATALOC location;
    doc.Data_GetLocation(id, location);
    char byte = env.GetFile(doc.GetWorkFilePath())[location.nLoc + offsetInStream] ^ 0x55;
    // Writes the damage through the document's own handle, which holds the work file.
    MLFSTREAMHANDLE handle;
    doc.Data_OpenStream(id, true, &handle, true);
    MLFSTREAM stream;
    doc.Data_GetStream(handle.nStreamId, stream);
    stream.hFile->Seek(location.nLoc + offsetInStream);
    stream.hFile->Write(&byte, 1);
    stream.bForOutput = 0;
    doc.Data_SetStream(handle.nStreamId, stream);
    doc.Data_CloseStream(handle.nStreamId);
  }
  size_t IntegrityReports(const char* type) {
    size_t n = 0;
    for (const auto& m : prompts.messages) n += m.text.rfind(type, 0) == 0;
    return n;
  }

  MemEnv env;
  test::ScriptedPrompts prompts;
  test::ScopedAppPrompts prompts_scope;
  test::TestCrypt crypt;
  CMarrowleafDoc doc{env};
};

TEST(Crc32Test, CheckValue) { EXPECT_EQ(Crc32Update(0, "123456789", 9), 0xCBF43926u); }

TEST_F(StreamTest, CompressedAbcIsOneGzipMemberWithBothCrcs) {
  uint32_t id = NewNote();
  ASSERT_TRUE(Write(id, "abc"));
  NTV record = Record(id);
  EXPECT_EQ(record.nRawLength, 3u);
  EXPECT_EQ(record.nDataCRC, 0x352441C2u);
  EXPECT_EQ(record.nFlags, kNodeCompressed);
  std::string member = Stored(id);
  EXPECT_EQ(member.substr(0, 3), "\x1f\x8b\x08");
  EXPECT_EQ(test::ZlibGunzip(member), "abc");
  EXPECT_EQ(record.nFileDataCRC, Crc32Update(0, member.data(), member.size()));
  DATALOC location;
  doc.Data_GetLocation(id, location);
  EXPECT_EQ(location.bHasData, 1u);
  EXPECT_EQ(location.bInWorkFile, 1u);
  EXPECT_TRUE(doc.IsModified());
  EXPECT_EQ(Read(id), "abc");
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(StreamTest, RawStreamKeepsContentAsStored) {
  uint32_t id = NewNote();
  ASSERT_TRUE(Write(id, "plain bytes", false));
  NTV record = Record(id);
  EXPECT_EQ(record.nFlags, 0u);
  EXPECT_EQ(record.nStorageLength, 11u);
  EXPECT_EQ(Stored(id), "plain bytes");
  EXPECT_EQ(record.nFileDataCRC, record.nDataCRC) << "stored bytes are the content";
  EXPECT_EQ(Read(id), "plain bytes");
}

TEST_F(StreamTest, EncryptedLayoutTestBlockSubHeaderAndPaddedBlocks) {
  uint32_t id = NewEncryptedNote("pw");
  ASSERT_TRUE(Write(id, "hello, encrypted world"));
  NTV record = Record(id);
  std::string stored = Stored(id);
  ASSERT_GE(stored.size(), 16u + 24u);
  uint32_t e = Le32(stored, 16 + 4), c = Le32(stored, 16 + 8);
  EXPECT_EQ(Le32(stored, 16), 24u);
  EXPECT_EQ(e % 8, 0u);
  EXPECT_GE(e, c);
  EXPECT_LT(e - c, 8u);
  EXPECT_EQ(record.nStorageLength, 16u + 24u + e);
  EXPECT_EQ(record.nFlags, kNodeCompressed | kNodeEncrypted);
  EXPECT_EQ(record.nFileDataCRC, Crc32Update(0, stored.data() + 40, e)) << "covers the E bytes only";
  std::vector<uint8_t> expectedTest = crypt.MakeEncryptor(7, crypt.DeriveKey(3, "pw", 16))->TestBlock();
  EXPECT_EQ(stored.substr(0, 16), std::string(expectedTest.begin(), expectedTest.end()));
  EXPECT_EQ(Read(id), "hello, encrypted world");
}

TEST_F(StreamTest, SamePasswordAndContentGiveDifferentBytesAfterTheFirstBlock) {
  uint32_t a = NewEncryptedNote("pw"), b = NewEncryptedNote("pw");
  ASSERT_TRUE(Write(a, "identical"));
  ASSERT_TRUE(Write(b, "identical"));
  std::string sa = Stored(a), sb = Stored(b);
  EXPECT_EQ(sa.substr(0, 40 + 8), sb.substr(0, 40 + 8)) << "test block, sub-header and the gzip header's first block";
  EXPECT_NE(sa.substr(48), sb.substr(48));
}

TEST_F(StreamTest, PasswordVerification) {
  uint32_t id = NewEncryptedNote("right");
  ASSERT_TRUE(Write(id, "x"));
  EXPECT_TRUE(VerifyNodePassword(doc, id, SecureString("right")));
  EXPECT_FALSE(VerifyNodePassword(doc, id, SecureString("wrong")));
  EXPECT_FALSE(VerifyNodePassword(doc, NewNote(), SecureString("right"))) << "no key length";
}

TEST_F(StreamTest, WithoutEncryptionAnEncryptedNodeKeepsItsContent) {
  uint32_t id = NewEncryptedNote("pw");
  ASSERT_TRUE(Write(id, "kept"));
  doc.SetCryptProvider(nullptr);  // the process has no module loaded
  EXPECT_FALSE(Write(id, "would be lost"));
  EXPECT_EQ(Read(id), "");
  EXPECT_EQ(prompts.messages.size(), 1u);
  doc.SetCryptProvider(&crypt);
  EXPECT_EQ(Read(id), "kept");
}

TEST_F(StreamTest, FolderAndEmptyNodeHaveNoReadStream) {
  CMlfNode folder;
  folder.Create(&doc, ntFolder, nullptr, 0);
  MLFSTREAMHANDLE handle;
  EXPECT_FALSE(doc.Data_OpenStream(folder.GetId(), false, nullptr, false));
  ASSERT_TRUE(doc.Data_OpenStream(folder.GetId(), false, &handle, false));
  EXPECT_EQ(handle.nStreamId, 0);
  EXPECT_TRUE(doc.Data_CloseStream(0));
  ASSERT_TRUE(doc.Data_OpenStream(999, false, &handle, false));
  EXPECT_EQ(handle.nStreamId, -1);
  EXPECT_FALSE(doc.Data_CloseStream(12345));
  EXPECT_EQ(Read(NewNote()), "");
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(StreamTest, FlippedByteIsReportedButNeverCrashes) {
  std::string content(5000, 'q');
  uint32_t seed = 1;
  for (char& c : content) c = static_cast<char>('a' + (seed = seed * 1103515245 + 12345) % 26);
  for (double where : {0.0, 0.5, 1.0}) {
    uint32_t id = NewNote();
    ASSERT_TRUE(Write(id, content));
    size_t offset = 10 + static_cast<size_t>(where * (Record(id).nStorageLength - 11));  // past the header
    Corrupt(id, offset);
    prompts.messages.clear();
    Read(id);
    bool decoderError = !prompts.messages.empty() && prompts.messages[0].text.find("PrepareReadBuffer") != std::string::npos;
    EXPECT_TRUE(decoderError || IntegrityReports("Type 1") == 1) << offset;
  }
}

TEST_F(StreamTest, ZeroCrcsOfOlderFilesAreNeverChecked) {
  uint32_t id = NewNote();
  ASSERT_TRUE(Write(id, "old file"));
  NTV record = Record(id);
  record.nDataCRC = record.nFileDataCRC = 0;
  doc.Data_SetItem(id, record, false);
  EXPECT_EQ(Read(id), "old file");
  EXPECT_TRUE(prompts.messages.empty());

  record.nDataCRC = 1234;  // wrong content CRC: reported once the content is delivered
  doc.Data_SetItem(id, record, false);
  Read(id);
  EXPECT_EQ(IntegrityReports("Type 2"), 1u);
  EXPECT_NE(prompts.messages[0].text.find("for node 'Note' in '<UNKNOWN>'"), std::string::npos);
  EXPECT_EQ(prompts.messages[0].icon, MessageIcon::Exclamation);
}

TEST_F(StreamTest, DamagedLengthsGiveNoContent) {
  uint32_t id = NewEncryptedNote("pw");
  ASSERT_TRUE(Write(id, "abc"));
  struct Damage {
    const char* name;
    std::function<void(NTV&)> apply;
  } cases[] = {
      {"storage beyond the file", [](NTV& r) { r.nStorageLength += 100000; }},
      {"test block longer than the stream", [](NTV& r) { r.nTestLength = r.nStorageLength + 1; }},
      {"sub-header cut off", [](NTV& r) { r.nStorageLength = r.nTestLength + 10; }},
  };
  NTV good = Record(id);
  for (const Damage& d : cases) {
    NTV bad = good;
    d.apply(bad);
    doc.Data_SetItem(id, bad, false);
    prompts.messages.clear();
    EXPECT_EQ(Read(id), "") << d.name;
    EXPECT_FALSE(prompts.messages.empty()) << d.name;
  }
}

TEST_F(StreamTest, HugeRecordedRawLengthDoesNotAllocateIt) {
  uint32_t id = NewNote();
  ASSERT_TRUE(Write(id, "tiny"));
  NTV record = Record(id);
  record.nRawLength = 0xFFFFFFF0u;
  record.nDataCRC = 0;
  doc.Data_SetItem(id, record, false);
  EXPECT_EQ(Read(id), "tiny");
}

TEST_F(StreamTest, ReencryptionWithoutDecompressing) {
  uint32_t id = NewNote();
  ASSERT_TRUE(Write(id, "to be protected"));
  NTV before = Record(id);

  auto encryptor = crypt.MakeEncryptor(7, crypt.DeriveKey(3, "new", 16));
  uint32_t testLength = 0;
  ASSERT_TRUE(ReencryptStream(doc, id, encryptor.get(), nullptr, testLength));
  EXPECT_EQ(testLength, 16u);
  NTV after = Record(id);
  EXPECT_EQ(after.nFlags, kNodeCompressed | kNodeEncrypted);
  EXPECT_EQ(after.nDataCRC, 0u) << "no CRC of an encrypted node's content is kept in clear";
  EXPECT_EQ(after.nRawLength, before.nRawLength);
  std::string stored = Stored(id);
  std::vector<uint8_t> test = crypt.MakeEncryptor(7, crypt.DeriveKey(3, "new", 16))->TestBlock();
  EXPECT_EQ(stored.substr(0, 16), std::string(test.begin(), test.end()));
  EXPECT_EQ(Le32(stored, 16), 24u);

  test::UseTestKey(doc, id, "new", testLength);
  EXPECT_EQ(Read(id), "to be protected");

  // And back to no password: a plain compressed stream.
  auto decryptor = crypt.MakeDecryptor(7, crypt.DeriveKey(3, "new", 16));
  ASSERT_TRUE(ReencryptStream(doc, id, nullptr, decryptor.get(), testLength));
  EXPECT_EQ(testLength, 0u);
  EXPECT_EQ(Record(id).nFlags, kNodeCompressed);
  EXPECT_EQ(test::ZlibGunzip(Stored(id)), "to be protected");
  EXPECT_TRUE(prompts.messages.empty());
}

TEST_F(StreamTest, ReencryptingARawStreamCompressesItFirst) {
  uint32_t id = NewNote();
  ASSERT_TRUE(Write(id, "raw image bytes", false));
  auto encryptor = crypt.MakeEncryptor(7, crypt.DeriveKey(3, "k", 16));
  uint32_t testLength = 0;
  ASSERT_TRUE(ReencryptStream(doc, id, encryptor.get(), nullptr, testLength));
  test::UseTestKey(doc, id, "k", testLength);
  EXPECT_EQ(Read(id), "raw image bytes");
}

TEST_F(StreamTest, CopyAcrossDocumentsCopiesStoredBytesUnchanged) {
  uint32_t id = NewEncryptedNote("pw");
  ASSERT_TRUE(Write(id, "travels encrypted"));
  CMarrowleafDoc other(env);
  other.SetCryptProvider(&crypt);
  CMlfNode source(&doc, id), copy;
  ASSERT_TRUE(copy.CopyFrom(&other, source));
  NTV copied;
  other.Data_GetItem(copy.GetId(), copied);
  DATALOC location;
  other.Data_GetLocation(copy.GetId(), location);
  EXPECT_EQ(env.GetFile(other.GetWorkFilePath()).substr(location.nLoc, copied.nStorageLength), Stored(id));
  EXPECT_EQ(copied.nFlags, Record(id).nFlags);
  EXPECT_EQ(copied.nFileDataCRC, Record(id).nFileDataCRC);
  StreamReader reader(other, copy.GetId());
  reader.PrepareReadBuffer();
  char buffer[64];
  size_t n = reader.Get(buffer, sizeof buffer);
  EXPECT_EQ(std::string(buffer, n), "travels encrypted");
}

TEST_F(StreamTest, LargeContentStreamsThroughTheCompressor) {
  std::string big(20 * 1024 * 1024, '\0');
  for (size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>((i * 2654435761u) >> 24 & 0x3F);
  uint32_t id = NewNote();
  StreamWriter writer(doc, id, true);
  for (size_t i = 0; i < big.size(); i += 1 << 20) writer.Put(big.data() + i, 1 << 20);
  ASSERT_TRUE(writer.Finish());
  EXPECT_EQ(Read(id) == big, true);
  EXPECT_TRUE(prompts.messages.empty());
}

}  // namespace
}  // namespace mlf
