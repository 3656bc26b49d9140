// The text converters of the machine for one use: the two built-in ones ("Rich Text Format",
// copied unchanged, and "Plain Text", through the RTF engine in the import font), the
// registered converter libraries, and the converter programs found on the PATH. Made anew for
// each use, so converters installed meanwhile are seen.
#pragma once

#include <string>
#include <vector>

#include "convert/text_converter.h"

namespace mlf {

class Env;

// The font of imported plain text; the program sets it from its settings.
void SetImportFont(const std::string& face, int pointSize);

class CTextConvLib {
 public:
  explicit CTextConvLib(Env& env);
  virtual ~CTextConvLib() = default;

  // Fills both directions; registered is what the system registers (by default its own
  // registry); programs adds the converter programs on the PATH.
  void LoadConverters();
  void LoadConverters(const std::vector<RegisteredConverter>& importKeys,
                      const std::vector<RegisteredConverter>& exportKeys, bool withPrograms);

  // Converts source into RTF in target (an empty file the caller made): the converters for its
  // extension are tried in order until one succeeds.
  bool ConvertToRtf(const std::string& source, const std::string& target);
  // Writes the RTF file source as target, in the format of target's extension.
  bool ConvertFromRtf(const std::string& source, const std::string& target);

  const std::vector<FileFilterEntry>& ImportFilter() const { return m_importFilter; }
  const std::vector<FileFilterEntry>& ExportFilter() const { return m_exportFilter; }

 private:
  // Tries the converters for extension in order until one succeeds.
  bool Convert(const std::vector<CTextConverter>& converters, const std::string& extension, const std::string& source,
               const std::string& target, bool toRtf);
  bool Run(const CTextConverter& converter, const std::string& source, const std::string& target, bool toRtf);

  Env& m_env;
  std::vector<CTextConverter> m_import, m_export;
  std::vector<FileFilterEntry> m_importFilter, m_exportFilter;
};

}  // namespace mlf
