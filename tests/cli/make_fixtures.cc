// Writes the note files the mlf tests need beside what mlf itself can make: an encrypted node,
// an HTML page, a picture, attached data, a file with one damaged stream, and nodes outside
// the tree.
#include <cstdio>
#include <string>

#include "crypt/crypt_dll_handler.h"
#include "diagnostics/log.h"
#include "imaging/picture_resource.h"
#include "platform/env.h"
#include "platform/path.h"
#include "store/document.h"
#include "store/node.h"
#include "store/node_data.h"

using namespace mlf;

namespace {

uint32_t Add(CMarrowleafDoc& doc, uint8_t type, const char* title, uint32_t parent, const void* bytes, size_t size) {
  CMlfNode node;
  node.Create(&doc, type, title, parent);
  if (size) {
    CMlfNodeData* data = node.GetNodeDataForWrite(true);
    data->Put(bytes, size);
    data->Finish();
  }
  return node.GetId();
}

uint32_t Add(CMarrowleafDoc& doc, uint8_t type, const char* title, uint32_t parent, const std::string& text) {
  return Add(doc, type, title, parent, text.data(), text.size());
}

bool Encrypt(CMarrowleafDoc& doc, uint32_t id, const char* password) {
  const CryptProvider& crypt = doc.GetCryptProvider();
  uint32_t cipher = crypt.DefaultCipher(), keyLength = 0;
  for (const CryptAlgorithmInfo& info : crypt.Ciphers())
    if (info.id == cipher) keyLength = info.defaultKeyLength;
  return doc.SetNodeEncryption(id, cipher, keyLength, crypt.DefaultKeyDerivation(), SecureString(password),
                               SecureString());
}

// nodes.mlf: a folder with a note, an encrypted note (password "pw1"), an empty encrypted
// note, an HTML page, attached data and a picture.
bool WriteNodes(const std::string& path) {
  CMarrowleafDoc doc;
  doc.OnNewDocument();
  uint32_t docs = Add(doc, ntFolder, "Docs", 0, "");
  Add(doc, ntNote, "Plain", docs, "{\\rtf1\\ansi plain words\\par}");
  uint32_t secret = Add(doc, ntNote, "Secret", 0, "{\\rtf1\\ansi hidden words\\par}");
  Add(doc, ntHtml, "Page", 0, "<html><body><p>hi</p></body></html>");
  Add(doc, ntForeign, "blob", docs, std::string("\x00\x01\x02 data", 8));
  std::span<const uint8_t> logo = PictureResourceBytes(PictureResource::DefaultLogo);
  Add(doc, ntImage, "Logo", 0, logo.data(), logo.size());
  return Encrypt(doc, secret, "pw1") && doc.OnSaveDocument(path);
}

// damaged.mlf: the notes Good and Bad; a few stored bytes of Bad are overwritten afterwards.
bool WriteDamaged(const std::string& path) {
  DATALOC location;
  NTV bad;
  {
    CMarrowleafDoc doc;
    doc.OnNewDocument();
    Add(doc, ntNote, "Good", 0, "{\\rtf1\\ansi good words\\par}");
    std::string text = "{\\rtf1\\ansi ";
    for (int i = 0; i < 2000; ++i) text += "word" + std::to_string(i) + " ";
    uint32_t id = Add(doc, ntNote, "Bad", 0, text + "\\par}");
    // After the save the document reads the new file: the location is the stream's there.
    if (!doc.OnSaveDocument(path) || !doc.Data_GetLocation(id, location) || !doc.Data_GetItem(id, bad)) return false;
  }
  std::FILE* file = std::fopen(path.c_str(), "r+b");
  if (!file) return false;
  std::fseek(file, static_cast<long>(location.nLoc + bad.nStorageLength / 2), SEEK_SET);
  std::fwrite("\x55\xAA\x55\xAA\x55\xAA", 1, 6, file);
  return std::fclose(file) == 0;
}

// orphans.mlf: the folder Lost names a parent that is not there; the folders A and B hold
// each other.
bool WriteOrphans(const std::string& path) {
  CMarrowleafDoc doc;
  doc.OnNewDocument();
  uint32_t lost = Add(doc, ntFolder, "Lost", 0, "");
  Add(doc, ntNote, "inside", lost, "{\\rtf1\\ansi found again\\par}");
  uint32_t a = Add(doc, ntFolder, "A", 0, ""), b = Add(doc, ntFolder, "B", a, "");
  auto reparent = [&](uint32_t id, uint32_t parent) {
    NTV record;
    doc.Data_GetItem(id, record);
    record.nParent = parent;
    doc.Data_SetItem(id, record, true);
  };
  reparent(lost, 99);
  reparent(a, b);
  return doc.OnSaveDocument(path);
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: mlf-test-fixtures DIR\n");
    return 2;
  }
  AppLog().Open();
  if (!AppCrypt().Load(Env::Default())) {
    std::fprintf(stderr, "the encryption module is missing\n");
    return 1;
  }
  std::string dir = argv[1];
  bool ok = WriteNodes(JoinPath(dir, "nodes.mlf")) && WriteDamaged(JoinPath(dir, "damaged.mlf")) &&
            WriteOrphans(JoinPath(dir, "orphans.mlf"));
  AppCrypt().Unload();
  return ok ? 0 : 1;
}
