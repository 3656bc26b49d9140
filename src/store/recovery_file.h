// Recovery files: what autosave writes for a modified document, so that a run that ends
// without saving loses nothing older than the last autosave. A recovery file is a note image
// (the plain image, or the encrypted envelope around it, exactly as a save makes them) that
// holds the tables and only the streams written since the last save; every other stream stays
// in the saved file, named here by node id. A trailer after the image says which saved file
// that is and guards the whole file with a CRC:
//
//   magic "Marrowleaf Recovery" (uint32 N = 40, then UTF-16LE with a terminating zero)
//   uint32 layout version (1), uint32 flags (bit 0: the image is encrypted)
//   int64 time of the autosave (seconds since 1970 UTC)
//   uint32 L, then L bytes: the saved file's path (L = 0: the document was never saved)
//   uint64 the saved file's size, int64 its modification time (nanoseconds since 1970 UTC),
//   uint32 CRC-32 of its first 64 KB
//   uint32 K, then K uint32: the nodes whose streams stay in the saved file
//   uint64 the image's length (where the trailer starts)
//   uint32 CRC-32 of every byte of the file before this word
//   uint32 the trailer's length, from its magic to the end of the file
//
// All integers are little-endian.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/env.h"
#include "store/binary_io.h"

namespace mlf {

inline constexpr const char* kRecoveryMagic = "Marrowleaf Recovery";
inline constexpr const char* kRecoveryExtension = ".mlfrecovery";
constexpr uint32_t kRecoveryLayoutVersion = 1;

// What identifies the saved file the streams are read from: a change to it makes a recovery
// file that names streams in it unusable.
struct SavedFileIdentity {
  uint64_t size = 0;
  int64_t modificationTime = 0;  // nanoseconds, Env::Stamp's
  uint32_t headCrc = 0;  // of the first 64 KB
  bool operator==(const SavedFileIdentity&) const = default;
};

struct RecoveryInfo {
  bool encrypted = false;
  int64_t autosaveTime = 0;
  std::string savedPath;  // empty: never saved, every stream is in the recovery file
  SavedFileIdentity savedFile;
  std::vector<uint32_t> streamsInSavedFile;
  uint64_t imageLength = 0;
};

// A recovery file that cannot be used; the text says why.
class DamagedRecoveryError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The folder of the recovery files: <application data>/Quarn/Marrowleaf/Recovery; empty when
// the system names no application-data folder.
std::string RecoveryDirectory(Env& env);

// The identity of the saved file at path, whose open handle is file (the document may hold it
// exclusively).
SavedFileIdentity IdentifySavedFile(Env& env, const std::string& path, File& file);

// Appends the trailer to the image in file (the image ends at the file's end).
void AppendRecoveryTrailer(File& file, RecoveryInfo info);
// Reads and checks the trailer; throws DamagedRecoveryError.
RecoveryInfo ReadRecoveryInfo(File& file);

}  // namespace mlf
