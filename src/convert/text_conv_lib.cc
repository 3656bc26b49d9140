#include "convert/text_conv_lib.h"

#include <algorithm>
#include <cctype>
#include <mutex>

#include "convert/converter_library.h"
#include "convert/program_converters.h"
#include "convert/registered_converters.h"
#include "platform/env.h"
#include "rtf/plain_text.h"

namespace mlf {
namespace {

std::mutex g_fontMutex;
std::string g_importFace = "Courier New";
int g_importSize = 11;

std::string LowerExtension(const std::string& path) {
  size_t slash = path.find_last_of("/\\");
  size_t dot = path.rfind('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(), [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return ext;
}

std::string ReadAll(Env& env, const std::string& path) {
  std::unique_ptr<File> in = env.OpenFile(path, FileAccess::Read, FileCreation::OpenExisting, FileShare::ShareRead);
  std::string bytes(static_cast<size_t>(in->Size()), '\0');
  bytes.resize(in->Read(bytes.data(), bytes.size()));
  return bytes;
}

void WriteAll(Env& env, const std::string& path, const std::string& bytes) {
  std::unique_ptr<File> out = env.OpenFile(path, FileAccess::ReadWrite, FileCreation::CreateAlways, FileShare::Exclusive);
  out->WriteString(bytes);
}

std::vector<CTextConverter> Direction(const std::vector<RegisteredConverter>& keys, bool withPrograms, bool forImport) {
  std::vector<CTextConverter> converters = BuiltInConverters();
  for (CTextConverter& c : ReadRegisteredConverters(keys)) converters.push_back(c);
  if (withPrograms)
    for (CTextConverter& c : FindProgramConverters(forImport)) converters.push_back(c);
  return converters;
}

}  // namespace

void SetImportFont(const std::string& face, int pointSize) {
  std::lock_guard lock(g_fontMutex);
  g_importFace = face;
  g_importSize = pointSize;
}

CTextConvLib::CTextConvLib(Env& env) : m_env(env) {}

void CTextConvLib::LoadConverters() { LoadConverters(RegisteredConverters(true), RegisteredConverters(false), true); }

void CTextConvLib::LoadConverters(const std::vector<RegisteredConverter>& importKeys,
                                  const std::vector<RegisteredConverter>& exportKeys, bool withPrograms) {
  std::vector<std::string> exportExtensions, importExtensions;
  m_export = Direction(exportKeys, withPrograms, false);
  m_exportFilter = BuildFilter(m_export, false, exportExtensions);
  m_import = Direction(importKeys, withPrograms, true);
  m_importFilter = BuildFilter(m_import, true, importExtensions);
}

bool CTextConvLib::Run(const CTextConverter& converter, const std::string& source, const std::string& target,
                       bool toRtf) {
  try {
    switch (converter.kind) {
      case ConverterKind::Copy:
        WriteAll(m_env, target, ReadAll(m_env, source));
        return true;
      case ConverterKind::Library:
        return toRtf ? ImportThroughLibrary(m_env, converter.path, source, target)
                     : ExportThroughLibrary(m_env, converter.path, source, target);
      case ConverterKind::PlainText: {
        if (!toRtf) {
          WriteAll(m_env, target, rtf::RtfToPlainText(ReadAll(m_env, source)));
          return true;
        }
        std::string face;
        int size;
        {
          std::lock_guard lock(g_fontMutex);
          face = g_importFace;
          size = g_importSize;
        }
        WriteAll(m_env, target, rtf::PlainTextToRtf(ReadAll(m_env, source), face, size));
        return true;
      }
      case ConverterKind::Program:
        return ConvertWithProgram(m_env, converter, source, target, toRtf);
    }
  } catch (const std::exception&) {
  }
  return false;
}

bool CTextConvLib::ConvertToRtf(const std::string& source, const std::string& target) {
  return Convert(m_import, LowerExtension(source), source, target, true);
}

bool CTextConvLib::ConvertFromRtf(const std::string& source, const std::string& target) {
  return Convert(m_export, LowerExtension(target), source, target, false);
}

bool CTextConvLib::Convert(const std::vector<CTextConverter>& converters, const std::string& extension,
                           const std::string& source, const std::string& target, bool toRtf) {
  for (const CTextConverter& c : converters)
    if (std::find(c.extensions.begin(), c.extensions.end(), extension) != c.extensions.end() &&
        Run(c, source, target, toRtf))
      return true;
  return false;
}

}  // namespace mlf
