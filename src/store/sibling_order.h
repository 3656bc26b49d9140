// The order of sibling nodes in the tree: folders first or last (or mixed), then optionally
// leading numbers, then titles without regard to case, A to Z or Z to A. The tree never sorts
// a level as a whole: each node is inserted, in ascending id order, before the first sibling it
// strictly precedes. Where the comparison is not transitive (numbered and unnumbered titles
// mixed), that insertion walk defines the order.
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "store/node_record.h"

namespace mlf {

struct SortOptions {
  uint16_t sortFlags = 0;          // bit 0 Z to A, bit 1 numerical
  uint16_t folderArrangement = 0;  // 0 folders first, 1 folders last, 2 none
};

// Titles compared without regard to case in code page 1252, as the tree orders them;
// negative when a goes first.
int CompareTitles(const std::string& a, const std::string& b);

// Negative when a goes before b, positive after, 0 when equal for sorting.
int CompareNodes(const NTV& a, const NTV& b, const SortOptions& options);

// The index among siblings (already in tree order) at which node goes: after every sibling it
// ties with, before the first it strictly precedes.
size_t InsertPosition(const std::vector<const NTV*>& siblings, const NTV& node, const SortOptions& options);

// The children of every parent, in tree order, from records in ascending id order. Levels
// whose comparison is transitive are sorted stably, the others placed by the insertion walk.
std::unordered_map<uint32_t, std::vector<const NTV*>> OrderSiblings(const std::vector<const NTV*>& records,
                                                                    const SortOptions& options);

// The leading integer of a title as atoi reads it, saturating at the 32-bit limits.
int32_t LeadingNumber(const std::string& title);

}  // namespace mlf
