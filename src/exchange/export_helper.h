// Writes one node to one file: notes as .rtf, HTML pages as .html, foreign data as .dat,
// images in their stored format (batch export) or re-encoded (single export). An encrypted node
// is unlocked with its password for the moment of writing and locked again afterwards. A node
// that cannot be read whole leaves no file behind and harms none that was there.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace mlf {

class CMarrowleafDoc;
class Env;
class File;
class CNodeProcess;

enum class ExportResult {
  Written,
  Kept,    // the file existed and the user kept it
  Failed,  // Reason() says why
};

class CExportHelper {
 public:
  // Questions (the overwrite question) go through process; none for single export.
  CExportHelper(CMarrowleafDoc& document, CNodeProcess* process) : m_document(document), m_process(process) {}
  virtual ~CExportHelper() = default;

  // Exports the node into folder (ending in a separator) under its title.
  ExportResult ExportNode(uint32_t nodeId, const std::string& folder);
  // Writes the node to path with its type's extension added; format as for images.
  ExportResult ExportFile(uint32_t nodeId, const std::string& pathWithoutExtension, int imageFormat);
  // Writes the node to the chosen path (single export): notes, pages and data exactly there;
  // images re-encoded in format (1, 3, 7 or 9; 0 keeps the stored bytes), the path given the
  // extension of the format written. asText writes a note as the plain text a reader sees.
  bool WriteNode(uint32_t nodeId, const std::string& path, int imageFormat, bool asText = false);

  // Why the last failure happened.
  const std::string& Reason() const { return m_reason; }

 private:
  // An image's stored bytes, re-encoded when format is not 0.
  bool ReadImage(uint32_t nodeId, int imageFormat, std::vector<uint8_t>& bytes);
  bool WriteStream(uint32_t nodeId, const std::string& name);
  bool WriteBytes(uint32_t nodeId, const std::string& name, const std::vector<uint8_t>& bytes);
  bool Write(uint32_t nodeId, const std::string& name, const std::function<bool(File&)>& fill);
  bool MayWrite(const std::string& name);
  // Decrypted content is readable by its owner only.
  bool OwnerOnly(uint32_t nodeId) const;

  CMarrowleafDoc& m_document;
  CNodeProcess* m_process;
  std::string m_reason;
};

// A node title as a file name: the title's text in the encoding file names use here (UTF-8).
std::string FileNameOf(const std::string& title);

// True when name can be a file name on this system: not empty, not "." or "..", and without
// characters that would leave the folder or that the file system refuses.
bool IsValidFileName(const std::string& name);

// Appends "." and extension unless the name ends with it already, compared without regard to
// case: "Report" becomes "Report.rtf", "notes.RTF" stays.
std::string AddExtension(std::string name, const std::string& extension);

// The extension batch export gives a node of this type ("rtf", "html", "dat"); empty for the
// types that have none of their own.
std::string ExportExtension(uint8_t nodeType);

// Makes the folder and every missing folder above it; throws FileError when one cannot be made.
void CreateFolderPath(Env& env, const std::string& path);

}  // namespace mlf
