#include "exchange/export_helper.h"

#include <algorithm>
#include <functional>
#include <vector>

#include "exchange/content_reader.h"
#include "exchange/node_process.h"
#include "imaging/image_format_code.h"
#include "imaging/picture_decoder.h"
#include "imaging/picture_encoder.h"
#include "platform/codepage.h"
#include "platform/env.h"
#include "platform/path.h"
#include "rtf/plain_text.h"
#include "store/document.h"
#include "store/node.h"

namespace mlf {
namespace {

// Fills the file at path so that a failure never leaves a partial file nor harms the one that
// was there: a new file is written in place and removed again on failure; one that replaces a
// file, or that must be owner-only from its creation, is filled as a temporary sibling that
// takes its place at the end.
bool WriteReplacing(Env& env, const std::string& path, bool ownerOnly, const std::function<bool(File&)>& fill) {
  bool inPlace = !ownerOnly && !env.FileExists(path);
  std::string folder = DirName(path);
  std::unique_ptr<File> out =
      inPlace ? env.OpenFile(path, FileAccess::ReadWrite, FileCreation::CreateNew, FileShare::ShareRead)
      : ownerOnly ? env.CreateTempFile(".mlf-export-", ".part", false, folder)
                  : env.OpenFile(JoinPath(folder, "." + BaseName(path) + ".mlf-part"), FileAccess::ReadWrite,
                                 FileCreation::CreateAlways, FileShare::ShareRead);
  std::string written = out->Path();
  bool filled = false;
  try {
    filled = fill(*out);
    out.reset();
    if (filled && !inPlace) env.RenameFile(written, path);
  } catch (...) {
    out.reset();
    env.DeleteFile(written);
    throw;
  }
  if (!filled) env.DeleteFile(written);
  return filled;
}

// A picture is named after the format it is written in: the chosen one, else the stored one.
std::string PictureName(const std::string& path, int imageFormat, const std::vector<uint8_t>& bytes) {
  ImageFormatCode code = imageFormat ? static_cast<ImageFormatCode>(imageFormat)
                                     : ImageFormatCodeOf(DetectPictureFormat(bytes));
  return AddExtension(path, std::string(ImageFormatExtension(code)));
}

}  // namespace

std::string FileNameOf(const std::string& title) { return StoredTextToUtf8(title); }

bool IsValidFileName(const std::string& name) {
  if (name.empty() || name == "." || name == "..") return false;
  for (unsigned char c : name) {
    if (c == '/' || c == 0) return false;
#ifdef _WIN32
    if (c < 0x20 || std::string("\\:*?\"<>|").find(static_cast<char>(c)) != std::string::npos) return false;
#endif
  }
  return true;
}

std::string AddExtension(std::string name, const std::string& extension) {
  if (extension.empty()) return name;
  std::string suffix = "." + extension, lower = name;
  std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
  if (!lower.ends_with(suffix)) name += suffix;
  return name;
}

std::string ExportExtension(uint8_t nodeType) {
  switch (nodeType) {
    case ntNote: return "rtf";
    case ntHtml: return "html";
    case ntForeign: return "dat";
    default: return {};
  }
}

void CreateFolderPath(Env& env, const std::string& path) {
  if (path.empty() || env.DirectoryExists(path)) return;
  std::string parent = DirName(path);
  if (!parent.empty() && parent != path) CreateFolderPath(env, parent);
  env.CreateDirectory(path);
  if (!env.DirectoryExists(path)) throw FileError(path, "cannot create folder (a file of that name is in the way)");
}

ExportResult CExportHelper::ExportNode(uint32_t nodeId, const std::string& folder) {
  bool unlockedHere;
  m_reason = UnlockNode(m_document, nodeId, unlockedHere);
  if (!m_reason.empty()) return ExportResult::Failed;
  CMlfNode node(&m_document, nodeId);
  ExportResult result = ExportFile(nodeId, folder + FileNameOf(node.GetTitle()), 0);
  if (unlockedHere) LockAgain(m_document, nodeId);
  return result;
}

ExportResult CExportHelper::ExportFile(uint32_t nodeId, const std::string& path, int imageFormat) {
  m_reason.clear();
  CMlfNode node(&m_document, nodeId);
  // A title is the file name as it is; one the file system cannot take, or that would reach
  // outside the folder, fails the node.
  if (!IsValidFileName(node.GetTitle() ? FileNameOf(node.GetTitle()) : "")) {
    m_reason = "The title is not a valid file name here.";
    return ExportResult::Failed;
  }
  auto result = [](bool written) { return written ? ExportResult::Written : ExportResult::Failed; };
  if (node.GetType() != ntImage) {
    std::string name = AddExtension(path, ExportExtension(node.GetType()));
    if (!MayWrite(name)) return ExportResult::Kept;
    return result(WriteStream(nodeId, name));
  }
  std::vector<uint8_t> bytes;
  if (!ReadImage(nodeId, imageFormat, bytes)) return ExportResult::Failed;
  std::string name = PictureName(path, imageFormat, bytes);
  if (!MayWrite(name)) return ExportResult::Kept;
  return result(WriteBytes(nodeId, name, bytes));
}

bool CExportHelper::WriteNode(uint32_t nodeId, const std::string& path, int imageFormat, bool asText) {
  m_reason.clear();
  CMlfNode node(&m_document, nodeId);
  if (asText && node.GetType() == ntNote) {
    std::string rtf;
    m_reason = ReadNodeContent(m_document, nodeId, [&](const char* p, size_t n) { rtf.append(p, n); });
    if (!m_reason.empty()) return false;
    std::string text = rtf::RtfToPlainText(rtf) + "\n";
    return Write(nodeId, path, [&](File& out) {
      out.WriteString(text);
      return true;
    });
  }
  if (node.GetType() != ntImage) return WriteStream(nodeId, path);
  std::vector<uint8_t> bytes;
  return ReadImage(nodeId, imageFormat, bytes) && WriteBytes(nodeId, PictureName(path, imageFormat, bytes), bytes);
}

bool CExportHelper::MayWrite(const std::string& name) {
  // An existing file is replaced only when the user agrees.
  return !m_process || !m_document.GetEnv().FileExists(name) ||
         m_process->Ask(name + " already exists. Overwrite?", MessageButtons::YesNo, MessageIcon::Exclamation) ==
             MessageAnswer::Yes;
}

bool CExportHelper::OwnerOnly(uint32_t nodeId) const {
  NTV record;
  return m_document.GetFileEncryption().nCryptType != 0 ||
         (m_document.Data_GetItem(nodeId, record) && (record.nFlags & kNodeEncrypted));
}

bool CExportHelper::ReadImage(uint32_t nodeId, int imageFormat, std::vector<uint8_t>& bytes) {
  m_reason = ReadNodeContent(m_document, nodeId, [&](const char* p, size_t n) { bytes.insert(bytes.end(), p, p + n); });
  if (!m_reason.empty()) return false;
  if (imageFormat == 0) return true;
  std::optional<EncodeFormat> format = EncodeFormatOf(static_cast<ImageFormatCode>(imageFormat));
  if (!format) {
    m_reason = "Pictures are written as BMP, JPEG, PNG or TIFF.";
    return false;
  }
  DecodedPicture picture = DecodePicture(bytes);
  if (!picture) {
    m_reason = "The picture cannot be decoded" + (picture.reason.empty() ? "." : ": " + picture.reason);
    return false;
  }
  bytes = EncodePicture(picture.bitmap, *format, &m_reason);
  return !bytes.empty();
}

bool CExportHelper::WriteStream(uint32_t nodeId, const std::string& name) {
  return Write(nodeId, name, [&](File& out) {
    m_reason = ReadNodeContent(m_document, nodeId, [&](const char* p, size_t n) { out.Write(p, n); });
    return m_reason.empty();
  });
}

bool CExportHelper::WriteBytes(uint32_t nodeId, const std::string& name, const std::vector<uint8_t>& bytes) {
  return Write(nodeId, name, [&](File& out) {
    out.Write(bytes.data(), bytes.size());
    return true;
  });
}

bool CExportHelper::Write(uint32_t nodeId, const std::string& name, const std::function<bool(File&)>& fill) {
  try {
    return WriteReplacing(m_document.GetEnv(), name, OwnerOnly(nodeId), fill);
  } catch (const FileError& error) {
    m_reason = error.what();
    return false;
  }
}

}  // namespace mlf
