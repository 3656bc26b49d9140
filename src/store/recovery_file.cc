#include "store/recovery_file.h"

#include <algorithm>
#include <optional>

#include "platform/path.h"
#include "store/crc32.h"
#include "store/file_format.h"

namespace mlf {
namespace {

constexpr uint64_t kHeadBytes = 64 * 1024;

uint32_t CrcOfRange(File& file, uint64_t offset, uint64_t size) {
  std::vector<char> buffer(static_cast<size_t>(std::min<uint64_t>(size, 256 * 1024)));
  Crc32 crc;
  file.Seek(offset);
  while (size > 0) {
    size_t n = static_cast<size_t>(std::min<uint64_t>(size, buffer.size()));
    file.ReadExact(buffer.data(), n);
    crc.Update(buffer.data(), n);
    size -= n;
  }
  return crc.Value();
}

void U64(ByteWriter& out, uint64_t value) {
  out.U32(static_cast<uint32_t>(value));
  out.U32(static_cast<uint32_t>(value >> 32));
}

uint64_t U64(BinaryReader& in) {
  uint64_t low = in.U32();
  return low | uint64_t(in.U32()) << 32;
}

}  // namespace

std::string RecoveryDirectory(Env& env) {
  std::string data = env.AppDataDirectory();
  return data.empty() ? std::string() : JoinPath(data, "Quarn/Marrowleaf/Recovery");
}

SavedFileIdentity IdentifySavedFile(Env& env, const std::string& path, File& file) {
  SavedFileIdentity identity;
  identity.size = file.Size();
  identity.headCrc = CrcOfRange(file, 0, std::min(identity.size, kHeadBytes));
  if (std::optional<FileStamp> stamp = env.Stamp(path)) identity.modificationTime = stamp->modificationNs;
  return identity;
}

void AppendRecoveryTrailer(File& file, RecoveryInfo info) {
  info.imageLength = file.Size();
  ByteWriter out;
  WriteMagic(out, kRecoveryMagic);
  out.U32(kRecoveryLayoutVersion);
  out.U32(info.encrypted ? 1 : 0);
  U64(out, static_cast<uint64_t>(info.autosaveTime));
  out.U32(static_cast<uint32_t>(info.savedPath.size()));
  out.Bytes(info.savedPath.data(), info.savedPath.size());
  U64(out, info.savedFile.size);
  U64(out, static_cast<uint64_t>(info.savedFile.modificationTime));
  out.U32(info.savedFile.headCrc);
  out.U32(static_cast<uint32_t>(info.streamsInSavedFile.size()));
  for (uint32_t id : info.streamsInSavedFile) out.U32(id);
  U64(out, info.imageLength);
  uint32_t crc = CrcOfRange(file, 0, info.imageLength);
  crc = Crc32Update(crc, out.Data().data(), out.Size());
  out.U32(crc);
  out.U32(static_cast<uint32_t>(out.Size() + 4));
  file.Seek(info.imageLength);
  file.Write(out.Data().data(), out.Size());
}

RecoveryInfo ReadRecoveryInfo(File& file) {
  uint64_t size = file.Size();
  BinaryReader in(file);
  try {
    if (size < 8) throw DamagedRecoveryError("the file is too short");
    in.Seek(size - 8);
    uint32_t storedCrc = in.U32();
    uint32_t trailerLength = in.U32();
    if (trailerLength > size || trailerLength < 8) throw DamagedRecoveryError("its trailer is damaged");
    if (CrcOfRange(file, 0, size - 8) != storedCrc) throw DamagedRecoveryError("its checksum does not match");
    in.Seek(size - trailerLength);
    if (ReadMagic(in) != kRecoveryMagic) throw DamagedRecoveryError("it is not a recovery file");
    if (in.U32() != kRecoveryLayoutVersion) throw DamagedRecoveryError("it was written by another version");
    RecoveryInfo info;
    info.encrypted = in.U32() & 1;
    info.autosaveTime = static_cast<int64_t>(U64(in));
    std::vector<uint8_t> path = in.Bytes(in.U32());
    info.savedPath.assign(path.begin(), path.end());
    info.savedFile.size = U64(in);
    info.savedFile.modificationTime = static_cast<int64_t>(U64(in));
    info.savedFile.headCrc = in.U32();
    uint32_t count = in.U32();
    if (uint64_t(count) * 4 > in.Remaining()) throw DamagedRecoveryError("its list of streams is damaged");
    info.streamsInSavedFile.resize(count);
    for (uint32_t& id : info.streamsInSavedFile) id = in.U32();
    info.imageLength = U64(in);
    if (info.imageLength != size - trailerLength || in.Position() != size - 8) throw DamagedRecoveryError("its trailer is damaged");
    return info;
  } catch (const DamagedFileError&) {
    throw DamagedRecoveryError("its trailer is damaged");
  }
}

}  // namespace mlf
