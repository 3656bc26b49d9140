// The commands for what belongs to the whole file: sort (the order of the tree) and logo (the
// picture shown while no node is open).
#include <iostream>

#include "cli/commands.h"
#include "cli/json_writer.h"
#include "imaging/picture_decoder.h"
#include "platform/env.h"

namespace mlf::cli {
namespace {

constexpr uint16_t kZToA = 1;
constexpr uint16_t kNumerical = 2;
constexpr const char* kFolderWords[] = {"first", "last", "none"};

std::string FolderWord(uint16_t arrangement) {
  return arrangement < std::size(kFolderWords) ? kFolderWords[arrangement] : std::to_string(arrangement);
}

void PrintSort(const FileHeader& header, bool asJson) {
  std::string order = header.sortFlags & kZToA ? "za" : "az";
  bool numeric = header.sortFlags & kNumerical;
  if (asJson) {
    JsonWriter json;
    json.BeginObject().Key("order").String(order).Key("folders").String(FolderWord(header.folderArrangement));
    json.Key("numeric").Bool(numeric).Key("sortFlags").Number(header.sortFlags);
    json.Key("folderArrangement").Number(header.folderArrangement).EndObject();
    std::cout << json.Text() << "\n";
    return;
  }
  std::cout << "order:   " << order << (header.sortFlags & kZToA ? " (Z to A)" : " (A to Z)") << "\n"
            << "folders: " << FolderWord(header.folderArrangement) << "\n"
            << "numeric: " << (numeric ? "on" : "off") << "\n";
}

// Writes bytes to path, whole or not at all.
bool WriteWholeFile(const std::string& path, const std::vector<uint8_t>& bytes) {
  try {
    std::unique_ptr<File> out =
        Env::Default().OpenFile(path, FileAccess::ReadWrite, FileCreation::CreateAlways, FileShare::Exclusive);
    out->Write(bytes.data(), bytes.size());
    out->Sync();
    return true;
  } catch (const FileError& error) {
    std::cerr << error.what() << "\n";
    if (Env::Default().FileExists(path)) Env::Default().DeleteFile(path);
    return false;
  }
}

void PrintLogo(const CMarrowleafDoc& doc, bool asJson) {
  std::optional<std::vector<uint8_t>> bytes = doc.GetLogoPicture();
  DecodedPicture picture = bytes ? DecodePicture(*bytes) : DecodedPicture{};
  if (asJson) {
    JsonWriter json;
    json.BeginObject().Key("customLogo").Bool(doc.HasLogo());
    if (bytes) {
      json.Key("format").String(std::string(PictureFormatName(picture.format)));
      json.Key("width").Number(picture ? picture.bitmap.Width() : 0).Key("height").Number(picture ? picture.bitmap.Height() : 0);
      json.Key("bytes").Number(static_cast<int64_t>(bytes->size()));
    }
    std::cout << json.EndObject().Text() << "\n";
  } else if (!doc.HasLogo()) {
    std::cout << "no custom logo: the program's own is shown\n";
  } else if (!bytes) {
    std::cout << "a custom logo whose stored picture cannot be read\n";
  } else {
    std::cout << "custom logo: " << PictureFormatName(picture.format) << ", ";
    if (picture) std::cout << picture.bitmap.Width() << " x " << picture.bitmap.Height() << " pixels, ";
    else std::cout << "not shown (" << picture.reason << "), ";
    std::cout << bytes->size() << " bytes\n";
  }
}

}  // namespace

int RunSort(Context& context) {
  const std::string& file = context.options.arguments[0];
  const Options& options = context.options;
  std::optional<std::string> order = options.Value("--order"), folders = options.Value("--folders");
  if (order && *order != "az" && *order != "za") {
    std::cerr << "--order takes az or za\n";
    return kExitUsage;
  }
  uint16_t arrangement = 0;
  while (folders && arrangement < std::size(kFolderWords) && *folders != kFolderWords[arrangement]) ++arrangement;
  if (folders && arrangement == std::size(kFolderWords)) {
    std::cerr << "--folders takes first, last or none\n";
    return kExitUsage;
  }
  if (options.Has("--numeric") && options.Has("--no-numeric")) {
    std::cerr << "--numeric and --no-numeric exclude each other\n";
    return kExitUsage;
  }
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(file);
  if (!doc) return kExitUsage;
  FileHeader header = doc->GetHeader();
  if (!order && !folders && !options.Has("--numeric") && !options.Has("--no-numeric")) {
    PrintSort(header, options.Has("--json"));
    return kExitOk;
  }
  // What is not named keeps its setting; the flags hold nothing but the two options.
  bool zToA = order ? *order == "za" : (header.sortFlags & kZToA) != 0;
  bool numeric = options.Has("--numeric") || (!options.Has("--no-numeric") && (header.sortFlags & kNumerical));
  header.sortFlags = uint16_t((zToA ? kZToA : 0) | (numeric ? kNumerical : 0));
  if (folders) header.folderArrangement = arrangement;
  doc->SetHeader(header, true);
  return SaveNoteFile(*doc, file) ? kExitOk : kExitProblem;
}

int RunLogo(Context& context) {
  const std::string& file = context.options.arguments[0];
  const Options& options = context.options;
  std::optional<std::string> picture = options.Value("--set"), out = options.Value("--get");
  bool clear = options.Has("--clear");
  if (int(picture.has_value()) + int(out.has_value()) + int(clear) > 1) {
    std::cerr << "--set, --clear and --get exclude each other\n";
    return kExitUsage;
  }
  std::unique_ptr<CMarrowleafDoc> doc = OpenNoteFile(file);
  if (!doc) return kExitUsage;
  if (picture) {
    if (!doc->SetLogoFromFile(*picture)) {
      DecodedPicture decoded = DecodePictureFile(Env::Default(), *picture);
      std::cerr << file << ": the logo is unchanged: " << *picture << ": "
                << (decoded ? std::string("it could not be kept in the work file") : decoded.reason) << "\n";
      return kExitProblem;
    }
  } else if (clear) {
    if (!doc->HasLogo()) return kExitOk;
    doc->ClearLogo();
  } else if (out) {
    std::optional<std::vector<uint8_t>> bytes = doc->GetLogoPicture();
    if (!bytes) {
      std::cerr << file << (doc->HasLogo() ? ": the custom logo's stored picture cannot be read\n"
                                           : " has no custom logo\n");
      return kExitProblem;
    }
    return WriteWholeFile(*out, *bytes) ? kExitOk : kExitProblem;
  } else {
    PrintLogo(*doc, options.Has("--json"));
    return kExitOk;
  }
  return SaveNoteFile(*doc, file) ? kExitOk : kExitProblem;
}

}  // namespace mlf::cli
