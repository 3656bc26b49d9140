// The in-memory header of a note file (the node count is the node table's size and is not
// kept here) and the more-info block.
#pragma once

#include <array>
#include <cstdint>
#include <string>

namespace mlf {

constexpr uint32_t kCurrentFileVersion = 7;
inline constexpr const char* kPlainMagic = "Marrowleaf File";

// A system-time record: year, month, day of week, day, hour, minute, second, milliseconds.
using SystemTime = std::array<uint16_t, 8>;
SystemTime SystemTimeFromUtc(int64_t utcSeconds);

enum SortFlagBits : uint16_t {
  kSortDescending = 1,  // titles Z to A
  kSortNumerical = 2,   // intelligent numerical sorting
};

enum FolderArrangement : uint16_t {
  kFoldersFirst = 0,
  kFoldersLast = 1,
  kFoldersMixed = 2,
};

enum ViewFlagBits : uint32_t {
  kViewTaskBar = 2,  // the document's Tasks bar is shown
};

struct FileHeader {
  std::string magic = kPlainMagic;
  uint32_t version = kCurrentFileVersion;
  SystemTime created{};
  std::array<uint8_t, 16> reserved56{};
  uint32_t logoOffset = 0;
  uint32_t logoLength = 0;
  uint32_t reserved84 = 0;
  uint32_t bookmarksOffset = 0;
  uint32_t viewFlags = 0;
  uint32_t moreInfoOffset = 0;
  uint32_t reserved100 = 0;
  uint16_t sortFlags = 0;
  uint16_t folderArrangement = kFoldersFirst;
  uint32_t keywordsOffset = 0;
};

// Nine words: [0] the task section's offset, [1] and [2] written as 0, [3] to [8] kept as read.
using MoreInfo = std::array<uint32_t, 9>;

}  // namespace mlf
