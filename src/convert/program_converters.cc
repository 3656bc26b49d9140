#include "convert/program_converters.h"

#include <map>
#include <mutex>
#include <set>
#include <sstream>

#include "platform/env.h"
#include "platform/path.h"
#include "platform/process.h"

namespace mlf {
namespace {

constexpr int kPandocSeconds = 60;
constexpr int kOfficeSeconds = 120;
const char* kOffice = "LibreOffice";

struct PandocFormat {
  const char* format;
  const char* name;
  const char* extensions;
};

// pandoc's formats worth offering, with the extensions their files carry.
const PandocFormat kPandocFormats[] = {
    {"docx", "Word document (pandoc)", "docx"},
    {"odt", "OpenDocument text (pandoc)", "odt"},
    {"html", "Web page (pandoc)", "html htm"},
    {"markdown", "Markdown (pandoc)", "md markdown"},
    {"epub", "EPUB book (pandoc)", "epub"},
    {"latex", "LaTeX (pandoc)", "tex"},
    {"rst", "reStructuredText (pandoc)", "rst"},
    {"org", "Org mode (pandoc)", "org"},
    {"textile", "Textile (pandoc)", "textile"},
    {"mediawiki", "MediaWiki markup (pandoc)", "wiki"},
    {"docbook", "DocBook (pandoc)", "dbk"},
    {"fb2", "FictionBook (pandoc)", "fb2"},
    {"opml", "OPML outline (pandoc)", "opml"},
};

// What pandoc reads or writes, asked once per pandoc found: converters are looked up for every
// imported file, and starting pandoc for each would cost more than the import itself.
std::set<std::string> PandocFormats(const std::string& pandoc, bool input) {
  static std::mutex mutex;
  static std::map<std::pair<std::string, bool>, std::set<std::string>> known;
  std::lock_guard lock(mutex);
  auto key = std::make_pair(pandoc, input);
  if (auto it = known.find(key); it != known.end()) return it->second;
  ProcessResult result = RunProcess({pandoc, input ? "--list-input-formats" : "--list-output-formats"}, 20);
  std::set<std::string> formats;
  std::istringstream lines(result.output);
  for (std::string line; std::getline(lines, line);) formats.insert(line);
  if (result.exitCode == 0) known[key] = formats;
  return formats;
}

bool LooksLikeRtf(Env& env, const std::string& path) {
  try {
    std::unique_ptr<File> file = env.OpenFile(path, FileAccess::Read, FileCreation::OpenExisting, FileShare::ShareRead);
    char head[5] = {};
    return file->Read(head, sizeof head) == sizeof head && std::string(head, 5) == "{\\rtf";
  } catch (const FileError&) {
    return false;
  }
}

bool CopyFile(Env& env, const std::string& from, const std::string& to) {
  try {
    std::unique_ptr<File> in = env.OpenFile(from, FileAccess::Read, FileCreation::OpenExisting, FileShare::ShareRead);
    std::unique_ptr<File> out = env.OpenFile(to, FileAccess::ReadWrite, FileCreation::CreateAlways, FileShare::Exclusive);
    std::vector<char> buffer(256 * 1024);
    while (size_t n = in->Read(buffer.data(), buffer.size())) out->Write(buffer.data(), n);
    return true;
  } catch (const FileError&) {
    return false;
  }
}

}  // namespace

std::vector<CTextConverter> FindProgramConverters(bool forImport) {
  std::vector<CTextConverter> converters;
  if (std::string pandoc = FindOnPath("pandoc"); !pandoc.empty()) {
    std::set<std::string> formats = PandocFormats(pandoc, forImport);
    for (const PandocFormat& f : kPandocFormats) {
      if (!formats.count(f.format)) continue;
      CTextConverter c;
      c.kind = ConverterKind::Program;
      c.path = pandoc;
      c.keyName = f.format;
      c.name = f.name;
      c.extensionsValue = f.extensions;
      c.valid = true;
      converters.push_back(c);
    }
  }
  std::string office = FindOnPath("soffice");
  if (office.empty()) office = FindOnPath("libreoffice");
  if (!office.empty() && forImport) {
    CTextConverter c;
    c.kind = ConverterKind::Program;
    c.path = office;
    c.keyName = kOffice;
    c.name = "Word processor documents (LibreOffice)";
    c.extensionsValue = "doc docx odt wpd wps sxw";
    c.valid = true;
    converters.push_back(c);
  }
  return converters;
}

bool ConvertWithProgram(Env& env, const CTextConverter& converter, const std::string& source,
                        const std::string& target, bool toRtf) {
  if (converter.keyName != kOffice) {
    std::vector<std::string> argv = {converter.path, "-s", "-o", target, source};
    if (toRtf) argv.insert(argv.begin() + 1, {"-f", converter.keyName, "-t", "rtf"});
    else argv.insert(argv.begin() + 1, {"-f", "rtf", "-t", converter.keyName});
    ProcessResult result = RunProcess(argv, kPandocSeconds);
    return !result.timedOut && result.exitCode == 0 && (!toRtf || LooksLikeRtf(env, target));
  }
  // LibreOffice writes <name>.rtf into a folder of its choosing, with a profile of its own so a
  // running office does not take the job.
  std::string folder = env.CreateTempDirectory("MLF");
  ProcessResult result = RunProcess({converter.path, "-env:UserInstallation=file://" + folder + "/profile",
                                     "--headless", "--convert-to", "rtf", "--outdir", folder, source},
                                    kOfficeSeconds);
  std::string base = BaseName(source);
  std::string produced = JoinPath(folder, base.substr(0, base.rfind('.')) + ".rtf");
  bool ok = !result.timedOut && result.exitCode == 0 && LooksLikeRtf(env, produced) && CopyFile(env, produced, target);
  env.DeleteTree(folder);
  return ok;
}

}  // namespace mlf
